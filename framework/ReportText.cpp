#include "framework/ReportText.h"

namespace raylet {

namespace {

constexpr UINT kJapaneseCodePage = 932;

}  // namespace

// LoadStringA gives the string table's text in the ANSI code page, as
// Windows 98 would show a wide text anyway: the report needs no wide function.
int ReportText::Load(HINSTANCE module, char* buffer, int size) const {
  buffer[0] = '\0';
  if (::GetACP() == kJapaneseCodePage) return ::LoadStringA(module, id_, buffer, size);
  int length = 0;
  for (; english_[length] != '\0' && length + 1 < size; ++length) buffer[length] = english_[length];
  buffer[length] = '\0';
  return length;
}

}  // namespace raylet
