// Files and folders of the simulated Windows: a set of file paths
// (case-insensitive), the Windows, system and current folders and the
// program's own path. Folder queries behave like Windows: the length copied
// without the terminator, or, when the buffer is too small, the size needed
// with the terminator and nothing copied.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "platform/WinTypes.h"
#include "sim/SimFaults.h"

namespace raylet::sim {

struct FolderQuery {
  std::string call;  // "GetWindowsDirectoryA", "GetSystemDirectoryA", ...
  DWORD size;        // buffer size the program passed
  bool zeroed;       // every byte of that buffer was 0 when handed over
};

struct DeleteRecord {
  std::string path;
  BOOL result;
};

class SimFiles {
 public:
  explicit SimFiles(SimFaults& faults) : faults_(faults) {}

  void AddFile(const std::string& path);
  bool Exists(const std::string& path) const;
  std::vector<std::string> Files() const;  // as added, sorted by folded path

  std::string windows_directory = "C:\\WINDOWS";
  std::string system_directory = "C:\\WINDOWS\\SYSTEM";
  std::string current_directory = "C:\\RAYLET";
  std::string module_file_name = "C:\\RAYLET\\RAYCTL.EXE";

  // Every DeleteFileA attempt, missing files included.
  const std::vector<DeleteRecord>& Deletes() const { return deletes_; }
  const std::vector<FolderQuery>& FolderQueries() const { return folder_queries_; }

  // --- Calls of the program ---
  BOOL Delete(const char* path);
  UINT WindowsDirectory(char* buffer, UINT size);
  UINT SystemDirectory(char* buffer, UINT size);
  DWORD CurrentDirectory(DWORD size, char* buffer);
  DWORD ModuleFileName(HMODULE module, char* buffer, DWORD size);

 private:
  DWORD CopyFolder(const char* call, const std::string& folder, char* buffer, DWORD size);

  SimFaults& faults_;
  std::map<std::string, std::string> files_;  // folded -> as added
  std::vector<DeleteRecord> deletes_;
  std::vector<FolderQuery> folder_queries_;
};

}  // namespace raylet::sim
