// The platform seam served by the real Win32 API. Every operation forwards to
// the call of the same name; the only deliberate difference is RegDeleteKeyA,
// which removes a whole subtree on every system (see Win32Registry.cpp).
#pragma once

#include "platform/Platform.h"

namespace raylet {

class Win32Platform final : public Platform {
 public:
  constexpr Win32Platform() = default;

  LONG RegOpenKeyExA(HKEY root, const char* path, DWORD options, REGSAM access, HKEY* result) override;
  LONG RegQueryValueExA(HKEY key, const char* name, DWORD* reserved, DWORD* type, BYTE* data,
                        DWORD* size) override;
  LONG RegSetValueExA(HKEY key, const char* name, DWORD reserved, DWORD type, const BYTE* data,
                      DWORD size) override;
  LONG RegDeleteKeyA(HKEY parent, const char* subkey) override;
  LONG RegDeleteValueA(HKEY key, const char* name) override;
  LONG RegCloseKey(HKEY key) override;

  HWND FindWindowA(const char* class_name, const char* title) override;
  LRESULT SendMessageA(HWND window, UINT message, WPARAM wparam, LPARAM lparam) override;
  BOOL PostMessageA(HWND window, UINT message, WPARAM wparam, LPARAM lparam) override;
  UINT WinExec(const char* command_line, UINT show) override;
  void Sleep(DWORD milliseconds) override;
  int MessageBoxA(HWND owner, const char* text, const char* caption, UINT style) override;
  int MessageBoxExA(HWND owner, const char* text, const char* caption, UINT style, WORD language) override;
  BOOL ExitWindowsEx(UINT flags, DWORD reason) override;

  BOOL DeleteFileA(const char* path) override;
  UINT GetWindowsDirectoryA(char* buffer, UINT size) override;
  UINT GetSystemDirectoryA(char* buffer, UINT size) override;
  DWORD GetCurrentDirectoryA(DWORD size, char* buffer) override;
  DWORD GetModuleFileNameA(HMODULE module, char* buffer, DWORD size) override;

  HANDLE CreateFileA(const char* name, DWORD access, DWORD share_mode, void* security, DWORD disposition,
                     DWORD flags, HANDLE template_file) override;
  BOOL PurgeComm(HANDLE port, DWORD flags) override;
  BOOL GetCommState(HANDLE port, DCB* settings) override;
  BOOL SetCommState(HANDLE port, DCB* settings) override;
  BOOL GetCommTimeouts(HANDLE port, COMMTIMEOUTS* timeouts) override;
  BOOL SetCommTimeouts(HANDLE port, COMMTIMEOUTS* timeouts) override;
  BOOL SetupComm(HANDLE port, DWORD input_queue, DWORD output_queue) override;
  BOOL CloseHandle(HANDLE handle) override;

  bool MessageSpyRunning() override;
  void EnableShutdownPrivilege() override;
};

}  // namespace raylet
