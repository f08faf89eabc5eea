// A static text control of a dialog, bound by id once the dialog exists.
#pragma once

#include "framework/TWindow.h"

namespace raylet {

class TStatic : public TWindow {
 public:
  TStatic(TWindow* parent, int id, UINT text_limit);

  void SetText(const char* text);
  // The control's text into buffer[size], emptied first; its length.
  int GetText(char* buffer, int size) const;
  UINT TextLimit() const { return text_limit_; }

 private:
  UINT text_limit_;
};

}  // namespace raylet
