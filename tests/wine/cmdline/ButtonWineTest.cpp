// The removal and autostart buttons of the real program's main window.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "RayctlHarness.h"

namespace cmdline {
namespace {

const HKEY kLM = HKEY_LOCAL_MACHINE;
constexpr char kBlankDir[] = "C:\\Program Files\\Raylet Test";
constexpr char kBlankProgram[] = "C:\\Program Files\\Raylet Test\\rayctl.exe";

std::string RunOnceText() {
  Value value = {};
  if (!GetValue(kLM, kRunOnceKey, "RayCtl", &value)) return "(none)";
  if (value.type != REG_SZ) return "(type " + std::to_string(value.type) + ")";
  if (value.data.empty() || value.data.back() != '\0') return "(no terminator)";
  return value.data.substr(0, value.data.size() - 1);
}

class ButtonWine : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    ASSERT_TRUE(InstallProgram(kProgram));
    ASSERT_TRUE(InstallProgram(kBlankProgram));
  }
  // The runner starts the program without these values and keys; each
  // case leaves it so for the next.
  void TearDown() override {
    DeleteValue(kLM, kRunOnceKey, "RayCtl");
    DeleteValue(kLM, kRunKey, "IrMon");
    RemoveDriverSeed();
  }

  // Presses Remove, checks the question, notes the RunOnce text stored
  // while it is up, and answers Cancel. The program must run on.
  std::string RemoveAndCancel(Rayctl& program) {
    EXPECT_TRUE(program.Press(106, false));
    HWND box = program.FindTopLevel("Notice!", 20000);
    if (box == nullptr) {
      ADD_FAILURE() << "no restart question";
      return "";
    }
    EXPECT_EQ("Restart Windows!", Rayctl::BoxText(box));
    std::string stored = RunOnceText();
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    for (int i = 0; i < 100 && IsWindow(box); ++i) Pump(50);
    EXPECT_FALSE(IsWindow(box));
    Pump(300);
    EXPECT_TRUE(program.Running()) << "Cancel must not end the program";
    EXPECT_TRUE(program.Responds());
    return stored;
  }
};

TEST_F(ButtonWine, AutostartButtonsSetAndClearTheIrMonValue) {
  Snapshot without = TakeSnapshot(kLM, kRunKey);
  Rayctl program;
  ASSERT_TRUE(program.Start(""));
  ASSERT_NE(nullptr, program.MainWindow());

  ASSERT_TRUE(program.Press(108, true));
  Value value = {};
  ASSERT_TRUE(GetValue(kLM, kRunKey, "IrMon", &value));
  EXPECT_EQ(static_cast<DWORD>(REG_SZ), value.type);
  EXPECT_EQ(std::string("IrMon.exe\0", 10), value.data);
  Snapshot once = TakeSnapshot(kLM, kRunKey);
  ASSERT_TRUE(program.Press(108, true));
  EXPECT_EQ(once, TakeSnapshot(kLM, kRunKey)) << "pressed twice: still one value";
  EXPECT_EQ(std::vector<std::string>{"+value " + std::string("SOFTWARE\\MICROSOFT\\WINDOWS\\CURRENTVERSION\\RUN\\IRMON")},
            Differences(without, once));

  ASSERT_TRUE(program.Press(109, true));
  EXPECT_FALSE(GetValue(kLM, kRunKey, "IrMon", &value));
  EXPECT_EQ(without, TakeSnapshot(kLM, kRunKey));
  ASSERT_TRUE(program.Press(109, true));
  EXPECT_EQ(without, TakeSnapshot(kLM, kRunKey)) << "clearing an absent value changes nothing";

  EXPECT_EQ("Raylet", Text(program.MainWindow()));
  EXPECT_EQ("", Text(program.Control(120)));
  ASSERT_TRUE(program.Exit());
  EXPECT_EQ(0u, program.ExitCode());
}

TEST_F(ButtonWine, RemoveThenCancelKeepsEveryChangeAndDeletesNothingElse) {
  std::vector<std::string> files = DriverFiles();
  std::vector<std::string> unrelated = {SystemDir() + "\\IRMON.DLL", WindowsDir() + "\\SendTo\\Other.lnk"};
  std::vector<std::string> all = files;
  all.insert(all.end(), unrelated.begin(), unrelated.end());
  all.push_back(SystemDir() + "\\Infrared.cpl");
  FileGuard guard(all);
  for (const std::string& path : files) ASSERT_TRUE(MakeFile(path)) << path;
  for (const std::string& path : unrelated) ASSERT_TRUE(MakeFile(path)) << path;
  ASSERT_TRUE(SeedDriverInstall());
  SetString(kLM, kRunKey, "IrMon", "IrMon.exe");
  Snapshot before = TakeSnapshot(kLM);

  Rayctl program;
  ASSERT_TRUE(program.Start(""));
  ASSERT_NE(nullptr, program.MainWindow());
  std::string stored = RemoveAndCancel(program);
  Snapshot after = TakeSnapshot(kLM);

  std::printf("RunOnce stored from its own folder: [%s]\n", stored.c_str());
  EXPECT_EQ("C:\\raylet\\rayctl.exe /F", stored) << "the folder's path and \\rayctl.exe /F";
  EXPECT_EQ(stored, RunOnceText()) << "Cancel keeps the RunOnce value";
  std::vector<std::string> differences = Differences(before, after);
  std::sort(differences.begin(), differences.end());
  EXPECT_EQ(ExpectedRemovalDifferences(), differences);
  Value installed = {};
  ASSERT_TRUE(GetValue(kLM, "Enum\\Infrared", "Installed", &installed));
  EXPECT_EQ(static_cast<DWORD>(REG_BINARY), installed.type);
  EXPECT_EQ(std::string("\x01\x00", 2), installed.data);

  for (const std::string& path : files) {
    bool control_panel = path == SystemDir() + "\\INFRARED.CPL";
    EXPECT_EQ(!control_panel, FileExists(path)) << path << (control_panel ? " goes at once" : " waits for /F");
  }
  for (const std::string& path : unrelated) EXPECT_TRUE(FileExists(path)) << path;
  EXPECT_EQ("Raylet", Text(program.MainWindow())) << "Remove leaves the caption";
  ASSERT_TRUE(program.Exit());
  EXPECT_EQ(0u, program.ExitCode());
}

// Only the driver buttons touch the caption and the label: after a failed
// enable, Remove and both autostart buttons leave the fault on show.
TEST_F(ButtonWine, RemoveAndAutostartButtonsLeaveTheFaultCaption) {
  RemoveDriverSeed();
  FileGuard guard({SystemDir() + "\\Infrared.cpl"});
  Rayctl program;
  ASSERT_TRUE(program.Start(""));
  ASSERT_NE(nullptr, program.MainWindow());
  // Posted, so it comes after the start's own command-line run, which sets
  // the plain caption.
  ASSERT_TRUE(program.Press(102, false));
  for (int i = 0; i < 200 && Text(program.MainWindow()) != "Raylet - fault -"; ++i) Pump(50);
  ASSERT_EQ("Raylet - fault -", Text(program.MainWindow()));
  const std::string label = Text(program.Control(120));
  EXPECT_EQ("IrDA driver is not installed. 1", label);
  for (int button : {108, 109}) {
    ASSERT_TRUE(program.Press(button, true));
    EXPECT_EQ("Raylet - fault -", Text(program.MainWindow())) << button;
    EXPECT_EQ(label, Text(program.Control(120))) << button;
  }
  RemoveAndCancel(program);
  EXPECT_EQ("Raylet - fault -", Text(program.MainWindow())) << "Remove";
  EXPECT_EQ(label, Text(program.Control(120))) << "Remove";
  ASSERT_TRUE(program.Exit());
}

TEST_F(ButtonWine, RunOnceFromAnotherFolderStillNamesTheProgram) {
  FileGuard guard({SystemDir() + "\\Infrared.cpl"});
  Rayctl program;
  ASSERT_TRUE(program.Start("", WindowsDir()));
  ASSERT_NE(nullptr, program.MainWindow());
  std::string stored = RemoveAndCancel(program);
  std::printf("RunOnce stored when started from %s: [%s]\n", WindowsDir().c_str(), stored.c_str());
  EXPECT_EQ("C:\\raylet\\rayctl.exe /F", stored);
  ASSERT_TRUE(program.Exit());
}

TEST_F(ButtonWine, RunOnceQuotesAPathWithABlank) {
  FileGuard guard({SystemDir() + "\\Infrared.cpl"});
  Rayctl program;
  ASSERT_TRUE(program.Start("", kBlankDir, kBlankProgram));
  ASSERT_NE(nullptr, program.MainWindow());
  std::string stored = RemoveAndCancel(program);
  std::printf("RunOnce stored from %s: [%s]\n", kBlankDir, stored.c_str());
  EXPECT_EQ("\"" + std::string(kBlankProgram) + "\" /F", stored);
  ASSERT_TRUE(program.Exit());
}

}  // namespace
}  // namespace cmdline
