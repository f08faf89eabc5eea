// Window, process and message-box calls of the Win32 backend.
#include "platform/win32/Win32Platform.h"

namespace raylet {

HWND Win32Platform::FindWindowA(const char* class_name, const char* title) {
  return ::FindWindowA(class_name, title);
}

LRESULT Win32Platform::SendMessageA(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  return ::SendMessageA(window, message, wparam, lparam);
}

BOOL Win32Platform::PostMessageA(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  return ::PostMessageA(window, message, wparam, lparam);
}

UINT Win32Platform::WinExec(const char* command_line, UINT show) { return ::WinExec(command_line, show); }

void Win32Platform::Sleep(DWORD milliseconds) { ::Sleep(milliseconds); }

int Win32Platform::MessageBoxA(HWND owner, const char* text, const char* caption, UINT style) {
  return ::MessageBoxA(owner, text, caption, style);
}

int Win32Platform::MessageBoxExA(HWND owner, const char* text, const char* caption, UINT style, WORD language) {
  return ::MessageBoxExA(owner, text, caption, style, language);
}

BOOL Win32Platform::ExitWindowsEx(UINT flags, DWORD reason) { return ::ExitWindowsEx(flags, reason); }

bool Win32Platform::MessageSpyRunning() {
  // Microsoft Spy++ (spyxx.exe, Visual C++ 5 and later) is the message spy of
  // the era and of today. Its frame's class is an MFC-generated "Afx:..." name
  // that changes with every build, so the caption is what identifies it: the
  // frame reads "Microsoft Spy++" while its views are not maximized.
  return ::FindWindowA(nullptr, "Microsoft Spy++") != nullptr;
}

}  // namespace raylet
