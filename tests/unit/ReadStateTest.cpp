// Discovery: what ReadState takes from the registry and the desktop, and
// what it makes of missing, oversized and odd values.
#include <gtest/gtest.h>

#include <cstring>

#include "sim/DriverFixture.h"

namespace raylet::sim {
namespace {

class ReadStateTest : public DriverTest {};

TEST_F(ReadStateTest, FillsEveryFieldUpperCasedAndFindsTheMonitor) {
  SeedIrda(sim, {.virtual_com = "com4", .virtual_lpt = "lpt3", .physical = "com\xe4x", .enabled = 7});
  HWND irmon = sim.desktop.AddWindow("IRMON");
  ray.ReadState();
  EXPECT_STREQ("COM4", ray.V_COM);
  EXPECT_STREQ("LPT3", ray.V_LPT);
  EXPECT_STREQ("COM\xe4X", ray.PhysicalCOM);  // only a-z change
  EXPECT_EQ(7u, ray.Enable);
  EXPECT_EQ(1, ray.Active);
  EXPECT_EQ(irmon, ray.MonitorWindow);
  // Discovery leaves the result text and the probe's fields alone.
  EXPECT_STREQ(TSetRay::kInitialResultText, ray.ResultText);
  EXPECT_FALSE(ray.PortHandle.IsValid());

  std::vector<std::string> opened;
  for (const RegOpenRecord& open : sim.registry.Opens()) opened.push_back(open.key);
  EXPECT_EQ((std::vector<std::string>{"HKLM\\Enum\\Infrared\\VirtualPorts", "HKLM\\Enum\\Infrared\\VirtualPorts",
                                      "HKLM\\Enum\\Infrared\\Framer", "HKCU\\Control Panel\\Infrared"}),
            opened);
  EXPECT_EQ(4, sim.registry.CloseCount());
  EXPECT_EQ(1, sim.desktop.TotalLooks());
  EXPECT_EQ(0u, sim.registry.Changes().size());
}

TEST_F(ReadStateTest, QueriesTextsWithSize100AndTheSettingWithSize4) {
  SeedIrda(sim);
  ray.ReadState();
  std::vector<std::string> queries;
  for (const std::string& line : sim.Trace()) {
    if (line.rfind("RegQueryValueExA", 0) == 0) queries.push_back(line.substr(line.find('"')));
  }
  EXPECT_EQ((std::vector<std::string>{"\"VirtualComPortName\" size 100 -> 0", "\"VirtualLptPortName\" size 100 -> 0",
                                      "\"PortName\" size 100 -> 0", "\"IrEnabled\" size 4 -> 0"}),
            queries);
}

TEST_F(ReadStateTest, EachMissingKeyEmptiesOnlyItsFields) {
  SeedIrda(sim);
  sim.desktop.AddWindow("IRMON");
  ray.ReadState();
  sim.registry.DeleteKey(HKEY_LOCAL_MACHINE, kVirtualPortsKey);
  ray.ReadState();
  EXPECT_STREQ("", ray.V_COM);
  EXPECT_STREQ("", ray.V_LPT);
  EXPECT_STREQ("COM2", ray.PhysicalCOM);
  EXPECT_EQ(1u, ray.Enable);

  sim.registry.DeleteKey(HKEY_LOCAL_MACHINE, kFramerKey);
  sim.registry.DeleteKey(HKEY_CURRENT_USER, kSettingKey);
  ray.ReadState();
  EXPECT_STREQ("", ray.PhysicalCOM);
  EXPECT_EQ(0u, ray.Enable);
  EXPECT_EQ(1, ray.Active);  // the monitor is looked for all the same
}

TEST_F(ReadStateTest, EachMissingValueEmptiesOnlyItsFieldAndClosesTheKey) {
  SeedIrda(sim, {.virtual_lpt = "", .physical = "", .enabled = std::nullopt});
  ray.ReadState();
  EXPECT_STREQ("COM4", ray.V_COM);
  EXPECT_STREQ("", ray.V_LPT);
  EXPECT_STREQ("", ray.PhysicalCOM);
  EXPECT_EQ(0u, ray.Enable);
  EXPECT_EQ(sim.registry.OpenCount(), sim.registry.CloseCount());
  EXPECT_EQ(4, sim.registry.CloseCount());
}

TEST_F(ReadStateTest, NoMonitorClearsAnEarlierOne) {
  SeedIrda(sim);
  HWND irmon = sim.desktop.AddWindow("IRMON");
  ray.ReadState();
  ASSERT_EQ(irmon, ray.MonitorWindow);
  sim.desktop.CloseWindow(irmon);
  ray.ReadState();
  EXPECT_EQ(0, ray.Active);
  EXPECT_EQ(nullptr, ray.MonitorWindow);
}

TEST_F(ReadStateTest, TextThatDoesNotFit100BytesCountsAsMissing) {
  SeedIrda(sim);
  ray.ReadState();
  ASSERT_STREQ("COM4", ray.V_COM);
  // 100 letters and the terminator: 101 bytes.
  sim.registry.SetString(HKEY_LOCAL_MACHINE, kVirtualPortsKey, "VirtualComPortName", std::string(100, 'c'));
  ray.ReadState();
  EXPECT_STREQ("", ray.V_COM);
  EXPECT_STREQ("LPT3", ray.V_LPT);
}

TEST_F(ReadStateTest, TextOfExactly100BytesIsTakenAndStaysTerminated) {
  SeedIrda(sim);
  // 99 letters and the terminator.
  sim.registry.SetString(HKEY_LOCAL_MACHINE, kVirtualPortsKey, "VirtualComPortName", std::string(99, 'c'));
  // 100 letters and no terminator at all.
  sim.registry.SetValue(HKEY_LOCAL_MACHINE, kFramerKey, "PortName", REG_SZ, std::string(100, 'p'));
  std::memset(ray.PhysicalCOM, 'x', sizeof ray.PhysicalCOM);
  ray.ReadState();
  EXPECT_EQ(std::string(99, 'C'), ray.V_COM);
  EXPECT_EQ(std::string(100, 'P'), std::string(ray.PhysicalCOM));
}

TEST_F(ReadStateTest, TypesAreTakenAsTheyCome) {
  SeedIrda(sim);
  sim.registry.SetValue(HKEY_LOCAL_MACHINE, kVirtualPortsKey, "VirtualComPortName", REG_BINARY, std::string("com5\0", 5));
  sim.registry.SetValue(HKEY_CURRENT_USER, kSettingKey, "IrEnabled", REG_BINARY, std::string("\x02\x00\x00\x00", 4));
  ray.ReadState();
  EXPECT_STREQ("COM5", ray.V_COM);
  EXPECT_EQ(2u, ray.Enable);

  // Eight bytes do not fit the setting's four: off, not half of the junk.
  sim.registry.SetValue(HKEY_CURRENT_USER, kSettingKey, "IrEnabled", REG_BINARY, std::string(8, '\x01'));
  ray.ReadState();
  EXPECT_EQ(0u, ray.Enable);
}

}  // namespace
}  // namespace raylet::sim
