#include "RayctlHarness.h"

#include <algorithm>
#include <cstdio>

namespace cmdline {

namespace {

std::string ExeFolder() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, sizeof path);
  std::string folder = path;
  return folder.substr(0, folder.find_last_of('\\'));
}

void MakeFolders(const std::string& path) {
  for (std::size_t at = path.find('\\', 3); at != std::string::npos; at = path.find('\\', at + 1)) {
    CreateDirectoryA(path.substr(0, at).c_str(), nullptr);
  }
}

}  // namespace

bool InstallProgram(const std::string& to) {
  // This program lives in <win64>\tests\wine\cmdline; rayctl.exe in <win64>.
  std::string built = ExeFolder() + "\\..\\..\\..\\rayctl.exe";
  MakeFolders(to);
  return CopyFileA(built.c_str(), to.c_str(), FALSE) != 0;
}

// ---------------------------------------------------------------- caller

CallerWindow::CallerWindow() {
  WNDCLASSA cls = {};
  cls.lpfnWndProc = &CallerWindow::Proc;
  cls.hInstance = GetModuleHandleA(nullptr);
  cls.lpszClassName = "RayletTestCaller";
  RegisterClassA(&cls);  // fails harmlessly once registered
  window_ = CreateWindowExA(0, cls.lpszClassName, "Raylet test caller", WS_OVERLAPPED, 0, 0, 10, 10, nullptr,
                            nullptr, cls.hInstance, nullptr);
  SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

CallerWindow::~CallerWindow() {
  if (window_ != nullptr) DestroyWindow(window_);
}

std::string CallerWindow::ReplyArgument() const {
  char text[32];
  std::snprintf(text, sizeof text, "/H%X", static_cast<unsigned>(reinterpret_cast<UINT_PTR>(window_)));
  return text;
}

LRESULT CALLBACK CallerWindow::Proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  auto* self = reinterpret_cast<CallerWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (message == kReplyMessage && self != nullptr) {
    self->replies.push_back({wparam, lparam});
    return 0;
  }
  if (message == WM_DESTROY && self != nullptr) ++self->destroys;
  return DefWindowProcA(window, message, wparam, lparam);
}

void Pump(DWORD ms) {
  DWORD end = GetTickCount() + ms;
  for (;;) {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    DWORD now = GetTickCount();
    if (static_cast<LONG>(end - now) <= 0) return;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, end - now, QS_ALLINPUT);
  }
}

// ---------------------------------------------------------------- rayctl

bool Rayctl::Start(const std::string& arguments, const std::string& directory, const char* program) {
  std::string command = std::string("\"") + program + "\"";
  if (!arguments.empty()) command += " " + arguments;
  std::string folder = directory;
  if (folder.empty()) {
    folder = program;
    folder = folder.substr(0, folder.find_last_of('\\'));
  }
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  std::vector<char> line(command.begin(), command.end());
  line.push_back('\0');
  return CreateProcessA(program, line.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &startup,
                        &info_) != 0;
}

Rayctl::~Rayctl() {
  if (info_.hProcess == nullptr) return;
  if (Running()) {
    TerminateProcess(info_.hProcess, 99);
    WaitForSingleObject(info_.hProcess, 5000);
  }
  CloseHandle(info_.hThread);
  CloseHandle(info_.hProcess);
}

bool Rayctl::WaitForEnd(DWORD ms) {
  DWORD end = GetTickCount() + ms;
  for (;;) {
    DWORD left = end - GetTickCount();
    if (static_cast<LONG>(left) <= 0) left = 0;
    DWORD result = MsgWaitForMultipleObjects(1, &info_.hProcess, FALSE, left, QS_ALLINPUT);
    if (result == WAIT_OBJECT_0) return true;
    if (result != WAIT_OBJECT_0 + 1) return false;
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
  }
}

bool Rayctl::Running() const { return WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT; }

DWORD Rayctl::ExitCode() const {
  DWORD code = STILL_ACTIVE;
  GetExitCodeProcess(info_.hProcess, &code);
  return code;
}

namespace {

struct Search {
  DWORD pid;
  const char* caption;  // null: look for the main window
  HWND found;
};

BOOL CALLBACK FindButton(HWND child, LPARAM param) {
  if (GetDlgCtrlID(child) != 106) return TRUE;
  *reinterpret_cast<HWND*>(param) = child;
  return FALSE;
}

BOOL CALLBACK FindWindowOf(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<Search*>(param);
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  if (pid != search->pid) return TRUE;
  if (search->caption != nullptr) {
    if (Text(window) != search->caption) return TRUE;
    search->found = window;
    return FALSE;
  }
  HWND button = nullptr;
  EnumChildWindows(window, &FindButton, reinterpret_cast<LPARAM>(&button));
  // While the dialog is still a top-level window of its own, its button's
  // parent is the top-level window itself: not yet the frame.
  if (button == nullptr || GetParent(button) == window) return TRUE;
  search->found = window;
  return FALSE;
}

}  // namespace

HWND Rayctl::MainWindow(DWORD timeout_ms) {
  if (main_ != nullptr && IsWindow(main_)) return main_;
  DWORD end = GetTickCount() + timeout_ms;
  do {
    Search search = {info_.dwProcessId, nullptr, nullptr};
    EnumWindows(&FindWindowOf, reinterpret_cast<LPARAM>(&search));
    if (search.found != nullptr) return main_ = search.found;
    Pump(50);
  } while (static_cast<LONG>(end - GetTickCount()) > 0);
  return nullptr;
}

HWND Rayctl::Control(int id) {
  HWND main = MainWindow();
  if (main == nullptr) return nullptr;
  HWND button = nullptr;
  EnumChildWindows(main, &FindButton, reinterpret_cast<LPARAM>(&button));
  return button == nullptr ? nullptr : GetDlgItem(GetParent(button), id);
}

bool Rayctl::Press(int id, bool wait) {
  HWND control = Control(id);
  if (control == nullptr) return false;
  HWND dialog = GetParent(control);
  WPARAM command = MAKEWPARAM(id, BN_CLICKED);
  if (!wait) return PostMessageA(dialog, WM_COMMAND, command, reinterpret_cast<LPARAM>(control)) != 0;
  DWORD_PTR result = 0;
  return SendMessageTimeoutA(dialog, WM_COMMAND, command, reinterpret_cast<LPARAM>(control), SMTO_NORMAL, 20000,
                             &result) != 0;
}

HWND Rayctl::FindTopLevel(const char* caption, DWORD timeout_ms) {
  DWORD end = GetTickCount() + timeout_ms;
  do {
    Search search = {info_.dwProcessId, caption, nullptr};
    EnumWindows(&FindWindowOf, reinterpret_cast<LPARAM>(&search));
    if (search.found != nullptr) return search.found;
    Pump(50);
  } while (static_cast<LONG>(end - GetTickCount()) > 0);
  return nullptr;
}

namespace {

BOOL CALLBACK LongestText(HWND child, LPARAM param) {
  char cls[32] = {};
  GetClassNameA(child, cls, sizeof cls);
  std::string text = Text(child);
  auto* best = reinterpret_cast<std::string*>(param);
  if (lstrcmpiA(cls, "Static") == 0 && text.size() > best->size()) *best = text;
  return TRUE;
}

}  // namespace

std::string Rayctl::BoxText(HWND box) {
  std::string best;
  EnumChildWindows(box, &LongestText, reinterpret_cast<LPARAM>(&best));
  return best;
}

bool Rayctl::Responds() {
  DWORD_PTR result = 0;
  HWND main = MainWindow(2000);
  return main != nullptr && SendMessageTimeoutA(main, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &result) != 0;
}

bool Rayctl::Exit(DWORD ms) {
  if (!Running()) return true;
  if (!Press(1, false)) return false;
  return WaitForEnd(ms);
}

std::string Text(HWND window) {
  char text[2048] = {};
  DWORD_PTR copied = 0;
  if (!SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 5000,
                           &copied)) {
    return "(no answer)";
  }
  return text;
}

}  // namespace cmdline
