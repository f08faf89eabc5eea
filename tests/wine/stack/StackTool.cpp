// standin-stack.exe: sets up the stand-in infrared stack in a prefix by hand
// (for scripts and demonstrations; the scenario tests call the same code).
//
//   standin-stack install FOLDER      copy infrared.cpl and the monitor in
//   standin-stack uninstall           remove them and the working folder
//   standin-stack installed [IRENABLED|none|nokey]
//   standin-stack half [IRENABLED]    no virtual printer port named
//   standin-stack absent              no driver keys
//   standin-stack reset               remove every key of the stack
//   standin-stack scenario KEY [DELAY_MS] | none
//   standin-stack send|post KEY MESSAGE [WPARAM]
//                                     send or post a message (lParam 0) to
//                                     the monitor window with that title key
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "StackFiles.h"
#include "StackLayout.h"
#include "StackRegistry.h"

namespace {

int Usage() {
  std::fprintf(stderr,
               "usage: standin-stack install FOLDER | uninstall | installed [N|none|nokey] | half [N] | absent |"
               " reset | scenario KEY [DELAY_MS] | scenario none | send|post KEY MESSAGE [WPARAM]\n");
  return 2;
}

int Message(bool send, int argc, char** argv) {
  const char* title = argc > 3 ? standin::TitleForKey(argv[2]) : nullptr;
  if (title == nullptr) return Usage();
  HWND window = FindWindowA(nullptr, title);
  if (window == nullptr) {
    std::fprintf(stderr, "standin-stack: no window titled as %s\n", argv[2]);
    return 1;
  }
  UINT message = static_cast<UINT>(std::strtoul(argv[3], nullptr, 0));
  WPARAM wparam = argc > 4 ? static_cast<WPARAM>(std::strtoul(argv[4], nullptr, 0)) : 0;
  if (send) {
    SendMessageA(window, message, wparam, 0);
    return 0;
  }
  return PostMessageA(window, message, wparam, 0) ? 0 : 1;
}

int Done(bool ok, const char* what) {
  if (!ok) std::fprintf(stderr, "standin-stack: %s failed\n", what);
  return ok ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return Usage();
  const char* command = argv[1];
  const char* argument = argc > 2 ? argv[2] : nullptr;
  if (std::strcmp(command, "install") == 0 && argument != nullptr) {
    return Done(standin::InstallStack(argument), command);
  }
  if (std::strcmp(command, "uninstall") == 0) {
    standin::UninstallStack();
    return 0;
  }
  if (std::strcmp(command, "reset") == 0) return Done(standin::ResetStack(), command);
  if (std::strcmp(command, "scenario") == 0 && argument != nullptr) {
    bool none = std::strcmp(argument, "none") == 0;
    unsigned delay = argc > 3 ? static_cast<unsigned>(std::strtoul(argv[3], nullptr, 10)) : 0;
    return Done(standin::WriteScenario(none ? nullptr : argument, delay), command);
  }
  if (std::strcmp(command, "send") == 0 || std::strcmp(command, "post") == 0) {
    return Message(command[0] == 's', argc, argv);
  }
  standin::StackSeed seed;
  if (std::strcmp(command, "absent") == 0) {
    seed.driver = standin::DriverKeys::kAbsent;
    seed.control_panel_key = false;
  } else if (std::strcmp(command, "half") == 0) {
    seed.driver = standin::DriverKeys::kHalfInstalled;
  } else if (std::strcmp(command, "installed") != 0) {
    return Usage();
  }
  if (argument != nullptr) {
    if (std::strcmp(argument, "none") == 0) {
      seed.ir_enabled = standin::kIrEnabledMissing;
    } else if (std::strcmp(argument, "nokey") == 0) {
      seed.control_panel_key = false;
    } else {
      seed.ir_enabled = std::atoi(argument);
    }
  }
  return Done(standin::SeedStack(seed), command);
}
