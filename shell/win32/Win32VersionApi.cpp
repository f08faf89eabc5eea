#include "shell/win32/Win32VersionApi.h"

namespace raylet {

DWORD Win32VersionApi::GetModuleFileNameA(HMODULE module, char* buffer, DWORD size) {
  return ::GetModuleFileNameA(module, buffer, size);
}

DWORD Win32VersionApi::GetFileVersionInfoSizeA(const char* path, DWORD* handle) {
  return ::GetFileVersionInfoSizeA(path, handle);
}

BOOL Win32VersionApi::GetFileVersionInfoA(const char* path, DWORD handle, DWORD size, void* data) {
  return ::GetFileVersionInfoA(path, handle, size, data);
}

BOOL Win32VersionApi::VerQueryValueA(const void* block, const char* sub_block, void** value, UINT* length) {
  return ::VerQueryValueA(block, sub_block, value, length);
}

}  // namespace raylet
