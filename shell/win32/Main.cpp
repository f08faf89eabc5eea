// Start of the program. WinMain is the only code that takes anything from
// the C runtime's start-up (the split command line); an entry point without
// the runtime replaces it alone.
#include <stdlib.h>

#include "shell/win32/TSetRayApp.h"

namespace raylet {

// The main function: one application object for the whole run.
int Main(int, char**) {
  TSetRayApp app;
  return app.Run();
}

}  // namespace raylet

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show_command) {
  raylet::TApplication::SetStartup(instance, show_command, __argc, __argv);
  return raylet::Main(__argc, __argv);
}
