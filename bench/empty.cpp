// The benchmark's baseline: a program with the same entry point, the same
// flags and the same link as rayctl.exe that does nothing and ends.
#include "shell/win32/runtime/Startup.h"

namespace raylet {

int ProgramMain(HINSTANCE, int, int, char**) { return 0; }

}  // namespace raylet
