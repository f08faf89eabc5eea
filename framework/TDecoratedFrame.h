// A top-level frame whose whole client area is one client window, typically
// a dialog built from a template: the frame turns the dialog into its child,
// fits itself to it and closes once the client window has gone.
#pragma once

#include "framework/TWindow.h"

namespace raylet {

class TDecoratedFrame : public TWindow {
 public:
  // Takes ownership of `client` (may be null). Decorations (bars, menu-
  // selection tracking) are not supported: the flag is kept for its callers.
  TDecoratedFrame(TWindow* parent, const char* title, TWindow* client, bool track_menu_selection,
                  HINSTANCE module);
  ~TDecoratedFrame() override;

  bool Create() override;
  bool PreProcessMsg(MSG* msg) override;
  void ChildResized(TWindow* child) override;
  void ChildDestroyed(TWindow* child) override;

  // Fit the frame to the client whenever the client reports a new size.
  void SetShrinkToClient(bool on) { shrink_to_client_ = on; }
  // Icon resources for the caption (large) and the small-icon places.
  void SetIcon(HINSTANCE module, UINT resource_id);
  void SetIconSm(HINSTANCE module, UINT resource_id);

  TWindow* GetClientWindow() const { return client_; }

 protected:
  LRESULT WindowMessage(UINT message, WPARAM wparam, LPARAM lparam) override;

 private:
  bool CreateClient();
  void FitToClient();
  void ApplyIcons();

  TWindow* client_;
  HWND focus_ = nullptr;
  bool track_menu_selection_;
  bool shrink_to_client_ = false;
  HINSTANCE icon_module_ = nullptr;
  UINT icon_id_ = 0;
  HINSTANCE icon_sm_module_ = nullptr;
  UINT icon_sm_id_ = 0;
  HICON small_icon_ = nullptr;
};

}  // namespace raylet
