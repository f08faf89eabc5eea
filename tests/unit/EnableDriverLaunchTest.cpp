// Switching the driver on through the control panel: which launch results
// fail with which message on each path, and that every other result counts
// as started, so the wait for the monitor follows.
#include <gtest/gtest.h>

#include <ostream>

#include "sim/DriverFixture.h"

namespace raylet::sim {
namespace {

// '1': setting on, no monitor; '2': setting off, monitor; '3': setting off,
// no monitor. The virtual COM port is held on each, so the control panel
// has to start.
void SeedPath(SimWindows& sim, char path) {
  SeedIrda(sim, {.enabled = path == '1' ? 1u : 0u});
  if (path == '2') sim.desktop.AddWindow("IRMON");
  sim.ports.Spec("COM4")->held = true;
}

struct LaunchCase {
  char path;
  UINT result;
  const char* message;
  friend std::ostream& operator<<(std::ostream& out, const LaunchCase& c) {
    return out << c.path << " " << c.result << " " << c.message;
  }
};

class LaunchFailureTest : public DriverTest, public ::testing::WithParamInterface<LaunchCase> {};

TEST_P(LaunchFailureTest, GivesThePathsMessageWithoutWaiting) {
  const LaunchCase& c = GetParam();
  SeedPath(sim, c.path);
  sim.desktop.SetLaunchResult(c.result);
  EXPECT_FALSE(Enable(true));
  EXPECT_EQ(c.message, Result());
  ExpectControlPanelStarted();
  EXPECT_EQ(1, sim.desktop.TotalLooks());  // discovery's look only
  EXPECT_EQ(0u, sim.clock.Now());
}

INSTANTIATE_TEST_SUITE_P(
    AllPaths, LaunchFailureTest,
    ::testing::Values(LaunchCase{'1', 0, "The system is out of memory or resources! 6"},
                      LaunchCase{'1', 11, "Non-Win32 .EXE or error in .EXE image! 7"},
                      LaunchCase{'1', 2, "The specified file was not found! 8"},
                      LaunchCase{'1', 3, "The specified path was not found! 9"},
                      LaunchCase{'2', 0, "The system is out of memory or resources! 18"},
                      LaunchCase{'2', 11, "Non-Win32 .EXE or error in .EXE image! 19"},
                      LaunchCase{'2', 2, "The specified file was not found! 20"},
                      LaunchCase{'2', 3, "The specified path was not found! 21"},
                      LaunchCase{'3', 0, "The system is out of memory or resources! 31"},
                      LaunchCase{'3', 11, "Non-Win32 .EXE or error in .EXE image! 32"},
                      LaunchCase{'3', 2, "The specified file was not found! 33"},
                      LaunchCase{'3', 3, "The specified path was not found! 34"}));

// Windows 98 reports other errors below 32 as well (1, 5, 31); none of them
// is one of the four, so each counts as a start like any result above 31.
class LaunchStartedTest : public DriverTest, public ::testing::WithParamInterface<LaunchCase> {};

TEST_P(LaunchStartedTest, WaitsForTheMonitorAndSucceeds) {
  const LaunchCase& c = GetParam();
  SeedPath(sim, c.path);
  // The monitor comes up at the second look, whatever the launch reported.
  sim.desktop.AddWindow(c.path == '1' ? "IRMON" : "Infrared Monitor", {.appear_at_look = 2});
  sim.desktop.SetLaunchResult(c.result);
  EXPECT_TRUE(Enable(true));
  EXPECT_EQ(c.message, Result());
  ExpectControlPanelStarted();
  EXPECT_EQ(300u, sim.clock.Now());
}

INSTANTIATE_TEST_SUITE_P(
    OtherResults, LaunchStartedTest,
    ::testing::Values(LaunchCase{'1', 1, "Success! IrDA-driver is ENABLE! 11"},
                      LaunchCase{'1', 5, "Success! IrDA-driver is ENABLE! 11"},
                      LaunchCase{'1', 31, "Success! IrDA-driver is ENABLE! 11"},
                      LaunchCase{'1', 42, "Success! IrDA-driver is ENABLE! 11"},
                      LaunchCase{'2', 1, "Success! IrDA-driver is ENABLE! 23"},
                      LaunchCase{'2', 4, "Success! IrDA-driver is ENABLE! 23"},
                      LaunchCase{'2', 12, "Success! IrDA-driver is ENABLE! 23"},
                      LaunchCase{'2', 32, "Success! IrDA-driver is ENABLE! 23"},
                      LaunchCase{'3', 1, "Success! IrDA-driver is ENABLE! 36"},
                      LaunchCase{'3', 5, "Success! IrDA-driver is ENABLE! 36"},
                      LaunchCase{'3', 10, "Success! IrDA-driver is ENABLE! 36"},
                      LaunchCase{'3', 42, "Success! IrDA-driver is ENABLE! 36"}));

}  // namespace
}  // namespace raylet::sim
