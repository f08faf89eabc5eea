// The entry point Windows calls: no C runtime runs before or after it, so
// nothing here may depend on constructors, atexit or the runtime's heap.
#include "shell/win32/runtime/Startup.h"

#include "shell/logic/CommandLineSplit.h"

namespace {

// The program takes at most two arguments; generous room for more, and a
// line longer than Windows 98 accepts. What does not fit is dropped.
constexpr int kMaxArguments = 15;
constexpr unsigned kArgumentBytes = 1024;

// Exit status when a pure virtual function is called (a program fault).
constexpr UINT kStatusPureVirtualCall = 255;

int StartupShowCommand() {
  STARTUPINFOA startup;
  startup.cb = sizeof startup;
  ::GetStartupInfoA(&startup);
  return (startup.dwFlags & STARTF_USESHOWWINDOW) != 0 ? startup.wShowWindow : SW_SHOWDEFAULT;
}

}  // namespace

extern "C" void WinMainCRTStartup() {
  // This frame lasts until ExitProcess, so the arguments can live in it
  // (and take no room in the file, as initialized data would).
  char argument_text[kArgumentBytes];
  char* arguments[kMaxArguments + 1];
  HINSTANCE module = ::GetModuleHandleA(nullptr);
  int show_command = StartupShowCommand();
  int argc = raylet::SplitCommandLine(::GetCommandLineA(), argument_text, sizeof argument_text, arguments,
                                      kMaxArguments);
  ::ExitProcess(static_cast<UINT>(raylet::ProgramMain(module, show_command, argc, arguments)));
}

// Abstract classes' vtables point here until a derived constructor runs; the
// name is the compiler's, so it has to be the reserved one.
extern "C" void __cxa_pure_virtual() {  // NOLINT(bugprone-reserved-identifier,cert-dcl37-c,cert-dcl51-cpp)
  ::ExitProcess(kStatusPureVirtualCall);
}
