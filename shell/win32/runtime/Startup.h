// The start of a program that runs without a C runtime: the entry point
// (Startup.cpp) gathers what Windows passed and calls ProgramMain, which
// each program defines once.
#pragma once

#include "platform/WinTypes.h"

namespace raylet {

// The program's module, the show command Windows asked for (SW_SHOWDEFAULT
// when the starter named none) and the split command line (argv[argc] is
// null). The result is the process's exit status.
int ProgramMain(HINSTANCE module, int show_command, int argc, char** argv);

}  // namespace raylet
