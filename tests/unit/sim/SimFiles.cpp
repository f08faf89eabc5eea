#include "sim/SimFiles.h"

#include <cstring>

#include "sim/SimText.h"

namespace raylet::sim {

void SimFiles::AddFile(const std::string& path) { files_[Fold(path)] = path; }

bool SimFiles::Exists(const std::string& path) const { return files_.count(Fold(path)) != 0; }

std::vector<std::string> SimFiles::Files() const {
  std::vector<std::string> result;
  for (const auto& entry : files_) result.push_back(entry.second);
  return result;
}

BOOL SimFiles::Delete(const char* path) {
  std::string name = path == nullptr ? "" : path;
  BOOL result = FALSE;
  if (!faults_.Next(Op::DeleteFile, name)) result = files_.erase(Fold(name)) != 0 ? TRUE : FALSE;
  deletes_.push_back({name, result});
  return result;
}

namespace {

// Windows does not clear the rest of a buffer it fills: what was there before
// stays behind the terminator.
bool AllZero(const char* buffer, DWORD size) {
  for (DWORD i = 0; buffer != nullptr && i < size; ++i) {
    if (buffer[i] != 0) return false;
  }
  return true;
}

}  // namespace

DWORD SimFiles::CopyFolder(const char* call, const std::string& folder, char* buffer, DWORD size) {
  folder_queries_.push_back({call, size, AllZero(buffer, size)});
  DWORD length = static_cast<DWORD>(folder.size());
  if (buffer == nullptr || length + 1 > size) return length + 1;
  std::memcpy(buffer, folder.c_str(), length + 1);
  return length;
}

UINT SimFiles::WindowsDirectory(char* buffer, UINT size) {
  return CopyFolder("GetWindowsDirectoryA", windows_directory, buffer, size);
}

UINT SimFiles::SystemDirectory(char* buffer, UINT size) {
  return CopyFolder("GetSystemDirectoryA", system_directory, buffer, size);
}

DWORD SimFiles::CurrentDirectory(DWORD size, char* buffer) {
  return CopyFolder("GetCurrentDirectoryA", current_directory, buffer, size);
}

DWORD SimFiles::ModuleFileName(HMODULE module, char* buffer, DWORD size) {
  folder_queries_.push_back({"GetModuleFileNameA", size, AllZero(buffer, size)});
  if (module != nullptr || buffer == nullptr || size == 0) return 0;
  DWORD length = static_cast<DWORD>(module_file_name.size());
  if (length + 1 > size) {
    // Cut short and terminated, returning the buffer's size.
    std::memcpy(buffer, module_file_name.c_str(), size - 1);
    buffer[size - 1] = '\0';
    return size;
  }
  std::memcpy(buffer, module_file_name.c_str(), length + 1);
  return length;
}

}  // namespace raylet::sim
