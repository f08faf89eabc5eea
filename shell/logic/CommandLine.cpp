#include "shell/logic/CommandLine.h"

#include "maintenance/DriverRemoval.h"
#include "platform/Text.h"
#include "shell/logic/MainCommands.h"

namespace raylet {

namespace {

constexpr int kCloseCode = IDCANCEL;
// Batch files test the exit status; the caller's window gets the reply.
constexpr int kExitSuccess = 0;
constexpr int kExitFailure = 1;

// The window named by "/H<hex>", or null when the argument is missing or
// does not parse.
HWND ReplyWindow(int argc, const char* const* argv) {
  if (argc <= 2 || argv[2] == nullptr || !text::StartsWith(argv[2], "/H")) return nullptr;
  uint32_t handle = 0;
  if (!text::ParseHex(argv[2] + 2, &handle)) return nullptr;
  return reinterpret_cast<HWND>(static_cast<ULONG_PTR>(handle));
}

void Reply(Platform& platform, HWND window, bool success) {
  if (window != nullptr) platform.PostMessageA(window, kRunCommandLineMessage, success ? 1 : 0, 0);
}

// Restores the minimized start so the user can read why.
void ShowFault(TSetRay& state, MainView& view) {
  view.ShowNormal();
  view.SetResultLabel(state.ResultText);
  view.SetCaption(kFaultCaption);
}

}  // namespace

LRESULT RunCommandLine(int argc, const char* const* argv, TSetRay& state, Platform& platform, MainView& view) {
  HWND reply = ReplyWindow(argc, argv);
  view.SetCaption(kMainCaption);
  if (argc <= 1 || argv[1] == nullptr) return 1;

  // Only the first two bytes count, in this order: "/Enable" is "/E".
  static constexpr struct {
    const char* prefix;
    DriverCommand command;
  } kDriverSwitches[] = {
      {"/E", DriverCommand::Enable}, {"/D", DriverCommand::Disable}, {"/K", DriverCommand::Kill}};
  const char* option = argv[1];
  const DriverCommand* command = nullptr;
  for (const auto& entry : kDriverSwitches) {
    if (text::StartsWith(option, entry.prefix)) {
      command = &entry.command;
      break;
    }
  }

  if (command == nullptr && text::StartsWith(option, "/F")) {
    view.EnableInput(false);
    FinishRemoval(platform);
    view.EnableInput(true);
    view.SetExitStatus(kExitSuccess);
    view.CloseDialog(kCloseCode);
    return 1;
  }

  if (command == nullptr) {
    // An unknown switch: show what the program accepts.
    view.ShowNormal();
    view.SetResultLabel(state.ResultText);
    view.SetExitStatus(kExitFailure);
    if (reply != nullptr) {
      Reply(platform, reply, false);
      view.CloseDialog(kCloseCode);
    }
    return 1;
  }

  if (RunDriverOperation(*command, state, view)) {
    Reply(platform, reply, true);
    view.SetExitStatus(kExitSuccess);
    view.CloseDialog(kCloseCode);
    return 1;
  }
  ShowFault(state, view);
  view.SetExitStatus(kExitFailure);
  if (reply != nullptr) {
    Reply(platform, reply, false);
    view.CloseDialog(kCloseCode);
  }
  return 1;
}

}  // namespace raylet
