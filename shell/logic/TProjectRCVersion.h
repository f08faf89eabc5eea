// Reads one executable's version block and answers lookups of its string
// values under the block's first translation entry.
#pragma once

#include "platform/WinTypes.h"
#include "shell/logic/VersionApi.h"

namespace raylet {

class TProjectRCVersion {
 public:
  TProjectRCVersion(VersionApi& api, HMODULE module);
  virtual ~TProjectRCVersion();
  TProjectRCVersion(const TProjectRCVersion&) = delete;
  TProjectRCVersion& operator=(const TProjectRCVersion&) = delete;

  // Each points `value` at the NUL-terminated value inside the block (valid
  // while the reader lives) and returns true when the key was found.
  bool GetProductName(const char*& value);
  bool GetProductVersion(const char*& value);
  bool GetLegalCopyright(const char*& value);
  bool GetSpecialBuild(const char*& value);

  // The first translation entry, language in the high half after
  // construction; points into VersionBlock.
  DWORD* Translation = nullptr;
  // The whole version block, or null when there is none, it cannot be read
  // or it has no translation entry.
  BYTE* VersionBlock = nullptr;

 private:
  bool Lookup(const char* key, const char*& value);
  void ReleaseBlock();

  VersionApi& api_;
};

}  // namespace raylet
