// Switching the driver on and off.
#include "driver/TSetRay.h"
#include "platform/RegKey.h"
#include "platform/Text.h"

namespace raylet {

namespace {

constexpr char kInstalledKey[] = "Enum\\Root\\Infrared";
constexpr char kSettingKey[] = "Control Panel\\Infrared";
constexpr char kControlPanel[] = "CONTROL.EXE INFRARED.CPL";
constexpr char kIrmonTitle[] = "IRMON";
constexpr char kMonitorTitle[] = "Infrared Monitor";
// The monitor's title on a Japanese system, in code page 932.
constexpr char kMonitorTitleJapanese[] = "\x90\xD4\x8A\x4F\x90\xFC\x83\x82\x83\x6A\x83\x5E";
constexpr DWORD kLookPause = 300;
constexpr int kIrmonLooks = 30;
constexpr int kMonitorLooks = 20;
constexpr WPARAM kMonitorSwitchOff = 113;

}  // namespace

bool TSetRay::EnableDriver(bool enable) {
  if (SpyGuardTripped()) return false;
  ReadState();
  return enable ? SwitchOn() : SwitchOff();
}

bool TSetRay::DriverInstalled() {
  RegKey key(platform_);
  if (!key.Open(HKEY_LOCAL_MACHINE, kInstalledKey)) return false;
  key.Close();
  return true;
}

bool TSetRay::WriteEnabled(DWORD value, DWORD previous, const char* open_failed, const char* write_failed) {
  Enable = value;
  RegKey key(platform_);
  if (!key.Open(HKEY_CURRENT_USER, kSettingKey)) {
    Enable = previous;
    return Finish(open_failed, false);
  }
  if (!key.SetValue("IrEnabled", REG_DWORD, &Enable, sizeof Enable)) {
    key.Close();
    Enable = previous;
    return Finish(write_failed, false);
  }
  key.Close();
  return true;
}

bool TSetRay::StartControlPanel(const LaunchMessages& messages) {
  const char* failure = nullptr;
  switch (platform_.WinExec(kControlPanel, SW_HIDE)) {
    case 0: failure = messages.out_of_memory; break;
    case 11: failure = messages.bad_format; break;
    case 2: failure = messages.file_not_found; break;
    case 3: failure = messages.path_not_found; break;
    default: return true;
  }
  return Finish(failure, false);
}

void TSetRay::WaitForIrmon() {
  MonitorWindow = nullptr;
  for (int look = 0; look < kIrmonLooks && MonitorWindow == nullptr; ++look) {
    MonitorWindow = platform_.FindWindowA(nullptr, kIrmonTitle);
    platform_.Sleep(kLookPause);
  }
}

void TSetRay::WaitForInfraredMonitor() {
  MonitorWindow = nullptr;
  for (int look = 0; look < kMonitorLooks; ++look) {
    HWND window = platform_.FindWindowA(nullptr, kMonitorTitle);
    if (window == nullptr) window = platform_.FindWindowA(nullptr, kMonitorTitleJapanese);
    MonitorWindow = window;
    if (MonitorWindow != nullptr) return;
    platform_.Sleep(kLookPause);
  }
}

// ---------------------------------------------------------------- on

bool TSetRay::SwitchOn() {
  if (!DriverInstalled()) return Finish("IrDA driver is not installed. 1", false);
  if (V_COM[0] == '\0' || V_LPT[0] == '\0') return Finish("IrDA driver is not installed. 2", false);
  if (Enable != 0) {
    if (Active != 0) return Finish("Allready IrDA driver was ENABLE 3", true);
    return SwitchOnSettingOn();
  }
  return Active != 0 ? SwitchOnMonitorRunning() : SwitchOnNothingRunning();
}

bool TSetRay::SwitchOnSettingOn() {
  static constexpr LaunchMessages kLaunch = {
      "The system is out of memory or resources! 6", "Non-Win32 .EXE or error in .EXE image! 7",
      "The specified file was not found! 8", "The specified path was not found! 9"};
  if (ProbePort(V_COM)) {
    Active = 1;
    return Finish("Success! IrDA-driver is ENABLE! 5", true);
  }
  if (!StartControlPanel(kLaunch)) return false;
  WaitForIrmon();
  if (MonitorWindow == nullptr) return Finish("Raylet can not activate IrDA-driver! 10", false);
  Active = 1;
  return Finish("Success! IrDA-driver is ENABLE! 11", true);
}

bool TSetRay::SwitchOnMonitorRunning() {
  static constexpr LaunchMessages kLaunch = {
      "The system is out of memory or resources! 18", "Non-Win32 .EXE or error in .EXE image! 19",
      "The specified file was not found! 20", "The specified path was not found! 21"};
  // The monitor runs while the setting is off: stop it before the adapter's
  // port can be tried.
  if (MonitorWindow != nullptr) platform_.SendMessageA(MonitorWindow, WM_DESTROY, 0, 0);
  if (!ProbePort(PhysicalCOM)) {
    return Finish("Raylet cannot open port !\nAnother software possession physical port directly! 13", false);
  }
  if (!WriteEnabled(1, 0, "Registory error! 16", "Registory error! 15")) return false;
  if (ProbePort(V_COM)) return Finish("Success! IrDA-driver is ENABLE! 17", true);
  if (!StartControlPanel(kLaunch)) return false;
  WaitForInfraredMonitor();
  if (MonitorWindow == nullptr) return Finish("Raylet can not activate IrDA-driver! 22", false);
  return Finish("Success! IrDA-driver is ENABLE! 23", true);
}

bool TSetRay::SwitchOnNothingRunning() {
  static constexpr LaunchMessages kLaunch = {
      "The system is out of memory or resources! 31", "Non-Win32 .EXE or error in .EXE image! 32",
      "The specified file was not found! 33", "The specified path was not found! 34"};
  if (!WriteEnabled(1, 0, "Registory error! 29", "Registory error! 28")) return false;
  if (ProbePort(V_COM)) return Finish("Success! IrDA-driver is ENABLE! 30", true);
  if (!StartControlPanel(kLaunch)) return false;
  WaitForInfraredMonitor();
  if (MonitorWindow == nullptr) return Finish("Raylet can not activate IrDA-driver! 35", false);
  return Finish("Success! IrDA-driver is ENABLE! 36", true);
}

// ---------------------------------------------------------------- off

bool TSetRay::SwitchOff() {
  if (!DriverInstalled()) return Finish("IrDA driver is not installed. 38", true);
  if (V_COM[0] == '\0' || V_LPT[0] == '\0') return Finish("MS-IrDA driver is not installed. 39", true);
  if (Enable == 0) return Finish("Allready MS-IrDA driver was DISABLE! 40", true);
  if (Active != 0) {
    // Both ports are always tried, so the message names every busy one.
    bool com_busy = !ProbePort(V_COM);
    bool lpt_busy = !ProbePort(V_LPT);
    if (com_busy && lpt_busy) {
      return Finish("Raylet cannot open port !\nAnother software using \nvirtual port on IrDA driver! 43", false);
    }
    if (com_busy) {
      return Finish(
          "Raylet cannot open port !\nAnother communication software \nusing virtual com port on IrDA driver! 41",
          false);
    }
    if (lpt_busy) {
      return Finish("Raylet cannot open port !\nAnother software using \nvirtual printer port on IrDA driver! 42",
                    false);
    }
    platform_.SendMessageA(MonitorWindow, WM_COMMAND, kMonitorSwitchOff, 0);
    return Finish("Success! IrDA-driver is DISABLE! 44", true);
  }
  // A failed write leaves the driver as it was; that is reported, yet
  // switching off still counts as done.
  if (!WriteEnabled(0, 1, "Registory error! 48", "Registory error! 47")) return true;
  return Finish("Success! IrDA-driver is DISABLE! 46", true);
}

}  // namespace raylet
