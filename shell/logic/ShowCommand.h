// How the main window is first shown: an unattended run (any argument)
// starts minimized, an interactive one normal, unless the launcher asked for
// hidden or for minimized without activation.
#pragma once

namespace raylet {

int ChooseShowCommand(int stored_show_command, int argc);

}  // namespace raylet
