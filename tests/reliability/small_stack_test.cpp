// The effects run on whatever thread the host renders on, and a host's render threads may have
// small stacks: the heaviest frame must render on a thread with 256 KiB of stack exactly as on the
// main thread.
#include <gtest/gtest.h>
#include <pthread.h>

#include <vector>

#include "tests/reliability/LargestScene.h"

namespace {

constexpr size_t kSmallStack = 256 * 1024;

struct Frame {
  bool everyLayerRendered = false;
  std::vector<std::vector<unsigned char>> records;
};

Frame renderFrame(tb::Host& host, tb::Comp& comp) {
  host.clearEngineRecords();
  Frame f;
  f.everyLayerRendered = true;
  for (const tb::LayerFrame& layer : host.renderComp(comp, A_Time{0, 25}))
    f.everyLayerRendered = f.everyLayerRendered && layer.frame.has_value();
  for (const tb::EngineRecord& r : host.engineRecords())
    f.records.push_back(r.bytes);
  return f;
}

struct ThreadJob {
  tb::Host* host;
  tb::Comp* comp;
  Frame frame;
};

void* renderOnThread(void* arg) {
  auto* job = static_cast<ThreadJob*>(arg);
  job->frame = renderFrame(*job->host, *job->comp);
  return nullptr;
}

// Runs the render on a new thread whose stack is kSmallStack bytes.
Frame renderWithSmallStack(tb::Host& host, tb::Comp& comp) {
  ThreadJob job{&host, &comp, {}};
  pthread_attr_t attr;
  pthread_attr_init(&attr);
  EXPECT_EQ(pthread_attr_setstacksize(&attr, kSmallStack), 0);
  pthread_t thread;
  EXPECT_EQ(pthread_create(&thread, &attr, renderOnThread, &job), 0);
  pthread_join(thread, nullptr);
  pthread_attr_destroy(&attr);
  return job.frame;
}

class SmallStackTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* name : {"TOLV_Mask", "TOLV_Distort", "TOLV_Engine"})
      host_.load(tbtest::modulePath(name));
    scene_ = reliab::buildLargestScene(host_);
  }
  void TearDown() override { EXPECT_TRUE(host_.ledger().violations().empty()); }

  tb::Host host_;
  reliab::LargestScene scene_;
};

TEST_F(SmallStackTest, theLargestMeshRendersOnA256KiBStackAsOnTheMainThread) {
  const Frame main = renderFrame(host_, *scene_.comp);
  ASSERT_TRUE(main.everyLayerRendered);
  ASSERT_FALSE(main.records.empty());
  const Frame small = renderWithSmallStack(host_, *scene_.comp);
  EXPECT_TRUE(small.everyLayerRendered);
  ASSERT_EQ(small.records.size(), main.records.size());
  for (size_t i = 0; i < main.records.size(); ++i)
    EXPECT_TRUE(small.records[i] == main.records[i]) << "record " << i;
}

}  // namespace
