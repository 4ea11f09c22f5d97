// A testbed with the distort effect, the stand-in renderer and the test sender loaded, and one
// layer to stack them on.
#pragma once

#include <gtest/gtest.h>

#include <vector>

#include "common/MeshSlot.h"
#include "testbed/host/Host.h"
#include "tests/exchange/Records.h"
#include "tests/support/Modules.h"
#include "tests/support/Violations.h"

namespace extest {

class ExchangeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    distort_ = &host_.load(tbtest::modulePath("TOLV_Distort"));
    engine_ = &host_.load(tbtest::modulePath("TOLV_Engine"));
    sender_ = &host_.load(tbtest::modulePath("TOLV_TestSender"));
    layer_ = &host_.addLayer(host_.addComp("Main", 640, 360), "Card", 640, 360);
  }
  // The host quits as the real one does, so that a handle a module never gave back fails the test.
  void TearDown() override {
    host_.quit();
    tbtest::checkViolations(host_.ledger(), expectedViolations_);
  }
  // A test that provokes a violation on purpose names it (a part of its text) here.
  void expectViolation(std::string text) { expectedViolations_.push_back(std::move(text)); }

  tb::Effect& apply(tb::Module* module) { return host_.applyEffect(*layer_, *module); }
  tb::Effect& distort() { return apply(distort_); }
  tb::Effect& engine() { return apply(engine_); }
  tb::Effect& sender() { return apply(sender_); }

  // The sender's render hands the record to the next receiver below it.
  tb::CommandResult send(tb::Effect& from, const MeshSlot& record) {
    return host_.sendToEffect(from, PF_Cmd_RENDER, const_cast<MeshSlot*>(&record));
  }

  static const MeshStore& store(const tb::Effect& effect) {
    return *static_cast<const MeshStore*>(*effect.sequenceData);
  }
  std::vector<unsigned char> storeBytes(const tb::Effect& effect) {
    const auto* p = static_cast<const unsigned char*>(*effect.sequenceData);
    return std::vector<unsigned char>(p, p + host_.handleSize(effect.sequenceData));
  }

  tb::Host host_;
  std::vector<std::string> expectedViolations_;
  tb::Module* distort_ = nullptr;
  tb::Module* engine_ = nullptr;
  tb::Module* sender_ = nullptr;
  tb::Layer* layer_ = nullptr;
};

}  // namespace extest
