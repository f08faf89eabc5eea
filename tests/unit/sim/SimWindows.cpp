#include "sim/SimWindows.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>

#include "sim/SimText.h"

namespace raylet::sim {

namespace {

std::string Hex(const void* value) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%#llx", static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(value)));
  return buffer;
}

std::string Str(const char* text) { return text == nullptr ? "(null)" : "\"" + Printable(text) + "\""; }

std::string N(long long value) { return std::to_string(value); }

}  // namespace

std::string Printable(const std::string& text) {
  std::string out;
  for (unsigned char c : text) {
    if (c == '\n') {
      out += "\\n";
    } else if (c < 0x20 || c >= 0x7F) {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02X", c);
      out += hex;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

SimWindows::SimWindows()
    : registry(faults, violations), desktop(clock, faults), ports(faults, violations), files(faults) {}

std::string SimWindows::TraceText() const {
  std::string text;
  for (const std::string& line : trace_) text += "  " + line + "\n";
  return text;
}

std::vector<std::string> SimWindows::Problems() const {
  std::vector<std::string> problems = violations.List();
  for (const std::string& key : registry.OpenHandlePaths()) problems.push_back("key left open: " + key);
  for (const std::string& port : ports.OpenPortNames()) problems.push_back("port left open: " + port);
  return problems;
}

void SimWindows::ExpectClean() const {
  for (const std::string& problem : Problems()) ADD_FAILURE() << problem << "\nplatform calls:\n" << TraceText();
}

// ---------------------------------------------------------------- registry

LONG SimWindows::RegOpenKeyExA(HKEY root, const char* path, DWORD options, REGSAM access, HKEY* result) {
  LONG status = registry.Open(root, path, options, access, result);
  Log("RegOpenKeyExA " + RootName(root) + " " + Str(path) + " -> " + N(status) +
      (status == ERROR_SUCCESS && result ? " " + Hex(*result) : ""));
  return status;
}

LONG SimWindows::RegQueryValueExA(HKEY key, const char* name, DWORD* reserved, DWORD* type, BYTE* data,
                                  DWORD* size) {
  DWORD given = size ? *size : 0;
  LONG status = registry.Query(key, name, reserved, type, data, size);
  Log("RegQueryValueExA " + Hex(key) + " " + Str(name) + " size " + N(given) + " -> " + N(status));
  return status;
}

LONG SimWindows::RegSetValueExA(HKEY key, const char* name, DWORD reserved, DWORD type, const BYTE* data,
                                DWORD size) {
  LONG status = registry.Set(key, name, reserved, type, data, size);
  Log("RegSetValueExA " + Hex(key) + " " + Str(name) + " type " + N(type) + " size " + N(size) + " -> " +
      N(status));
  return status;
}

LONG SimWindows::RegDeleteKeyA(HKEY parent, const char* subkey) {
  LONG status = registry.DeleteSubKey(parent, subkey);
  Log("RegDeleteKeyA " + Hex(parent) + " " + Str(subkey) + " -> " + N(status));
  return status;
}

LONG SimWindows::RegDeleteValueA(HKEY key, const char* name) {
  LONG status = registry.DeleteValue(key, name);
  Log("RegDeleteValueA " + Hex(key) + " " + Str(name) + " -> " + N(status));
  return status;
}

LONG SimWindows::RegCloseKey(HKEY key) {
  LONG status = registry.Close(key);
  Log("RegCloseKey " + Hex(key) + " -> " + N(status));
  return status;
}

// ---------------------------------------------------------------- user32

HWND SimWindows::FindWindowA(const char* class_name, const char* title) {
  HWND found = desktop.FindWindow(class_name, title);
  Log("FindWindowA " + Str(class_name) + " " + Str(title) + " -> " + Hex(found));
  return found;
}

LRESULT SimWindows::SendMessageA(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  Log("SendMessageA " + Hex(window) + " " + N(message) + " " + N(static_cast<long long>(wparam)) + " " + N(lparam));
  return desktop.Send(window, message, wparam, lparam);
}

BOOL SimWindows::PostMessageA(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  BOOL result = desktop.Post(window, message, wparam, lparam);
  Log("PostMessageA " + Hex(window) + " " + N(message) + " " + N(static_cast<long long>(wparam)) + " " + N(lparam) +
      " -> " + N(result));
  return result;
}

UINT SimWindows::WinExec(const char* command_line, UINT show) {
  UINT result = desktop.Launch(command_line, show);
  Log("WinExec " + Str(command_line) + " " + N(show) + " -> " + N(result));
  return result;
}

void SimWindows::Sleep(DWORD milliseconds) {
  clock.Sleep(milliseconds);
  Log("Sleep " + N(milliseconds));
}

int SimWindows::MessageBoxA(HWND owner, const char* text, const char* caption, UINT style) {
  Log("MessageBoxA " + Hex(owner) + " " + Str(text) + " " + Str(caption) + " " + N(style));
  return desktop.Box(owner, text, caption, style, 0, false);
}

int SimWindows::MessageBoxExA(HWND owner, const char* text, const char* caption, UINT style, WORD language) {
  Log("MessageBoxExA " + Hex(owner) + " " + Str(text) + " " + Str(caption) + " " + N(style) + " " + N(language));
  return desktop.Box(owner, text, caption, style, language, true);
}

BOOL SimWindows::ExitWindowsEx(UINT flags, DWORD reason) {
  Log("ExitWindowsEx " + N(flags) + " " + N(reason));
  exits_.push_back({flags, reason});
  return TRUE;
}

// ---------------------------------------------------------------- files

BOOL SimWindows::DeleteFileA(const char* path) {
  BOOL result = files.Delete(path);
  Log("DeleteFileA " + Str(path) + " -> " + N(result));
  return result;
}

UINT SimWindows::GetWindowsDirectoryA(char* buffer, UINT size) {
  Log("GetWindowsDirectoryA " + N(size));
  return files.WindowsDirectory(buffer, size);
}

UINT SimWindows::GetSystemDirectoryA(char* buffer, UINT size) {
  Log("GetSystemDirectoryA " + N(size));
  return files.SystemDirectory(buffer, size);
}

DWORD SimWindows::GetCurrentDirectoryA(DWORD size, char* buffer) {
  Log("GetCurrentDirectoryA " + N(size));
  return files.CurrentDirectory(size, buffer);
}

DWORD SimWindows::GetModuleFileNameA(HMODULE module, char* buffer, DWORD size) {
  Log("GetModuleFileNameA " + N(size));
  return files.ModuleFileName(module, buffer, size);
}

// ---------------------------------------------------------------- ports

HANDLE SimWindows::CreateFileA(const char* name, DWORD access, DWORD share_mode, void* security, DWORD disposition,
                               DWORD flags, HANDLE template_file) {
  HANDLE result = ports.Create(name, access, share_mode, security, disposition, flags, template_file);
  Log("CreateFileA " + Str(name) + " -> " + Hex(result));
  return result;
}

BOOL SimWindows::PurgeComm(HANDLE port, DWORD flags) {
  BOOL result = ports.Purge(port, flags);
  Log("PurgeComm " + Hex(port) + " " + N(flags) + " -> " + N(result));
  return result;
}

BOOL SimWindows::GetCommState(HANDLE port, DCB* settings) {
  BOOL result = ports.GetState(port, settings);
  Log("GetCommState " + Hex(port) + " -> " + N(result));
  return result;
}

BOOL SimWindows::SetCommState(HANDLE port, DCB* settings) {
  BOOL result = ports.SetState(port, settings);
  Log("SetCommState " + Hex(port) + " -> " + N(result));
  return result;
}

BOOL SimWindows::GetCommTimeouts(HANDLE port, COMMTIMEOUTS* timeouts) {
  BOOL result = ports.GetTimeouts(port, timeouts);
  Log("GetCommTimeouts " + Hex(port) + " -> " + N(result));
  return result;
}

BOOL SimWindows::SetCommTimeouts(HANDLE port, COMMTIMEOUTS* timeouts) {
  BOOL result = ports.SetTimeouts(port, timeouts);
  Log("SetCommTimeouts " + Hex(port) + " -> " + N(result));
  return result;
}

BOOL SimWindows::SetupComm(HANDLE port, DWORD input_queue, DWORD output_queue) {
  BOOL result = ports.Setup(port, input_queue, output_queue);
  Log("SetupComm " + Hex(port) + " " + N(input_queue) + " " + N(output_queue) + " -> " + N(result));
  return result;
}

BOOL SimWindows::CloseHandle(HANDLE handle) {
  BOOL result = ports.Close(handle);
  Log("CloseHandle " + Hex(handle) + " -> " + N(result));
  return result;
}

// ---------------------------------------------------------------- other

bool SimWindows::MessageSpyRunning() {
  Log(std::string("MessageSpyRunning -> ") + (message_spy_running ? "true" : "false"));
  return message_spy_running;
}

void SimWindows::EnableShutdownPrivilege() {
  Log("EnableShutdownPrivilege");
  ++shutdown_privilege_calls;
}

}  // namespace raylet::sim
