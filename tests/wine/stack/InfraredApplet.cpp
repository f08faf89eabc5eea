// Stand-in for the Infrared control panel (infrared.cpl): one applet that,
// when the control panel opens it, starts the stand-in monitor as the
// scenario file says, as the real panel starts the driver and its monitor.
//
// The scenario file (C:\raylet-test\scenario.txt) holds one line:
//   "<TITLEKEY> <DELAY_MS>"  start standin-monitor.exe with that title (or
//                            two: "IRMON+INFRARED") after that delay (the
//                            monitor does the waiting, so the control panel
//                            returns at once), or
//   "none" / no file         start nothing: the driver never comes up.
// Every call the applet receives is appended to C:\raylet-test\applet.log so
// that a test can see what the control panel did; a started monitor is logged
// as "START <key> <delay> <process id>". With "IrEnabled" non-zero the applet
// first switches the stack's ports on, as the real panel starts the driver,
// and logs "PORTS on".
#include <windows.h>
#include <cpl.h>

#include <cstdio>
#include <cstring>

#include "StackLayout.h"
#include "StackPorts.h"
#include "StackRegistry.h"

namespace {

constexpr LONG_PTR kAppletData = 0x1DA;

void Log(const char* line) {
  HANDLE file = CreateFileA(standin::kAppletLog, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  char text[400];
  int length = std::snprintf(text, sizeof text, "%s\r\n", line);
  DWORD written = 0;
  WriteFile(file, text, static_cast<DWORD>(length), &written, nullptr);
  CloseHandle(file);
}

// Reads the scenario's first line into `line` (empty when there is none).
void ReadScenario(char* line, DWORD size) {
  line[0] = 0;
  HANDLE file = CreateFileA(standin::kScenarioFile, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  DWORD read = 0;
  if (!ReadFile(file, line, size - 1, &read, nullptr)) read = 0;
  CloseHandle(file);
  line[read] = 0;
  for (DWORD i = 0; i < read; ++i) {
    if (line[i] == '\r' || line[i] == '\n') {
      line[i] = 0;
      break;
    }
  }
}

void SwitchPortsOnIfEnabled() {
  DWORD enabled = 0;
  if (!standin::ReadIrEnabled(&enabled) || enabled == 0) return;
  Log(standin::SetDriverPorts(true) ? "PORTS on" : "PORTS failed");
}

void StartMonitorAsScenarioSays() {
  char scenario[200];
  ReadScenario(scenario, sizeof scenario);
  char key[40] = "";
  unsigned long delay = 0;
  if (std::sscanf(scenario, "%39s %lu", key, &delay) < 1 || std::strcmp(key, "none") == 0 ||
      standin::MonitorOfKeys(key, 0) == nullptr) {
    Log("START nothing");
    return;
  }
  char command[MAX_PATH + 120];
  std::snprintf(command, sizeof command, "\"%s\" %s %lu \"%s\"", standin::kMonitorExe, key, delay,
                standin::kMonitorLog);
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  if (!CreateProcessA(standin::kMonitorExe, command, nullptr, nullptr, FALSE, 0, nullptr, standin::kStackDir,
                      &startup, &process)) {
    char line[120];
    std::snprintf(line, sizeof line, "START failed %lu", GetLastError());
    Log(line);
    return;
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  // The process id lets a test end the monitor even before its window is up.
  char line[120];
  std::snprintf(line, sizeof line, "START %s %lu %lu", key, delay, process.dwProcessId);
  Log(line);
}

}  // namespace

extern "C" __declspec(dllexport) LONG APIENTRY CPlApplet(HWND, UINT message, LPARAM param1, LPARAM param2) {
  char line[300];
  switch (message) {
    case CPL_INIT:
      Log("CPL_INIT");
      return TRUE;
    case CPL_GETCOUNT:
      Log("CPL_GETCOUNT");
      return 1;
    case CPL_INQUIRE: {
      std::snprintf(line, sizeof line, "CPL_INQUIRE %lld", static_cast<long long>(param1));
      Log(line);
      auto* info = reinterpret_cast<CPLINFO*>(param2);
      info->idIcon = CPL_DYNAMIC_RES;
      info->idName = CPL_DYNAMIC_RES;
      info->idInfo = CPL_DYNAMIC_RES;
      info->lData = kAppletData;
      return 0;
    }
    case CPL_NEWINQUIRE: {
      std::snprintf(line, sizeof line, "CPL_NEWINQUIRE %lld", static_cast<long long>(param1));
      Log(line);
      // Control panels of the NT line pass the wide structure; its size is
      // what tells the caller which one was filled.
      auto* info = reinterpret_cast<NEWCPLINFOW*>(param2);
      std::memset(info, 0, sizeof *info);
      info->dwSize = sizeof *info;
      info->lData = kAppletData;
      info->hIcon = LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_APPLICATION));
      lstrcpyW(info->szName, L"Infrared");
      lstrcpyW(info->szInfo, L"Stand-in infrared control panel");
      return 0;
    }
    case CPL_STARTWPARMSA:
    case CPL_STARTWPARMSW:
      std::snprintf(line, sizeof line, "%s %lld", message == CPL_STARTWPARMSA ? "CPL_STARTWPARMSA" : "CPL_STARTWPARMSW",
                    static_cast<long long>(param1));
      Log(line);
      // No parameters are understood: FALSE lets the panel open the applet.
      return FALSE;
    case CPL_DBLCLK:
      std::snprintf(line, sizeof line, "CPL_DBLCLK %lld %lld", static_cast<long long>(param1),
                    static_cast<long long>(param2));
      Log(line);
      SwitchPortsOnIfEnabled();
      StartMonitorAsScenarioSays();
      return 0;
    case CPL_STOP:
      Log("CPL_STOP");
      return 0;
    case CPL_EXIT:
      Log("CPL_EXIT");
      return 0;
    default:
      std::snprintf(line, sizeof line, "CPL_MESSAGE %u", message);
      Log(line);
      return 0;
  }
}
