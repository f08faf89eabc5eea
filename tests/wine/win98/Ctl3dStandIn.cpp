// ctl3d32.dll stand-in: the three-dimensional styling library that
// rayctl.exe asks for on systems older than version 4. It does nothing but
// write each load and call, one a line, to ctl3d32.log beside itself, so a
// test sees from outside whether the program reached for it.
#include <windows.h>

namespace {

HINSTANCE g_module = nullptr;

void Log(const char* line) {
  char path[MAX_PATH] = "";
  DWORD length = GetModuleFileNameA(g_module, path, MAX_PATH);
  while (length > 0 && path[length - 1] != '\\') --length;
  lstrcpyA(path + length, "ctl3d32.log");
  HANDLE file = CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  WriteFile(file, line, lstrlenA(line), &written, nullptr);
  WriteFile(file, "\r\n", 2, &written, nullptr);
  CloseHandle(file);
}

}  // namespace

extern "C" {

BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    g_module = module;
    Log("LOAD");
  }
  return TRUE;
}

__declspec(dllexport) BOOL WINAPI Ctl3dRegister(HINSTANCE) {
  Log("Ctl3dRegister");
  return TRUE;
}

__declspec(dllexport) BOOL WINAPI Ctl3dAutoSubclass(HINSTANCE) {
  Log("Ctl3dAutoSubclass");
  return TRUE;
}

__declspec(dllexport) BOOL WINAPI Ctl3dUnregister(HINSTANCE) {
  Log("Ctl3dUnregister");
  return TRUE;
}

}  // extern "C"
