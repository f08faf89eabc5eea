// The framework's failure report, shown in the message loop when one of its
// steps fails: the failure's text and the question under the caption from
// the string table; Yes goes on, No ends the program.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "RayctlProcess.h"

namespace raylet::ui {
namespace {

std::wstring WideText(HWND window) {
  wchar_t text[512] = L"";
  GetWindowTextW(window, text, 512);
  return text;
}

struct Found {
  DWORD process;
  const wchar_t* caption;
  HWND window;
};

BOOL CALLBACK FindByCaption(HWND window, LPARAM data) {
  auto* found = reinterpret_cast<Found*>(data);
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  if (process != found->process || !IsWindowVisible(window) || WideText(window) != found->caption) return TRUE;
  found->window = window;
  return FALSE;
}

BOOL CALLBACK FindReportText(HWND child, LPARAM data) {
  std::wstring text = WideText(child);
  if (text.find(L"再開しますか?") != std::wstring::npos) *reinterpret_cast<std::wstring*>(data) = text;
  return TRUE;
}

class FrameworkReport : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string path = RayctlProcess::ExecutablePath();
    path = path.substr(0, path.find_last_of('\\')) + "\\tests\\wine\\ui\\raylet_framework_probe.exe";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    ASSERT_TRUE(CreateProcessA(path.c_str(), nullptr, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info_))
        << path;
  }
  void TearDown() override {
    if (info_.hProcess == nullptr) return;
    if (WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(info_.hProcess, 99);
    CloseHandle(info_.hThread);
    CloseHandle(info_.hProcess);
  }
  HWND WaitForWindow(const wchar_t* caption) {
    Found found{info_.dwProcessId, caption, nullptr};
    WaitFor([&] {
      EnumWindows(&FindByCaption, reinterpret_cast<LPARAM>(&found));
      return found.window != nullptr;
    });
    return found.window;
  }
  DWORD WaitForExitCode() {
    if (WaitForSingleObject(info_.hProcess, 10000) != WAIT_OBJECT_0) return 1234;
    DWORD code = 0;
    GetExitCodeProcess(info_.hProcess, &code);
    return code;
  }

  PROCESS_INFORMATION info_ = {};
};

TEST_F(FrameworkReport, ShowsTheFailureAndTheQuestionUnderItsCaptionAndNoEndsTheProgram) {
  HWND report = WaitForWindow(L"未処理の例外");
  ASSERT_NE(nullptr, report);
  std::wstring text;
  EnumChildWindows(report, &FindReportText, reinterpret_cast<LPARAM>(&text));
  EXPECT_TRUE(text == L"ダイアログを作成できません\n\n再開しますか?");
  PostMessageA(report, WM_COMMAND, IDNO, 0);
  EXPECT_EQ(1u, WaitForExitCode());
}

TEST_F(FrameworkReport, YesResumesTheLoop) {
  HWND report = WaitForWindow(L"未処理の例外");
  ASSERT_NE(nullptr, report);
  PostMessageA(report, WM_COMMAND, IDYES, 0);
  HWND frame = WaitForWindow(L"Framework probe");
  ASSERT_NE(nullptr, frame);
  EXPECT_EQ(WAIT_TIMEOUT, WaitForSingleObject(info_.hProcess, 300));
  PostMessageA(frame, WM_CLOSE, 0, 0);
  EXPECT_EQ(0u, WaitForExitCode());
}

}  // namespace
}  // namespace raylet::ui
