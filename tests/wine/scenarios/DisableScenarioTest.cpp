// Switching the driver off against the stand-in stack. Every port of the
// stack's serial driver starts absent and these tests offer none, so a
// running monitor meets busy virtual ports and is never told to switch off.
#include "StandInStackTest.h"

namespace standin {
namespace {

using DisableScenario = StandInStackTest;

TEST_F(DisableScenario, DriverNotInstalledGives38) {
  StackSeed seed;
  seed.driver = DriverKeys::kAbsent;
  seed.control_panel_key = false;
  Seed(seed);

  bool ok = Enable(false);

  EXPECT_RESULT(record_, ok, true, "IrDA driver is not installed. 38");
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, "Control Panel\\Infrared"));
}

TEST_F(DisableScenario, NoVirtualPrinterPortGives39AndKeepsTheSetting) {
  StackSeed seed;
  seed.driver = DriverKeys::kHalfInstalled;
  seed.ir_enabled = 1;
  Seed(seed);

  bool ok = Enable(false);

  EXPECT_RESULT(record_, ok, true, "MS-IrDA driver is not installed. 39");
  EXPECT_EQ(IrEnabled(), 1);
}

TEST_F(DisableScenario, SettingOffGives40EvenWithAMonitorRunning) {
  SeedInstalled(0);
  HWND monitor = StartMonitor("IRMON");

  bool ok = Enable(false);

  EXPECT_RESULT(record_, ok, true, "Allready MS-IrDA driver was DISABLE! 40");
  EXPECT_TRUE(MonitorLines("WM_").empty());
  EXPECT_EQ(FindWindowA(nullptr, "IRMON"), monitor);
  EXPECT_EQ(IrEnabled(), 0);
}

TEST_F(DisableScenario, MonitorRunningWithBothVirtualPortsBusyGives43AndSendsNothing) {
  SeedInstalled(1);
  HWND monitor = StartMonitor("IRMON");

  bool ok = Enable(false);

  EXPECT_RESULT(record_, ok, false, "Raylet cannot open port !\nAnother software using \nvirtual port on IrDA driver! 43");
  EXPECT_TRUE(MonitorLines("WM_").empty()) << "no command 113 while the ports are busy";
  EXPECT_EQ(FindWindowA(nullptr, "IRMON"), monitor);
  EXPECT_EQ(IrEnabled(), 1);
}

TEST_F(DisableScenario, NoMonitorWritesTheSettingOffAndGives46) {
  SeedInstalled(1);

  bool ok = Enable(false);

  EXPECT_RESULT(record_, ok, true, "Success! IrDA-driver is DISABLE! 46");
  EXPECT_EQ(IrEnabled(), 0);
  EXPECT_EQ(record_.Enable, 0u);
}

}  // namespace
}  // namespace standin
