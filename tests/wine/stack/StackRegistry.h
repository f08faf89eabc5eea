// Registry seeds of the stand-in infrared stack: what the MS-IrDA driver
// leaves in the registry when it is installed, half installed or absent, and
// the reset that removes all of it again. Written through the real registry
// API of the prefix; used by the seeding tool and the scenario tests.
#pragma once

#include <windows.h>

namespace standin {

enum class DriverKeys {
  kAbsent,         // none of the driver's keys
  kHalfInstalled,  // installed key and ports, but no virtual printer port named
  kInstalled,      // installed key, both virtual ports and the adapter's port
};

constexpr int kIrEnabledMissing = -1;

struct StackSeed {
  DriverKeys driver = DriverKeys::kInstalled;
  // HKCU "Control Panel\Infrared": present or not, and its "IrEnabled" value
  // (kIrEnabledMissing: the key without the value).
  bool control_panel_key = true;
  int ir_enabled = 0;
};

// Removes every key and value of the stack (also the parents the seeds had to
// create, when nothing else lives in them). True when nothing is left.
bool ResetStack();

// Resets, then writes the seed. True when every key and value was written.
bool SeedStack(const StackSeed& seed);

// "IrEnabled" as the registry holds it now; false when the key or the value
// is missing or is not a 4-byte value.
bool ReadIrEnabled(DWORD* value);

// Writes "IrEnabled" as the monitor does when it switches the driver off:
// only into an existing key, never creating it. False when there is none.
bool WriteIrEnabled(DWORD value);

// Whether a key exists (opened for reading only).
bool KeyExists(HKEY root, const char* path);

}  // namespace standin
