// Killing the driver against the stand-in stack: the monitor's log shows
// whether WM_DESTROY reached it and how.
#include "StandInStackTest.h"

namespace standin {
namespace {

using KillScenario = StandInStackTest;

TEST_F(KillScenario, NoMonitorGives53) {
  SeedInstalled(1);

  bool ok = Kill();

  EXPECT_RESULT(record_, ok, true, "Allready MS-IrDA was killed! 53");
  EXPECT_EQ(IrEnabled(), 1);
}

TEST_F(KillScenario, SettingOffPostsWmDestroyOnceAndGives50) {
  // Kill looks neither at the installed key nor at the virtual ports.
  StackSeed seed;
  seed.driver = DriverKeys::kAbsent;
  seed.ir_enabled = 0;
  Seed(seed);
  StartMonitor("IRMON");

  bool ok = Kill();

  EXPECT_RESULT(record_, ok, true, "Success! Raylet kill MS IrDA-driver! 50");
  EXPECT_TRUE(WaitForNoWindow("IRMON", 5000)) << "the monitor did not end";
  EXPECT_EQ(MonitorLines("WM_"), std::vector<std::string>{"WM_DESTROY 0 0 posted"});
}

TEST_F(KillScenario, SettingOnRunsTheSwitchingOffAndGivesOnly51) {
  SeedInstalled(1);
  HWND monitor = StartMonitor("IRMON");

  bool ok = Kill();

  EXPECT_RESULT(record_, ok, false, "You must do disable driver first! 51");
  // The switching off met busy virtual ports (43) and sent nothing; kill
  // itself posted no WM_DESTROY: the monitor stays.
  EXPECT_FALSE(WaitForNoWindow("IRMON", 500));
  EXPECT_EQ(FindWindowA(nullptr, "IRMON"), monitor);
  EXPECT_TRUE(MonitorLines("WM_").empty());
  EXPECT_EQ(IrEnabled(), 1);
}

}  // namespace
}  // namespace standin
