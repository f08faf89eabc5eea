// The control panel start made to fail for real: the prefix's CONTROL.EXE
// renamed away, or a file by that name that is no program placed where the
// search for a program to start looks before the system folder.
#pragma once

#include <windows.h>

#include <string>

#include "StackLayout.h"

namespace standin {

inline std::string SystemFile(const char* name) {
  char folder[MAX_PATH];
  UINT length = GetSystemDirectoryA(folder, sizeof folder);
  return std::string(folder, length) + "\\" + name;
}

inline const std::string& ControlExe() {
  static const std::string path = SystemFile("control.exe");
  return path;
}

inline const std::string& ControlExeAway() {
  static const std::string path = SystemFile("control.exe.raylet-away");
  return path;
}

// Puts back a control.exe that an interrupted run left renamed.
inline void RestoreControlExe() {
  if (GetFileAttributesA(ControlExeAway().c_str()) != INVALID_FILE_ATTRIBUTES &&
      GetFileAttributesA(ControlExe().c_str()) == INVALID_FILE_ATTRIBUTES) {
    MoveFileA(ControlExeAway().c_str(), ControlExe().c_str());
  }
}

// Keeps the prefix's control.exe renamed for its lifetime.
class ControlExeRenamed {
 public:
  ControlExeRenamed() { moved_ = MoveFileA(ControlExe().c_str(), ControlExeAway().c_str()) != 0; }
  ~ControlExeRenamed() { RestoreControlExe(); }
  bool moved() const { return moved_; }

 private:
  bool moved_;
};

// A file named CONTROL.EXE that is no program, in `folder` (made the current
// folder when `enter` is set), which the search for a program to start
// visits before the system folder: the starting program's own folder and
// the current one.
class BogusControlExe {
 public:
  explicit BogusControlExe(const char* folder = kStackDir, bool enter = true) {
    GetCurrentDirectoryA(sizeof previous_, previous_);
    path_ = std::string(folder) + "\\CONTROL.EXE";
    HANDLE file = CreateFileA(path_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    const char text[] = "this is not a program\r\n";
    DWORD written = 0;
    WriteFile(file, text, sizeof text - 1, &written, nullptr);
    CloseHandle(file);
    ready_ = !enter || SetCurrentDirectoryA(folder) != 0;
  }
  ~BogusControlExe() {
    SetCurrentDirectoryA(previous_);
    DeleteFileA(path_.c_str());
  }
  bool ready() const { return ready_; }

 private:
  char previous_[MAX_PATH] = "";
  std::string path_;
  bool ready_ = false;
};

}  // namespace standin
