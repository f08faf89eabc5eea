// The application: its name, the main window's construction and the one
// command of its own, the about box.
#pragma once

#include "framework/TApplication.h"
#include "platform/win32/Win32Platform.h"

namespace raylet {

class TSetRayApp : public TApplication {
 public:
  TSetRayApp();
  ~TSetRayApp() override;

  bool EventLookup(EntryKind kind, UINT id) override;
  void ShowAboutBox();
  Platform& GetPlatform() { return platform_; }

 protected:
  void CreateMainWindow() override;

 private:
  void RequestCtl3d();

  static constexpr CommandEntry<TSetRayApp> kCommands[] = {
      {EntryKind::Command, 2009, &TSetRayApp::ShowAboutBox},
  };

  Win32Platform platform_;
  HMODULE ctl3d_ = nullptr;
};

}  // namespace raylet
