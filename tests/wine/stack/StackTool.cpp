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
//   standin-stack port NAME MODE      a serial port's mode: absent, free,
//                                     stack, fail-purge, fail-getstate,
//                                     fail-setstate, fail-gettimeouts,
//                                     fail-settimeouts, fail-setup
//   standin-stack hold NAME           open the port and keep it until ended
//   standin-stack open NAME           open and close it as the port probe
//                                     does (write only, no sharing)
//   standin-stack record NAME         one line: what reached the port
//   standin-stack ports on|off|reset|check
//                                     the serial driver switched on or off,
//                                     reset, or its names checked
//   standin-stack on | off | busy     driver installed with IrEnabled 1 and
//                                     switched on, or with 0 and off; busy:
//                                     on, and another program holds COM4
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "StackFiles.h"
#include "StackLayout.h"
#include "StackPorts.h"
#include "StackRegistry.h"

namespace {

int Usage() {
  std::fprintf(stderr,
               "usage: standin-stack install FOLDER | uninstall | installed [N|none|nokey] | half [N] | absent |"
               " reset | scenario KEY [DELAY_MS] | scenario none | send|post KEY MESSAGE [WPARAM] | port NAME MODE |"
               " hold NAME | open NAME | record NAME | ports on|off|reset|check | on | off | busy\n");
  return 2;
}

int Message(bool send, int argc, char** argv) {
  const standin::MonitorTitle* monitor = argc > 3 ? standin::MonitorOfKeys(argv[2], 0) : nullptr;
  if (monitor == nullptr) return Usage();
  HWND window = FindWindowA(nullptr, monitor->title);
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

int Ports(const char* what) {
  if (std::strcmp(what, "on") == 0 || std::strcmp(what, "off") == 0) {
    return Done(standin::SetDriverPorts(what[1] == 'n'), "ports");
  }
  if (std::strcmp(what, "reset") == 0) return Done(standin::ResetPorts(), "ports reset");
  if (std::strcmp(what, "check") != 0) return Usage();
  std::string problem;
  if (!standin::ResetPorts()) problem = "the serial driver does not answer";
  if (problem.empty()) standin::CheckPortNames(&problem);
  if (!problem.empty()) std::fprintf(stderr, "standin-stack: %s\n", problem.c_str());
  return problem.empty() ? 0 : 1;
}

// The coherent states of a whole stack: keys, setting and ports together.
int Stack(const char* state) {
  bool on = std::strcmp(state, "off") != 0;
  standin::StackSeed seed;
  seed.ir_enabled = on ? 1 : 0;
  bool ok = standin::ResetPorts() && standin::SeedStack(seed) && standin::SetDriverPorts(on);
  if (ok && std::strcmp(state, "busy") == 0) ok = standin::HoldPort(RAYLET_VIRTUAL_COM);
  return Done(ok, state);
}

int PortCommand(const char* command, const char* name, const char* mode_text) {
  if (std::strcmp(command, "hold") == 0) return standin::RunHolder(name);
  if (std::strcmp(command, "open") == 0) {
    HANDLE port = CreateFileA(name, GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (port == INVALID_HANDLE_VALUE) return Done(false, "open");
    CloseHandle(port);
    return 0;
  }
  if (std::strcmp(command, "record") == 0) {
    standin::PortRecord record;
    if (!standin::ReadPortRecord(name, &record)) return Done(false, "record");
    std::printf("%s\n", standin::FormatPortRecord(record).c_str());
    return 0;
  }
  standin::PortMode mode;
  if (mode_text == nullptr || !standin::ParsePortMode(mode_text, &mode)) return Usage();
  return Done(standin::SetPortMode(name, mode), "port");
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
  if (std::strcmp(command, "port") == 0 || std::strcmp(command, "hold") == 0 || std::strcmp(command, "open") == 0 ||
      std::strcmp(command, "record") == 0) {
    return argument != nullptr ? PortCommand(command, argument, argc > 3 ? argv[3] : nullptr) : Usage();
  }
  if (std::strcmp(command, "ports") == 0) return argument != nullptr ? Ports(argument) : Usage();
  if (std::strcmp(command, "on") == 0 || std::strcmp(command, "off") == 0 || std::strcmp(command, "busy") == 0) {
    return Stack(command);
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
