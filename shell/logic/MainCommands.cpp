#include "shell/logic/MainCommands.h"

namespace raylet {

bool RunDriverOperation(DriverCommand command, TSetRay& state, MainView& view) {
  view.EnableInput(false);
  bool ok = command == DriverCommand::Kill ? state.KillDriver() : state.EnableDriver(command == DriverCommand::Enable);
  view.EnableInput(true);
  return ok;
}

bool RunDriverCommand(DriverCommand command, TSetRay& state, MainView& view) {
  view.SetCaption(kMainCaption);
  bool ok = RunDriverOperation(command, state, view);
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
