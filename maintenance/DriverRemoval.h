// Removal of the MS-IrDA driver in two stages across a restart: the first
// clears the registry and registers the second to run once at the next start.
#pragma once

#include "platform/Platform.h"

namespace raylet {

// First stage: registry entries, the control-panel file, the RunOnce value,
// then the restart question.
void RemoveDriver(Platform& platform);
// Second stage ("/F" after the restart): the driver's remaining files.
void FinishRemoval(Platform& platform);

}  // namespace raylet
