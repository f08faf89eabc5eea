// raylet_framework_probe.exe: a program on our framework whose main window's
// client is a dialog template that does not exist, so the framework's failure
// report comes up in the message loop.
#include <windows.h>

#include <cstdlib>  // __argc, __argv

#include "framework/TApplication.h"
#include "framework/TDecoratedFrame.h"
#include "framework/TDialog.h"

namespace {

constexpr UINT kMissingTemplate = 4242;

class ProbeApp : public raylet::TApplication {
 public:
  ProbeApp() : TApplication("Framework probe", nullptr) {}

 protected:
  void CreateMainWindow() override {
    auto* client = new raylet::TDialog(nullptr, kMissingTemplate, nullptr);
    SetMainWindow(new raylet::TDecoratedFrame(nullptr, Name, client, false, nullptr));
  }
};

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show_command) {
  raylet::TApplication::SetStartup(instance, show_command, __argc, __argv);
  ProbeApp app;
  return app.Run();
}
