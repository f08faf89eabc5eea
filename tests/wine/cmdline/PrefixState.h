// State of the test prefix that the command-line and removal tests seed and
// inspect: the registry (64-bit view), the Windows and system folders' files,
// and a Windows 98 system with the MS-IrDA stack installed.
#pragma once

#include <windows.h>

#include <map>
#include <set>
#include <string>
#include <vector>

namespace cmdline {

// --- Registry (64-bit view) ---
struct Value {
  DWORD type;
  std::string data;
  bool operator==(const Value& o) const { return type == o.type && data == o.data; }
};
// Every key under root\path (upper-cased full paths) and its values.
using Snapshot = std::map<std::string, std::map<std::string, Value>>;
Snapshot TakeSnapshot(HKEY root, const std::string& path = "");
bool KeyExists(HKEY root, const std::string& path);
bool GetValue(HKEY root, const std::string& path, const std::string& name, Value* value);
void SetString(HKEY root, const std::string& path, const std::string& name, const std::string& text);
void SetValue(HKEY root, const std::string& path, const std::string& name, DWORD type, const std::string& data);
// Each true when the value or key is not there afterwards.
bool DeleteValue(HKEY root, const std::string& path, const std::string& name);
bool DeleteTree(HKEY root, const std::string& path);

// What the snapshot `after` lacks, adds or changes against `before`, one line
// each ("-key K", "-value K\N", "+key K", "+value K\N", "~value K\N").
std::vector<std::string> Differences(const Snapshot& before, const Snapshot& after);

// --- Files ---
bool FileExists(const std::string& path);
bool MakeFile(const std::string& path);  // with its folders
std::string WindowsDir();
std::string SystemDir();

// The 22 files of the second stage, full paths in their order.
std::vector<std::string> DriverFiles();

// Moves files out of the way for a test and puts them back afterwards.
class FileGuard {
 public:
  explicit FileGuard(const std::vector<std::string>& paths);
  ~FileGuard();

 private:
  std::vector<std::string> paths_;
  std::set<std::string> saved_;
};

// --- A Windows 98 system with the MS-IrDA stack installed ---
// Seeds the driver's keys (and some of the system's own) under HKLM "Enum"
// and "System\CurrentControlSet\Services\Class"; false when the prefix
// already has those trees. The removal also resets the stand-in stack's
// serial ports; false when a tree is left or their driver does not answer.
bool SeedDriverInstall();
bool RemoveDriverSeed();
// Differences(before, after) of HKLM that the first stage must cause, sorted.
std::vector<std::string> ExpectedRemovalDifferences();

constexpr char kRunOnceKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce";
constexpr char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

}  // namespace cmdline
