// Discovery: what ReadState takes from the registry and the desktop, and
// what it makes of missing, oversized and odd values.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <new>
#include <type_traits>

#include "sim/DriverFixture.h"
#include "sim/StackPoison.h"

namespace raylet::sim {
namespace {

// The record's fields, their widths and types, as the shell and every
// operation rely on them.
static_assert(sizeof(TSetRay::PhysicalCOM) == 256);
static_assert(sizeof(TSetRay::ResultText) == 1000);
static_assert(std::is_same_v<decltype(TSetRay::Enable), DWORD> && sizeof(DWORD) == 4);
static_assert(std::is_same_v<decltype(TSetRay::Active), BYTE> && sizeof(BYTE) == 1);
static_assert(sizeof(TSetRay::V_COM) == 256);
static_assert(sizeof(TSetRay::V_LPT) == 256);
static_assert(std::is_same_v<decltype(TSetRay::MonitorWindow), HWND>);
static_assert(std::is_same_v<decltype(TSetRay::PortSettings), DCB>);
static_assert(std::is_same_v<decltype(TSetRay::PortTimeouts), COMMTIMEOUTS>);
static_assert(std::has_virtual_destructor_v<TSetRay>);

class ReadStateTest : public DriverTest {};

// Before any discovery the record holds nothing but the initial text, in
// whatever memory it is built.
TEST_F(ReadStateTest, NewRecordIsEmptyButForTheInitialText) {
  alignas(TSetRay) unsigned char storage[sizeof(TSetRay)];
  std::memset(storage, 0xA5, sizeof storage);
  auto* record = new (storage) TSetRay(sim);
  auto all_zero = [](const void* data, std::size_t size) {
    const auto* bytes = static_cast<const unsigned char*>(data);
    return std::all_of(bytes, bytes + size, [](unsigned char b) { return b == 0; });
  };
  EXPECT_TRUE(all_zero(record->PhysicalCOM, sizeof record->PhysicalCOM));
  EXPECT_STREQ(TSetRay::kInitialResultText, record->ResultText);
  EXPECT_EQ(0u, record->Enable);
  EXPECT_EQ(0, record->Active);
  EXPECT_TRUE(all_zero(record->V_COM, sizeof record->V_COM));
  EXPECT_TRUE(all_zero(record->V_LPT, sizeof record->V_LPT));
  EXPECT_EQ(nullptr, record->MonitorWindow);
  EXPECT_FALSE(record->PortHandle.IsValid());
  EXPECT_TRUE(all_zero(&record->PortSettings, sizeof record->PortSettings));
  EXPECT_TRUE(all_zero(&record->PortTimeouts, sizeof record->PortTimeouts));
  record->~TSetRay();
  EXPECT_TRUE(sim.Trace().empty()) << "building and destroying the record asks the system nothing";
}

TEST_F(ReadStateTest, FieldsStandInTheirOrder) {
  auto at = [this](const void* field) { return static_cast<const char*>(field) - reinterpret_cast<char*>(&ray); };
  std::vector<std::ptrdiff_t> offsets = {at(ray.PhysicalCOM), at(ray.ResultText), at(&ray.Enable),
                                         at(&ray.Active),     at(ray.V_COM),      at(ray.V_LPT),
                                         at(&ray.MonitorWindow), at(&ray.PortHandle), at(&ray.PortSettings),
                                         at(&ray.PortTimeouts)};
  EXPECT_TRUE(std::is_sorted(offsets.begin(), offsets.end()));
}

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

// The monitor is found by its title alone, whatever its window class; the
// setting is read before the look.
TEST_F(ReadStateTest, LooksForTheMonitorByTitleOnlyAfterReadingTheSetting) {
  SeedIrda(sim);
  HWND irmon = sim.desktop.AddWindow("IRMON", {.class_name = "IrMonitorClass"});
  ray.ReadState();
  EXPECT_EQ(irmon, ray.MonitorWindow);
  std::vector<std::string> calls;
  for (const std::string& line : sim.Trace()) {
    if (line.find("\"IrEnabled\"") != std::string::npos || line.rfind("FindWindowA", 0) == 0) {
      calls.push_back(line.substr(0, line.find(" -> ")));
    }
  }
  ASSERT_EQ(2u, calls.size());
  EXPECT_EQ(0u, calls[0].rfind("RegQueryValueExA", 0)) << calls[0];
  EXPECT_EQ("FindWindowA (null) \"IRMON\"", calls[1]);
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
  PoisonStack();  // the byte after the 100 is the program's to set
  ray.ReadState();
  EXPECT_EQ(std::string(99, 'C'), ray.V_COM);
  EXPECT_EQ(std::string(100, 'P'), std::string(ray.PhysicalCOM));
}

// Windows keeps a text value as stored, terminator or not; the zeroed buffer
// ends it.
TEST_F(ReadStateTest, TextsStoredWithoutTerminatorEndWithTheirBytes) {
  SeedIrda(sim);
  sim.registry.SetValue(HKEY_LOCAL_MACHINE, kVirtualPortsKey, "VirtualComPortName", REG_SZ, "com7");
  sim.registry.SetValue(HKEY_LOCAL_MACHINE, kVirtualPortsKey, "VirtualLptPortName", REG_SZ, "lpt2");
  sim.registry.SetValue(HKEY_LOCAL_MACHINE, kFramerKey, "PortName", REG_SZ, "com1");
  PoisonStack();
  ray.ReadState();
  EXPECT_STREQ("COM7", ray.V_COM);
  EXPECT_STREQ("LPT2", ray.V_LPT);
  EXPECT_STREQ("COM1", ray.PhysicalCOM);
}

// A setting stored in fewer than four bytes fills the low ones only.
TEST_F(ReadStateTest, ShortSettingValueIsReadIntoAZeroedWord) {
  SeedIrda(sim);
  sim.registry.SetValue(HKEY_CURRENT_USER, kSettingKey, "IrEnabled", REG_BINARY, std::string("\x01\x00", 2));
  ray.Enable = 0xA5A5A5A5u;
  ray.ReadState();
  EXPECT_EQ(1u, ray.Enable);
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
