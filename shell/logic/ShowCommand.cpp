#include "shell/logic/ShowCommand.h"

#include "platform/WinTypes.h"

namespace raylet {

int ChooseShowCommand(int stored_show_command, int argc) {
  if (stored_show_command == SW_HIDE || stored_show_command == SW_SHOWMINNOACTIVE) return stored_show_command;
  return argc >= 2 ? SW_SHOWMINIMIZED : SW_SHOWNORMAL;
}

}  // namespace raylet
