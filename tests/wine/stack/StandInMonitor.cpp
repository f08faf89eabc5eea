// Stand-in for the MS-IrDA infrared monitor (IrMon.exe): after an optional
// delay it opens a hidden top-level window with one of the monitor's titles
// and appends every WM_COMMAND and WM_DESTROY it receives to a log file, one
// line each, written and closed per line so that a reader never misses one.
// A WM_DESTROY from outside ends it, as it ends the real monitor; command 113
// switches the driver off as the real monitor does ("IrEnabled" 0 in an
// existing key, and the stack's ports as the driver leaves them off).
//
//   standin-monitor.exe TITLEKEY[+TITLEKEY] [DELAY_MS [LOGFILE]]
//
// TITLEKEY is IRMON, INFRARED, SJIS or SPY (see StackLayout.h); two keys
// joined by '+' give one process with a window of each title, as a system
// whose monitor answers to both names. The log gets "WINDOW <key> <pid>"
// once each window exists, "WM_COMMAND <wParam> <lParam> <how>" and
// "WM_DESTROY <wParam> <lParam> <how>" as they arrive (how: "sent" from
// another thread, or "posted"), and "EXIT" at the end.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "StackLayout.h"
#include "StackPorts.h"
#include "StackRegistry.h"

namespace {

const char* g_log = standin::kMonitorLog;
constexpr WPARAM kSwitchOff = 113;
constexpr int kMaxWindows = 2;

// Set once the message loop has ended: the window's own teardown is not
// something the monitor received from outside, so it is not logged.
bool g_ending = false;

void Log(const char* line) {
  HANDLE file = CreateFileA(g_log, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                            nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  char text[200];
  int length = std::snprintf(text, sizeof text, "%s\r\n", line);
  DWORD written = 0;
  WriteFile(file, text, static_cast<DWORD>(length), &written, nullptr);
  FlushFileBuffers(file);
  CloseHandle(file);
}

LRESULT CALLBACK MonitorProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  char line[120];
  switch (message) {
    case WM_COMMAND:
      std::snprintf(line, sizeof line, "WM_COMMAND %llu %lld %s", static_cast<unsigned long long>(wparam),
                    static_cast<long long>(lparam), InSendMessage() ? "sent" : "posted");
      Log(line);
      if (wparam == kSwitchOff) {
        standin::WriteIrEnabled(0);
        standin::SetDriverPorts(false);
      }
      return 0;
    case WM_DESTROY:
      if (g_ending) return 0;
      std::snprintf(line, sizeof line, "WM_DESTROY %llu %lld %s", static_cast<unsigned long long>(wparam),
                    static_cast<long long>(lparam), InSendMessage() ? "sent" : "posted");
      Log(line);
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcA(window, message, wparam, lparam);
  }
}

bool RegisterMonitorClass(HINSTANCE instance) {
  WNDCLASSA window_class = {};
  window_class.lpfnWndProc = MonitorProc;
  window_class.hInstance = instance;
  window_class.lpszClassName = "RayletStandInMonitor";
  return RegisterClassA(&window_class) != 0;
}

HWND CreateMonitorWindow(HINSTANCE instance, const char* key, const char* title) {
  if (std::strcmp(key, "SJIS") == 0 && GetACP() != 932) {
    // FindWindowA converts the title it is given from the caller's ANSI code
    // page; a Japanese system's code page is 932. In any other code page the
    // monitor takes the same bytes the same way the caller will, so that the
    // search for the 12 bytes still meets this window (logged for the record).
    Log("NOTE ANSI code page is not 932; Japanese title created from the same ANSI bytes");
  }
  return CreateWindowExA(0, "RayletStandInMonitor", title, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, 300,
                         200, nullptr, nullptr, instance, nullptr);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  if (__argc < 2) return 2;
  const standin::MonitorTitle* shown[kMaxWindows] = {};
  int count = 0;
  while (count < kMaxWindows && (shown[count] = standin::MonitorOfKeys(__argv[1], count)) != nullptr) ++count;
  if (count == 0 || standin::MonitorOfKeys(__argv[1], count) != nullptr) return 2;
  DWORD delay = __argc > 2 ? static_cast<DWORD>(std::strtoul(__argv[2], nullptr, 10)) : 0;
  if (__argc > 3) g_log = __argv[3];

  if (delay != 0) Sleep(delay);
  HWND windows[kMaxWindows] = {};
  bool registered = RegisterMonitorClass(instance);
  for (int i = 0; i < count; ++i) {
    windows[i] = registered ? CreateMonitorWindow(instance, shown[i]->key, shown[i]->title) : nullptr;
    if (windows[i] == nullptr) {
      Log("FAILED to create the window");
      return 1;
    }
    char line[80];
    std::snprintf(line, sizeof line, "WINDOW %s %lu", shown[i]->key, GetCurrentProcessId());
    Log(line);
  }

  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  g_ending = true;
  for (HWND window : windows) {
    if (window != nullptr && IsWindow(window)) DestroyWindow(window);
  }
  Log("EXIT");
  return 0;
}
