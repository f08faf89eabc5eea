// Starts rayctl.exe of the same build tree, finds its main window and works
// it from outside, as a user would: by window handles, texts and clicks.
#pragma once

#include <windows.h>

#include <string>

namespace raylet::ui {

// Text of any window (another process's too).
std::string WindowText(HWND window);
std::string ClassOf(HWND window);
// Polls `condition` every 20 ms for up to `ms`; true once it held.
template <class Condition>
bool WaitFor(Condition condition, DWORD ms = 10000) {
  for (DWORD waited = 0;; waited += 20) {
    if (condition()) return true;
    if (waited >= ms) return false;
    Sleep(20);
  }
}

class RayctlProcess {
 public:
  // Path of rayctl.exe at the top of the build tree that holds this program.
  static std::string ExecutablePath();

  // Starts `program` with `arguments` and waits for its main window.
  bool Start(const std::string& arguments = "", const std::string& program = ExecutablePath());
  // Starts it without waiting for anything.
  bool Launch(const std::string& arguments, const std::string& program);
  ~RayctlProcess();

  HWND Frame() const { return frame_; }
  HWND Dialog() const { return dialog_; }
  HWND Control(int id) const { return GetDlgItem(dialog_, id); }
  std::string Caption() const { return WindowText(frame_); }
  std::string Label() const { return WindowText(Control(120)); }

  // Clicks a button of the main dialog and returns once its handler is done.
  void Click(int id) const;
  // Queues a click and returns at once (for buttons that open modal boxes).
  void PostClick(int id) const;
  // A visible top-level window of the program with this caption, or null.
  HWND FindOwnWindow(const char* caption) const;
  // True once the process has ended within `ms`.
  bool WaitForExit(DWORD ms = 10000) const;
  DWORD ExitCode() const;
  DWORD ThreadId() const { return info_.dwThreadId; }

 private:
  PROCESS_INFORMATION info_ = {};
  HWND frame_ = nullptr;
  HWND dialog_ = nullptr;
};

}  // namespace raylet::ui
