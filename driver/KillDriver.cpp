// Killing the driver: closing the monitor's window while the setting is off.
#include "driver/TSetRay.h"

namespace raylet {

bool TSetRay::KillDriver() {
  if (SpyGuardTripped()) return false;
  ReadState();
  if (Active == 0) return Finish("Allready MS-IrDA was killed! 53", true);
  if (Enable == 0) {
    // Queued only: the monitor ends on its own thread.
    platform_.PostMessageA(MonitorWindow, WM_DESTROY, 0, 0);
    return Finish("Success! Raylet kill MS IrDA-driver! 50", true);
  }
  // The setting is on: switch off the regular way first; whatever that
  // reports, killing did not happen.
  EnableDriver(false);
  return Finish("You must do disable driver first! 51", false);
}

}  // namespace raylet
