#include "framework/TApplication.h"

#include "framework/TWindow.h"
#include "resources/ids.h"

namespace raylet {

namespace {

// What the entry point received; constant-initialized, set once at start.
HINSTANCE g_module = nullptr;
int g_show_command = SW_SHOWNORMAL;
int g_argc = 0;
char** g_argv = nullptr;
TApplication* g_application = nullptr;

// The status of a run that the user ended at a failure report.
constexpr int kStatusEndedAfterFailure = 1;

}  // namespace

TApplication* GetApplication() { return g_application; }

void TApplication::SetStartup(HINSTANCE module, int show_command, int argc, char** argv) {
  g_module = module;
  g_show_command = show_command;
  g_argc = argc;
  g_argv = argv;
}

TApplication::TApplication(const char* name, HINSTANCE module)
    : Name(name), Module(module != nullptr ? module : g_module), ShowCommand(g_show_command) {
  g_application = this;
}

TApplication::~TApplication() {
  DestroyMainWindow();
  if (g_application == this) g_application = nullptr;
}

int TApplication::Argc() const { return g_argc; }

char** TApplication::Argv() const { return g_argv; }

void TApplication::CreateMainWindow() {}

bool TApplication::EventLookup(EntryKind, UINT) { return false; }

void TApplication::SetMainWindow(TWindow* window) {
  MainWindow = window;
  if (window != nullptr) window->Attr.ExStyle |= WS_EX_APPWINDOW;
}

void TApplication::ReportFailure(ReportText text) {
  if (pending_failure_.Id() == 0) pending_failure_ = text;
}

int TApplication::Run() {
  CreateMainWindow();
  if (MainWindow != nullptr && MainWindow->Create()) {
    ::ShowWindow(MainWindow->Handle, ShowCommand);
    ::UpdateWindow(MainWindow->Handle);
  } else {
    ReportFailure(MainWindow != nullptr ? ReportText::Of<IDS_WINDOW_CREATE_FAILED>()
                                        : ReportText::Of<IDS_NO_MAIN_WINDOW>());
  }
  if (pending_failure_.Id() != 0 && !AskAfterFailure()) {
    exit_status_ = kStatusEndedAfterFailure;
  } else if (MainWindow != nullptr && MainWindow->IsWindowAlive()) {
    exit_status_ = MessageLoop();
  }
  // Without a main window there is nothing for the loop to serve.
  DestroyMainWindow();
  return exit_status_;
}

int TApplication::MessageLoop() {
  MSG msg;
  for (;;) {
    BOOL got = ::GetMessageA(&msg, nullptr, 0, 0);
    if (got == 0) return static_cast<int>(msg.wParam);
    if (got == -1) {
      ReportFailure(ReportText::Of<IDS_LOOP_FAILED>());
    } else if (MainWindow == nullptr || !MainWindow->PreProcessMsg(&msg)) {
      ::TranslateMessage(&msg);
      ::DispatchMessageA(&msg);
    }
    if (pending_failure_.Id() != 0 && !AskAfterFailure()) return kStatusEndedAfterFailure;
  }
}

bool TApplication::AskAfterFailure() {
  char text[640];
  char caption[128];
  int length = pending_failure_.Load(Module, text, 512);
  if (length == 0) length = ReportText::Of<IDS_UNKNOWN_FAILURE>().Load(Module, text, 512);
  text[length++] = '\n';
  text[length++] = '\n';
  ReportText::Of<IDS_REPORT_QUESTION>().Load(Module, text + length, 640 - length);
  ReportText::Of<IDS_REPORT_CAPTION>().Load(Module, caption, 128);
  pending_failure_ = ReportText();
  HWND owner = MainWindow != nullptr && MainWindow->IsWindowAlive() ? MainWindow->Handle : nullptr;
  return ::MessageBoxA(owner, text, caption, MB_YESNO | MB_ICONSTOP | MB_TASKMODAL) == IDYES;
}

void TApplication::DestroyMainWindow() {
  TWindow* window = MainWindow;
  MainWindow = nullptr;
  delete window;
}

}  // namespace raylet
