#include "shell/logic/MainCommands.h"

namespace raylet {

bool RunDriverCommand(DriverCommand command, TSetRay& state, MainView& view) {
  view.SetCaption(kMainCaption);
  view.EnableInput(false);
  bool ok = command == DriverCommand::Kill ? state.KillDriver() : state.EnableDriver(command == DriverCommand::Enable);
  view.EnableInput(true);
  view.SetResultLabel(state.ResultText);
  if (!ok) view.SetCaption(kFaultCaption);
  return ok;
}

void RunMaintenanceCommand(void (*operation)(Platform&), Platform& platform, MainView& view) {
  view.EnableInput(false);
  operation(platform);
  view.EnableInput(true);
}

}  // namespace raylet
