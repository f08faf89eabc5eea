// The benchmark's second baseline: the least a windowed program does. It
// creates one top-level window shown minimized, handles what is queued,
// destroys it and ends. Under Wine, the first window of a process costs the
// start of the graphics driver; this program pays it as rayctl.exe does.
#include "shell/win32/runtime/Startup.h"

namespace raylet {

int ProgramMain(HINSTANCE module, int, int, char**) {
  HWND window = ::CreateWindowExA(0, "STATIC", "Raylet", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, 200, 100,
                                  nullptr, nullptr, module, nullptr);
  if (window == nullptr) return 1;
  ::ShowWindow(window, SW_SHOWMINIMIZED);
  MSG msg;
  while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageA(&msg);
  ::DestroyWindow(window);
  return 0;
}

}  // namespace raylet
