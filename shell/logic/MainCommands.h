// What the main window's buttons do around their operations: the driver
// buttons reset the caption, run, show the whole result text and mark a
// failure in the caption; the maintenance buttons only run. The main window
// takes no input while an operation runs, so no second command can start a
// second probe on the same record (the probe's boxes have no owner).
#pragma once

#include "driver/TSetRay.h"
#include "platform/Platform.h"
#include "shell/MainView.h"

namespace raylet {

inline constexpr char kMainCaption[] = "Raylet";
inline constexpr char kFaultCaption[] = "Raylet - fault -";

enum class DriverCommand { Disable, Enable, Kill };

// The driver operation alone, with the main window's input off meanwhile.
bool RunDriverOperation(DriverCommand command, TSetRay& state, MainView& view);

// Commands 101, 102 and 112; returns the operation's result.
bool RunDriverCommand(DriverCommand command, TSetRay& state, MainView& view);

// Commands 106, 108 and 109: the operation alone; caption and label stay.
void RunMaintenanceCommand(void (*operation)(Platform&), Platform& platform, MainView& view);

}  // namespace raylet
