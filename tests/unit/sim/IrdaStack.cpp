#include "sim/IrdaStack.h"

namespace raylet::sim {

void SeedIrda(SimWindows& sim, const IrdaSetup& setup) {
  SimRegistry& reg = sim.registry;
  if (setup.installed) reg.CreateKey(HKEY_LOCAL_MACHINE, kInstalledKey);
  reg.CreateKey(HKEY_LOCAL_MACHINE, kVirtualPortsKey);
  if (!setup.virtual_com.empty()) reg.SetString(HKEY_LOCAL_MACHINE, kVirtualPortsKey, "VirtualComPortName", setup.virtual_com);
  if (!setup.virtual_lpt.empty()) reg.SetString(HKEY_LOCAL_MACHINE, kVirtualPortsKey, "VirtualLptPortName", setup.virtual_lpt);
  reg.CreateKey(HKEY_LOCAL_MACHINE, kFramerKey);
  if (!setup.physical.empty()) reg.SetString(HKEY_LOCAL_MACHINE, kFramerKey, "PortName", setup.physical);
  if (setup.setting_key) {
    reg.CreateKey(HKEY_CURRENT_USER, kSettingKey);
    if (setup.enabled) reg.SetDword(HKEY_CURRENT_USER, kSettingKey, "IrEnabled", *setup.enabled);
  }
  if (setup.add_ports) {
    for (const std::string& port : {setup.virtual_com, setup.virtual_lpt, setup.physical}) {
      if (!port.empty()) sim.ports.AddPort(port);
    }
  }
}

std::optional<DWORD> IrEnabled(const SimWindows& sim) {
  return sim.registry.GetDword(HKEY_CURRENT_USER, kSettingKey, "IrEnabled");
}

}  // namespace raylet::sim
