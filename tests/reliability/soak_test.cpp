// A long session in one process: 2,000 frames (fewer under AddressSanitizer) of a layer whose
// masks move, with a distort effect whose twist and position change every frame and the stand-in
// renderer below. Once warmed up, the process must not grow, and no frame may leave anything held.
#include <gtest/gtest.h>

#include <malloc.h>
#include <unistd.h>
#include <cstdio>

#include "TOLV_Distort/DistortParams.h"
#include "TOLV_Mask/Params.h"
#include "testbed/host/Host.h"
#include "testbed/host/Sanitizer.h"
#include "testbed/world/World.h"
#include "tests/reliability/LargestScene.h"
#include "tests/support/Modules.h"

namespace {

#if defined(TB_ADDRESS_SANITIZED)
// Under AddressSanitizer freed blocks sit in its quarantine and the process grows by design, and
// every record costs a fresh mapping: there a shorter run checks what is held, and LeakSanitizer
// answers for leaks at exit.
constexpr bool kSanitized = true;
constexpr int kFrames = 300;
#else
constexpr bool kSanitized = false;
constexpr int kFrames = 2000;
#endif
constexpr int kWarmUp = 200;
constexpr long kAllowedGrowth = 1024 * 1024;

long residentBytes() {
  long pages = 0;
  long resident = 0;
  std::FILE* f = std::fopen("/proc/self/statm", "r");
  if (!f)
    return -1;
  const int read = std::fscanf(f, "%ld %ld", &pages, &resident);
  std::fclose(f);
  return read == 2 ? resident * sysconf(_SC_PAGESIZE) : -1;
}

// A mask that travels across the layer and changes shape on the way.
tb::Outline travelling(double x0, double x1, double seconds) {
  tb::Outline o = reliab::polygon(x0, 45, 20, 8);
  tb::OutlineKey key;
  key.time = seconds;
  key.shape = reliab::polygon(x1, 50, 30, 8).shape;
  o.keys.push_back(key);
  return o;
}

class SoakTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // Every frame allocates and frees records of 2.7 MB; kept in the heap rather than mapped and
    // unmapped each time, they cost no page faults, and the run stays short.
    mallopt(M_MMAP_THRESHOLD, 64 * 1024 * 1024);
    mallopt(M_TRIM_THRESHOLD, 128 * 1024 * 1024);
    for (const char* name : {"TOLV_Mask", "TOLV_Distort", "TOLV_Engine"})
      host_.load(tbtest::modulePath(name));
    comp_ = &host_.addComp("Main", 160, 90);
    host_.setCompTiming(*comp_, 25, kFrames / 25.0, 0, kFrames / 25.0);
    tb::Layer& layer = host_.addLayer(*comp_, "Card", 160, 90);
    layer.pixels = tb::makeSolid(160, 90, PF_Pixel{255, 200, 100, 50});
    const double end = kFrames / 25.0;
    const PF_PathID a = host_.addMask(layer, "Mask 1", travelling(30, 130, end));
    const PF_PathID b = host_.addMask(layer, "Mask 2", travelling(130, 30, end));
    mask_ = &host_.applyEffect(layer, *host_.moduleByMatchName("ZEK TOLV_Mask"));
    distort_ = &host_.applyEffect(layer, *host_.moduleByMatchName("ZEK TOLV_Distort"));
    host_.applyEffect(layer, *host_.moduleByMatchName("ZEK TOLV_Engine"));
    mask_->params[MaskPathParam(1)].u.path_d.path_id = a;
    mask_->params[MaskPathParam(2)].u.path_d.path_id = b;
    mask_->params[MaskDepthParam(2)].u.fs_d.value = -40;
    mask_->params[MASK_FILL_MASKS].u.pd.value = 4;
    // A mesh in the distort effect's store, as a mask effect above another layer would leave it.
    const std::unique_ptr<MeshSlot> record = reliab::fullRecord();
    record->triangleCount = 500;
    host_.sendToEffect(*distort_, PF_Cmd_COMPLETELY_GENERAL, record.get());
  }

  // One frame; the distort effect's controls move with it. The host's own logs are emptied, so
  // that only what the effects keep can grow.
  bool renderFrame(int frame) {
    distort_->params[DISTORT_TWIST_LEFT_X].u.ad.value = (frame % 360) * 65536;
    distort_->params[DISTORT_POSITION_XY].u.td.x_value = (frame % 50) * 65536;
    bool rendered = true;
    for (const tb::LayerFrame& f : host_.renderComp(*comp_, A_Time{frame, 25}))
      rendered = rendered && f.frame.has_value();
    delivered_ += host_.engineRecords().size();
    host_.clearEngineRecords();
    for (const tb::SentCommand& sent : host_.log().sent)
      held_ += sent.held.size();
    host_.log() = tb::HostLog();
    return rendered;
  }

  tb::Host host_;
  tb::Comp* comp_ = nullptr;
  tb::Effect* mask_ = nullptr;
  tb::Effect* distort_ = nullptr;
  size_t delivered_ = 0;
  size_t held_ = 0;
};

TEST_F(SoakTest, animatedFramesKeepMemoryFlatAndHoldNothing) {
  const size_t handles = host_.liveHandles();
  int failed = 0;
  for (int frame = 0; frame < kWarmUp; ++frame)
    failed += !renderFrame(frame);
  const long warm = residentBytes();
  for (int frame = kWarmUp; frame < kFrames; ++frame)
    failed += !renderFrame(frame);
  const long end = residentBytes();

  EXPECT_EQ(failed, 0);
  EXPECT_GE(delivered_, static_cast<size_t>(kFrames));
  EXPECT_EQ(held_, 0u);
  EXPECT_EQ(host_.liveHandles(), handles);
  if (!kSanitized) {
    ASSERT_GT(warm, 0);
    EXPECT_LT(end - warm, kAllowedGrowth) << "resident " << warm << " -> " << end;
  }
}

}  // namespace
