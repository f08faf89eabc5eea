// First stage of the driver's removal on whole systems: a full install, a
// partial one and none. Each case compares the whole registry with the state
// expected afterwards, so a deletion outside the driver's keys shows.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "maintenance/DriverRemoval.h"
#include "sim/SimFixture.h"

namespace raylet {
namespace {

using sim::RegChange;
using sim::SimWindows;

constexpr char kRunOnce[] = "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce";
constexpr char kRun[] = "Software\\Microsoft\\Windows\\CurrentVersion\\run";
constexpr char kClass[] = "System\\CurrentControlSet\\Services\\Class";
constexpr char kCommand[] = "C:\\RAYLET\\rayctl.exe /F";

const HKEY kLM = HKEY_LOCAL_MACHINE;

std::string ClassKey(const std::string& sub) { return std::string(kClass) + "\\" + sub; }

// What every Windows 98 system has, driver or not.
void SeedSystem(SimWindows& s) {
  s.registry.CreateKey(kLM, kRunOnce);
  s.registry.SetString(kLM, kRun, "IrMon", "IrMon.exe");
  s.registry.SetString(kLM, kRun, "SystemTray", "SysTray.Exe");
  s.registry.SetString(kLM, "Enum\\Network\\MSTCP\\0000", "DeviceDesc", "TCP/IP");
  s.registry.SetString(kLM, "Enum\\Root\\Net\\0000", "CompatibleIDs", "*PNP8387");
  s.registry.SetString(kLM, "Enum\\Root\\Net\\0000", "HardwareID", "*PNP8387");
  s.registry.SetString(kLM, ClassKey("Net\\0000"), "AdapterName", "Dial-Up Adapter");
  s.registry.SetString(kLM, ClassKey("NetTrans\\0000"), "InfPath", "NETTRANS.INF");
  s.registry.SetString(kLM, ClassKey("Modem\\0000"), "InfPath", "MDMGEN.INF");
  s.registry.SetDword(HKEY_CURRENT_USER, "Control Panel\\Infrared", "IrEnabled", 1);
  s.files.windows_directory = "C:\\WINDOWS";
  s.files.system_directory = "C:\\WINDOWS\\SYSTEM";
  s.files.current_directory = "C:\\RAYLET";
  s.files.module_file_name = "C:\\RAYLET\\rayctl.exe";
  s.files.AddFile("C:\\WINDOWS\\SYSTEM\\IRMON.EXE");
  s.files.AddFile("C:\\WINDOWS\\SYSTEM\\MODEM.CPL");
}

// The keys and values the MS-IrDA stack leaves behind.
void SeedDriver(SimWindows& s) {
  s.registry.SetDword(kLM, "Enum\\Infrared", "Installed", 2);
  s.registry.SetString(kLM, "Enum\\Infrared\\COM\\0000", "PortName", "COM4");
  s.registry.SetString(kLM, "Enum\\Infrared\\LPT\\0000", "PortName", "LPT3");
  s.registry.SetString(kLM, "Enum\\Infrared\\VirtualPorts", "VirtualComPortName", "COM4");
  s.registry.SetString(kLM, "Enum\\Infrared\\Framer", "PortName", "COM2");
  s.registry.SetString(kLM, "Enum\\Network\\FASTIR\\0000", "DeviceDesc", "Fast Infrared Protocol");
  s.registry.SetString(kLM, "Enum\\Root\\Infrared\\0000", "DeviceDesc", "Infrared PnP Serial Port");
  s.registry.SetString(kLM, "Enum\\Root\\Net\\0001", "CompatibleIDs", "IRMINI");
  s.registry.SetString(kLM, "Enum\\Root\\Net\\0002", "HardwareID", "IRMINI");
  s.registry.SetString(kLM, ClassKey("Infrared"), "Class", "Infrared");
  s.registry.SetString(kLM, ClassKey("Infrared\\0000"), "DriverDesc", "Infrared PnP Serial Port");
  s.registry.SetString(kLM, ClassKey("Infrared\\0003"), "DriverDesc", "Generic IrDA");
  s.registry.SetString(kLM, ClassKey("Net\\0004"), "AdapterName", "IRMINI");
  s.registry.SetString(kLM, ClassKey("NetTrans\\0002"), "InfPath", "FASTIR.INF");
  s.files.AddFile("C:\\WINDOWS\\SYSTEM\\Infrared.cpl");
}

// The registry of `before` with the removal applied by hand.
void ApplyExpectedRemoval(SimWindows& s, const std::string& installed) {
  if (!installed.empty()) s.registry.SetValue(kLM, "Enum\\Infrared", "Installed", REG_DWORD, installed);
  for (const char* key : {"Enum\\Infrared\\COM", "Enum\\Infrared\\LPT", "Enum\\Network\\FASTIR", "Enum\\Root\\Infrared",
                          "Enum\\Root\\Net\\0001", "Enum\\Root\\Net\\0002"}) {
    s.registry.DeleteKey(kLM, key);
  }
  s.registry.DeleteKey(kLM, ClassKey("Infrared\\0000"));
  s.registry.DeleteKey(kLM, ClassKey("Infrared\\0003"));
  s.registry.DeleteKey(kLM, ClassKey("Net\\0004"));
  s.registry.DeleteKey(kLM, ClassKey("NetTrans\\0002"));
  s.registry.SetString(kLM, kRunOnce, "RayCtl", kCommand);
}

class RemovalTest : public sim::SimTest {
 protected:
  void Remove(int answer = IDCANCEL) {
    sim.desktop.SetDefaultAnswer(answer);
    RemoveDriver(sim);
  }
  void ExpectRegistry(const SimWindows& expected) {
    EXPECT_EQ(expected.registry.Dump(kLM), sim.registry.Dump(kLM));
    EXPECT_EQ(expected.registry.Dump(HKEY_CURRENT_USER), sim.registry.Dump(HKEY_CURRENT_USER));
  }
  void ExpectOneQuestion() {
    ASSERT_EQ(1u, sim.desktop.Boxes().size());
    const sim::MessageBoxRecord& box = sim.desktop.Boxes()[0];
    EXPECT_EQ(nullptr, box.owner);
    EXPECT_EQ("Restart Windows!", box.text);
    EXPECT_EQ("Notice!", box.caption);
    EXPECT_EQ(static_cast<UINT>(MB_OKCANCEL), box.style);
    EXPECT_EQ(0, box.language);
    EXPECT_TRUE(box.ex);
  }
  // Index in the trace of the first call that starts with `prefix`.
  int TraceIndex(const std::string& prefix) const {
    const std::vector<std::string>& trace = sim.Trace();
    for (std::size_t i = 0; i < trace.size(); ++i) {
      if (trace[i].compare(0, prefix.size(), prefix) == 0) return static_cast<int>(i);
    }
    return -1;
  }
  int LastIndex(const std::string& prefix) const {
    const std::vector<std::string>& trace = sim.Trace();
    for (std::size_t i = trace.size(); i-- > 0;) {
      if (trace[i].compare(0, prefix.size(), prefix) == 0) return static_cast<int>(i);
    }
    return -1;
  }
};

TEST_F(RemovalTest, FullInstallLosesExactlyTheDriverKeysAndTheControlPanelFile) {
  SeedSystem(sim);
  SeedDriver(sim);
  SimWindows expected;
  SeedSystem(expected);
  SeedDriver(expected);
  ApplyExpectedRemoval(expected, std::string("\x01\x00", 2));

  Remove();

  ExpectRegistry(expected);
  EXPECT_FALSE(sim.files.Exists("C:\\WINDOWS\\SYSTEM\\Infrared.cpl"));
  EXPECT_TRUE(sim.files.Exists("C:\\WINDOWS\\SYSTEM\\IRMON.EXE")) << "driver files wait for the second stage";
  EXPECT_TRUE(sim.files.Exists("C:\\WINDOWS\\SYSTEM\\MODEM.CPL"));
  ASSERT_EQ(1u, sim.files.Deletes().size());
  EXPECT_EQ("C:\\WINDOWS\\SYSTEM\\Infrared.cpl", sim.files.Deletes()[0].path);
  ExpectOneQuestion();
  EXPECT_TRUE(sim.Exits().empty());
}

TEST_F(RemovalTest, StepsRunInTheirOrder) {
  SeedSystem(sim);
  SeedDriver(sim);
  Remove();

  // The twenty deletions under Class\Infrared count as one step here.
  const std::string infrared_class = "HKLM\\" + ClassKey("Infrared");
  std::vector<std::string> changes;
  std::vector<std::string> infrared;
  for (const RegChange& c : sim.registry.Changes()) {
    if (c.kind == RegChange::kDeleteKey && c.key == infrared_class) {
      if (infrared.empty()) changes.push_back("del " + infrared_class + " *");
      infrared.push_back(c.name);
      continue;
    }
    changes.push_back((c.kind == RegChange::kSetValue ? "set " : "del ") + c.key + " " + c.name);
  }
  std::vector<std::string> order = {
      "set HKLM\\Enum\\Infrared Installed",
      "del HKLM\\Enum\\Infrared COM",
      "del HKLM\\Enum\\Infrared LPT",
      "del HKLM\\Enum\\Network FASTIR",
      "del HKLM\\Enum\\Root Infrared",
      "del HKLM\\Enum\\Root\\Net 0001",
      "del HKLM\\Enum\\Root\\Net 0002",
      "del " + infrared_class + " *",
      "del HKLM\\" + ClassKey("Net") + " 0004",
      "del HKLM\\" + ClassKey("NetTrans") + " 0002",
      "set HKLM\\" + std::string(kRunOnce) + " RayCtl",
  };
  EXPECT_EQ(order, changes);
  std::vector<std::string> twenty;
  for (int i = 0; i < 20; ++i) twenty.push_back((i < 10 ? "000" : "00") + std::to_string(i));
  EXPECT_EQ(twenty, infrared) << "twenty deletions, present or not";

  int folder = TraceIndex("GetSystemDirectoryA 256");
  int file = TraceIndex("DeleteFileA");
  int run_once = TraceIndex("RegOpenKeyExA HKLM \"" + std::string(kRunOnce) + "\"");
  int question = TraceIndex("MessageBoxExA");
  EXPECT_LT(LastIndex("RegDeleteKeyA"), folder);
  EXPECT_LT(folder, file);
  EXPECT_LT(file, run_once);
  EXPECT_LT(run_once, question);
  EXPECT_EQ(static_cast<int>(sim.Trace().size()) - 1, question) << "the question comes last";
}

TEST_F(RemovalTest, NoDriverChangesOnlyRunOnceAndStillAsks) {
  SeedSystem(sim);
  SimWindows expected;
  SeedSystem(expected);
  expected.registry.SetString(kLM, kRunOnce, "RayCtl", kCommand);

  Remove();

  ExpectRegistry(expected);
  EXPECT_EQ(expected.files.Files(), sim.files.Files());
  ExpectOneQuestion();
}

TEST_F(RemovalTest, PartialInstallLosesWhatIsThere) {
  SeedSystem(sim);
  sim.registry.SetString(kLM, "Enum\\Root\\Infrared\\0000", "DeviceDesc", "Infrared PnP Serial Port");
  sim.registry.CreateKey(kLM, ClassKey("Infrared\\0001"));
  sim.registry.SetString(kLM, "Enum\\Root\\Net\\0003", "HardwareID", "IRMINI");
  SimWindows expected;
  SeedSystem(expected);
  expected.registry.CreateKey(kLM, "Enum\\Root");
  expected.registry.CreateKey(kLM, ClassKey("Infrared"));
  expected.registry.SetString(kLM, kRunOnce, "RayCtl", kCommand);

  Remove();

  ExpectRegistry(expected);
  ExpectOneQuestion();
}

TEST_F(RemovalTest, CancelKeepsEveryChangeAndDoesNotRestart) {
  SeedSystem(sim);
  SeedDriver(sim);
  Remove(IDCANCEL);
  EXPECT_EQ(kCommand, sim.registry.GetString(kLM, kRunOnce, "RayCtl").value_or(""));
  EXPECT_FALSE(sim.registry.KeyExists(kLM, "Enum\\Root\\Infrared"));
  EXPECT_TRUE(sim.Exits().empty());
  EXPECT_EQ(0, sim.shutdown_privilege_calls);
}

TEST_F(RemovalTest, AnswersOtherThanOkDoNotRestart) {
  SeedSystem(sim);
  Remove(0);  // the box could not be shown
  EXPECT_TRUE(sim.Exits().empty());
  EXPECT_EQ(0, sim.shutdown_privilege_calls);
}

TEST_F(RemovalTest, OkRestartsWithTheShutdownPrivilegeEnabledFirst) {
  SeedSystem(sim);
  SeedDriver(sim);
  Remove(IDOK);
  ASSERT_EQ(1u, sim.Exits().size());
  EXPECT_EQ(static_cast<UINT>(EWX_REBOOT), sim.Exits()[0].flags);
  EXPECT_EQ(0u, sim.Exits()[0].reason);
  EXPECT_EQ(1, sim.shutdown_privilege_calls);
  EXPECT_LT(TraceIndex("MessageBoxExA"), TraceIndex("EnableShutdownPrivilege"));
  EXPECT_LT(TraceIndex("EnableShutdownPrivilege"), TraceIndex("ExitWindowsEx"));
}

TEST_F(RemovalTest, MonitorAutostartValueStays) {
  SeedSystem(sim);
  SeedDriver(sim);
  std::string run = sim.registry.Dump(kLM, kRun);
  Remove(IDOK);
  EXPECT_EQ(run, sim.registry.Dump(kLM, kRun));
}

TEST_F(RemovalTest, SecondRunFindsNothingMoreToDelete) {
  SeedSystem(sim);
  SeedDriver(sim);
  Remove();
  std::string after_first = sim.registry.Dump(kLM);
  Remove();
  SimWindows expected;
  SeedSystem(expected);
  SeedDriver(expected);
  ApplyExpectedRemoval(expected, std::string("\x00\x00", 2));
  EXPECT_EQ(expected.registry.Dump(kLM), sim.registry.Dump(kLM)) << "only Installed moves again";
  EXPECT_EQ(2u, sim.desktop.Boxes().size());
}

}  // namespace
}  // namespace raylet
