// raylet_prefix_reset.exe: the registry and port part of the Wine runner's
// reset before each test (wine_reset_prefix in tests/wine/infra/wine-env.sh),
// since a killed test cleans up nothing. It deletes the keys and values the
// tests are known to write: the driver install's Enum and Class trees, the
// stand-in stack's keys, RunOnce\RayCtl and Run\IrMon; any other write to
// the registry survives. And the stand-in stack's serial ports are absent
// again, with empty records and no program holding one. Exit code 1 when a
// key or value is left or the ports' driver does not answer: the runner
// then stops the test.
#include <cstdio>

#include "PrefixState.h"
#include "StackRegistry.h"

int main() {
  bool seed = cmdline::RemoveDriverSeed();
  bool keys = standin::ResetStack();
  keys = cmdline::DeleteValue(HKEY_LOCAL_MACHINE, cmdline::kRunOnceKey, "RayCtl") && keys;
  keys = cmdline::DeleteValue(HKEY_LOCAL_MACHINE, cmdline::kRunKey, "IrMon") && keys;
  if (!seed) std::fprintf(stderr, "raylet_prefix_reset: the driver install's trees or the ports are not reset\n");
  if (!keys) std::fprintf(stderr, "raylet_prefix_reset: a key or value of the stack or the removal is left\n");
  return seed && keys ? 0 : 1;
}
