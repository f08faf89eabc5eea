// raylet_prefix_reset.exe: the Wine runner's reset of a test prefix before
// each test (wine_reset_prefix in tests/wine/infra/wine-env.sh), since a
// killed test cleans up nothing: the keys the tests seed go, and the
// stand-in stack's serial ports are absent again, with empty records and no
// program holding one. Exit code 1 when the ports' driver does not answer.
#include "PrefixState.h"
#include "StackRegistry.h"

int main() {
  bool ports = cmdline::RemoveDriverSeed();
  standin::ResetStack();
  cmdline::DeleteValue(HKEY_LOCAL_MACHINE, cmdline::kRunOnceKey, "RayCtl");
  cmdline::DeleteValue(HKEY_LOCAL_MACHINE, cmdline::kRunKey, "IrMon");
  return ports ? 0 : 1;
}
