// The version reader's calls, served by kernel32, user32 and version.dll.
#pragma once

#include "shell/logic/VersionApi.h"

namespace raylet {

class Win32VersionApi final : public VersionApi {
 public:
  DWORD GetModuleFileNameA(HMODULE module, char* buffer, DWORD size) override;
  DWORD GetFileVersionInfoSizeA(const char* path, DWORD* handle) override;
  BOOL GetFileVersionInfoA(const char* path, DWORD handle, DWORD size, void* data) override;
  BOOL VerQueryValueA(const void* block, const char* sub_block, void** value, UINT* length) override;
};

}  // namespace raylet
