// The monitor's autostart value in the shell's Run key.
#include <gtest/gtest.h>

#include <string>

#include "maintenance/MonitorAutostart.h"
#include "sim/IrdaStack.h"
#include "sim/SimFixture.h"

namespace raylet {
namespace {

const HKEY kLM = HKEY_LOCAL_MACHINE;
constexpr char kRun[] = "Software\\Microsoft\\Windows\\CurrentVersion\\run";
const std::string kIrMon("IrMon.exe\0", 10);

class AutostartTest : public sim::SimTest {
 protected:
  void SetUp() override {
    sim.registry.SetString(kLM, kRun, "SystemTray", "SysTray.Exe");
    sim.registry.SetString(kLM, "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce", "RayCtl",
                           "C:\\RAYLET\\rayctl.exe /F");
  }
  std::optional<sim::RegValue> IrMon() const { return sim.registry.GetValue(kLM, kRun, "IrMon"); }
};

TEST_F(AutostartTest, SetWritesTheBareProgramNameWithItsTerminator) {
  std::string before = sim.registry.Dump(kLM);
  SetMonitorAutostart(sim);
  ASSERT_TRUE(IrMon());
  EXPECT_EQ(static_cast<DWORD>(REG_SZ), IrMon()->type);
  EXPECT_EQ(kIrMon, IrMon()->data);
  sim.registry.DeleteKey(kLM, std::string(kRun));
  sim.registry.SetString(kLM, kRun, "SystemTray", "SysTray.Exe");
  EXPECT_EQ(before, sim.registry.Dump(kLM)) << "nothing else changed";
  ASSERT_EQ(1u, sim.registry.Opens().size());
  EXPECT_EQ(std::string("HKLM\\") + kRun, sim.registry.Opens()[0].key) << "\"run\" spelled as Windows 98 stores it";
}

TEST_F(AutostartTest, SetTwiceLeavesOneValue) {
  SetMonitorAutostart(sim);
  std::string once = sim.registry.Dump(kLM);
  SetMonitorAutostart(sim);
  EXPECT_EQ(once, sim.registry.Dump(kLM));
}

TEST_F(AutostartTest, SetReplacesAnotherCommand) {
  sim.registry.SetString(kLM, kRun, "IrMon", "C:\\WINDOWS\\SYSTEM\\IRMON.EXE /quiet");
  SetMonitorAutostart(sim);
  EXPECT_EQ(kIrMon, IrMon()->data);
}

TEST_F(AutostartTest, ClearRemovesOnlyTheMonitorValue) {
  std::string without = sim.registry.Dump(kLM);
  SetMonitorAutostart(sim);
  ClearMonitorAutostart(sim);
  EXPECT_EQ(without, sim.registry.Dump(kLM));
}

TEST_F(AutostartTest, ClearWhenAbsentChangesNothing) {
  std::string before = sim.registry.Dump(kLM) + sim.registry.Dump(HKEY_CURRENT_USER);
  ClearMonitorAutostart(sim);
  EXPECT_EQ(before, sim.registry.Dump(kLM) + sim.registry.Dump(HKEY_CURRENT_USER));
}

TEST_F(AutostartTest, MissingRunKeyIsNotCreated) {
  sim.registry.DeleteKey(kLM, std::string(kRun));
  std::string before = sim.registry.Dump(kLM);
  SetMonitorAutostart(sim);
  ClearMonitorAutostart(sim);
  EXPECT_EQ(before, sim.registry.Dump(kLM));
  EXPECT_TRUE(sim.registry.Changes().empty());
}

TEST_F(AutostartTest, DoesNotDependOnTheDriver) {
  sim::SeedIrda(sim);
  sim.desktop.AddWindow("IRMON");
  SetMonitorAutostart(sim);
  EXPECT_EQ(kIrMon, IrMon()->data);
  ASSERT_EQ(1u, sim.registry.Changes().size());
  ClearMonitorAutostart(sim);
  EXPECT_FALSE(IrMon());
  EXPECT_EQ(2u, sim.registry.Changes().size());
  EXPECT_TRUE(sim.desktop.Messages().empty());
  EXPECT_TRUE(sim.desktop.Boxes().empty());
}

}  // namespace
}  // namespace raylet
