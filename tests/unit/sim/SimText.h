// Text helpers of the simulated Windows: the case-insensitive comparison that
// the registry, the window search and the file system share.
#pragma once

#include <string>

namespace raylet::sim {

// Folds a..z to A..Z the way an ANSI Windows on code page 932 compares names:
// a byte that trails a Shift-JIS lead byte (0x81-0x9F, 0xE0-0xFC) is part of a
// double-byte character and keeps its value, so the Japanese monitor title
// is never mangled.
std::string Fold(const std::string& text);
bool SameText(const std::string& a, const std::string& b);

// "HKLM" / "HKCU" for the two root keys the program uses, else the hex value.
std::string RootName(const void* root);

}  // namespace raylet::sim
