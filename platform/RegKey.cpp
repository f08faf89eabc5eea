#include "platform/RegKey.h"

#include "platform/Text.h"

namespace raylet {

RegKey& RegKey::operator=(RegKey&& other) noexcept {
  if (this != &other) {
    Close();
    platform_ = other.platform_;
    key_ = other.key_;
    other.key_ = nullptr;
  }
  return *this;
}

bool RegKey::Open(HKEY root, const char* path) {
  Close();
  HKEY key = nullptr;
  if (platform_->RegOpenKeyExA(root, path, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) return false;
  key_ = key;
  return true;
}

bool RegKey::QueryValue(const char* name, DWORD* type, void* data, DWORD size) {
  text::Fill(data, 0, size);
  DWORD length = size;
  return platform_->RegQueryValueExA(key_, name, nullptr, type, static_cast<BYTE*>(data), &length) ==
         ERROR_SUCCESS;
}

bool RegKey::SetValue(const char* name, DWORD type, const void* data, DWORD size) {
  return platform_->RegSetValueExA(key_, name, 0, type, static_cast<const BYTE*>(data), size) == ERROR_SUCCESS;
}

void RegKey::DeleteSubKey(const char* subkey) { platform_->RegDeleteKeyA(key_, subkey); }

void RegKey::DeleteValue(const char* name) { platform_->RegDeleteValueA(key_, name); }

void RegKey::Close() {
  if (key_ == nullptr) return;
  platform_->RegCloseKey(key_);
  key_ = nullptr;
}

}  // namespace raylet
