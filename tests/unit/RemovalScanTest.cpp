// The removal's indexed scans and its lowering of the "Installed" count.
#include <gtest/gtest.h>

#include <cstdio>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "maintenance/DriverRemoval.h"
#include "sim/SimFixture.h"

namespace raylet {
namespace {

using sim::RegChange;

const HKEY kLM = HKEY_LOCAL_MACHINE;
constexpr char kNet[] = "Enum\\Root\\Net";
constexpr char kClass[] = "System\\CurrentControlSet\\Services\\Class";

std::string Index(int i) {
  char name[8];
  std::snprintf(name, sizeof name, "%04d", i);
  return name;
}

std::string NetKey(int i) { return std::string(kNet) + "\\" + Index(i); }

// Records what each registry read hands to the system, before the system
// fills it in.
class ReadRecordingWindows : public sim::SimWindows {
 public:
  struct Read {
    std::string name;
    DWORD preset_type;
    DWORD size;
    bool zeroed;
  };
  LONG RegQueryValueExA(HKEY key, const char* name, DWORD* reserved, DWORD* type, BYTE* data,
                        DWORD* size) override {
    bool zeroed = true;
    for (DWORD i = 0; data != nullptr && size != nullptr && i < *size; ++i) zeroed = zeroed && data[i] == 0;
    reads.push_back({name, type ? *type : 0xFFFFFFFFu, size ? *size : 0, zeroed});
    return SimWindows::RegQueryValueExA(key, name, reserved, type, data, size);
  }
  std::vector<Read> reads;
};

class RemovalScanTest : public ::testing::Test {
 protected:
  void TearDown() override { sim.ExpectClean(); }

  void Remove() {
    sim.desktop.SetDefaultAnswer(IDCANCEL);
    RemoveDriver(sim);
  }
  // Subkeys deleted from `parent` (spelled as the program did).
  std::vector<std::string> DeletedUnder(const std::string& parent) const {
    std::vector<std::string> names;
    for (const RegChange& c : sim.registry.Changes()) {
      if (c.kind == RegChange::kDeleteKey && c.key == "HKLM\\" + parent) names.push_back(c.name);
    }
    return names;
  }
  void Net(int i, const std::string& value, const std::string& text) {
    sim.registry.SetString(kLM, NetKey(i), value, text);
  }
  std::optional<sim::RegValue> Installed() const { return sim.registry.GetValue(kLM, "Enum\\Infrared", "Installed"); }

  ReadRecordingWindows sim;
};

using Names = std::vector<std::string>;

TEST_F(RemovalScanTest, TwoMatchesLoseOnlyTheLowerOne) {
  Net(2, "CompatibleIDs", "IRMINI");
  Net(5, "CompatibleIDs", "IRMINI");
  Remove();
  EXPECT_EQ(Names{"0002"}, DeletedUnder(kNet));
  EXPECT_TRUE(sim.registry.KeyExists(kLM, NetKey(5)));
}

TEST_F(RemovalScanTest, SecondScanTakesAnotherKeyByItsHardwareId) {
  Net(2, "CompatibleIDs", "IRMINI");
  Net(5, "CompatibleIDs", "IRMINI");
  Net(5, "HardwareID", "IRMINI");
  Net(7, "HardwareID", "IRMINI");
  Remove();
  EXPECT_EQ((Names{"0002", "0005"}), DeletedUnder(kNet));
  EXPECT_TRUE(sim.registry.KeyExists(kLM, NetKey(7)));
}

TEST_F(RemovalScanTest, ComparesUpperCasedWholeText) {
  Net(0, "CompatibleIDs", "*IRMINI");
  Net(1, "CompatibleIDs", "IRMINI2");
  Net(2, "CompatibleIDs", "IRMINI ");
  Net(3, "CompatibleIDs", "irMini");
  Net(3, "HardwareID", "*PNP0500");
  Net(4, "HardwareID", "irmini");
  Remove();
  EXPECT_EQ((Names{"0003", "0004"}), DeletedUnder(kNet));
}

TEST_F(RemovalScanTest, ComparesOnlyUpToTheFirstNul) {
  // A multi-string: its first entry decides.
  sim.registry.SetValue(kLM, NetKey(1), "CompatibleIDs", 7, std::string("irmini\0*PNP0500\0\0", 17));
  sim.registry.SetValue(kLM, NetKey(2), "HardwareID", 7, std::string("*PNP0500\0IRMINI\0\0", 17));
  Remove();
  EXPECT_EQ(Names{"0001"}, DeletedUnder(kNet));
}

TEST_F(RemovalScanTest, IndexTwentyIsNeverLookedAt) {
  Net(20, "CompatibleIDs", "IRMINI");
  Net(21, "HardwareID", "IRMINI");
  Remove();
  EXPECT_TRUE(DeletedUnder(kNet).empty());
  for (const sim::RegOpenRecord& open : sim.registry.Opens()) {
    EXPECT_NE("HKLM\\" + NetKey(20), open.key);
  }
}

TEST_F(RemovalScanTest, ScansLookAtIndicesZeroToNineteenInOrder) {
  Remove();
  std::vector<std::string> net;
  for (const sim::RegOpenRecord& open : sim.registry.Opens()) {
    if (open.key.rfind("HKLM\\Enum\\Root\\Net\\", 0) == 0) net.push_back(open.key.substr(19));
  }
  Names expected;
  for (int scan = 0; scan < 2; ++scan) {
    for (int i = 0; i < 20; ++i) expected.push_back(Index(i));
  }
  EXPECT_EQ(expected, net);
}

TEST_F(RemovalScanTest, ValuesThatDoNotFitTheBufferNeverMatch) {
  sim.registry.SetValue(kLM, NetKey(1), "CompatibleIDs", REG_SZ, "IRMINI" + std::string(295, '\0'));  // 301
  sim.registry.SetValue(kLM, NetKey(2), "CompatibleIDs", REG_SZ, "IRMINI" + std::string(294, '\0'));  // 300
  sim.registry.SetValue(kLM, NetKey(3), "HardwareID", REG_SZ, std::string(300, 'i'));  // no terminator
  Remove();
  EXPECT_EQ(Names{"0002"}, DeletedUnder(kNet));
}

TEST_F(RemovalScanTest, ReadsIntoAZeroedBufferOf300WithTheTypePresetToText) {
  Net(0, "CompatibleIDs", "*PNP8387");
  sim.registry.SetString(kLM, std::string(kClass) + "\\NetTrans\\0000", "InfPath", "NETTRANS.INF");
  Remove();
  int scan_reads = 0;
  for (const auto& read : sim.reads) {
    if (read.name == "Installed") continue;
    ++scan_reads;
    EXPECT_EQ(300u, read.size) << read.name;
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), read.preset_type) << read.name;
    EXPECT_TRUE(read.zeroed) << read.name;
  }
  EXPECT_EQ(3, scan_reads);
}

TEST_F(RemovalScanTest, ClassScansMatchAdapterNameAndInfPath) {
  const std::string net = std::string(kClass) + "\\Net";
  const std::string trans = std::string(kClass) + "\\NetTrans";
  sim.registry.SetString(kLM, net + "\\0001", "AdapterName", "Dial-Up Adapter");
  sim.registry.SetString(kLM, net + "\\0006", "AdapterName", "irmini");
  sim.registry.SetString(kLM, net + "\\0007", "AdapterName", "IRMINI");
  sim.registry.SetString(kLM, trans + "\\0003", "InfPath", "fastir.inf");
  sim.registry.SetString(kLM, trans + "\\0004", "InfPath", "FASTIR");
  Remove();
  EXPECT_EQ(Names{"0006"}, DeletedUnder(net));
  EXPECT_EQ(Names{"0003"}, DeletedUnder(trans));
}

TEST_F(RemovalScanTest, ParentThatWillNotOpenPassesToTheNextMatch) {
  Net(1, "CompatibleIDs", "IRMINI");
  Net(3, "CompatibleIDs", "IRMINI");
  sim.faults.FailCallOn(sim::Op::RegOpen, "HKLM\\Enum\\Root\\Net", 1);
  Remove();
  EXPECT_EQ(Names{"0003"}, DeletedUnder(kNet));
}

TEST_F(RemovalScanTest, UnreadableValueSkipsItsIndex) {
  Net(1, "CompatibleIDs", "IRMINI");
  Net(2, "CompatibleIDs", "IRMINI");
  sim.faults.FailCallOn(sim::Op::RegQuery, "HKLM\\" + NetKey(1), 1);
  Remove();
  EXPECT_EQ(Names{"0002"}, DeletedUnder(kNet));
}

// --- "Installed" ---

TEST_F(RemovalScanTest, InstalledDropsByOneWrittenAsTwoBytesOfTheReadType) {
  sim.registry.SetDword(kLM, "Enum\\Infrared", "Installed", 3);
  Remove();
  ASSERT_TRUE(Installed());
  EXPECT_EQ(static_cast<DWORD>(REG_DWORD), Installed()->type);
  EXPECT_EQ(std::string("\x02\x00", 2), Installed()->data);
  Remove();
  EXPECT_EQ(std::string("\x01\x00", 2), Installed()->data) << "once per run";
}

TEST_F(RemovalScanTest, InstalledOf256OrMoreBorrowsFromTheHighByte) {
  // Only the low word is stored back, whatever the count above it.
  const std::pair<DWORD, std::string> kCounts[] = {{0x100, std::string("\xFF\x00", 2)},
                                                   {0x1234, std::string("\x33\x12", 2)},
                                                   {0x10000, std::string("\xFF\xFF", 2)},
                                                   {0x1000000, std::string("\xFF\xFF", 2)},
                                                   {0x80000000u, std::string("\xFF\xFF", 2)}};
  for (const auto& [count, stored] : kCounts) {
    sim.registry.SetDword(kLM, "Enum\\Infrared", "Installed", count);
    Remove();
    EXPECT_EQ(stored, Installed()->data) << std::hex << count;
  }
}

TEST_F(RemovalScanTest, InstalledKeepsABinaryType) {
  sim.registry.SetValue(kLM, "Enum\\Infrared", "Installed", REG_BINARY, std::string("\x01\x00", 2));
  Remove();
  ASSERT_TRUE(Installed());
  EXPECT_EQ(static_cast<DWORD>(REG_BINARY), Installed()->type);
  EXPECT_EQ(std::string("\x00\x00", 2), Installed()->data);
}

TEST_F(RemovalScanTest, InstalledAtZeroStaysZero) {
  sim.registry.SetValue(kLM, "Enum\\Infrared", "Installed", REG_BINARY, std::string("\x00\x00", 2));
  Remove();
  ASSERT_TRUE(Installed());
  EXPECT_EQ(std::string("\x00\x00", 2), Installed()->data);
  sim.registry.SetDword(kLM, "Enum\\Infrared", "Installed", 0);
  Remove();
  EXPECT_EQ(std::string("\x00\x00", 2), Installed()->data);
}

TEST_F(RemovalScanTest, InstalledIsReadWholeWithTheTypePresetToDword) {
  sim.registry.SetDword(kLM, "Enum\\Infrared", "Installed", 1);
  Remove();
  ASSERT_FALSE(sim.reads.empty());
  EXPECT_EQ("Installed", sim.reads[0].name);
  EXPECT_EQ(40u, sim.reads[0].size);
  EXPECT_EQ(static_cast<DWORD>(REG_DWORD), sim.reads[0].preset_type);
  EXPECT_TRUE(sim.reads[0].zeroed);
}

TEST_F(RemovalScanTest, InstalledMissingOrTooLongIsNotWritten) {
  sim.registry.CreateKey(kLM, "Enum\\Infrared");
  Remove();
  EXPECT_FALSE(Installed());
  sim.registry.SetValue(kLM, "Enum\\Infrared", "Installed", REG_BINARY, std::string(41, '\x05'));
  Remove();
  EXPECT_EQ(std::string(41, '\x05'), Installed()->data);
  for (const RegChange& c : sim.registry.Changes()) EXPECT_NE("Installed", c.name);
}

}  // namespace
}  // namespace raylet
