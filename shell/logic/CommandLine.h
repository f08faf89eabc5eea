// The unattended run: what the program does with its switch and reply window
// once the main dialog is set up (message 2024 posted to itself).
#pragma once

#include "driver/TSetRay.h"
#include "platform/Platform.h"
#include "shell/MainView.h"

namespace raylet {

constexpr UINT kRunCommandLineMessage = WM_USER + 1000;  // 2024

// argv[0] is the program; argv[1] the switch; argv[2] "/H<hex window>".
// Returns 1, the message's result.
LRESULT RunCommandLine(int argc, const char* const* argv, TSetRay& state, Platform& platform, MainView& view);

}  // namespace raylet
