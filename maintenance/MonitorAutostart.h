// Whether Windows starts the infrared monitor at every start: the "IrMon"
// value of the shell's Run key.
#pragma once

#include "platform/Platform.h"

namespace raylet {

void SetMonitorAutostart(Platform& platform);
void ClearMonitorAutostart(Platform& platform);

}  // namespace raylet
