// The simulated registry must behave like the Windows 98 one where the
// program relies on it, and must catch every handle misuse.
#include <gtest/gtest.h>

#include <cstring>

#include "sim/SimWindows.h"

namespace raylet::sim {
namespace {

bool Mentions(const std::vector<std::string>& problems, const std::string& part) {
  for (const std::string& p : problems) {
    if (p.find(part) != std::string::npos) return true;
  }
  return false;
}

TEST(SimRegistry, PathsAndNamesAreCaseInsensitiveAndOpenNeverCreates) {
  SimWindows sim;
  sim.registry.SetString(HKEY_LOCAL_MACHINE, "Enum\\Infrared\\Framer", "PortName", "com2");
  int keys = sim.registry.KeyCount();

  HKEY key = nullptr;
  ASSERT_EQ(ERROR_SUCCESS, sim.RegOpenKeyExA(HKEY_LOCAL_MACHINE, "ENUM\\infrared\\FRAMER", 0, KEY_ALL_ACCESS, &key));
  char buffer[16] = {};
  DWORD type = 0, size = sizeof buffer;
  EXPECT_EQ(ERROR_SUCCESS, sim.RegQueryValueExA(key, "portname", nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size));
  EXPECT_STREQ("com2", buffer);
  EXPECT_EQ(REG_SZ, type);
  EXPECT_EQ(5u, size);
  EXPECT_EQ(ERROR_SUCCESS, sim.RegCloseKey(key));

  HKEY missing = nullptr;
  EXPECT_NE(ERROR_SUCCESS, sim.RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Enum\\Infrared\\Nothing", 0, KEY_ALL_ACCESS, &missing));
  EXPECT_NE(ERROR_SUCCESS, sim.RegOpenKeyExA(HKEY_CURRENT_USER, "Enum\\Infrared", 0, KEY_ALL_ACCESS, &missing));
  EXPECT_EQ(keys, sim.registry.KeyCount());
  EXPECT_TRUE(sim.Problems().empty());
}

TEST(SimRegistry, QueryIntoTooSmallBufferGivesMoreDataAndJunk) {
  SimWindows sim;
  sim.registry.SetString(HKEY_LOCAL_MACHINE, "K", "Text", "ABCDEFGH");  // 9 bytes with NUL
  HKEY key = nullptr;
  ASSERT_EQ(ERROR_SUCCESS, sim.RegOpenKeyExA(HKEY_LOCAL_MACHINE, "K", 0, KEY_ALL_ACCESS, &key));
  BYTE buffer[8] = {};
  DWORD type = 0, size = sizeof buffer;
  EXPECT_EQ(ERROR_MORE_DATA, sim.RegQueryValueExA(key, "Text", nullptr, &type, buffer, &size));
  EXPECT_EQ(9u, size);
  EXPECT_EQ(REG_SZ, type);
  EXPECT_EQ(0xCD, buffer[0]);
  size = 9;
  BYTE exact[9] = {};
  EXPECT_EQ(ERROR_SUCCESS, sim.RegQueryValueExA(key, "Text", nullptr, nullptr, exact, &size));
  EXPECT_EQ(ERROR_FILE_NOT_FOUND, sim.RegQueryValueExA(key, "Other", nullptr, &type, exact, &size));
  sim.RegCloseKey(key);
}

TEST(SimRegistry, DeleteKeyRemovesWholeSubtreeAndOpenHandlesSeeItGone) {
  SimWindows sim;
  sim.registry.SetString(HKEY_LOCAL_MACHINE, "Enum\\Infrared\\Framer\\0000", "Driver", "x");
  sim.registry.SetString(HKEY_LOCAL_MACHINE, "Enum\\Other", "Keep", "y");
  HKEY enum_key = nullptr, framer = nullptr;
  ASSERT_EQ(ERROR_SUCCESS, sim.RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Enum", 0, KEY_ALL_ACCESS, &enum_key));
  ASSERT_EQ(ERROR_SUCCESS, sim.RegOpenKeyExA(enum_key, "Infrared\\Framer", 0, KEY_ALL_ACCESS, &framer));
  EXPECT_EQ(ERROR_SUCCESS, sim.RegDeleteKeyA(enum_key, "INFRARED"));
  EXPECT_FALSE(sim.registry.KeyExists(HKEY_LOCAL_MACHINE, "Enum\\Infrared"));
  EXPECT_TRUE(sim.registry.KeyExists(HKEY_LOCAL_MACHINE, "Enum\\Other"));
  EXPECT_EQ(ERROR_FILE_NOT_FOUND, sim.RegDeleteKeyA(enum_key, "Infrared"));
  DWORD size = 0;
  EXPECT_NE(ERROR_SUCCESS, sim.RegQueryValueExA(framer, "Driver", nullptr, nullptr, nullptr, &size));
  sim.RegCloseKey(framer);
  sim.RegCloseKey(enum_key);
  EXPECT_TRUE(sim.Problems().empty());
}

TEST(SimRegistry, SetAndDeleteValueAreRecordedAndDumpShowsTheState) {
  SimWindows sim;
  sim.registry.CreateKey(HKEY_CURRENT_USER, "Control Panel\\Infrared");
  std::string before = sim.registry.Dump(HKEY_CURRENT_USER, "Control Panel");
  HKEY key = nullptr;
  ASSERT_EQ(ERROR_SUCCESS, sim.RegOpenKeyExA(HKEY_CURRENT_USER, "Control Panel\\Infrared", 0, KEY_ALL_ACCESS, &key));
  DWORD one = 1;
  EXPECT_EQ(ERROR_SUCCESS, sim.RegSetValueExA(key, "IrEnabled", 0, REG_DWORD, reinterpret_cast<BYTE*>(&one), 4));
  EXPECT_EQ(1u, sim.registry.GetDword(HKEY_CURRENT_USER, "Control Panel\\Infrared", "irenabled"));
  EXPECT_NE(before, sim.registry.Dump(HKEY_CURRENT_USER, "Control Panel"));
  EXPECT_NE(std::string::npos, sim.registry.Dump(HKEY_CURRENT_USER).find("\"IrEnabled\" = 4:01000000"));
  EXPECT_EQ(ERROR_SUCCESS, sim.RegDeleteValueA(key, "IRENABLED"));
  EXPECT_EQ(before, sim.registry.Dump(HKEY_CURRENT_USER, "Control Panel"));
  sim.RegCloseKey(key);
  ASSERT_EQ(2u, sim.registry.Changes().size());
  EXPECT_EQ("HKCU\\Control Panel\\Infrared", sim.registry.Changes()[0].key);
  EXPECT_EQ(RegChange::kDeleteValue, sim.registry.Changes()[1].kind);
}

TEST(SimRegistry, HandleMisuseAndLeaksAreProblems) {
  SimWindows sim;
  sim.registry.CreateKey(HKEY_LOCAL_MACHINE, "A");
  HKEY key = nullptr, leaked = nullptr;
  ASSERT_EQ(ERROR_SUCCESS, sim.RegOpenKeyExA(HKEY_LOCAL_MACHINE, "A", 0, 0x20019, &key));
  sim.RegCloseKey(key);
  sim.RegCloseKey(key);
  DWORD size = 4;
  DWORD value;
  sim.RegQueryValueExA(key, "x", nullptr, nullptr, reinterpret_cast<BYTE*>(&value), &size);
  sim.RegCloseKey(reinterpret_cast<HKEY>(0x777));
  ASSERT_EQ(ERROR_SUCCESS, sim.RegOpenKeyExA(HKEY_LOCAL_MACHINE, "A", 1, KEY_ALL_ACCESS, &leaked));
  auto problems = sim.Problems();
  EXPECT_EQ(6u, problems.size());
  EXPECT_TRUE(Mentions(problems, "with access"));
  EXPECT_TRUE(Mentions(problems, "twice"));
  EXPECT_TRUE(Mentions(problems, "after its close"));
  EXPECT_TRUE(Mentions(problems, "unknown key handle"));
  EXPECT_TRUE(Mentions(problems, "with options 1"));
  EXPECT_TRUE(Mentions(problems, "key left open: HKLM\\A"));
  EXPECT_EQ(2, sim.registry.OpenCount());
  EXPECT_EQ(1, sim.registry.CloseCount());
}

TEST(SimRegistry, FaultsHitTheChosenCallOnly) {
  SimWindows sim;
  sim.registry.SetDword(HKEY_CURRENT_USER, "Control Panel\\Infrared", "IrEnabled", 1);
  sim.registry.CreateKey(HKEY_LOCAL_MACHINE, "Enum\\Root\\Infrared");
  sim.faults.FailCallOn(Op::RegOpen, "hkcu\\control panel\\infrared", 2);
  sim.faults.FailCall(Op::RegSet, 1);
  auto open = [&](HKEY root, const char* path) {
    HKEY key = nullptr;
    LONG status = sim.RegOpenKeyExA(root, path, 0, KEY_ALL_ACCESS, &key);
    if (status == ERROR_SUCCESS) sim.RegCloseKey(key);
    return status;
  };
  EXPECT_EQ(ERROR_SUCCESS, open(HKEY_CURRENT_USER, "Control Panel\\Infrared"));
  EXPECT_EQ(ERROR_SUCCESS, open(HKEY_LOCAL_MACHINE, "Enum\\Root\\Infrared"));
  EXPECT_NE(ERROR_SUCCESS, open(HKEY_CURRENT_USER, "Control Panel\\Infrared"));
  EXPECT_EQ(ERROR_SUCCESS, open(HKEY_CURRENT_USER, "Control Panel\\Infrared"));
  EXPECT_EQ(4, sim.faults.Calls(Op::RegOpen));
  EXPECT_EQ(3, sim.faults.Calls(Op::RegOpen, "HKCU\\Control Panel\\Infrared"));

  HKEY key = nullptr;
  ASSERT_EQ(ERROR_SUCCESS, sim.RegOpenKeyExA(HKEY_CURRENT_USER, "Control Panel\\Infrared", 0, KEY_ALL_ACCESS, &key));
  DWORD zero = 0;
  EXPECT_NE(ERROR_SUCCESS, sim.RegSetValueExA(key, "IrEnabled", 0, REG_DWORD, reinterpret_cast<BYTE*>(&zero), 4));
  EXPECT_EQ(1u, sim.registry.GetDword(HKEY_CURRENT_USER, "Control Panel\\Infrared", "IrEnabled"));
  EXPECT_EQ(ERROR_SUCCESS, sim.RegSetValueExA(key, "IrEnabled", 0, REG_DWORD, reinterpret_cast<BYTE*>(&zero), 4));
  sim.RegCloseKey(key);
  EXPECT_TRUE(sim.Problems().empty());
}

}  // namespace
}  // namespace raylet::sim
