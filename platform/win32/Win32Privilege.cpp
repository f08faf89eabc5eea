// The shutdown privilege, which NT-family systems demand before a restart.
#include "platform/win32/Win32Platform.h"

namespace raylet {
namespace {

// advapi32 of Windows 98 lacks the token calls (or has stubs), so they are
// looked up at run time: the program's import table stays what Windows 98
// can load.
typedef BOOL(WINAPI* OpenProcessTokenFn)(HANDLE, DWORD, HANDLE*);
typedef BOOL(WINAPI* LookupPrivilegeValueFn)(const char*, const char*, LUID*);
typedef BOOL(WINAPI* AdjustTokenPrivilegesFn)(HANDLE, BOOL, TOKEN_PRIVILEGES*, DWORD, TOKEN_PRIVILEGES*, DWORD*);

template <typename Fn>
Fn Lookup(HMODULE module, const char* name) {
  // Through void* so the compiler accepts the change of function type.
  return reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
}

}  // namespace

void Win32Platform::EnableShutdownPrivilege() {
  // The high bit of GetVersion is set on Windows 95/98/Me, which have no
  // privileges to enable.
  if ((::GetVersion() & 0x80000000u) != 0) return;
  HMODULE advapi = ::GetModuleHandleA("advapi32.dll");
  if (advapi == nullptr) advapi = ::LoadLibraryA("advapi32.dll");
  if (advapi == nullptr) return;
  auto open_token = Lookup<OpenProcessTokenFn>(advapi, "OpenProcessToken");
  auto lookup_privilege = Lookup<LookupPrivilegeValueFn>(advapi, "LookupPrivilegeValueA");
  auto adjust = Lookup<AdjustTokenPrivilegesFn>(advapi, "AdjustTokenPrivileges");
  if (open_token == nullptr || lookup_privilege == nullptr || adjust == nullptr) return;

  HANDLE token = nullptr;
  if (!open_token(::GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token)) return;
  TOKEN_PRIVILEGES privileges;
  privileges.PrivilegeCount = 1;
  privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
  if (lookup_privilege(nullptr, "SeShutdownPrivilege", &privileges.Privileges[0].Luid)) {
    adjust(token, FALSE, &privileges, 0, nullptr, nullptr);
  }
  ::CloseHandle(token);
}

}  // namespace raylet
