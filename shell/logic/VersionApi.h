// The calls the version reader makes to reach the running program's version
// block (kernel32, user32, version.dll); Win32 forwards them, tests serve
// blocks held in memory.
#pragma once

#include "platform/WinTypes.h"

namespace raylet {

class VersionApi {
 public:
  virtual ~VersionApi() = default;
  // The length copied, size when the path was cut short (on NT without a
  // terminator), 0 on failure.
  virtual DWORD GetModuleFileNameA(HMODULE module, char* buffer, DWORD size) = 0;
  virtual DWORD GetFileVersionInfoSizeA(const char* path, DWORD* handle) = 0;
  virtual BOOL GetFileVersionInfoA(const char* path, DWORD handle, DWORD size, void* data) = 0;
  virtual BOOL VerQueryValueA(const void* block, const char* sub_block, void** value, UINT* length) = 0;
};

}  // namespace raylet
