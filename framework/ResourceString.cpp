#include "framework/ResourceString.h"

namespace raylet {

// A string table block holds 16 strings, each a count of UTF-16 units
// followed by the units, without terminator.
int LoadResourceString(HINSTANCE module, UINT id, wchar_t* buffer, int size) {
  if (size <= 0) return 0;
  buffer[0] = L'\0';
  HRSRC found = ::FindResourceA(module, MAKEINTRESOURCEA(id / 16 + 1), MAKEINTRESOURCEA(6));  // RT_STRING
  if (found == nullptr) return 0;
  HGLOBAL loaded = ::LoadResource(module, found);
  if (loaded == nullptr) return 0;
  const WORD* entry = static_cast<const WORD*>(::LockResource(loaded));
  DWORD units_left = ::SizeofResource(module, found) / sizeof(WORD);
  if (entry == nullptr) return 0;
  for (UINT slot = 0; slot < id % 16; ++slot) {
    if (units_left == 0 || *entry + 1u > units_left) return 0;
    units_left -= *entry + 1u;
    entry += *entry + 1u;
  }
  if (units_left == 0) return 0;
  int length = *entry;
  if (static_cast<DWORD>(length) + 1u > units_left) return 0;
  if (length > size - 1) length = size - 1;
  for (int i = 0; i < length; ++i) buffer[i] = static_cast<wchar_t>(entry[1 + i]);
  buffer[length] = L'\0';
  return length;
}

}  // namespace raylet
