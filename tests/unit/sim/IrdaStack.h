// Seeds the simulated Windows with what an MS-IrDA stack leaves in the
// system: its registry keys and values and its ports. The monitor's window is
// left to each test (sim.desktop.AddWindow("IRMON")).
#pragma once

#include <optional>
#include <string>

#include "sim/SimWindows.h"

namespace raylet::sim {

inline constexpr char kInstalledKey[] = "Enum\\Root\\Infrared";
inline constexpr char kVirtualPortsKey[] = "Enum\\Infrared\\VirtualPorts";
inline constexpr char kFramerKey[] = "Enum\\Infrared\\Framer";
inline constexpr char kSettingKey[] = "Control Panel\\Infrared";  // under HKCU
inline constexpr char kSettingKeyPath[] = "HKCU\\Control Panel\\Infrared";
inline constexpr char kMonitorTitleJapanese[] = "\x90\xD4\x8A\x4F\x90\xFC\x83\x82\x83\x6A\x83\x5E";

struct IrdaSetup {
  bool installed = true;                 // HKLM Enum\Root\Infrared exists
  std::string virtual_com = "COM4";      // "VirtualComPortName"; empty: no value
  std::string virtual_lpt = "LPT3";      // "VirtualLptPortName"; empty: no value
  std::string physical = "COM2";         // Framer "PortName"; empty: no value
  bool setting_key = true;               // HKCU Control Panel\Infrared exists
  std::optional<DWORD> enabled = 1;      // "IrEnabled" (REG_DWORD); none: no value
  bool add_ports = true;                 // the three ports exist and are free
};

void SeedIrda(SimWindows& sim, const IrdaSetup& setup = {});

// "IrEnabled" as the registry holds it now.
std::optional<DWORD> IrEnabled(const SimWindows& sim);

}  // namespace raylet::sim
