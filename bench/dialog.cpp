// The benchmark's third baseline: the least a program does to show the main
// dialog. It creates dialog 2000 from the same resource script as
// rayctl.exe, shows it minimized as an unattended run starts, handles what
// is queued, destroys it and ends. What rayctl.exe /K costs beyond this is
// its own doing: frame, set-up, command-line run and close.
#include "resources/ids.h"
#include "shell/win32/runtime/Startup.h"

namespace raylet {

namespace {

// Takes the focus like any dialog and handles nothing else.
INT_PTR CALLBACK DialogProc(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG ? TRUE : FALSE; }

}  // namespace

int ProgramMain(HINSTANCE module, int, int, char**) {
  HWND dialog = ::CreateDialogParamA(module, MAKEINTRESOURCEA(IDD_MAIN), nullptr, &DialogProc, 0);
  if (dialog == nullptr) return 1;
  ::ShowWindow(dialog, SW_SHOWMINIMIZED);
  MSG msg;
  while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageA(&msg);
  ::DestroyWindow(dialog);
  return 0;
}

}  // namespace raylet
