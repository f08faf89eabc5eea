// Arbitrary command lines through the unattended run, against the simulated
// Windows: each argument in its own allocation of exactly its length plus
// terminator and the vector exactly argc long, so a read past either is an
// AddressSanitizer report. Checks: the reply goes only to the window that
// "/H<hex>" names, once; the run ends either staying open or closing once.
#include <cstdio>
#include <cstring>
#include <optional>
#include <memory>
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "driver/TSetRay.h"
#include "shell/logic/CommandLine.h"
#include "sim/IrdaStack.h"

namespace raylet::fuzz {
namespace {

class FuzzView : public MainView {
 public:
  explicit FuzzView(const sim::SimWindows& sim) : sim_(sim) {}
  void SetCaption(const char* text) override { Add("caption " + Bounded(text)); }
  void SetResultLabel(const char* text) override { Add("label " + Bounded(text)); }
  void ShowNormal() override { Add("show"); }
  void CloseDialog(int code) override {
    Add("close");
    Check(code == IDCANCEL, "closed with code " + std::to_string(code), &sim_);
    ++closes;
  }
  void EnableInput(bool enabled) override { Add(enabled ? "input on" : "input off"); }
  void SetExitStatus(int) override {}

  std::vector<std::string> events;
  int closes = 0;

 private:
  std::string Bounded(const char* text) {
    Check(text != nullptr, "null text for the window", &sim_);
    Check(std::memchr(text, '\0', 1000) != nullptr, "window text longer than the result text", &sim_);
    return text;
  }
  void Add(const std::string& event) {
    Check(closes == 0, "\"" + event + "\" after the dialog was closed", &sim_);
    events.push_back(event);
  }
  const sim::SimWindows& sim_;
};

// The switch's letter, '?' for an unknown switch, 0 for none.
char SwitchOf(int argc, const char* const* argv) {
  if (argc <= 1) return 0;
  const char* s = argv[1];
  if (s[0] == '/' && (s[1] == 'E' || s[1] == 'D' || s[1] == 'K' || s[1] == 'F')) return s[1];
  return '?';
}

// The window "/H<hex>" names, as the C library's "/H%x" reads it; 0 when
// none is named. Past sixteen characters the C library saturates where a
// 32-bit reader keeps the low bits; no caller formats a handle that long, so
// such an argument is not judged (none).
std::optional<uint32_t> ReplyOf(int argc, const char* const* argv) {
  if (argc <= 2) return 0;
  unsigned int value = 0;
  int end = 0;
  if (std::sscanf(argv[2], "/H%x%n", &value, &end) != 1) return 0;
  if (end - 2 > 16) return std::nullopt;
  return value;
}

void Seed(FuzzInput& in, sim::SimWindows& sim) {
  uint8_t flags = in.Byte();
  sim::IrdaSetup setup;
  setup.installed = (flags & 1) != 0;
  setup.enabled = static_cast<DWORD>((flags >> 1) & 1);
  setup.add_ports = false;
  sim::SeedIrda(sim, setup);
  sim.ports.AddPort("COM4", {(flags & 8) != 0});
  sim.ports.AddPort("LPT3", {(flags & 16) != 0});
  sim.ports.AddPort("COM2", {(flags & 32) != 0});
  if (flags & 4) sim.desktop.AddWindow("IRMON");
  sim.message_spy_running = (flags & 0xC0) == 0xC0;
  static constexpr UINT kLaunch[] = {33, 0, 2, 3, 11};
  uint8_t more = in.Byte();
  sim.desktop.SetLaunchResult(kLaunch[more % 5]);
  if (more & 8) {
    sim::WindowSpec spec;
    spec.starts_with_launch = true;
    spec.appear_at_look = (more >> 4) % 4;
    sim.desktop.AddWindow((more & 0x80) ? "IRMON" : "Infrared Monitor", spec);
  }
}

void Run(const uint8_t* data, std::size_t size) {
  FuzzInput in(data, size);
  sim::SimWindows sim;
  Seed(in, sim);

  int argc = in.Below(9);
  std::vector<std::unique_ptr<char[]>> storage;
  std::unique_ptr<const char*[]> argv(new const char*[static_cast<std::size_t>(argc)]);
  for (int i = 0; i < argc; ++i) {
    std::string arg = in.Bytes(80);
    std::size_t length = std::strlen(arg.c_str());  // an argument ends at its first NUL
    storage.emplace_back(new char[length + 1]);
    std::memcpy(storage.back().get(), arg.data(), length);
    storage.back()[length] = '\0';
    argv[i] = storage.back().get();
  }

  auto ray = std::make_unique<TSetRay>(sim);
  FuzzView view(sim);
  LRESULT result = RunCommandLine(argc, argv.get(), *ray, sim, view);

  char op = SwitchOf(argc, argv.get());
  std::optional<uint32_t> parsed = ReplyOf(argc, argv.get());
  if (!parsed) return;
  uint32_t reply = *parsed;
  Check(result == 1, "RunCommandLine returned " + std::to_string(result), &sim);
  Check(!view.events.empty() && view.events[0] == "caption Raylet", "the caption is not set first", &sim);
  bool fault = false;
  for (const std::string& e : view.events) fault = fault || e == "caption Raylet - fault -";

  // The reply: message 2024 to the parsed window only, at most once.
  int replies = 0;
  WPARAM answer = 0;
  for (const sim::MessageRecord& m : sim.desktop.Messages()) {
    if (m.message != kRunCommandLineMessage) continue;
    Check(!m.sent, "the reply was sent, not posted", &sim);
    Check(reinterpret_cast<ULONG_PTR>(m.window) == reply, "a reply to a window the arguments do not name", &sim);
    Check(m.lparam == 0, "a reply with lParam other than 0", &sim);
    answer = m.wparam;
    ++replies;
  }
  bool ran = op == 'E' || op == 'D' || op == 'K';
  bool wants_reply = reply != 0 && (ran || op == '?');
  Check(replies == (wants_reply ? 1 : 0), std::to_string(replies) + " replies", &sim);
  if (replies == 1) Check(answer == ((ran && !fault) ? 1u : 0u), "the reply's wParam does not match", &sim);

  // Exactly one ending: closed once, or open.
  Check(view.closes <= 1, "closed more than once", &sim);
  bool closes = op == 'F' || (ran && !fault) || ((ran || op == '?') && reply != 0);
  Check((view.closes == 1) == closes, closes ? "stays open where it must close" : "closes where it must stay open",
        &sim);
  if (op == 0) Check(view.events.size() == 1, "no switch, yet the window was changed", &sim);
  if (op == '?' || op == 'F') Check(!fault, "the fault caption without an operation", &sim);
  if (ran) {
    DriverOp driver_op = op == 'K' ? DriverOp::kKill : (op == 'E' ? DriverOp::kSwitchOn : DriverOp::kSwitchOff);
    CheckResultText(ray->ResultText, driver_op, !fault, sim);
  }

  Check(!ray->PortHandle.IsValid(), "PortHandle holds a handle after the run", &sim);
  std::vector<std::string> problems = sim.Problems();
  Check(problems.empty(), problems.empty() ? "" : problems[0], &sim);
}

}  // namespace
}  // namespace raylet::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  raylet::fuzz::Run(data, size);
  return 0;
}
