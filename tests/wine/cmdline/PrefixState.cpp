#include "PrefixState.h"

#include <algorithm>

#include "StackPorts.h"

namespace cmdline {

namespace {

void MakeFolders(const std::string& path) {
  for (std::size_t at = path.find('\\', 3); at != std::string::npos; at = path.find('\\', at + 1)) {
    CreateDirectoryA(path.substr(0, at).c_str(), nullptr);
  }
}

std::string Upper(std::string s) {
  for (char& c : s) c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
  return s;
}

}  // namespace

// ---------------------------------------------------------------- registry

namespace {

void Walk(HKEY key, const std::string& name, Snapshot* out) {
  // Perflib's language keys serve performance data rather than stored
  // values; reading them takes minutes under Wine.
  if (name.size() >= 12 && name.find("\\PERFLIB\\") != std::string::npos) return;
  std::map<std::string, Value>& values = (*out)[name];
  for (DWORD i = 0;; ++i) {
    char value_name[16384];
    DWORD name_size = sizeof value_name;
    DWORD type = 0;
    static std::vector<BYTE> data(1 << 16);
    DWORD size = static_cast<DWORD>(data.size());
    LONG status = RegEnumValueA(key, i, value_name, &name_size, nullptr, &type, data.data(), &size);
    if (status == ERROR_NO_MORE_ITEMS) break;
    if (status != ERROR_SUCCESS) continue;
    values[Upper(value_name)] = {type, std::string(reinterpret_cast<char*>(data.data()), size)};
  }
  std::vector<std::string> children;
  for (DWORD i = 0;; ++i) {
    char child[512];
    DWORD size = sizeof child;
    LONG status = RegEnumKeyExA(key, i, child, &size, nullptr, nullptr, nullptr, nullptr);
    if (status == ERROR_NO_MORE_ITEMS) break;
    if (status == ERROR_SUCCESS) children.push_back(child);
  }
  // CurrentControlSet is a link to ControlSet001: walk the tree once, under
  // the name the program uses.
  bool has_link = false;
  for (const std::string& child : children) has_link = has_link || Upper(child) == "CURRENTCONTROLSET";
  for (const std::string& child : children) {
    if (has_link && name == "SYSTEM" && Upper(child).rfind("CONTROLSET", 0) == 0) continue;
    HKEY sub = nullptr;
    if (RegOpenKeyExA(key, child.c_str(), 0, KEY_READ, &sub) != ERROR_SUCCESS) continue;
    Walk(sub, name.empty() ? Upper(child) : name + "\\" + Upper(child), out);
    RegCloseKey(sub);
  }
}

}  // namespace

Snapshot TakeSnapshot(HKEY root, const std::string& path) {
  Snapshot snapshot;
  HKEY key = nullptr;
  if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return snapshot;
  Walk(key, Upper(path), &snapshot);
  RegCloseKey(key);
  return snapshot;
}

bool KeyExists(HKEY root, const std::string& path) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  RegCloseKey(key);
  return true;
}

bool GetValue(HKEY root, const std::string& path, const std::string& name, Value* value) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  std::vector<BYTE> data(4096);
  DWORD size = static_cast<DWORD>(data.size());
  DWORD type = 0;
  LONG status = RegQueryValueExA(key, name.c_str(), nullptr, &type, data.data(), &size);
  RegCloseKey(key);
  if (status != ERROR_SUCCESS) return false;
  *value = {type, std::string(reinterpret_cast<char*>(data.data()), size)};
  return true;
}

void SetValue(HKEY root, const std::string& path, const std::string& name, DWORD type, const std::string& data) {
  HKEY key = nullptr;
  if (RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) != ERROR_SUCCESS) {
    return;
  }
  RegSetValueExA(key, name.c_str(), 0, type, reinterpret_cast<const BYTE*>(data.data()),
                 static_cast<DWORD>(data.size()));
  RegCloseKey(key);
}

void SetString(HKEY root, const std::string& path, const std::string& name, const std::string& text) {
  SetValue(root, path, name, REG_SZ, text + std::string(1, '\0'));
}

bool DeleteValue(HKEY root, const std::string& path, const std::string& name) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(root, path.c_str(), 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) return !KeyExists(root, path);
  LONG status = RegDeleteValueA(key, name.c_str());
  RegCloseKey(key);
  return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
}

bool DeleteTree(HKEY root, const std::string& path) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(root, path.c_str(), 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) return !KeyExists(root, path);
  std::vector<std::string> children;
  for (DWORD i = 0;; ++i) {
    char child[512];
    DWORD size = sizeof child;
    if (RegEnumKeyExA(key, i, child, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    children.push_back(child);
  }
  RegCloseKey(key);
  for (const std::string& child : children) DeleteTree(root, path + "\\" + child);
  RegDeleteKeyA(root, path.c_str());
  return !KeyExists(root, path);
}

std::vector<std::string> Differences(const Snapshot& before, const Snapshot& after) {
  std::vector<std::string> lines;
  for (const auto& [key, values] : before) {
    auto it = after.find(key);
    if (it == after.end()) {
      lines.push_back("-key " + key);
      continue;
    }
    for (const auto& [name, value] : values) {
      auto v = it->second.find(name);
      if (v == it->second.end()) {
        lines.push_back("-value " + key + "\\" + name);
      } else if (!(v->second == value)) {
        lines.push_back("~value " + key + "\\" + name);
      }
    }
    for (const auto& [name, value] : it->second) {
      if (values.count(name) == 0) lines.push_back("+value " + key + "\\" + name);
    }
  }
  for (const auto& [key, values] : after) {
    if (before.count(key) == 0) lines.push_back("+key " + key);
  }
  return lines;
}

// ---------------------------------------------------------------- files

bool FileExists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

bool MakeFile(const std::string& path) {
  MakeFolders(path);
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  WriteFile(file, "raylet test", 11, &written, nullptr);
  CloseHandle(file);
  return true;
}

std::string WindowsDir() {
  char path[MAX_PATH] = {};
  GetWindowsDirectoryA(path, sizeof path);
  return path;
}

std::string SystemDir() {
  char path[MAX_PATH] = {};
  GetSystemDirectoryA(path, sizeof path);
  return path;
}

std::vector<std::string> DriverFiles() {
  static const char* const kWindows[] = {
      "\\IRXFER.EXE",          "\\APPLOG\\IRMON.LGC",         "\\HELP\\IRXFER.CNT",    "\\HELP\\IRXFER.HLP",
      "\\INF\\infrared.PNF",   "\\INF\\CATALOG\\FASTIR.CAT",  "\\MEDIA\\IR_BEGIN.WAV", "\\MEDIA\\IR_END.WAV",
      "\\MEDIA\\IR_INTER.WAV", "\\MEDIA\\IR_NEW.WAV",         "\\SendTo\\Infrared Recipient.lnk",
      "\\SendTo\\\x90\xD4\x8A\x4F\x90\xFC\x82\xCC\x8E\xF3\x90\x4D\x91\xA4.lnk",
  };
  static const char* const kSystem[] = {
      "\\FASTIR.VXD",   "\\INFRARED.CPL", "\\IRCOMM.VXD", "\\IRENUM.VXD",  "\\IRLAMP.VXD",
      "\\IRLAPFRM.VXD", "\\IRMINI.SYS",   "\\IRMON.EXE",  "\\IRSHELL.DLL", "\\WSIRDA.VXD",
  };
  std::vector<std::string> paths;
  for (const char* name : kWindows) paths.push_back(WindowsDir() + name);
  for (const char* name : kSystem) paths.push_back(SystemDir() + name);
  return paths;
}

FileGuard::FileGuard(const std::vector<std::string>& paths) : paths_(paths) {
  for (const std::string& path : paths_) {
    if (FileExists(path) && MoveFileExA(path.c_str(), (path + ".raylet-saved").c_str(), MOVEFILE_REPLACE_EXISTING)) {
      saved_.insert(path);
    }
  }
}

FileGuard::~FileGuard() {
  for (const std::string& path : paths_) {
    DeleteFileA(path.c_str());
    if (saved_.count(path)) MoveFileExA((path + ".raylet-saved").c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING);
  }
}

// ---------------------------------------------------------------- install

namespace {

const HKEY kLM = HKEY_LOCAL_MACHINE;
constexpr char kClass[] = "System\\CurrentControlSet\\Services\\Class";
std::string ClassKey(const std::string& sub) { return std::string(kClass) + "\\" + sub; }

}  // namespace

bool SeedDriverInstall() {
  // Both trees belong to Windows 98 only: a Wine prefix has neither, so the
  // tests may create and remove them whole.
  if (KeyExists(kLM, "Enum") || KeyExists(kLM, kClass)) return false;
  SetString(kLM, "Enum\\Network\\MSTCP\\0000", "DeviceDesc", "TCP/IP");
  SetString(kLM, "Enum\\Root\\Net\\0000", "CompatibleIDs", "*PNP8387");
  SetString(kLM, "Enum\\Root\\Net\\0000", "HardwareID", "*PNP8387");
  SetString(kLM, ClassKey("Net\\0000"), "AdapterName", "Dial-Up Adapter");
  SetString(kLM, ClassKey("NetTrans\\0000"), "InfPath", "NETTRANS.INF");
  SetValue(kLM, "Enum\\Infrared", "Installed", REG_BINARY, std::string("\x02\x00", 2));
  SetString(kLM, "Enum\\Infrared\\COM\\0000", "PortName", "COM4");
  SetString(kLM, "Enum\\Infrared\\LPT\\0000", "PortName", "LPT3");
  SetString(kLM, "Enum\\Infrared\\VirtualPorts", "VirtualComPortName", "COM4");
  SetString(kLM, "Enum\\Infrared\\Framer", "PortName", "COM2");
  SetString(kLM, "Enum\\Network\\FASTIR\\0000", "DeviceDesc", "Fast Infrared Protocol");
  SetString(kLM, "Enum\\Root\\Infrared\\0000", "DeviceDesc", "Infrared PnP Serial Port");
  SetString(kLM, "Enum\\Root\\Net\\0001", "CompatibleIDs", "irmini");
  SetString(kLM, "Enum\\Root\\Net\\0002", "HardwareID", "IRMINI");
  SetString(kLM, "Enum\\Root\\Net\\0003", "CompatibleIDs", "IRMINI");  // second match: stays
  SetString(kLM, ClassKey("Infrared"), "Class", "Infrared");
  SetString(kLM, ClassKey("Infrared\\0000"), "DriverDesc", "Infrared PnP Serial Port");
  SetString(kLM, ClassKey("Infrared\\0003\\Ndi"), "DeviceID", "IRMINI");
  SetString(kLM, ClassKey("Net\\0004"), "AdapterName", "IRMINI");
  SetString(kLM, ClassKey("NetTrans\\0002"), "InfPath", "FASTIR.INF");
  SetString(kLM, ClassKey("NetTrans\\0020"), "InfPath", "FASTIR.INF");  // beyond the scan
  return true;
}

bool RemoveDriverSeed() {
  bool gone = DeleteTree(kLM, "Enum");
  gone = DeleteTree(kLM, kClass) && gone;
  // The stack's serial ports go with its keys (absent, no holders).
  return standin::ResetPorts() && gone;
}

std::vector<std::string> ExpectedRemovalDifferences() {
  std::vector<std::string> lines = {
      "~value ENUM\\INFRARED\\INSTALLED",
      "+value SOFTWARE\\MICROSOFT\\WINDOWS\\CURRENTVERSION\\RUNONCE\\RAYCTL",
  };
  for (const char* key : {"ENUM\\INFRARED\\COM", "ENUM\\INFRARED\\COM\\0000", "ENUM\\INFRARED\\LPT",
                          "ENUM\\INFRARED\\LPT\\0000", "ENUM\\NETWORK\\FASTIR", "ENUM\\NETWORK\\FASTIR\\0000",
                          "ENUM\\ROOT\\INFRARED", "ENUM\\ROOT\\INFRARED\\0000", "ENUM\\ROOT\\NET\\0001",
                          "ENUM\\ROOT\\NET\\0002"}) {
    lines.push_back(std::string("-key ") + key);
  }
  const std::string cls = "SYSTEM\\CURRENTCONTROLSET\\SERVICES\\CLASS\\";
  for (const char* key : {"INFRARED\\0000", "INFRARED\\0003", "INFRARED\\0003\\NDI", "NET\\0004", "NETTRANS\\0002"}) {
    lines.push_back("-key " + cls + key);
  }
  std::sort(lines.begin(), lines.end());
  return lines;
}

}  // namespace cmdline
