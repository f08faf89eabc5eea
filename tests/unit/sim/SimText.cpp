#include "sim/SimText.h"

#include <cstdint>
#include <cstdio>

namespace raylet::sim {

namespace {
bool IsLeadByte(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }
}  // namespace

std::string Fold(const std::string& text) {
  std::string folded = text;
  for (std::size_t i = 0; i < folded.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(folded[i]);
    if (IsLeadByte(c)) {
      ++i;  // the trail byte belongs to this character
    } else if (c >= 'a' && c <= 'z') {
      folded[i] = static_cast<char>(c - 'a' + 'A');
    }
  }
  return folded;
}

bool SameText(const std::string& a, const std::string& b) { return Fold(a) == Fold(b); }

std::string RootName(const void* root) {
  auto value = reinterpret_cast<std::uintptr_t>(root);
  if (value == 0x80000002u) return "HKLM";
  if (value == 0x80000001u) return "HKCU";
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "HKEY(%#llx)", static_cast<unsigned long long>(value));
  return buffer;
}

}  // namespace raylet::sim
