// The application object: what the entry point received (module, show
// command, arguments), the main window, the message loop, the application's
// own commands and the framework's failure report.
#pragma once

#include "framework/CommandTable.h"
#include "framework/ReportText.h"
#include "platform/WinTypes.h"

namespace raylet {

class TWindow;

class TApplication {
 public:
  TApplication(const char* name, HINSTANCE module);
  virtual ~TApplication();
  TApplication(const TApplication&) = delete;
  TApplication& operator=(const TApplication&) = delete;

  // Called once by the entry point, before the application object exists.
  static void SetStartup(HINSTANCE module, int show_command, int argc, char** argv);

  // Creates the main window, shows it with the show command and runs the
  // message loop until the main window has gone; returns the exit status.
  int Run();

  // The application's own commands (what no window handled).
  virtual bool EventLookup(EntryKind kind, UINT id);

  // Takes ownership of `window` as the main window; gives it WS_EX_APPWINDOW.
  void SetMainWindow(TWindow* window);
  TWindow* GetMainWindow() const { return MainWindow; }

  // Notes a failed framework step (its text, ReportText::Of<id>()); the
  // message loop reports it and asks whether to go on.
  void ReportFailure(ReportText text);
  // The status Run returns when the main window goes.
  void SetExitStatus(int status) { exit_status_ = status; }
  int ExitStatus() const { return exit_status_; }

  int Argc() const;
  char** Argv() const;

  const char* Name;
  HINSTANCE Module;
  int ShowCommand;

 protected:
  // Hook run before the main window is created: builds it (SetMainWindow) and
  // may change ShowCommand.
  virtual void CreateMainWindow();

 private:
  // Shows the pending failure; true when the user wants to go on.
  bool AskAfterFailure();
  int MessageLoop();
  void DestroyMainWindow();

  TWindow* MainWindow = nullptr;
  ReportText pending_failure_;
  int exit_status_ = 0;
};

// The one application object of the process (null outside Run's lifetime).
TApplication* GetApplication();

}  // namespace raylet
