// Switching the driver on against the stand-in stack: discovery from the real
// registry, the real control panel starting our applet, and the waits for the
// monitor's window measured on the real clock.
#include "StandInStackTest.h"

namespace standin {
namespace {

using EnableScenario = StandInStackTest;

TEST_F(EnableScenario, DriverNotInstalledGives1AndCreatesNothing) {
  StackSeed seed;
  seed.driver = DriverKeys::kAbsent;
  seed.control_panel_key = false;
  Seed(seed);

  bool ok = Enable(true);

  EXPECT_RESULT(record_, ok, false, "IrDA driver is not installed. 1");
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, "Enum\\Root\\Infrared"));
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, "Control Panel\\Infrared"));
  EXPECT_FALSE(ControlPanelStarted());
}

TEST_F(EnableScenario, NoVirtualPrinterPortGives2) {
  StackSeed seed;
  seed.driver = DriverKeys::kHalfInstalled;
  seed.ir_enabled = 0;
  Seed(seed);

  bool ok = Enable(true);

  EXPECT_RESULT(record_, ok, false, "IrDA driver is not installed. 2");
  EXPECT_STREQ(record_.V_COM, "COM4");
  EXPECT_STREQ(record_.V_LPT, "");
  EXPECT_EQ(IrEnabled(), 0);
  EXPECT_FALSE(ControlPanelStarted());
}

TEST_F(EnableScenario, SettingOnAndMonitorRunningGives3AndLeavesTheMonitorAlone) {
  SeedInstalled(1);
  HWND monitor = StartMonitor("IRMON");

  bool ok = Enable(true);

  EXPECT_RESULT(record_, ok, true, "Allready IrDA driver was ENABLE 3");
  EXPECT_EQ(record_.MonitorWindow, monitor);
  EXPECT_TRUE(MonitorLines("WM_").empty());
  EXPECT_EQ(FindWindowA(nullptr, "IRMON"), monitor);
  EXPECT_FALSE(ControlPanelStarted());
}

TEST_F(EnableScenario, ControlPanelStartsNoMonitorGives10AfterTheWholeIrmonWait) {
  SeedInstalled(1);
  SetScenario(nullptr, 0);

  bool ok = Enable(true);

  EXPECT_RESULT(record_, ok, false, "Raylet can not activate IrDA-driver! 10");
  EXPECT_GE(elapsed_ms(), 9000u) << "30 looks, each followed by 300 ms";
  EXPECT_LT(elapsed_ms(), 20000u);
  EXPECT_TRUE(ControlPanelOpened()) << "CONTROL.EXE INFRARED.CPL did not open the applet";
  EXPECT_EQ(record_.Active, 0);
  EXPECT_EQ(record_.MonitorWindow, nullptr);
  EXPECT_EQ(IrEnabled(), 1);
}

TEST_F(EnableScenario, ControlPanelStartsIrmonGives11) {
  SeedInstalled(1);
  SetScenario("IRMON", 600);

  bool ok = Enable(true);

  EXPECT_RESULT(record_, ok, true, "Success! IrDA-driver is ENABLE! 11");
  EXPECT_LT(elapsed_ms(), 9000u) << "the wait must stop once the window is there";
  EXPECT_TRUE(ControlPanelOpened());
  EXPECT_EQ(record_.Active, 1);
  EXPECT_NE(record_.MonitorWindow, nullptr);
  EXPECT_EQ(record_.MonitorWindow, FindWindowA(nullptr, "IRMON"));
  EXPECT_EQ(IrEnabled(), 1);
}

TEST_F(EnableScenario, SettingOffStopsTheMonitorThenBusyPhysicalPortGives13) {
  SeedInstalled(0);
  StartMonitor("IRMON");

  bool ok = Enable(true);

  EXPECT_RESULT(record_, ok, false,
                "Raylet cannot open port !\nAnother software possession physical port directly! 13");
  // The monitor was stopped by a sent WM_DESTROY before the probe failed.
  EXPECT_EQ(MonitorLines("WM_"), std::vector<std::string>{"WM_DESTROY 0 0 sent"});
  EXPECT_TRUE(WaitForNoWindow("IRMON", 5000));
  EXPECT_EQ(IrEnabled(), 0);
  EXPECT_FALSE(ControlPanelStarted());
}

TEST_F(EnableScenario, MissingControlPanelKeyGives29AndCreatesNoKey) {
  StackSeed seed;
  seed.control_panel_key = false;
  Seed(seed);

  bool ok = Enable(true);

  EXPECT_RESULT(record_, ok, false, "Registory error! 29");
  EXPECT_EQ(record_.Enable, 0u);
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, "Control Panel\\Infrared"));
  EXPECT_FALSE(ControlPanelStarted());
}

TEST_F(EnableScenario, SettingOffAndNoMonitorComingUpGives35AfterTheInfraredMonitorWait) {
  SeedInstalled(0);
  SetScenario(nullptr, 0);

  bool ok = Enable(true);

  EXPECT_RESULT(record_, ok, false, "Raylet can not activate IrDA-driver! 35");
  EXPECT_GE(elapsed_ms(), 6000u) << "20 looks of each title, 300 ms apart";
  EXPECT_LT(elapsed_ms(), 15000u);
  EXPECT_TRUE(ControlPanelOpened());
  // The setting was switched on before the control panel ran; it stays on.
  EXPECT_EQ(IrEnabled(), 1);
  EXPECT_EQ(record_.Enable, 1u);
  EXPECT_EQ(record_.MonitorWindow, nullptr);
}

TEST_F(EnableScenario, SettingOffAndInfraredMonitorComingUpGives36) {
  SeedInstalled(0);
  SetScenario("INFRARED", 600);

  bool ok = Enable(true);

  EXPECT_RESULT(record_, ok, true, "Success! IrDA-driver is ENABLE! 36");
  EXPECT_LT(elapsed_ms(), 6000u);
  EXPECT_TRUE(ControlPanelOpened());
  EXPECT_NE(record_.MonitorWindow, nullptr);
  EXPECT_EQ(record_.MonitorWindow, FindWindowA(nullptr, "Infrared Monitor"));
  EXPECT_EQ(IrEnabled(), 1);
}

}  // namespace
}  // namespace standin
