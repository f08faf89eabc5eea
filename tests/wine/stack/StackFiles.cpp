#include "StackFiles.h"

#include <windows.h>

#include <cstdio>
#include <cstring>

#include "StackLayout.h"
#include "StackPorts.h"

namespace standin {
namespace {

bool WriteWholeFile(const char* path, const char* text) {
  HANDLE file = CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                            nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD length = static_cast<DWORD>(std::strlen(text));
  DWORD written = 0;
  bool ok = WriteFile(file, text, length, &written, nullptr) && written == length;
  CloseHandle(file);
  return ok;
}

std::string SystemApplet() {
  char folder[MAX_PATH];
  UINT length = GetSystemDirectoryA(folder, sizeof folder);
  if (length == 0 || length >= sizeof folder) return std::string();
  return std::string(folder) + "\\" + kAppletFile;
}

}  // namespace

bool InstallStack(const char* from) {
  CreateDirectoryA(kStackDir, nullptr);
  std::string applet_source = std::string(from) + "\\" + kAppletFile;
  std::string monitor_source = std::string(from) + "\\" + kMonitorFile;
  std::string tool_source = std::string(from) + "\\" + kToolFile;
  std::string applet = SystemApplet();
  return !applet.empty() && CopyFileA(applet_source.c_str(), applet.c_str(), FALSE) &&
         CopyFileA(monitor_source.c_str(), kMonitorExe, FALSE) && CopyFileA(tool_source.c_str(), kToolExe, FALSE);
}

void UninstallStack() {
  // A holder running the installed tool would keep its file and folder.
  ReleaseHolders();
  std::string applet = SystemApplet();
  if (!applet.empty()) DeleteFileA(applet.c_str());
  DeleteFileA(kMonitorExe);
  DeleteFileA(kToolExe);
  DeleteFileA(kScenarioFile);
  DeleteFileA(kMonitorLog);
  DeleteFileA(kAppletLog);
  RemoveDirectoryA(kStackDir);
}

bool WriteScenario(const char* title_key, unsigned delay_ms) {
  char line[80];
  if (title_key == nullptr) {
    std::snprintf(line, sizeof line, "none\r\n");
  } else {
    std::snprintf(line, sizeof line, "%s %u\r\n", title_key, delay_ms);
  }
  return WriteWholeFile(kScenarioFile, line);
}

void ClearLogs() {
  DeleteFileA(kMonitorLog);
  DeleteFileA(kAppletLog);
}

std::string ReadLog(const char* path) {
  HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return std::string();
  std::string text;
  char buffer[4096];
  DWORD read = 0;
  while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read != 0) text.append(buffer, read);
  CloseHandle(file);
  return text;
}

}  // namespace standin
