#include "StackRegistry.h"

#include <cstring>

#include "serial/SerialControl.h"

namespace standin {
namespace {

constexpr char kEnum[] = "Enum";
constexpr char kEnumRoot[] = "Enum\\Root";
constexpr char kInstalledKey[] = "Enum\\Root\\Infrared";
constexpr char kInfraredKey[] = "Enum\\Infrared";
constexpr char kVirtualPortsKey[] = "Enum\\Infrared\\VirtualPorts";
constexpr char kFramerKey[] = "Enum\\Infrared\\Framer";
constexpr char kControlPanelKey[] = "Control Panel\\Infrared";

// Deletes a key with everything under it (the registry of the NT line refuses
// to delete a key that still has subkeys). True when the key is gone.
bool DeleteTree(HKEY root, const char* path) {
  HKEY key;
  if (RegOpenKeyExA(root, path, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) return !KeyExists(root, path);
  char child[256];
  for (;;) {
    DWORD length = sizeof child;
    if (RegEnumKeyExA(key, 0, child, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    char child_path[512];
    std::strcpy(child_path, path);
    std::strcat(child_path, "\\");
    std::strcat(child_path, child);
    if (!DeleteTree(root, child_path)) break;
  }
  RegCloseKey(key);
  RegDeleteKeyA(root, path);
  return !KeyExists(root, path);
}

// Deletes a key only when nothing lives in it.
void DeleteIfEmpty(HKEY root, const char* path) {
  HKEY key;
  if (RegOpenKeyExA(root, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return;
  DWORD subkeys = 0;
  DWORD values = 0;
  LONG result = RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values, nullptr,
                                 nullptr, nullptr, nullptr);
  RegCloseKey(key);
  if (result == ERROR_SUCCESS && subkeys == 0 && values == 0) RegDeleteKeyA(root, path);
}

bool CreateKey(HKEY root, const char* path, HKEY* key) {
  return RegCreateKeyExA(root, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key, nullptr) == ERROR_SUCCESS;
}

bool SetText(HKEY key, const char* name, const char* text) {
  return RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                        static_cast<DWORD>(std::strlen(text) + 1)) == ERROR_SUCCESS;
}

bool CreateKeyWithText(HKEY root, const char* path, const char* name, const char* text) {
  HKEY key;
  if (!CreateKey(root, path, &key)) return false;
  bool ok = text == nullptr || SetText(key, name, text);
  RegCloseKey(key);
  return ok;
}

}  // namespace

bool KeyExists(HKEY root, const char* path) {
  HKEY key;
  if (RegOpenKeyExA(root, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  RegCloseKey(key);
  return true;
}

bool ResetStack() {
  bool ok = DeleteTree(HKEY_LOCAL_MACHINE, kInstalledKey);
  ok = DeleteTree(HKEY_LOCAL_MACHINE, kInfraredKey) && ok;
  ok = DeleteTree(HKEY_CURRENT_USER, kControlPanelKey) && ok;
  DeleteIfEmpty(HKEY_LOCAL_MACHINE, kEnumRoot);
  DeleteIfEmpty(HKEY_LOCAL_MACHINE, kEnum);
  return ok;
}

bool SeedStack(const StackSeed& seed) {
  if (!ResetStack()) return false;
  bool ok = true;
  if (seed.driver != DriverKeys::kAbsent) {
    // Windows 98 keeps the device instance under the installed key. The port
    // names are those the stand-in serial driver serves.
    ok = CreateKeyWithText(HKEY_LOCAL_MACHINE, "Enum\\Root\\Infrared\\0000", "Class", "Infrared") && ok;
    HKEY key;
    if (CreateKey(HKEY_LOCAL_MACHINE, kVirtualPortsKey, &key)) {
      ok = SetText(key, "VirtualComPortName", RAYLET_VIRTUAL_COM) && ok;
      if (seed.driver == DriverKeys::kInstalled) ok = SetText(key, "VirtualLptPortName", RAYLET_VIRTUAL_LPT) && ok;
      RegCloseKey(key);
    } else {
      ok = false;
    }
    ok = CreateKeyWithText(HKEY_LOCAL_MACHINE, kFramerKey, "PortName", RAYLET_PHYSICAL_PORT) && ok;
  }
  if (seed.control_panel_key) {
    HKEY key;
    if (CreateKey(HKEY_CURRENT_USER, kControlPanelKey, &key)) {
      if (seed.ir_enabled != kIrEnabledMissing) {
        DWORD value = static_cast<DWORD>(seed.ir_enabled);
        ok = RegSetValueExA(key, "IrEnabled", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                            sizeof value) == ERROR_SUCCESS &&
             ok;
      }
      RegCloseKey(key);
    } else {
      ok = false;
    }
  }
  return ok;
}

bool ReadIrEnabled(DWORD* value) {
  HKEY key;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, kControlPanelKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  DWORD type = 0;
  DWORD size = sizeof *value;
  LONG result = RegQueryValueExA(key, "IrEnabled", nullptr, &type, reinterpret_cast<BYTE*>(value), &size);
  RegCloseKey(key);
  return result == ERROR_SUCCESS && size == sizeof *value;
}

bool WriteIrEnabled(DWORD value) {
  HKEY key;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, kControlPanelKey, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS) return false;
  LONG result = RegSetValueExA(key, "IrEnabled", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
  RegCloseKey(key);
  return result == ERROR_SUCCESS;
}

}  // namespace standin
