// Switching the driver on: every message of the decision tree with its
// result and what it did to the registry, the ports, the monitor and the
// clock.
#include <gtest/gtest.h>

#include <ostream>

#include "sim/DriverFixture.h"

namespace raylet::sim {
namespace {

class SwitchOnTest : public DriverTest {};

TEST_F(SwitchOnTest, NotInstalledGives1) {
  SeedIrda(sim, {.installed = false, .enabled = 0});
  sim.desktop.AddWindow("IRMON");
  EXPECT_FALSE(Enable(true));
  EXPECT_EQ("IrDA driver is not installed. 1", Result());
  ExpectNothingDone();
}

TEST_F(SwitchOnTest, InstallationIsAskedBeforeThePortNames) {
  SeedIrda(sim, {.installed = false, .virtual_com = "", .virtual_lpt = ""});
  EXPECT_FALSE(Enable(true));
  EXPECT_EQ("IrDA driver is not installed. 1", Result());
}

TEST_F(SwitchOnTest, VirtualPortMissingGives2) {
  for (IrdaSetup setup : {IrdaSetup{.virtual_lpt = ""}, IrdaSetup{.virtual_com = ""}}) {
    SimWindows fresh;
    SeedIrda(fresh, setup);
    TSetRay record(fresh);
    EXPECT_FALSE(record.EnableDriver(true));
    EXPECT_STREQ("IrDA driver is not installed. 2", record.ResultText);
    EXPECT_TRUE(fresh.ports.Creates().empty());
    EXPECT_TRUE(fresh.Problems().empty());
  }
}

TEST_F(SwitchOnTest, PortNamesOfOneLetterCountAsNamed) {
  SeedIrda(sim, {.virtual_com = "a", .virtual_lpt = "b"});
  sim.desktop.AddWindow("IRMON");
  EXPECT_TRUE(Enable(true));
  EXPECT_EQ("Allready IrDA driver was ENABLE 3", Result());
}

TEST_F(SwitchOnTest, SettingOnAndMonitorRunningGives3) {
  SeedIrda(sim, {.enabled = 7});
  sim.desktop.AddWindow("IRMON");
  EXPECT_TRUE(Enable(true));
  EXPECT_EQ("Allready IrDA driver was ENABLE 3", Result());
  ExpectNothingDone();
}

// ---------------------------------------------------------------- setting on, no monitor

TEST_F(SwitchOnTest, SettingOnAndVirtualPortFreeGives5) {
  SeedIrda(sim);
  EXPECT_TRUE(Enable(true));
  EXPECT_EQ("Success! IrDA-driver is ENABLE! 5", Result());
  EXPECT_EQ(1, ray.Active);
  EXPECT_EQ(1, sim.ports.Closes("COM4"));
  EXPECT_TRUE(sim.desktop.Launches().empty());
  EXPECT_EQ(0u, Writes());
  EXPECT_EQ(0u, sim.clock.Now());
}

TEST_F(SwitchOnTest, IrmonFoundAtThirdLookGives11After900ms) {
  SeedIrda(sim);
  sim.ports.Spec("COM4")->held = true;
  HWND irmon = sim.desktop.AddWindow("IRMON", {.starts_with_launch = true, .appear_at_look = 3});
  EXPECT_TRUE(Enable(true));
  EXPECT_EQ("Success! IrDA-driver is ENABLE! 11", Result());
  ExpectControlPanelStarted();
  EXPECT_EQ(1, ray.Active);
  EXPECT_EQ(irmon, ray.MonitorWindow);
  EXPECT_EQ(900u, sim.clock.Now());
  EXPECT_EQ(std::vector<DWORD>(3, 300), sim.clock.Sleeps());
  EXPECT_EQ(1 + 3, sim.desktop.Looks("IRMON"));
  EXPECT_EQ(0u, Writes());
}

// Each look comes before its pause: a monitor that is up 300 ms after the
// start is found at the second look, then the wait still pauses once more.
TEST_F(SwitchOnTest, IrmonWaitLooksBeforeEachPause) {
  SeedIrda(sim);
  sim.ports.Spec("COM4")->held = true;
  sim.desktop.AddWindow("IRMON", {.starts_with_launch = true, .appear_after_ms = 300});
  EXPECT_TRUE(Enable(true));
  EXPECT_EQ("Success! IrDA-driver is ENABLE! 11", Result());
  EXPECT_EQ(600u, sim.clock.Now());
  EXPECT_EQ(1 + 2, sim.desktop.Looks("IRMON"));
}

TEST_F(SwitchOnTest, IrmonNeverFoundGives10After30LooksAnd9s) {
  SeedIrda(sim);
  sim.ports.Spec("COM4")->held = true;
  EXPECT_FALSE(Enable(true));
  EXPECT_EQ("Raylet can not activate IrDA-driver! 10", Result());
  ExpectControlPanelStarted();
  EXPECT_EQ(1 + 30, sim.desktop.Looks("IRMON"));
  EXPECT_EQ(std::vector<DWORD>(30, 300), sim.clock.Sleeps());
  EXPECT_EQ(9000u, sim.clock.Now());
  EXPECT_EQ(0, ray.Active);
  EXPECT_EQ(nullptr, ray.MonitorWindow);
}

// ---------------------------------------------------------------- setting off, monitor running

TEST_F(SwitchOnTest, PhysicalPortHeldStopsMonitorThenGives13) {
  for (IrdaSetup setup : {IrdaSetup{.enabled = 0}, IrdaSetup{.physical = "", .enabled = 0}}) {
    SimWindows fresh;
    SeedIrda(fresh, setup);
    if (fresh.ports.Spec("COM2")) fresh.ports.Spec("COM2")->held = true;
    HWND irmon = fresh.desktop.AddWindow("IRMON");
    TSetRay record(fresh);
    EXPECT_FALSE(record.EnableDriver(true));
    EXPECT_STREQ("Raylet cannot open port !\nAnother software possession physical port directly! 13",
                 record.ResultText);
    EXPECT_EQ((std::vector<MessageRecord>{{irmon, WM_DESTROY, 0, 0, true}}), fresh.desktop.Messages());
    EXPECT_FALSE(fresh.desktop.IsOpen(irmon));
    EXPECT_EQ(0u, fresh.registry.Changes().size());
    EXPECT_EQ(0, fresh.ports.Opens("COM4"));
    EXPECT_TRUE(fresh.desktop.Launches().empty());
    EXPECT_TRUE(fresh.Problems().empty());
  }
}

// A running monitor holds the adapter's port: it has to go before the port
// can open.
class MonitorHoldsPortWindows : public SimWindows {
 public:
  LRESULT SendMessageA(HWND window, UINT message, WPARAM wparam, LPARAM lparam) override {
    if (message == WM_DESTROY && window == monitor) ports.Spec("COM2")->held = false;
    return SimWindows::SendMessageA(window, message, wparam, lparam);
  }
  HWND monitor = nullptr;
};

TEST_F(SwitchOnTest, MonitorIsStoppedBeforeTheAdaptersPortIsProbed) {
  MonitorHoldsPortWindows windows;
  SeedIrda(windows, {.enabled = 0});
  windows.ports.Spec("COM2")->held = true;
  windows.monitor = windows.desktop.AddWindow("IRMON");
  TSetRay record(windows);
  EXPECT_TRUE(record.EnableDriver(true));
  EXPECT_STREQ("Success! IrDA-driver is ENABLE! 17", record.ResultText);
  EXPECT_TRUE(windows.Problems().empty());
}

TEST_F(SwitchOnTest, SettingKeyMissingWithMonitorGives16) {
  SeedIrda(sim, {.setting_key = false});
  sim.desktop.AddWindow("IRMON");
  EXPECT_FALSE(Enable(true));
  EXPECT_EQ("Registory error! 16", Result());
  EXPECT_EQ(0u, ray.Enable);
  EXPECT_EQ(0u, Writes());
  EXPECT_FALSE(sim.registry.KeyExists(HKEY_CURRENT_USER, kSettingKey));
  EXPECT_EQ(1, sim.ports.Opens("COM2"));
  EXPECT_EQ(0, sim.ports.Opens("COM4"));
}

TEST_F(SwitchOnTest, SettingWriteFailsWithMonitorGives15) {
  SeedIrda(sim, {.enabled = 0});
  sim.desktop.AddWindow("IRMON");
  sim.faults.FailCall(Op::RegSet, 1);
  EXPECT_FALSE(Enable(true));
  EXPECT_EQ("Registory error! 15", Result());
  EXPECT_EQ(0u, ray.Enable);
  EXPECT_EQ(0u, IrEnabled(sim));
  EXPECT_EQ(0, sim.ports.Opens("COM4"));
}

TEST_F(SwitchOnTest, MonitorRunningAndPortsFreeGives17) {
  SeedIrda(sim, {.enabled = 0});
  HWND irmon = sim.desktop.AddWindow("IRMON");
  EXPECT_TRUE(Enable(true));
  EXPECT_EQ("Success! IrDA-driver is ENABLE! 17", Result());
  ExpectSettingWritten(1);
  EXPECT_EQ(1u, ray.Enable);
  EXPECT_EQ(1, ray.Active);  // as discovery found it
  EXPECT_EQ(1, Count(irmon, WM_DESTROY, true));
  EXPECT_EQ(1u, sim.desktop.Messages().size());
  ASSERT_EQ(2u, sim.ports.Creates().size());
  EXPECT_EQ("COM2", sim.ports.Creates()[0].name);  // the adapter's port first
  EXPECT_EQ("COM4", sim.ports.Creates()[1].name);
  EXPECT_TRUE(sim.desktop.Launches().empty());
}

TEST_F(SwitchOnTest, InfraredMonitorFoundAtFirstLookGives23WithoutSleep) {
  SeedIrda(sim, {.enabled = 0});
  sim.desktop.AddWindow("IRMON");
  sim.ports.Spec("COM4")->held = true;
  HWND monitor = sim.desktop.AddWindow("Infrared Monitor", {.starts_with_launch = true});
  EXPECT_TRUE(Enable(true));
  EXPECT_EQ("Success! IrDA-driver is ENABLE! 23", Result());
  ExpectControlPanelStarted();
  ExpectSettingWritten(1);
  EXPECT_EQ(monitor, ray.MonitorWindow);
  EXPECT_EQ(1, ray.Active);
  EXPECT_EQ(0, sim.clock.SleepCount());
  EXPECT_EQ(1, sim.desktop.Looks("Infrared Monitor"));
  EXPECT_EQ(0, sim.desktop.Looks(kMonitorTitleJapanese));
}

TEST_F(SwitchOnTest, NoMonitorWindowAfterStartGives22After20LooksOfEachTitle) {
  SeedIrda(sim, {.enabled = 0});
  sim.desktop.AddWindow("IRMON");
  sim.ports.Spec("COM4")->held = true;
  EXPECT_FALSE(Enable(true));
  EXPECT_EQ("Raylet can not activate IrDA-driver! 22", Result());
  ExpectControlPanelStarted();
  EXPECT_EQ(1u, IrEnabled(sim));  // the setting stays switched on
  EXPECT_EQ(20, sim.desktop.Looks("Infrared Monitor"));
  EXPECT_EQ(20, sim.desktop.Looks(kMonitorTitleJapanese));
  EXPECT_EQ(std::vector<DWORD>(20, 300), sim.clock.Sleeps());
  EXPECT_EQ(6000u, sim.clock.Now());
  EXPECT_EQ(nullptr, ray.MonitorWindow);
}

// ---------------------------------------------------------------- setting off, no monitor

TEST_F(SwitchOnTest, SettingKeyMissingGives29) {
  SeedIrda(sim, {.setting_key = false});
  EXPECT_FALSE(Enable(true));
  EXPECT_EQ("Registory error! 29", Result());
  EXPECT_EQ(0u, ray.Enable);
  EXPECT_FALSE(sim.registry.KeyExists(HKEY_CURRENT_USER, kSettingKey));
  ExpectNothingDone();
}

TEST_F(SwitchOnTest, SettingWriteFailsGives28) {
  SeedIrda(sim, {.enabled = 0});
  sim.faults.FailCallOn(Op::RegSet, kSettingKeyPath, 1);
  EXPECT_FALSE(Enable(true));
  EXPECT_EQ("Registory error! 28", Result());
  EXPECT_EQ(0u, ray.Enable);
  EXPECT_EQ(0u, IrEnabled(sim));
  EXPECT_TRUE(sim.ports.Creates().empty());
}

TEST_F(SwitchOnTest, SettingOffAndVirtualPortFreeGives30) {
  SeedIrda(sim, {.enabled = std::nullopt});
  EXPECT_TRUE(Enable(true));
  EXPECT_EQ("Success! IrDA-driver is ENABLE! 30", Result());
  ExpectSettingWritten(1);
  EXPECT_EQ(1u, ray.Enable);
  EXPECT_EQ(0, ray.Active);  // as discovery found it
  EXPECT_TRUE(sim.desktop.Messages().empty());
  EXPECT_TRUE(sim.desktop.Launches().empty());
}

TEST_F(SwitchOnTest, NoMonitorWindowAfterStartGives35After6s) {
  SeedIrda(sim, {.enabled = 0});
  sim.ports.Spec("COM4")->held = true;
  EXPECT_FALSE(Enable(true));
  EXPECT_EQ("Raylet can not activate IrDA-driver! 35", Result());
  ExpectControlPanelStarted();
  EXPECT_EQ(20, sim.desktop.Looks("Infrared Monitor"));
  EXPECT_EQ(20, sim.desktop.Looks(kMonitorTitleJapanese));
  EXPECT_EQ(6000u, sim.clock.Now());
}

TEST_F(SwitchOnTest, JapaneseMonitorTitleGives36) {
  SeedIrda(sim, {.enabled = 0});
  sim.ports.Spec("COM4")->held = true;
  HWND monitor = sim.desktop.AddWindow(kMonitorTitleJapanese, {.starts_with_launch = true});
  EXPECT_TRUE(Enable(true));
  EXPECT_EQ("Success! IrDA-driver is ENABLE! 36", Result());
  EXPECT_EQ(monitor, ray.MonitorWindow);
  EXPECT_EQ(0, ray.Active);
  EXPECT_EQ(0, sim.clock.SleepCount());
  EXPECT_EQ(1, sim.desktop.Looks("Infrared Monitor"));
  EXPECT_EQ(1, sim.desktop.Looks(kMonitorTitleJapanese));
}

TEST_F(SwitchOnTest, MonitorWindowThatComesLateStopsTheWaitAtOnce) {
  SeedIrda(sim, {.enabled = 0});
  sim.ports.Spec("COM4")->held = true;
  sim.desktop.AddWindow("Infrared Monitor", {.starts_with_launch = true, .appear_after_ms = 600});
  EXPECT_TRUE(Enable(true));
  EXPECT_EQ("Success! IrDA-driver is ENABLE! 36", Result());
  EXPECT_EQ(600u, sim.clock.Now());
  EXPECT_EQ(3, sim.desktop.Looks("Infrared Monitor"));
  EXPECT_EQ(2, sim.desktop.Looks(kMonitorTitleJapanese));
}

}  // namespace
}  // namespace raylet::sim
