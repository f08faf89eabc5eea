#include "StandInStackTest.h"

#include <cstdio>
#include <sstream>

#include "StackFiles.h"
#include "StackLayout.h"
#include "StackPorts.h"

namespace standin {
namespace {

bool g_installed = false;
std::string g_setup_problem;

std::string ExeFolder() {
  char path[MAX_PATH];
  DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
  std::string folder(path, length);
  return folder.substr(0, folder.find_last_of('\\'));
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream stream(text);
  std::string line;
  while (std::getline(stream, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty()) lines.push_back(line);
  }
  return lines;
}

std::vector<std::string> AppletLog() { return Lines(ReadLog(kAppletLog)); }

bool AnyMonitorWindow(std::string* which) {
  for (const MonitorTitle& entry : kTitles) {
    if (FindWindowA(nullptr, entry.title) != nullptr) {
      *which = entry.key;
      return true;
    }
  }
  return false;
}

void EndProcess(DWORD id) {
  HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, id);
  if (process == nullptr) return;  // already gone
  TerminateProcess(process, 1);
  WaitForSingleObject(process, 5000);
  CloseHandle(process);
}

}  // namespace

void StandInStackTest::SetUpTestSuite() {
  if (g_installed) return;
  // The Wine set-up installs the serial driver and has checked that the
  // ports the seeds name lead to it and to nothing else.
  if (!ResetPorts()) {
    g_setup_problem = "the stand-in serial driver does not answer (the Wine set-up installs it)";
    return;
  }
  // The fixtures are built next to this program's folder.
  std::string stack = ExeFolder() + "\\..\\stack";
  if (!InstallStack(stack.c_str())) {
    g_setup_problem = "cannot install the stand-in stack from " + stack;
    return;
  }
  g_installed = true;
}

void StandInStackTest::TearDownTestSuite() {
  // Leave no applet behind that would start monitors for other programs.
  UninstallStack();
  g_installed = false;
}

void StandInStackTest::SetUp() {
  ASSERT_TRUE(g_installed) << g_setup_problem;
  std::string which;
  ASSERT_FALSE(AnyMonitorWindow(&which)) << "a window titled as the monitor (" << which << ") is already up";
  ASSERT_TRUE(ResetStack());
  ASSERT_TRUE(ResetPorts());
  ClearLogs();
  ASSERT_TRUE(WriteScenario(nullptr, 0));
}

void StandInStackTest::TearDown() {
  // A control panel that the operation started ends by itself once the
  // applet has run; give it the time, then end what is left.
  DWORD start = GetTickCount();
  while (!ProcessesNamed("control.exe").empty() && GetTickCount() - start < 5000) Sleep(20);
  for (DWORD id : ProcessesNamed("control.exe")) EndProcess(id);
  EndMonitors();
  std::string which;
  EXPECT_FALSE(AnyMonitorWindow(&which)) << "a monitor (" << which << ") outlived its test";
  EXPECT_TRUE(ResetStack());
  EXPECT_TRUE(ResetPorts());
  WriteScenario(nullptr, 0);
}

void StandInStackTest::EndMonitors() {
  // The monitors this test started are held by their handles, so a process
  // that has ended cannot be mistaken for another one that got its id.
  for (HANDLE process : monitors_) {
    TerminateProcess(process, 1);
    WaitForSingleObject(process, 5000);
    CloseHandle(process);
  }
  monitors_.clear();
  // The applet's monitors are known by id only: end those ids that still
  // belong to a stand-in monitor.
  std::vector<DWORD> running = ProcessesNamed(kMonitorFile);
  for (const std::string& line : AppletLog()) {
    char key[40];
    unsigned long delay = 0;
    unsigned long id = 0;
    if (std::sscanf(line.c_str(), "START %39s %lu %lu", key, &delay, &id) != 3) continue;
    for (DWORD candidate : running) {
      if (candidate == id) EndProcess(id);
    }
  }
}

void StandInStackTest::Seed(const StackSeed& seed) { ASSERT_TRUE(SeedStack(seed)); }

void StandInStackTest::SeedInstalled(int ir_enabled) {
  StackSeed seed;
  seed.ir_enabled = ir_enabled;
  Seed(seed);
}

HWND StandInStackTest::StartMonitor(const char* title_key) {
  std::string command = std::string("\"") + kMonitorExe + "\" " + title_key + " 0 \"" + kMonitorLog + "\"";
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  bool started = false;
  // Wine has been seen to refuse a start once (ERROR_INTERNAL_ERROR) right
  // after a fresh prefix came up; a second attempt is what a user would make.
  for (int attempt = 0; attempt < 2 && !started; ++attempt) {
    started = CreateProcessA(kMonitorExe, &command[0], nullptr, nullptr, FALSE, 0, nullptr, kStackDir, &startup,
                             &process) != 0;
    if (!started) {
      std::fprintf(stderr, "starting the monitor failed: error %lu\n", GetLastError());
      Sleep(200);
    }
  }
  if (!started) {
    ADD_FAILURE() << "cannot start the monitor";
    return nullptr;
  }
  CloseHandle(process.hThread);
  monitors_.push_back(process.hProcess);
  const MonitorTitle* monitor = MonitorOfKeys(title_key, 0);
  // Up to 30 s: room for a busy host whose CPU is emulated.
  for (int look = 0; monitor != nullptr && look < 600; ++look) {
    HWND window = FindWindowA(nullptr, monitor->title);
    if (window != nullptr) return window;
    Sleep(50);
  }
  ADD_FAILURE() << "the monitor's window " << title_key << " did not come up within 30 s";
  return nullptr;
}

void StandInStackTest::SetScenario(const char* title_key, unsigned delay_ms) {
  ASSERT_TRUE(WriteScenario(title_key, delay_ms));
}

bool StandInStackTest::Enable(bool on) {
  DWORD start = GetTickCount();
  bool ok = record_.EnableDriver(on);
  elapsed_ms_ = GetTickCount() - start;
  return ok;
}

bool StandInStackTest::Kill() {
  DWORD start = GetTickCount();
  bool ok = record_.KillDriver();
  elapsed_ms_ = GetTickCount() - start;
  return ok;
}

std::vector<std::string> StandInStackTest::MonitorLines(const char* prefix) {
  std::vector<std::string> found;
  for (const std::string& line : Lines(ReadLog(kMonitorLog))) {
    if (line.rfind(prefix, 0) == 0) found.push_back(line);
  }
  return found;
}

int StandInStackTest::IrEnabled() {
  DWORD value = 0;
  return ReadIrEnabled(&value) ? static_cast<int>(value) : -1;
}

bool StandInStackTest::WaitForNoWindow(const char* title, DWORD timeout_ms) {
  DWORD start = GetTickCount();
  while (FindWindowA(nullptr, title) != nullptr) {
    if (GetTickCount() - start > timeout_ms) return false;
    Sleep(20);
  }
  return true;
}

bool StandInStackTest::ControlPanelOpened() {
  for (const std::string& line : AppletLog()) {
    if (line.rfind("CPL_DBLCLK", 0) == 0) return true;
  }
  return false;
}

bool StandInStackTest::ControlPanelStarted() {
  // Right after the operation a control panel it started is either still
  // running or has already left its trace in the applet's log.
  return !ProcessesNamed("control.exe").empty() || !AppletLog().empty();
}

}  // namespace standin
