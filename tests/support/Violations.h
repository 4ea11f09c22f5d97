// The rule every testbed fixture keeps: a test fails on any host violation it did not expect.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "testbed/host/Ledger.h"

namespace tbtest {

// Each violation must contain one of the expected texts, and each expected text must occur.
inline void checkViolations(const tb::Ledger& ledger, const std::vector<std::string>& expected) {
  std::vector<bool> seen(expected.size(), false);
  for (const tb::Violation& v : ledger.violations()) {
    const std::string text = tb::describe(v);
    bool known = false;
    for (size_t i = 0; i < expected.size(); ++i) {
      if (text.find(expected[i]) != std::string::npos) {
        seen[i] = true;
        known = true;
      }
    }
    EXPECT_TRUE(known) << "unexpected violation: " << text;
  }
  for (size_t i = 0; i < expected.size(); ++i)
    EXPECT_TRUE(seen[i]) << "expected violation did not occur: " << expected[i];
}

}  // namespace tbtest
