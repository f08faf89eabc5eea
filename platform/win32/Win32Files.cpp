// File, folder and serial-port calls of the Win32 backend.
#include "platform/win32/Win32Platform.h"

namespace raylet {

BOOL Win32Platform::DeleteFileA(const char* path) { return ::DeleteFileA(path); }

UINT Win32Platform::GetWindowsDirectoryA(char* buffer, UINT size) { return ::GetWindowsDirectoryA(buffer, size); }

UINT Win32Platform::GetSystemDirectoryA(char* buffer, UINT size) { return ::GetSystemDirectoryA(buffer, size); }

DWORD Win32Platform::GetCurrentDirectoryA(DWORD size, char* buffer) { return ::GetCurrentDirectoryA(size, buffer); }

DWORD Win32Platform::GetModuleFileNameA(HMODULE module, char* buffer, DWORD size) {
  return ::GetModuleFileNameA(module, buffer, size);
}

HANDLE Win32Platform::CreateFileA(const char* name, DWORD access, DWORD share_mode, void* security,
                                  DWORD disposition, DWORD flags, HANDLE template_file) {
  return ::CreateFileA(name, access, share_mode, static_cast<SECURITY_ATTRIBUTES*>(security), disposition, flags,
                       template_file);
}

BOOL Win32Platform::PurgeComm(HANDLE port, DWORD flags) { return ::PurgeComm(port, flags); }

BOOL Win32Platform::GetCommState(HANDLE port, DCB* settings) { return ::GetCommState(port, settings); }

BOOL Win32Platform::SetCommState(HANDLE port, DCB* settings) { return ::SetCommState(port, settings); }

BOOL Win32Platform::GetCommTimeouts(HANDLE port, COMMTIMEOUTS* timeouts) { return ::GetCommTimeouts(port, timeouts); }

BOOL Win32Platform::SetCommTimeouts(HANDLE port, COMMTIMEOUTS* timeouts) { return ::SetCommTimeouts(port, timeouts); }

BOOL Win32Platform::SetupComm(HANDLE port, DWORD input_queue, DWORD output_queue) {
  return ::SetupComm(port, input_queue, output_queue);
}

BOOL Win32Platform::CloseHandle(HANDLE handle) { return ::CloseHandle(handle); }

}  // namespace raylet
