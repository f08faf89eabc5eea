#include "shell/logic/CommandLine.h"

#include "maintenance/DriverRemoval.h"
#include "platform/Text.h"

namespace raylet {

namespace {

constexpr char kCaption[] = "Raylet";
constexpr char kFaultCaption[] = "Raylet - fault -";
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

bool RunDriverOperation(char op, TSetRay& state, MainView& view) {
  view.EnableInput(false);
  bool ok = op == 'K' ? state.KillDriver() : state.EnableDriver(op == 'E');
  view.EnableInput(true);
  return ok;
}

}  // namespace

LRESULT RunCommandLine(int argc, const char* const* argv, TSetRay& state, Platform& platform, MainView& view) {
  HWND reply = ReplyWindow(argc, argv);
  view.SetCaption(kCaption);
  if (argc <= 1 || argv[1] == nullptr) return 1;

  const char* option = argv[1];
  char op = '\0';
  if (text::StartsWith(option, "/E")) {
    op = 'E';
  } else if (text::StartsWith(option, "/D")) {
    op = 'D';
  } else if (text::StartsWith(option, "/K")) {
    op = 'K';
  } else if (text::StartsWith(option, "/F")) {
    op = 'F';
  }

  if (op == 'F') {
    view.EnableInput(false);
    FinishRemoval(platform);
    view.EnableInput(true);
    view.SetExitStatus(kExitSuccess);
    view.CloseDialog(kCloseCode);
    return 1;
  }

  if (op == '\0') {
    view.ShowNormal();
    view.SetResultLabel(state.ResultText);
    view.SetExitStatus(kExitFailure);
    if (reply != nullptr) {
      Reply(platform, reply, false);
      view.CloseDialog(kCloseCode);
    }
    return 1;
  }

  if (RunDriverOperation(op, state, view)) {
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
