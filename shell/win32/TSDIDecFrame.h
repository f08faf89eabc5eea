// The main window: a plain frame around the main dialog, without bars, menu
// or accelerators.
#pragma once

#include "framework/TDecoratedFrame.h"

namespace raylet {

class TSDIDecFrame : public TDecoratedFrame {
 public:
  // With no client, the frame makes the main dialog (template 2000) its client.
  TSDIDecFrame(TWindow* parent, const char* title, TWindow* client, bool track_menu_selection, HINSTANCE module);
  ~TSDIDecFrame() override;
};

}  // namespace raylet
