// The seam between the program's logic and the operating system. Every
// operation mirrors one Win32 call: same arguments, same result convention
// (zero against non-zero), so the logic reads like the Win32 code it drives
// and the simulated Windows in the tests can hold it to the same contract.
#pragma once

#include "platform/WinTypes.h"

namespace raylet {

class Platform {
 public:
  virtual ~Platform() = default;

  // Registry (advapi32). RegDeleteKeyA removes the key with all its subkeys
  // and values, as Windows 98 does, on every backend.
  virtual LONG RegOpenKeyExA(HKEY root, const char* path, DWORD options, REGSAM access, HKEY* result) = 0;
  virtual LONG RegQueryValueExA(HKEY key, const char* name, DWORD* reserved, DWORD* type, BYTE* data,
                                DWORD* size) = 0;
  virtual LONG RegSetValueExA(HKEY key, const char* name, DWORD reserved, DWORD type, const BYTE* data,
                              DWORD size) = 0;
  virtual LONG RegDeleteKeyA(HKEY parent, const char* subkey) = 0;
  virtual LONG RegDeleteValueA(HKEY key, const char* name) = 0;
  virtual LONG RegCloseKey(HKEY key) = 0;

  // Windows and processes (user32, kernel32).
  virtual HWND FindWindowA(const char* class_name, const char* title) = 0;
  virtual LRESULT SendMessageA(HWND window, UINT message, WPARAM wparam, LPARAM lparam) = 0;
  virtual BOOL PostMessageA(HWND window, UINT message, WPARAM wparam, LPARAM lparam) = 0;
  virtual UINT WinExec(const char* command_line, UINT show) = 0;
  virtual void Sleep(DWORD milliseconds) = 0;
  virtual int MessageBoxA(HWND owner, const char* text, const char* caption, UINT style) = 0;
  virtual int MessageBoxExA(HWND owner, const char* text, const char* caption, UINT style, WORD language) = 0;
  virtual BOOL ExitWindowsEx(UINT flags, DWORD reason) = 0;

  // Files and folders (kernel32).
  virtual BOOL DeleteFileA(const char* path) = 0;
  virtual UINT GetWindowsDirectoryA(char* buffer, UINT size) = 0;
  virtual UINT GetSystemDirectoryA(char* buffer, UINT size) = 0;
  virtual DWORD GetCurrentDirectoryA(DWORD size, char* buffer) = 0;
  // Path of the running executable (module null); as GetModuleFileNameA:
  // the length copied, size when the path was cut short, 0 on failure.
  virtual DWORD GetModuleFileNameA(HMODULE module, char* buffer, DWORD size) = 0;

  // Serial ports (kernel32).
  virtual HANDLE CreateFileA(const char* name, DWORD access, DWORD share_mode, void* security, DWORD disposition,
                             DWORD flags, HANDLE template_file) = 0;
  virtual BOOL PurgeComm(HANDLE port, DWORD flags) = 0;
  virtual BOOL GetCommState(HANDLE port, DCB* settings) = 0;
  virtual BOOL SetCommState(HANDLE port, DCB* settings) = 0;
  virtual BOOL GetCommTimeouts(HANDLE port, COMMTIMEOUTS* timeouts) = 0;
  virtual BOOL SetCommTimeouts(HANDLE port, COMMTIMEOUTS* timeouts) = 0;
  virtual BOOL SetupComm(HANDLE port, DWORD input_queue, DWORD output_queue) = 0;
  virtual BOOL CloseHandle(HANDLE handle) = 0;

  // True while a window-message spy tool runs; driver operations refuse to
  // work under one.
  virtual bool MessageSpyRunning() = 0;
  // NT-family systems refuse a restart without the shutdown privilege; this
  // enables it where the system has one and does nothing elsewhere.
  virtual void EnableShutdownPrivilege() = 0;
};

}  // namespace raylet
