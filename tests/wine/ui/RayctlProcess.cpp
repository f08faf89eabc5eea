#include "RayctlProcess.h"

namespace raylet::ui {

std::string WindowText(HWND window) {
  char text[1024] = "";
  GetWindowTextA(window, text, sizeof text);
  return text;
}

std::string ClassOf(HWND window) {
  char name[256] = "";
  GetClassNameA(window, name, sizeof name);
  return name;
}

std::string RayctlProcess::ExecutablePath() {
  char path[MAX_PATH] = "";
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string tree = path;
  // <tree>\tests\wine\ui\<this program>
  for (int i = 0; i < 4; ++i) tree = tree.substr(0, tree.find_last_of('\\'));
  return tree + "\\rayctl.exe";
}

namespace {

struct Search {
  DWORD process;
  const char* class_name;
  const char* caption;
  HWND found;
};

BOOL CALLBACK Visit(HWND window, LPARAM data) {
  auto* search = reinterpret_cast<Search*>(data);
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  if (process != search->process || !IsWindowVisible(window)) return TRUE;
  if (search->class_name != nullptr && ClassOf(window) != search->class_name) return TRUE;
  if (search->caption != nullptr && WindowText(window) != search->caption) return TRUE;
  search->found = window;
  return FALSE;
}

HWND FindTopLevel(DWORD process, const char* class_name, const char* caption) {
  Search search{process, class_name, caption, nullptr};
  EnumWindows(&Visit, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

}  // namespace

bool RayctlProcess::Launch(const std::string& arguments, const std::string& program) {
  std::string command = "\"" + program + "\"";
  if (!arguments.empty()) command += " " + arguments;
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  return CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info_) != 0;
}

bool RayctlProcess::Start(const std::string& arguments, const std::string& program) {
  if (!Launch(arguments, program)) return false;
  // The main window is the frame that holds the main dialog with its label;
  // found by content, since captions change while it is built.
  bool found = WaitFor([this] {
    HWND frame = FindTopLevel(info_.dwProcessId, "RayletFrame", nullptr);
    if (frame == nullptr) return false;
    HWND dialog = FindWindowExA(frame, nullptr, "#32770", nullptr);
    if (dialog == nullptr || GetDlgItem(dialog, 120) == nullptr) return false;
    frame_ = frame;
    dialog_ = dialog;
    return true;
  });
  // The start ends with the command-line run on the loop's first pass; a
  // click sent before that would be handled first.
  return found && WaitForInputIdle(info_.hProcess, 10000) == 0;
}

RayctlProcess::~RayctlProcess() {
  if (info_.hProcess == nullptr) return;
  if (WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT) {
    TerminateProcess(info_.hProcess, 99);
    WaitForSingleObject(info_.hProcess, 5000);
  }
  CloseHandle(info_.hThread);
  CloseHandle(info_.hProcess);
}

void RayctlProcess::Click(int id) const { SendMessageA(Control(id), BM_CLICK, 0, 0); }

void RayctlProcess::PostClick(int id) const { PostMessageA(Control(id), BM_CLICK, 0, 0); }

HWND RayctlProcess::FindOwnWindow(const char* caption) const {
  return FindTopLevel(info_.dwProcessId, nullptr, caption);
}

bool RayctlProcess::WaitForExit(DWORD ms) const { return WaitForSingleObject(info_.hProcess, ms) == WAIT_OBJECT_0; }

DWORD RayctlProcess::ExitCode() const {
  DWORD code = 0;
  GetExitCodeProcess(info_.hProcess, &code);
  return code;
}

}  // namespace raylet::ui
