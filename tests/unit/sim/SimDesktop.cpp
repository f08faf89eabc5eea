#include "sim/SimDesktop.h"

#include <cstdint>

#include "sim/SimText.h"

namespace raylet::sim {

namespace {
constexpr std::uintptr_t kFirstWindow = 0x2000;

HWND HandleOf(std::size_t index) { return reinterpret_cast<HWND>(kFirstWindow + 4 * index); }
}  // namespace

SimDesktop::SimDesktop(SimClock& clock, SimFaults& faults) : clock_(clock), faults_(faults) {}

HWND SimDesktop::AddWindow(const std::string& title, WindowSpec spec) {
  bool armed = !spec.starts_with_launch;
  windows_.push_back(Window{title, spec, State::kPending, armed, clock_.Now(), 0, 0});
  return HandleOf(windows_.size() - 1);
}

SimDesktop::Window* SimDesktop::Get(HWND window) {
  auto value = reinterpret_cast<std::uintptr_t>(window);
  if (value < kFirstWindow || (value - kFirstWindow) % 4 != 0) return nullptr;
  std::size_t index = (value - kFirstWindow) / 4;
  return index < windows_.size() ? &windows_[index] : nullptr;
}

const SimDesktop::Window* SimDesktop::Get(HWND window) const { return const_cast<SimDesktop*>(this)->Get(window); }

void SimDesktop::CloseWindow(HWND window) {
  if (Window* w = Get(window)) w->state = State::kClosed;
}

bool SimDesktop::IsOpen(HWND window) const {
  const Window* w = Get(window);
  if (w == nullptr || w->state == State::kClosed || !w->armed) return false;
  if (w->state == State::kOpen) return true;
  // A pending window that only waits for time counts as open once it is due;
  // one that waits for looks needs the looks.
  return w->spec.appear_at_look == 0 && clock_.Now() - w->armed_at >= w->spec.appear_after_ms;
}

bool SimDesktop::IsKnown(HWND window) const { return Get(window) != nullptr; }

std::vector<MessageRecord> SimDesktop::MessagesTo(HWND window) const {
  std::vector<MessageRecord> result;
  for (const MessageRecord& m : messages_) {
    if (m.window == window) result.push_back(m);
  }
  return result;
}

int SimDesktop::Looks(const std::string& title) const {
  auto it = looks_.find(title);
  return it == looks_.end() ? 0 : it->second;
}

void SimDesktop::SetSendResult(HWND window, LRESULT result) {
  if (Window* w = Get(window)) w->send_result = result;
}

void SimDesktop::AnswerBoxes(std::vector<int> answers) {
  answers_ = std::move(answers);
  next_answer_ = 0;
}

HWND SimDesktop::FindWindow(const char* class_name, const char* title) {
  std::string wanted = title == nullptr ? "" : title;
  ++looks_[wanted];
  ++total_looks_;
  if (faults_.Next(Op::FindWindow, wanted)) return nullptr;
  HWND found = nullptr;
  for (std::size_t i = 0; i < windows_.size(); ++i) {
    Window& w = windows_[i];
    if (w.state == State::kClosed || !w.armed) continue;
    if (title != nullptr && !SameText(w.title, wanted)) continue;
    if (class_name != nullptr && !SameText(w.spec.class_name, class_name)) continue;
    ++w.looks;
    if (w.state == State::kPending && w.looks >= w.spec.appear_at_look &&
        clock_.Now() - w.armed_at >= w.spec.appear_after_ms) {
      w.state = State::kOpen;
    }
    if (w.state == State::kOpen && found == nullptr) found = HandleOf(i);
  }
  return found;
}

void SimDesktop::Deliver(HWND window, UINT message, WPARAM wparam, LPARAM lparam, bool sent) {
  messages_.push_back({window, message, wparam, lparam, sent});
  Window* w = Get(window);
  if (w != nullptr && message == WM_DESTROY && w->spec.closes_on_destroy) w->state = State::kClosed;
}

LRESULT SimDesktop::Send(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  bool open = IsOpen(window);
  Deliver(window, message, wparam, lparam, true);
  return open ? Get(window)->send_result : 0;
}

BOOL SimDesktop::Post(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (faults_.Next(Op::PostMessage, "")) return FALSE;
  bool open = IsOpen(window);
  Deliver(window, message, wparam, lparam, false);
  return open ? TRUE : FALSE;
}

UINT SimDesktop::Launch(const char* command_line, UINT show) {
  UINT result = faults_.Next(Op::WinExec, command_line == nullptr ? "" : command_line) ? 0 : launch_result_;
  launches_.push_back({command_line == nullptr ? "" : command_line, show, result});
  if (result > 31) {
    for (Window& w : windows_) {
      if (w.spec.starts_with_launch && !w.armed) {
        w.armed = true;
        w.armed_at = clock_.Now();
      }
    }
  }
  return result;
}

int SimDesktop::Box(HWND owner, const char* text, const char* caption, UINT style, WORD language, bool ex) {
  int answer = next_answer_ < answers_.size() ? answers_[next_answer_++] : default_answer_;
  MessageBoxRecord record{owner, text == nullptr ? "" : text, caption == nullptr ? "" : caption, style, language, ex,
                          answer};
  if (on_box) on_box(record);
  boxes_.push_back(record);
  return answer;
}

}  // namespace raylet::sim
