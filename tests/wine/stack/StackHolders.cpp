// Programs that hold a port of the stand-in stack, as another program on a
// user's machine would: each is a standin-stack.exe started with "hold",
// known to the others by an event named after its process id, so that
// ending the holders never touches any other standin-stack.exe.
#include <windows.h>
#include <tlhelp32.h>

#include <cstdio>
#include <string>
#include <vector>

#include "StackLayout.h"
#include "StackPorts.h"

namespace standin {
namespace {

constexpr DWORD kHoldTimeoutMs = 5000;

std::string HolderMark(DWORD process_id) {
  char name[64];
  std::snprintf(name, sizeof name, "RayletPortHolder.%lu", process_id);
  return name;
}

bool FileExists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// The tool beside the calling program (the tool itself, or a program built
// into the stack's folder), else the copy InstallStack made.
std::string HolderProgram() {
  char path[MAX_PATH];
  DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
  std::string own(path, length);
  std::string beside = own.substr(0, own.find_last_of('\\') + 1) + kToolFile;
  if (FileExists(beside)) return beside;
  return FileExists(kToolExe) ? kToolExe : std::string();
}

std::vector<DWORD> Holders() {
  std::vector<DWORD> ids;
  for (DWORD id : ProcessesNamed(kToolFile)) {
    if (id == GetCurrentProcessId()) continue;
    HANDLE mark = OpenEventA(SYNCHRONIZE, FALSE, HolderMark(id).c_str());
    if (mark == nullptr) continue;
    CloseHandle(mark);
    ids.push_back(id);
  }
  return ids;
}

}  // namespace

std::vector<DWORD> ProcessesNamed(const char* image) {
  std::vector<DWORD> ids;
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return ids;
  PROCESSENTRY32 entry = {};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
    if (lstrcmpiA(entry.szExeFile, image) == 0) ids.push_back(entry.th32ProcessID);
  }
  CloseHandle(snapshot);
  return ids;
}

bool HoldPort(const char* port) {
  PortRecord before;
  if (!ReadPortRecord(port, &before)) return false;
  std::string program = HolderProgram();
  if (program.empty()) return false;
  std::string command = "\"" + program + "\" hold " + port;
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  if (!CreateProcessA(program.c_str(), &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &process)) {
    return false;
  }
  CloseHandle(process.hThread);
  bool held = false;
  for (DWORD waited = 0; !held && waited < kHoldTimeoutMs; waited += 20) {
    // A holder that could not open the port has ended by itself.
    if (WaitForSingleObject(process.hProcess, 20) == WAIT_OBJECT_0) break;
    PortRecord now;
    held = ReadPortRecord(port, &now) && now.opens > before.opens && now.open_now > 0;
  }
  CloseHandle(process.hProcess);
  return held;
}

bool ReleaseHolders() {
  bool ok = true;
  for (DWORD id : Holders()) {
    HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, id);
    if (process == nullptr) continue;  // ended meanwhile
    TerminateProcess(process, 1);
    // Its port is closed when it has ended; the driver hears of it before
    // any later request.
    ok = WaitForSingleObject(process, 5000) == WAIT_OBJECT_0 && ok;
    CloseHandle(process);
  }
  return ok;
}

int RunHolder(const char* port) {
  // Marked before the open, so that no holder the record shows escapes
  // ReleaseHolders.
  HANDLE mark = CreateEventA(nullptr, TRUE, FALSE, HolderMark(GetCurrentProcessId()).c_str());
  HANDLE handle = CreateFileA(port, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    std::fprintf(stderr, "standin-stack: cannot open %s (error %lu)\n", port, GetLastError());
    return 1;
  }
  // Held until the process is ended; the handle closes with it.
  WaitForSingleObject(mark != nullptr ? mark : GetCurrentProcess(), INFINITE);
  CloseHandle(handle);
  return 0;
}

}  // namespace standin
