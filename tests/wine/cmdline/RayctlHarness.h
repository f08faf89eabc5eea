// Drives the real rayctl.exe from a test program under Wine: starts it with
// arguments, owns the window it answers, finds its main window, presses its
// buttons and answers its message boxes.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "PrefixState.h"

namespace cmdline {

// Where the tests keep their copy of the program (a folder without blanks).
constexpr char kProgramDir[] = "C:\\raylet";
constexpr char kProgram[] = "C:\\raylet\\rayctl.exe";
constexpr UINT kReplyMessage = WM_USER + 1000;

// Copies the freshly built rayctl.exe to `to` (folders are created).
bool InstallProgram(const std::string& to);

// A hidden top-level window of this program that collects message 2024.
class CallerWindow {
 public:
  CallerWindow();
  ~CallerWindow();
  HWND handle() const { return window_; }
  // "/H<hex handle>".
  std::string ReplyArgument() const;
  struct Reply {
    WPARAM wparam;
    LPARAM lparam;
  };
  std::vector<Reply> replies;
  int destroys = 0;  // WM_DESTROY received, posted or real

 private:
  static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
  HWND window_ = nullptr;
};

// Dispatches this thread's messages for `ms` milliseconds.
void Pump(DWORD ms);

class Rayctl {
 public:
  // Starts `program` with `arguments` (after the program's own name) in the
  // folder `directory` (empty: the program's folder).
  bool Start(const std::string& arguments, const std::string& directory = "", const char* program = kProgram);
  ~Rayctl();
  // Waits up to `ms` for the process to end, dispatching messages meanwhile.
  bool WaitForEnd(DWORD ms);
  bool Running() const;
  DWORD ExitCode() const;
  // The frame whose client is the main dialog, once the dialog is its child.
  HWND MainWindow(DWORD timeout_ms = 10000);
  HWND Control(int id);
  // Presses a button: posted when `wait` is false (the handler may block in
  // a message box), else sent so that it has run when this returns.
  bool Press(int id, bool wait);
  // A top-level window of the program with this caption.
  HWND FindTopLevel(const char* caption, DWORD timeout_ms);
  // Text of the box's message (its static text with the most characters).
  static std::string BoxText(HWND box);
  // The program's main window answers messages (it is not stuck).
  bool Responds();
  // Ends the program as the user would (Exit button) and waits for it.
  bool Exit(DWORD ms = 10000);

 private:
  PROCESS_INFORMATION info_ = {};
  HWND main_ = nullptr;
};

// Window text through WM_GETTEXT (works across processes).
std::string Text(HWND window);

}  // namespace cmdline
