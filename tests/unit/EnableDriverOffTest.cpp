// Switching the driver off: every message with its result; the registry
// errors 47 and 48 need a fault after discovery has read the setting.
#include <gtest/gtest.h>

#include <ostream>

#include "sim/DriverFixture.h"

namespace raylet::sim {
namespace {

class SwitchOffTest : public DriverTest {};

TEST_F(SwitchOffTest, NotInstalledGives38AndTrue) {
  SeedIrda(sim, {.installed = false});
  sim.desktop.AddWindow("IRMON");
  EXPECT_TRUE(Enable(false));
  EXPECT_EQ("IrDA driver is not installed. 38", Result());
  ExpectNothingDone();
}

TEST_F(SwitchOffTest, InstallationIsAskedBeforeThePortNames) {
  SeedIrda(sim, {.installed = false, .virtual_com = "", .virtual_lpt = "", .enabled = 0});
  EXPECT_TRUE(Enable(false));
  EXPECT_EQ("IrDA driver is not installed. 38", Result());
}

TEST_F(SwitchOffTest, VirtualPortMissingGives39AndTrue) {
  for (IrdaSetup setup : {IrdaSetup{.virtual_lpt = ""}, IrdaSetup{.virtual_com = ""}}) {
    SimWindows fresh;
    SeedIrda(fresh, setup);
    fresh.desktop.AddWindow("IRMON");
    TSetRay record(fresh);
    EXPECT_TRUE(record.EnableDriver(false));
    EXPECT_STREQ("MS-IrDA driver is not installed. 39", record.ResultText);
    EXPECT_TRUE(fresh.ports.Creates().empty());
    EXPECT_TRUE(fresh.desktop.Messages().empty());
    EXPECT_TRUE(fresh.Problems().empty());
  }
}

TEST_F(SwitchOffTest, PortNamesOfOneLetterCountAsNamed) {
  SeedIrda(sim, {.virtual_com = "a", .virtual_lpt = "b", .enabled = 0});
  EXPECT_TRUE(Enable(false));
  EXPECT_EQ("Allready MS-IrDA driver was DISABLE! 40", Result());
}

TEST_F(SwitchOffTest, SettingOffGives40EvenWithMonitorRunning) {
  SeedIrda(sim, {.enabled = 0});
  sim.desktop.AddWindow("IRMON");
  EXPECT_TRUE(Enable(false));
  EXPECT_EQ("Allready MS-IrDA driver was DISABLE! 40", Result());
  ExpectNothingDone();
}

struct BusyCase {
  bool com_held;
  bool lpt_held;
  const char* message;
  friend std::ostream& operator<<(std::ostream& out, const BusyCase& c) { return out << c.message; }
};

class BusyPortTest : public DriverTest, public ::testing::WithParamInterface<BusyCase> {};

TEST_P(BusyPortTest, ProbesBothPortsAndLeavesTheMonitorAlone) {
  const BusyCase& c = GetParam();
  SeedIrda(sim);
  sim.ports.Spec("COM4")->held = c.com_held;
  sim.ports.Spec("LPT3")->held = c.lpt_held;
  sim.desktop.AddWindow("IRMON");
  EXPECT_FALSE(Enable(false));
  EXPECT_EQ(c.message, Result());
  ASSERT_EQ(2u, sim.ports.Creates().size());
  EXPECT_EQ("COM4", sim.ports.Creates()[0].name);
  EXPECT_EQ("LPT3", sim.ports.Creates()[1].name);
  EXPECT_TRUE(sim.desktop.Messages().empty());
  EXPECT_EQ(0u, Writes());
  EXPECT_EQ(1u, ray.Enable);
}

INSTANTIATE_TEST_SUITE_P(
    Messages41To43, BusyPortTest,
    ::testing::Values(
        BusyCase{true, false,
                 "Raylet cannot open port !\nAnother communication software \nusing virtual com port on IrDA driver! 41"},
        BusyCase{false, true,
                 "Raylet cannot open port !\nAnother software using \nvirtual printer port on IrDA driver! 42"},
        BusyCase{true, true, "Raylet cannot open port !\nAnother software using \nvirtual port on IrDA driver! 43"}));

TEST_F(SwitchOffTest, MonitorRunningAndPortsFreeSendsCommand113AndGives44) {
  SeedIrda(sim);
  HWND irmon = sim.desktop.AddWindow("IRMON");
  EXPECT_TRUE(Enable(false));
  EXPECT_EQ("Success! IrDA-driver is DISABLE! 44", Result());
  EXPECT_EQ((std::vector<MessageRecord>{{irmon, WM_COMMAND, 113, 0, true}}), sim.desktop.Messages());
  EXPECT_EQ(1, sim.ports.Closes("COM4"));
  EXPECT_EQ(1, sim.ports.Closes("LPT3"));
  EXPECT_EQ(0u, Writes());
  EXPECT_EQ(1u, ray.Enable);
}

TEST_F(SwitchOffTest, NoMonitorWritesSettingOffAndGives46) {
  SeedIrda(sim);
  EXPECT_TRUE(Enable(false));
  EXPECT_EQ("Success! IrDA-driver is DISABLE! 46", Result());
  ExpectSettingWritten(0);
  EXPECT_EQ(0u, ray.Enable);
  EXPECT_TRUE(sim.ports.Creates().empty());
  EXPECT_TRUE(sim.desktop.Messages().empty());
}

// Any setting other than 0 counts as on.
TEST_F(SwitchOffTest, SettingOfSevenIsSwitchedOffTo0) {
  SeedIrda(sim, {.enabled = 7});
  EXPECT_TRUE(Enable(false));
  EXPECT_EQ("Success! IrDA-driver is DISABLE! 46", Result());
  ExpectSettingWritten(0);
}

// The set-back restores "on" as 1, not the value that was read.
TEST_F(SwitchOffTest, FailedWriteOfASettingOfSevenSetsBackTo1) {
  SeedIrda(sim, {.enabled = 7});
  sim.faults.FailCallOn(Op::RegSet, kSettingKeyPath, 1);
  EXPECT_TRUE(Enable(false));
  EXPECT_EQ("Registory error! 47", Result());
  EXPECT_EQ(1u, ray.Enable);
  EXPECT_EQ(7u, IrEnabled(sim));
}

TEST_F(SwitchOffTest, FailedWriteGives47AndTrueWithSettingKept) {
  SeedIrda(sim);
  sim.faults.FailCallOn(Op::RegSet, kSettingKeyPath, 1);
  EXPECT_TRUE(Enable(false));
  EXPECT_EQ("Registory error! 47", Result());
  EXPECT_EQ(1u, ray.Enable);
  EXPECT_EQ(1u, IrEnabled(sim));
}

TEST_F(SwitchOffTest, FailedOpenAfterDiscoveryGives48AndTrueWithSettingKept) {
  SeedIrda(sim);
  // Discovery opens the key first; the switching off opens it second.
  sim.faults.FailCallOn(Op::RegOpen, kSettingKeyPath, 2);
  EXPECT_TRUE(Enable(false));
  EXPECT_EQ("Registory error! 48", Result());
  EXPECT_EQ(1u, ray.Enable);
  EXPECT_EQ(0u, Writes());
  EXPECT_EQ(1u, IrEnabled(sim));
}

}  // namespace
}  // namespace raylet::sim
