#include "driver/TSetRay.h"

#include "platform/Text.h"

namespace raylet {

// What the result label shows before any operation, and for a switch the
// program does not know: the accepted switches.
const char TSetRay::kInitialResultText[] =
    "rayctl /E | /D | /K | /F [/H<hex window handle>]\n"
    "/E enable, /D disable, /K kill the driver,\n"
    "/F finish a removal; /H names the window to answer.";

TSetRay::TSetRay(Platform& platform) : PortHandle(platform), platform_(platform) {
  text::Fill(PhysicalCOM, 0, sizeof PhysicalCOM);
  text::Copy(ResultText, sizeof ResultText, kInitialResultText);
  Enable = 0;
  Active = 0;
  text::Fill(V_COM, 0, sizeof V_COM);
  text::Fill(V_LPT, 0, sizeof V_LPT);
  MonitorWindow = nullptr;
  text::Fill(&PortSettings, 0, sizeof PortSettings);
  text::Fill(&PortTimeouts, 0, sizeof PortTimeouts);
}

TSetRay::~TSetRay() = default;

void TSetRay::SetResult(const char* message) { text::Copy(ResultText, sizeof ResultText, message); }

bool TSetRay::Finish(const char* message, bool result) {
  SetResult(message);
  return result;
}

bool TSetRay::SpyGuardTripped() {
  if (!platform_.MessageSpyRunning()) return false;
  // Say why nothing happened, rather than leave the previous operation's
  // message standing under a fault caption.
  SetResult("Raylet does not work while a message spy is running! 0");
  return true;
}

}  // namespace raylet
