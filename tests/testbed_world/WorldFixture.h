// A testbed with one composition and a solid layer carrying masks and the test sender effect, whose
// effect_ref the PF suites are called with; suites are taken from the host's table directly.
#pragma once

#include <gtest/gtest.h>

#include <cmath>

#include "AE_EffectSuites.h"
#include "AE_GeneralPlug.h"
#include "testbed/host/Host.h"
#include "tests/support/Modules.h"
#include "tests/support/Violations.h"

namespace twtest {

// A circle of radius r about (cx, cy) as four cubic segments.
inline tb::Outline circle(double cx, double cy, double r) {
  const double k = 0.5522847498307936 * r;
  tb::Outline o;
  o.shape.closed = true;
  o.shape.vertices = {
      {{cx + r, cy}, {0, -k}, {0, k}},
      {{cx, cy + r}, {k, 0}, {-k, 0}},
      {{cx - r, cy}, {0, k}, {0, -k}},
      {{cx, cy - r}, {-k, 0}, {k, 0}},
  };
  return o;
}

inline tb::Outline polyline(std::vector<A_FloatPoint> points, bool closed) {
  tb::Outline o;
  o.shape.closed = closed;
  for (const A_FloatPoint& p : points)
    o.shape.vertices.push_back({p, {0, 0}, {0, 0}});
  return o;
}

class WorldTest : public ::testing::Test {
 protected:
  void SetUp() override {
    sender_ = &host_.load(tbtest::modulePath("TOLV_TestSender"));
    comp_ = &host_.addComp("Main", 100, 80);
    layer_ = &host_.addLayer(*comp_, "Card", 100, 80);
    layer_->pixels = tb::makeSolid(100, 80, PF_Pixel{255, 10, 20, 30});
    effect_ = &host_.applyEffect(*layer_, *sender_);
  }
  // The host quits as the real one does, so that a handle a module never gave back fails the test.
  void TearDown() override {
    host_.quit();
    tbtest::checkViolations(host_.ledger(), expectedViolations_);
  }
  // A test that provokes a violation on purpose names it (a part of its text) here.
  void expectViolation(std::string text) { expectedViolations_.push_back(std::move(text)); }

  template <class S>
  const S& suite(const char* name, int version) {
    const void* s = host_.suites().find(name, version);
    EXPECT_NE(s, nullptr) << name << " v" << version;
    return *static_cast<const S*>(s);
  }
  const PF_PathQuerySuite1& query() { return suite<PF_PathQuerySuite1>(kPFPathQuerySuite, 1); }
  const PF_PathDataSuite1& data() { return suite<PF_PathDataSuite1>(kPFPathDataSuite, 1); }
  const AEGP_LayerSuite13& layers() { return suite<AEGP_LayerSuite13>(kAEGPLayerSuite, 13); }
  PF_ProgPtr ref() const { return reinterpret_cast<PF_ProgPtr>(effect_); }
  AEGP_LayerH layerH(tb::Layer* l) const { return reinterpret_cast<AEGP_LayerH>(l); }

  tb::Host host_;
  std::vector<std::string> expectedViolations_;
  tb::Module* sender_ = nullptr;
  tb::Comp* comp_ = nullptr;
  tb::Layer* layer_ = nullptr;
  tb::Effect* effect_ = nullptr;
};

}  // namespace twtest
