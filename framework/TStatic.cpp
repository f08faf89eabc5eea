#include "framework/TStatic.h"

namespace raylet {

TStatic::TStatic(TWindow* parent, int id, UINT text_limit) : TWindow(parent, nullptr, nullptr), text_limit_(text_limit) {
  Attr.Id = id;
}

void TStatic::SetText(const char* text) {
  if (Handle != nullptr) ::SetWindowTextA(Handle, text);
}

int TStatic::GetText(char* buffer, int size) const {
  if (size <= 0) return 0;
  buffer[0] = '\0';
  return Handle != nullptr ? ::GetWindowTextA(Handle, buffer, size) : 0;
}

}  // namespace raylet
