// GoogleTest fixture: a fresh simulated Windows per test, and a failure at
// the end when the program misused it (see SimWindows::ExpectClean).
#pragma once

#include <gtest/gtest.h>

#include "sim/SimWindows.h"

namespace raylet::sim {

class SimTest : public ::testing::Test {
 protected:
  void TearDown() override { sim.ExpectClean(); }

  SimWindows sim;
};

}  // namespace raylet::sim
