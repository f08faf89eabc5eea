// The simulated Windows for unit tests: a raylet::Platform whose every call
// works on in-memory state that the test seeds beforehand and inspects
// afterwards. Parts, each with its own header:
//
//   registry  (SimRegistry.h)  keys, values, handle accounting
//   desktop   (SimDesktop.h)   windows by title, sent/posted messages,
//                              WinExec, message boxes
//   ports     (SimPorts.h)     serial/printer ports and the probe's calls
//   files     (SimFiles.h)     files, folders, the program's own path
//   clock     (SimClock.h)     virtual time; Sleep advances it
//   faults    (SimFaults.h)    call counts; the n-th call of an op fails
//
// Typical use:
//
//   raylet::sim::SimTest fixture (SimFixture.h) gives `sim` and checks on
//   tear-down that the program broke no rule (see ExpectClean).
//
//   sim.registry.SetString(HKEY_LOCAL_MACHINE, "Enum\\Infrared\\Framer", "PortName", "com2");
//   HWND irmon = sim.desktop.AddWindow("IRMON");
//   sim.ports.AddPort("COM2");
//   sim.faults.FailCallOn(raylet::sim::Op::RegOpen, "HKCU\\Control Panel\\Infrared", 2);
//   ... run the code under test with `sim` as its Platform ...
//   EXPECT_EQ(900u, sim.clock.Now());
#pragma once

#include <string>
#include <vector>

#include "platform/Platform.h"
#include "sim/SimClock.h"
#include "sim/SimDesktop.h"
#include "sim/SimFaults.h"
#include "sim/SimFiles.h"
#include "sim/SimPorts.h"
#include "sim/SimRegistry.h"
#include "sim/SimViolations.h"

namespace raylet::sim {

struct ExitRecord {
  UINT flags;
  DWORD reason;
};

class SimWindows : public Platform {
 public:
  SimWindows();

  SimFaults faults;
  SimViolations violations;
  SimClock clock;
  SimRegistry registry;
  SimDesktop desktop;
  SimPorts ports;
  SimFiles files;

  // What MessageSpyRunning() answers.
  bool message_spy_running = false;
  int shutdown_privilege_calls = 0;
  const std::vector<ExitRecord>& Exits() const { return exits_; }

  // Every platform call, one line each, in order ("RegOpenKeyExA
  // HKLM\Enum\Root\Infrared -> 0", "Sleep 300", ...): for order checks and
  // for failure output.
  const std::vector<std::string>& Trace() const { return trace_; }
  std::string TraceText() const;

  // Violations, then key handles and port handles still open: empty when
  // the program kept every rule.
  std::vector<std::string> Problems() const;
  // GoogleTest: one failure per problem, with the trace.
  void ExpectClean() const;

  // --- raylet::Platform ---
  LONG RegOpenKeyExA(HKEY root, const char* path, DWORD options, REGSAM access, HKEY* result) override;
  LONG RegQueryValueExA(HKEY key, const char* name, DWORD* reserved, DWORD* type, BYTE* data, DWORD* size) override;
  LONG RegSetValueExA(HKEY key, const char* name, DWORD reserved, DWORD type, const BYTE* data, DWORD size) override;
  LONG RegDeleteKeyA(HKEY parent, const char* subkey) override;
  LONG RegDeleteValueA(HKEY key, const char* name) override;
  LONG RegCloseKey(HKEY key) override;

  HWND FindWindowA(const char* class_name, const char* title) override;
  LRESULT SendMessageA(HWND window, UINT message, WPARAM wparam, LPARAM lparam) override;
  BOOL PostMessageA(HWND window, UINT message, WPARAM wparam, LPARAM lparam) override;
  UINT WinExec(const char* command_line, UINT show) override;
  void Sleep(DWORD milliseconds) override;
  int MessageBoxA(HWND owner, const char* text, const char* caption, UINT style) override;
  int MessageBoxExA(HWND owner, const char* text, const char* caption, UINT style, WORD language) override;
  BOOL ExitWindowsEx(UINT flags, DWORD reason) override;

  BOOL DeleteFileA(const char* path) override;
  UINT GetWindowsDirectoryA(char* buffer, UINT size) override;
  UINT GetSystemDirectoryA(char* buffer, UINT size) override;
  DWORD GetCurrentDirectoryA(DWORD size, char* buffer) override;
  DWORD GetModuleFileNameA(HMODULE module, char* buffer, DWORD size) override;

  HANDLE CreateFileA(const char* name, DWORD access, DWORD share_mode, void* security, DWORD disposition, DWORD flags,
                     HANDLE template_file) override;
  BOOL PurgeComm(HANDLE port, DWORD flags) override;
  BOOL GetCommState(HANDLE port, DCB* settings) override;
  BOOL SetCommState(HANDLE port, DCB* settings) override;
  BOOL GetCommTimeouts(HANDLE port, COMMTIMEOUTS* timeouts) override;
  BOOL SetCommTimeouts(HANDLE port, COMMTIMEOUTS* timeouts) override;
  BOOL SetupComm(HANDLE port, DWORD input_queue, DWORD output_queue) override;
  BOOL CloseHandle(HANDLE handle) override;

  bool MessageSpyRunning() override;
  void EnableShutdownPrivilege() override;

 private:
  void Log(const std::string& line) { trace_.push_back(line); }

  std::vector<ExitRecord> exits_;
  std::vector<std::string> trace_;
};

// Printable form of a text that may hold control or non-ASCII bytes.
std::string Printable(const std::string& text);

}  // namespace raylet::sim
