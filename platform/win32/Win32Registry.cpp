// Registry calls of the Win32 backend.
#include "platform/win32/Win32Platform.h"

namespace raylet {
namespace {

// Deeper trees than this are not deleted (the final delete then fails as the
// system's own would); real keys of the infrared stack are a few levels deep.
constexpr int kMaxDeleteDepth = 64;
// Key names are at most 255 characters on every Windows version.
constexpr DWORD kKeyNameSize = 256;

// Windows 98 deletes a key with everything below it; NT-family systems and
// Wine refuse a key that still has subkeys. Deleting the children first,
// deepest first, gives the Windows 98 behaviour everywhere.
LONG DeleteTree(HKEY parent, const char* subkey, int depth) {
  HKEY key = nullptr;
  if (depth < kMaxDeleteDepth &&
      ::RegOpenKeyExA(parent, subkey, 0, KEY_ALL_ACCESS, &key) == ERROR_SUCCESS) {
    char child[kKeyNameSize];
    for (;;) {
      DWORD length = kKeyNameSize;
      // Always index 0: each pass removes the child it found.
      if (::RegEnumKeyExA(key, 0, child, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
      if (DeleteTree(key, child, depth + 1) != ERROR_SUCCESS) break;
    }
    ::RegCloseKey(key);
  }
  return ::RegDeleteKeyA(parent, subkey);
}

}  // namespace

LONG Win32Platform::RegOpenKeyExA(HKEY root, const char* path, DWORD options, REGSAM access, HKEY* result) {
  return ::RegOpenKeyExA(root, path, options, access, result);
}

LONG Win32Platform::RegQueryValueExA(HKEY key, const char* name, DWORD* reserved, DWORD* type, BYTE* data,
                                     DWORD* size) {
  return ::RegQueryValueExA(key, name, reserved, type, data, size);
}

LONG Win32Platform::RegSetValueExA(HKEY key, const char* name, DWORD reserved, DWORD type, const BYTE* data,
                                   DWORD size) {
  return ::RegSetValueExA(key, name, reserved, type, data, size);
}

LONG Win32Platform::RegDeleteKeyA(HKEY parent, const char* subkey) {
  // An empty name would make the tree walk empty the parent itself.
  if (subkey == nullptr || subkey[0] == '\0') return ERROR_INVALID_PARAMETER;
  return DeleteTree(parent, subkey, 0);
}

LONG Win32Platform::RegDeleteValueA(HKEY key, const char* name) { return ::RegDeleteValueA(key, name); }

LONG Win32Platform::RegCloseKey(HKEY key) { return ::RegCloseKey(key); }

}  // namespace raylet
