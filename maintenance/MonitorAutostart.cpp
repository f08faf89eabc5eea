#include "maintenance/MonitorAutostart.h"

#include "platform/RegKey.h"
#include "platform/Text.h"

namespace raylet {

namespace {

// "run" in lower case, as Windows 98 itself stores the key.
constexpr char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\run";
constexpr char kValueName[] = "IrMon";

}  // namespace

void SetMonitorAutostart(Platform& platform) {
  RegKey key(platform);
  if (!key.Open(HKEY_LOCAL_MACHINE, kRunKey)) return;
  // The bare file name: Windows finds IrMon.exe in the system folder.
  char command[64];
  text::Fill(command, 0, sizeof command);
  text::Copy(command, sizeof command, "IrMon.exe");
  key.SetValue(kValueName, REG_SZ, command, static_cast<DWORD>(text::Length(command) + 1));
}

void ClearMonitorAutostart(Platform& platform) {
  RegKey key(platform);
  if (!key.Open(HKEY_LOCAL_MACHINE, kRunKey)) return;
  key.DeleteValue(kValueName);
}

}  // namespace raylet
