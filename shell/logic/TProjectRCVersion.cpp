#include "shell/logic/TProjectRCVersion.h"

#include <new>

#include "platform/Text.h"

namespace raylet {

namespace {

// The longest full path Windows 98 and the NT family give a program, 259
// characters, and its terminator. A result that fills the buffer is a path
// cut short (on NT, not even terminated), which names no file of ours.
constexpr DWORD kPathSize = MAX_PATH;

}  // namespace

TProjectRCVersion::TProjectRCVersion(VersionApi& api, HMODULE module) : api_(api) {
  char path[kPathSize];
  text::Fill(path, 0, sizeof path);
  // The path comes in the ANSI code page, which the version calls expect
  // as well. Passing it through OemToCharA, as if it were OEM text, turns
  // every letter above 0x7F into another one wherever the two pages differ
  // (every Western system), and the block of a program in such a folder is
  // then never found.
  DWORD path_length = api_.GetModuleFileNameA(module, path, kPathSize);
  if (path_length == 0 || path_length >= kPathSize) return;
  DWORD handle = 0;
  DWORD size = api_.GetFileVersionInfoSizeA(path, &handle);
  if (size == 0) return;
  VersionBlock = new (std::nothrow) BYTE[size];
  if (VersionBlock == nullptr) return;
  if (!api_.GetFileVersionInfoA(path, handle, size, VersionBlock)) {
    ReleaseBlock();
    return;
  }
  void* entry = nullptr;
  UINT length = 0;
  if (!api_.VerQueryValueA(VersionBlock, "\\VarFileInfo\\Translation", &entry, &length) || entry == nullptr) {
    ReleaseBlock();
    return;
  }
  // Stored as language then code page; the string table key wants the
  // language first.
  Translation = static_cast<DWORD*>(entry);
  *Translation = (*Translation << 16) | (*Translation >> 16);
}

TProjectRCVersion::~TProjectRCVersion() { ReleaseBlock(); }

void TProjectRCVersion::ReleaseBlock() {
  delete[] VersionBlock;
  VersionBlock = nullptr;
  Translation = nullptr;
}

bool TProjectRCVersion::GetProductName(const char*& value) { return Lookup("ProductName", value); }

bool TProjectRCVersion::GetProductVersion(const char*& value) { return Lookup("ProductVersion", value); }

bool TProjectRCVersion::GetLegalCopyright(const char*& value) { return Lookup("LegalCopyright", value); }

bool TProjectRCVersion::GetSpecialBuild(const char*& value) { return Lookup("SpecialBuild", value); }

bool TProjectRCVersion::Lookup(const char* key, const char*& value) {
  if (VersionBlock == nullptr) return false;
  char path[kPathSize];
  char hex[9];
  text::Copy(path, sizeof path, "\\StringFileInfo\\");
  text::Append(path, sizeof path, text::FormatHex(hex, sizeof hex, *Translation, 8));
  text::Append(path, sizeof path, "\\");
  text::Append(path, sizeof path, key);
  void* found = nullptr;
  UINT length = 0;
  if (!api_.VerQueryValueA(VersionBlock, path, &found, &length) || found == nullptr) return false;
  value = static_cast<const char*>(found);
  return true;
}

}  // namespace raylet
