// Top-level windows, messages, program starts, message boxes and restarts of
// the simulated Windows (the user32 side, and WinExec).
//
// FindWindowA matches titles case-insensitively, as Windows does, and an
// optional class name exactly (case-insensitively as well). Every look is
// counted per title as the program spelled it. A window can be scripted to
// come up later: at the n-th look for its title, after some virtual time, or
// only once WinExec has started a program (the control panel starting the
// monitor); and to go away when it receives WM_DESTROY (the monitor ending).
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/WinTypes.h"
#include "sim/SimClock.h"
#include "sim/SimFaults.h"

namespace raylet::sim {

struct WindowSpec {
  std::string class_name = "#32770";
  // Absent until a successful WinExec (result above 31); the looks and the
  // delay below count from that start.
  bool starts_with_launch = false;
  // 0: no condition; n: found from the n-th look for its title on.
  int appear_at_look = 0;
  // Found once this much virtual time has passed since it was added (or
  // since the launch).
  DWORD appear_after_ms = 0;
  // WM_DESTROY, sent or posted, closes the window.
  bool closes_on_destroy = true;
};

struct MessageRecord {
  HWND window;
  UINT message;
  WPARAM wparam;
  LPARAM lparam;
  bool sent;  // SendMessageA; false: PostMessageA
  bool operator==(const MessageRecord& o) const {
    return window == o.window && message == o.message && wparam == o.wparam && lparam == o.lparam && sent == o.sent;
  }
};

struct LaunchRecord {
  std::string command_line;
  UINT show;
  UINT result;
};

struct MessageBoxRecord {
  HWND owner;
  std::string text;
  std::string caption;
  UINT style;
  WORD language;
  bool ex;  // MessageBoxExA
  int answer;
};

class SimDesktop {
 public:
  SimDesktop(SimClock& clock, SimFaults& faults);

  // --- Windows ---
  HWND AddWindow(const std::string& title, WindowSpec spec = {});
  // Closes a window at once (as if its program ended).
  void CloseWindow(HWND window);
  bool IsOpen(HWND window) const;  // findable now
  bool IsKnown(HWND window) const;
  // Messages that reached one window, in order.
  std::vector<MessageRecord> MessagesTo(HWND window) const;
  // Every send and post of the program, to known windows or not.
  const std::vector<MessageRecord>& Messages() const { return messages_; }
  // FindWindowA calls with exactly this title (bytes as passed).
  int Looks(const std::string& title) const;
  int TotalLooks() const { return total_looks_; }
  // Answer of SendMessageA to this window (default 0).
  void SetSendResult(HWND window, LRESULT result);

  // --- Programs ---
  // WinExec returns this (default 33: started).
  void SetLaunchResult(UINT result) { launch_result_ = result; }
  const std::vector<LaunchRecord>& Launches() const { return launches_; }

  // --- Message boxes ---
  // Answers in order; once used up, the default answer (IDOK).
  void AnswerBoxes(std::vector<int> answers);
  void SetDefaultAnswer(int answer) { default_answer_ = answer; }
  const std::vector<MessageBoxRecord>& Boxes() const { return boxes_; }
  // Called while a box is up, before it answers: look at the rest of the
  // simulation at that moment (is the port still open?).
  std::function<void(const MessageBoxRecord&)> on_box;

  // --- Calls of the program ---
  HWND FindWindow(const char* class_name, const char* title);
  LRESULT Send(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
  BOOL Post(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
  UINT Launch(const char* command_line, UINT show);
  int Box(HWND owner, const char* text, const char* caption, UINT style, WORD language, bool ex);

 private:
  enum class State { kPending, kOpen, kClosed };
  struct Window {
    std::string title;
    WindowSpec spec;
    State state;
    bool armed;       // counting looks and time
    DWORD armed_at;
    int looks;
    LRESULT send_result;
  };
  Window* Get(HWND window);
  const Window* Get(HWND window) const;
  void Deliver(HWND window, UINT message, WPARAM wparam, LPARAM lparam, bool sent);

  SimClock& clock_;
  SimFaults& faults_;
  std::vector<Window> windows_;  // HWND = 0x2000 + 4 * index
  std::vector<MessageRecord> messages_;
  std::map<std::string, int> looks_;
  int total_looks_ = 0;
  UINT launch_result_ = 33;
  std::vector<LaunchRecord> launches_;
  std::vector<int> answers_;
  std::size_t next_answer_ = 0;
  int default_answer_ = IDOK;
  std::vector<MessageBoxRecord> boxes_;
};

}  // namespace raylet::sim
