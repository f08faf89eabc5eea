// Move-only owner of one open registry key: closed exactly once, when the
// owner goes or Close() is called, never used after that.
#pragma once

#include "platform/Platform.h"

namespace raylet {

class RegKey {
 public:
  explicit RegKey(Platform& platform) : platform_(&platform) {}
  ~RegKey() { Close(); }
  RegKey(RegKey&& other) noexcept : platform_(other.platform_), key_(other.key_) { other.key_ = nullptr; }
  RegKey& operator=(RegKey&& other) noexcept;
  RegKey(const RegKey&) = delete;
  RegKey& operator=(const RegKey&) = delete;

  // Opens root\path with KEY_ALL_ACCESS; false when the key is absent.
  bool Open(HKEY root, const char* path);
  bool IsOpen() const { return key_ != nullptr; }
  HKEY Get() const { return key_; }

  // Zeroes `data` (`size` bytes) and queries the value into it. False when the
  // value is missing or does not fit. `type` may be null.
  bool QueryValue(const char* name, DWORD* type, void* data, DWORD size);
  bool SetValue(const char* name, DWORD type, const void* data, DWORD size);
  void DeleteSubKey(const char* subkey);
  void DeleteValue(const char* name);
  void Close();

 private:
  Platform* platform_;
  HKEY key_ = nullptr;
};

}  // namespace raylet
