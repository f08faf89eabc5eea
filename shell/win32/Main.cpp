// Start of the program. The entry point (runtime/Startup.cpp) has split the
// command line and found the show command; the framework keeps both.
#include "shell/win32/TSetRayApp.h"
#include "shell/win32/runtime/Startup.h"

namespace raylet {

// The main function: one application object for the whole run.
int Main(int, char**) {
  TSetRayApp app;
  return app.Run();
}

int ProgramMain(HINSTANCE module, int show_command, int argc, char** argv) {
  TApplication::SetStartup(module, show_command, argc, argv);
  return Main(argc, argv);
}

}  // namespace raylet
