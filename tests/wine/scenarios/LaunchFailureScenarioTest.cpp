// The control panel start failing for real: CONTROL.EXE missing from the
// system folder, or a file by that name that is no program found first.
#include <string>

#include "StackLayout.h"
#include "StandInStackTest.h"

namespace standin {
namespace {

std::string SystemFile(const char* name) {
  char folder[MAX_PATH];
  UINT length = GetSystemDirectoryA(folder, sizeof folder);
  return std::string(folder, length) + "\\" + name;
}

const std::string& ControlExe() {
  static const std::string path = SystemFile("control.exe");
  return path;
}

const std::string& ControlExeAway() {
  static const std::string path = SystemFile("control.exe.raylet-away");
  return path;
}

// Puts back a control.exe that an interrupted run left renamed.
void RestoreControlExe() {
  if (GetFileAttributesA(ControlExeAway().c_str()) != INVALID_FILE_ATTRIBUTES &&
      GetFileAttributesA(ControlExe().c_str()) == INVALID_FILE_ATTRIBUTES) {
    MoveFileA(ControlExeAway().c_str(), ControlExe().c_str());
  }
}

// Keeps the prefix's control.exe renamed for its lifetime.
class ControlExeRenamed {
 public:
  ControlExeRenamed() { moved_ = MoveFileA(ControlExe().c_str(), ControlExeAway().c_str()) != 0; }
  ~ControlExeRenamed() { RestoreControlExe(); }
  bool moved() const { return moved_; }

 private:
  bool moved_;
};

// A file named CONTROL.EXE that is no program, in the current folder, which
// the search for a program to start visits before the system folder.
class BogusControlExeInCurrentFolder {
 public:
  BogusControlExeInCurrentFolder() {
    GetCurrentDirectoryA(sizeof previous_, previous_);
    path_ = std::string(kStackDir) + "\\CONTROL.EXE";
    HANDLE file = CreateFileA(path_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    const char text[] = "this is not a program\r\n";
    DWORD written = 0;
    WriteFile(file, text, sizeof text - 1, &written, nullptr);
    CloseHandle(file);
    ready_ = SetCurrentDirectoryA(kStackDir) != 0;
  }
  ~BogusControlExeInCurrentFolder() {
    SetCurrentDirectoryA(previous_);
    DeleteFileA(path_.c_str());
  }
  bool ready() const { return ready_; }

 private:
  char previous_[MAX_PATH] = "";
  std::string path_;
  bool ready_ = false;
};

class LaunchFailureScenario : public StandInStackTest {
 protected:
  static void SetUpTestSuite() {
    RestoreControlExe();
    StandInStackTest::SetUpTestSuite();
  }
};

// Wine's WinExec returns 2 (file not found) when no CONTROL.EXE exists.
TEST_F(LaunchFailureScenario, ControlExeMissingWithSettingOnGives8) {
  SeedInstalled(1);
  ControlExeRenamed renamed;
  ASSERT_TRUE(renamed.moved()) << "cannot rename " << ControlExe();

  bool ok = Enable(true);

  EXPECT_RESULT(record_, ok, false, "The specified file was not found! 8");
  EXPECT_FALSE(ControlPanelStarted());
  EXPECT_EQ(IrEnabled(), 1);
}

TEST_F(LaunchFailureScenario, ControlExeMissingWithSettingOffGives33AndKeepsTheSettingOn) {
  SeedInstalled(0);
  ControlExeRenamed renamed;
  ASSERT_TRUE(renamed.moved()) << "cannot rename " << ControlExe();

  bool ok = Enable(true);

  EXPECT_RESULT(record_, ok, false, "The specified file was not found! 33");
  EXPECT_FALSE(ControlPanelStarted());
  EXPECT_EQ(IrEnabled(), 1);
  EXPECT_EQ(record_.Enable, 1u);
}

// Wine's WinExec returns 11 (bad format) for a CONTROL.EXE that is no program.
TEST_F(LaunchFailureScenario, ControlExeNoProgramWithSettingOnGives7) {
  SeedInstalled(1);
  BogusControlExeInCurrentFolder bogus;
  ASSERT_TRUE(bogus.ready());

  bool ok = Enable(true);

  EXPECT_RESULT(record_, ok, false, "Non-Win32 .EXE or error in .EXE image! 7");
  EXPECT_FALSE(ControlPanelStarted());
}

TEST_F(LaunchFailureScenario, ControlExeNoProgramWithSettingOffGives32) {
  SeedInstalled(0);
  BogusControlExeInCurrentFolder bogus;
  ASSERT_TRUE(bogus.ready());

  bool ok = Enable(true);

  EXPECT_RESULT(record_, ok, false, "Non-Win32 .EXE or error in .EXE image! 32");
  EXPECT_FALSE(ControlPanelStarted());
  EXPECT_EQ(IrEnabled(), 1);
}

}  // namespace
}  // namespace standin
