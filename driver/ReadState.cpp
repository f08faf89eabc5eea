// Discovery: refills the record from the registry and the monitor's window.
#include "driver/TSetRay.h"
#include "platform/RegKey.h"
#include "platform/Text.h"

namespace raylet {

namespace {

// Texts are read into a buffer of this size, as the system is told; a text
// that does not fit counts as missing.
constexpr DWORD kTextValueSize = 100;

}  // namespace

void TSetRay::ReadPortName(HKEY root, const char* path, const char* name, char* field, DWORD field_size) {
  text::Fill(field, 0, field_size);
  RegKey key(platform_);
  if (!key.Open(root, path)) return;
  // One byte more than the system may fill: a value of exactly 100 bytes
  // without a terminator still ends inside the buffer.
  char value[kTextValueSize + 1];
  value[kTextValueSize] = '\0';
  DWORD type = REG_SZ;
  if (key.QueryValue(name, &type, value, kTextValueSize)) {
    text::UpperCase(value);
    text::Copy(field, field_size, value);
  }
  key.Close();
}

void TSetRay::ReadEnabled() {
  Enable = 0;
  RegKey key(platform_);
  if (!key.Open(HKEY_CURRENT_USER, "Control Panel\\Infrared")) return;
  // Any 4-byte value is taken as it stands, whatever its type.
  DWORD type = REG_DWORD;
  if (!key.QueryValue("IrEnabled", &type, &Enable, sizeof Enable)) Enable = 0;
  key.Close();
}

void TSetRay::ReadState() {
  ReadPortName(HKEY_LOCAL_MACHINE, "Enum\\Infrared\\VirtualPorts", "VirtualComPortName", V_COM, sizeof V_COM);
  ReadPortName(HKEY_LOCAL_MACHINE, "Enum\\Infrared\\VirtualPorts", "VirtualLptPortName", V_LPT, sizeof V_LPT);
  ReadPortName(HKEY_LOCAL_MACHINE, "Enum\\Infrared\\Framer", "PortName", PhysicalCOM, sizeof PhysicalCOM);
  ReadEnabled();
  MonitorWindow = nullptr;
  Active = 0;
  MonitorWindow = platform_.FindWindowA(nullptr, "IRMON");
  if (MonitorWindow != nullptr) Active = 1;
}

}  // namespace raylet
