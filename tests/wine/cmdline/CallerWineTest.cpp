// The unattended run of the real program, seen from a calling program: this
// test program owns a window, starts rayctl.exe with a switch and "/H" plus
// its window's handle, and checks the reply, the exit status and the end.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "RayctlHarness.h"

namespace cmdline {
namespace {

constexpr char kInfraredSetting[] = "Control Panel\\Infrared";
constexpr DWORD kEndTimeout = 20000;

class CallerWine : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { ASSERT_TRUE(InstallProgram(kProgram)); }
  void SetUp() override {
    // No driver in the prefix: enabling fails, disabling and killing succeed.
    ASSERT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, "Enum\\Root\\Infrared"));
  }
  void TearDown() override { DeleteTree(HKEY_CURRENT_USER, kInfraredSetting); }

  // Runs the program with `option` and the reply argument; expects it to
  // end by itself with `status`.
  void RunToEnd(const std::string& option, DWORD status) {
    ASSERT_TRUE(program.Start(option + " " + caller.ReplyArgument()));
    ASSERT_TRUE(program.WaitForEnd(kEndTimeout)) << option << ": the program did not end";
    // The reply is posted before the close, so it is queued by now.
    Pump(200);
    EXPECT_EQ(status, program.ExitCode()) << option;
  }
  void ExpectOneReply(WPARAM wparam) {
    ASSERT_EQ(1u, caller.replies.size());
    EXPECT_EQ(wparam, caller.replies[0].wparam);
    EXPECT_EQ(0, caller.replies[0].lparam);
  }
  // Label (control 120) and caption once the run has settled.
  void ExpectOpenShowing(const std::string& caption, const std::string& label) {
    ASSERT_NE(nullptr, program.MainWindow());
    DWORD end = GetTickCount() + 10000;
    while (Text(program.MainWindow()) != caption && static_cast<LONG>(end - GetTickCount()) > 0) Pump(50);
    EXPECT_EQ(caption, Text(program.MainWindow()));
    EXPECT_EQ(label, Text(program.Control(120)));
    EXPECT_FALSE(IsIconic(program.MainWindow())) << "restored for the user to read";
    Pump(500);
    EXPECT_TRUE(program.Running()) << "stays open without a caller";
  }

  CallerWindow caller;
  Rayctl program;
};

TEST_F(CallerWine, EnableFailingRepliesZeroAndEnds) {
  RunToEnd("/E", 1);
  ExpectOneReply(0);
}

TEST_F(CallerWine, DisableSucceedingRepliesOneAndEnds) {
  RunToEnd("/D", 0);  // "IrDA driver is not installed. 38" counts as success
  ExpectOneReply(1);
}

TEST_F(CallerWine, KillWithoutMonitorRepliesOneAndEnds) {
  RunToEnd("/K", 0);
  ExpectOneReply(1);
}

TEST_F(CallerWine, KillStopsAMonitorAndRepliesOne) {
  CallerWindow monitor;
  SetWindowTextA(monitor.handle(), "IRMON");
  RunToEnd("/K", 0);
  ExpectOneReply(1);
  EXPECT_EQ(1, monitor.destroys) << "WM_DESTROY reached the monitor's window";
}

TEST_F(CallerWine, KillRefusedWhileTheSettingIsOnRepliesZero) {
  SetValue(HKEY_CURRENT_USER, kInfraredSetting, "IrEnabled", REG_DWORD, std::string("\x01\x00\x00\x00", 4));
  CallerWindow monitor;
  SetWindowTextA(monitor.handle(), "IRMON");
  RunToEnd("/K", 1);
  ExpectOneReply(0);
  EXPECT_EQ(0, monitor.destroys);
}

TEST_F(CallerWine, OnlyTwoCharactersOfTheSwitchCount) {
  RunToEnd("/Enable", 1);
  ExpectOneReply(0);
}

TEST_F(CallerWine, UnknownSwitchesReplyZeroAndEnd) {
  for (const char* option : {"/X", "/e", "/H1A2B"}) {
    CallerWindow own;
    Rayctl run;
    ASSERT_TRUE(run.Start(std::string(option) + " " + own.ReplyArgument()));
    ASSERT_TRUE(run.WaitForEnd(kEndTimeout)) << option;
    Pump(200);
    EXPECT_EQ(1u, run.ExitCode()) << option;
    ASSERT_EQ(1u, own.replies.size()) << option;
    EXPECT_EQ(0u, own.replies[0].wparam) << option;
    EXPECT_EQ(0, own.replies[0].lparam) << option;
  }
}

TEST_F(CallerWine, UnknownSwitchWithoutCallerShowsTheAcceptedSwitches) {
  ASSERT_TRUE(program.Start("/X"));
  ExpectOpenShowing("Raylet",
                    "rayctl /E | /D | /K | /F [/H<hex window handle>]\n"
                    "/E enable, /D disable, /K kill the driver,\n"
                    "/F finish a removal; /H names the window to answer.");
  ASSERT_TRUE(program.Exit());
  EXPECT_EQ(1u, program.ExitCode());
}

TEST_F(CallerWine, FailureWithoutCallerStaysOpenOnTheFault) {
  ASSERT_TRUE(program.Start("/E"));
  ExpectOpenShowing("Raylet - fault -", "IrDA driver is not installed. 1");
  ASSERT_TRUE(program.Exit());
  EXPECT_EQ(1u, program.ExitCode());
}

TEST_F(CallerWine, LowerCaseReplyArgumentNamesNoWindow) {
  std::string argument = caller.ReplyArgument();
  argument[1] = 'h';
  ASSERT_TRUE(program.Start("/E " + argument));
  ExpectOpenShowing("Raylet - fault -", "IrDA driver is not installed. 1");
  ASSERT_TRUE(program.Exit());
  Pump(200);
  EXPECT_TRUE(caller.replies.empty());
}

TEST_F(CallerWine, NoSwitchStaysOpenForTheUser) {
  ASSERT_TRUE(program.Start(""));
  ASSERT_NE(nullptr, program.MainWindow());
  Pump(500);
  EXPECT_EQ("Raylet", Text(program.MainWindow()));
  EXPECT_EQ("", Text(program.Control(120)));
  EXPECT_TRUE(program.Responds());
  ASSERT_TRUE(program.Exit());
  EXPECT_EQ(0u, program.ExitCode());
}

TEST_F(CallerWine, FinishDeletesTheDriverFilesAndEndsWithoutReply) {
  std::vector<std::string> files = DriverFiles();
  std::vector<std::string> unrelated = {WindowsDir() + "\\IRXFER.EXE.keep", WindowsDir() + "\\SendTo\\Other.lnk",
                                        WindowsDir() + "\\MEDIA\\RAYLET_KEEP.WAV", SystemDir() + "\\IRMON.DLL"};
  std::vector<std::string> all = files;
  all.insert(all.end(), unrelated.begin(), unrelated.end());
  FileGuard guard(all);
  for (const std::string& path : all) ASSERT_TRUE(MakeFile(path)) << path;

  RunToEnd("/F", 0);

  EXPECT_TRUE(caller.replies.empty());
  for (const std::string& path : files) EXPECT_FALSE(FileExists(path)) << path;
  for (const std::string& path : unrelated) EXPECT_TRUE(FileExists(path)) << path;
}

// On a Japanese system the link carries its name in Unicode; the program's
// Shift-JIS bytes must name that very file.
TEST_F(CallerWine, FinishDeletesTheJapaneseLinkUnderCodePage932) {
  if (GetACP() != 932) GTEST_SKIP() << "needs a Japanese locale (code page " << GetACP() << ")";
  std::wstring link = L"\\SendTo\\\u8D64\u5916\u7DDA\u306E\u53D7\u4FE1\u5074.lnk";
  wchar_t windows[MAX_PATH] = {};
  GetWindowsDirectoryW(windows, MAX_PATH);
  std::wstring path = windows + link;
  std::wstring other = std::wstring(windows) + L"\\SendTo\\\u8D64\u5916\u7DDA.lnk";
  FileGuard guard(DriverFiles());
  for (const std::wstring& name : {path, other}) {
    HANDLE file = CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    CloseHandle(file);
  }
  RunToEnd("/F", 0);
  EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(path.c_str())) << "the Japanese link stays";
  EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(other.c_str()));
  DeleteFileW(other.c_str());
}

}  // namespace
}  // namespace cmdline
