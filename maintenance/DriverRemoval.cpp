#include "maintenance/DriverRemoval.h"

#include "platform/RegKey.h"
#include "platform/Text.h"

namespace raylet {

namespace {

constexpr int kScanIndices = 20;            // "0000" .. "0019"
constexpr DWORD kScanBufferSize = 300;      // what each scan read may return
constexpr DWORD kInstalledBufferSize = 40;  // "Installed" is read whole, written as a WORD
constexpr DWORD kInstalledWriteSize = 2;
constexpr UINT kFirstStagePathSize = 256;
constexpr UINT kSecondStagePathSize = 64;

struct Scan {
  const char* parent;
  const char* value;
  const char* match;
};

constexpr Scan kNetCompatibleIds = {"Enum\\Root\\Net", "CompatibleIDs", "IRMINI"};
constexpr Scan kNetHardwareId = {"Enum\\Root\\Net", "HardwareID", "IRMINI"};
constexpr Scan kNetClass = {"System\\CurrentControlSet\\Services\\Class\\Net", "AdapterName", "IRMINI"};
constexpr Scan kNetTransClass = {"System\\CurrentControlSet\\Services\\Class\\NetTrans", "InfPath",
                                 "FASTIR.INF"};

constexpr char kInfraredClass[] = "System\\CurrentControlSet\\Services\\Class\\Infrared";
constexpr char kRunOnce[] = "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce";

// The driver's files left for the second stage, relative to the Windows
// (system == false) or system folder, in the order they go.
struct RemovalFile {
  bool system;
  const char* name;
};

constexpr RemovalFile kRemovalFiles[] = {
    {false, "\\IRXFER.EXE"},
    {false, "\\APPLOG\\IRMON.LGC"},
    {false, "\\HELP\\IRXFER.CNT"},
    {false, "\\HELP\\IRXFER.HLP"},
    {false, "\\INF\\infrared.PNF"},
    {false, "\\INF\\CATALOG\\FASTIR.CAT"},
    {false, "\\MEDIA\\IR_BEGIN.WAV"},
    {false, "\\MEDIA\\IR_END.WAV"},
    {false, "\\MEDIA\\IR_INTER.WAV"},
    {false, "\\MEDIA\\IR_NEW.WAV"},
    {false, "\\SendTo\\Infrared Recipient.lnk"},
    // The same link under its Japanese name, in code page 932.
    {false, "\\SendTo\\\x90\xd4\x8a\x4f\x90\xfc\x82\xcc\x8e\xf3\x90\x4d\x91\xa4.lnk"},
    {true, "\\FASTIR.VXD"},
    {true, "\\INFRARED.CPL"},
    {true, "\\IRCOMM.VXD"},
    {true, "\\IRENUM.VXD"},
    {true, "\\IRLAMP.VXD"},
    {true, "\\IRLAPFRM.VXD"},
    {true, "\\IRMINI.SYS"},
    {true, "\\IRMON.EXE"},
    {true, "\\IRSHELL.DLL"},
    {true, "\\WSIRDA.VXD"},
};

// Lowers the count the driver's setup keeps of its installations. A count
// already at 0 stays 0: wrapping it would claim 65535 installations.
void LowerInstalledCount(Platform& platform) {
  RegKey key(platform);
  if (!key.Open(HKEY_LOCAL_MACHINE, "Enum\\Infrared")) return;
  BYTE data[kInstalledBufferSize];
  DWORD type = REG_DWORD;
  if (key.QueryValue("Installed", &type, data, sizeof data)) {
    uint32_t count = static_cast<uint32_t>(data[0]) | static_cast<uint32_t>(data[1]) << 8 |
                     static_cast<uint32_t>(data[2]) << 16 | static_cast<uint32_t>(data[3]) << 24;
    if (count != 0) --count;
    data[0] = static_cast<BYTE>(count);
    data[1] = static_cast<BYTE>(count >> 8);
    key.SetValue("Installed", type, data, kInstalledWriteSize);
  }
}

void DeleteSubKeys(Platform& platform, const char* parent, const char* const* subkeys, int count) {
  RegKey key(platform);
  if (!key.Open(HKEY_LOCAL_MACHINE, parent)) return;
  for (int i = 0; i < count; ++i) key.DeleteSubKey(subkeys[i]);
}

// True when the value's text, upper-cased a..z, equals `match`.
bool ValueMatches(RegKey& key, const Scan& scan) {
  // One spare byte beyond what the read may fill keeps a value of exactly
  // 300 bytes without terminator a terminated text.
  char data[kScanBufferSize + 1];
  data[kScanBufferSize] = '\0';
  DWORD type = REG_SZ;
  if (!key.QueryValue(scan.value, &type, data, kScanBufferSize)) return false;
  text::UpperCase(data);
  return text::Equal(data, scan.match);
}

// Deletes the lowest-numbered subkey of scan.parent whose value matches.
void RunScan(Platform& platform, const Scan& scan) {
  for (int index = 0; index < kScanIndices; ++index) {
    char name[8];
    text::FormatDecimal(name, sizeof name, static_cast<uint32_t>(index), 4);
    char path[128];
    text::Copy(path, sizeof path, scan.parent);
    text::Append(path, sizeof path, "\\");
    text::Append(path, sizeof path, name);

    RegKey key(platform);
    if (!key.Open(HKEY_LOCAL_MACHINE, path)) continue;
    if (!ValueMatches(key, scan)) continue;
    key.Close();

    RegKey parent(platform);
    if (!parent.Open(HKEY_LOCAL_MACHINE, scan.parent)) continue;
    parent.DeleteSubKey(name);
    return;
  }
}

void DeleteInfraredClasses(Platform& platform) {
  RegKey key(platform);
  if (!key.Open(HKEY_LOCAL_MACHINE, kInfraredClass)) return;
  for (int index = 0; index < kScanIndices; ++index) {
    char name[8];
    text::FormatDecimal(name, sizeof name, static_cast<uint32_t>(index), 4);
    key.DeleteSubKey(name);
  }
}

// Builds base directory + name in path[size]. False when the folder query
// failed or the whole path does not fit: a cut-short path names some other
// file, so nothing may be deleted there.
bool BuildPath(Platform& platform, bool system, char* path, UINT size, const char* name) {
  text::Fill(path, 0, size);
  UINT length = system ? platform.GetSystemDirectoryA(path, size) : platform.GetWindowsDirectoryA(path, size);
  if (length == 0 || length >= size) return false;
  return text::Append(path, size, name);
}

void DeleteControlPanelFile(Platform& platform) {
  char path[kFirstStagePathSize];
  if (BuildPath(platform, true, path, sizeof path, "\\Infrared.cpl")) platform.DeleteFileA(path);
}

// The command Windows runs once at the next start: this very program with
// "/F", wherever it was started from. A path with a blank is quoted, or the
// command line would split at it.
bool BuildFinishCommand(Platform& platform, char* command, std::size_t size) {
  char module[MAX_PATH];
  text::Fill(module, 0, sizeof module);
  DWORD length = platform.GetModuleFileNameA(nullptr, module, sizeof module);
  if (length == 0 || length >= sizeof module) return false;
  bool quote = false;
  for (const char* c = module; *c != '\0'; ++c) quote = quote || *c == ' ';
  text::Fill(command, 0, size);
  bool fits = text::Copy(command, size, quote ? "\"" : "");
  fits = fits && text::Append(command, size, module);
  fits = fits && text::Append(command, size, quote ? "\" /F" : " /F");
  return fits;
}

void RegisterFinishStage(Platform& platform) {
  char command[MAX_PATH + 8];
  if (!BuildFinishCommand(platform, command, sizeof command)) return;
  RegKey key(platform);
  if (!key.Open(HKEY_LOCAL_MACHINE, kRunOnce)) return;
  key.SetValue("RayCtl", REG_SZ, command, static_cast<DWORD>(text::Length(command) + 1));
}

void OfferRestart(Platform& platform) {
  if (platform.MessageBoxExA(nullptr, "Restart Windows!", "Notice!", MB_OKCANCEL, 0) != IDOK) return;
  platform.EnableShutdownPrivilege();
  platform.ExitWindowsEx(EWX_REBOOT, 0);
}

}  // namespace

void RemoveDriver(Platform& platform) {
  LowerInstalledCount(platform);

  static constexpr const char* kPorts[] = {"COM", "LPT"};
  DeleteSubKeys(platform, "Enum\\Infrared", kPorts, 2);
  static constexpr const char* kFastIr[] = {"FASTIR"};
  DeleteSubKeys(platform, "Enum\\Network", kFastIr, 1);
  static constexpr const char* kRootInfrared[] = {"Infrared"};
  DeleteSubKeys(platform, "Enum\\Root", kRootInfrared, 1);

  RunScan(platform, kNetCompatibleIds);
  RunScan(platform, kNetHardwareId);
  DeleteInfraredClasses(platform);
  RunScan(platform, kNetClass);
  RunScan(platform, kNetTransClass);

  DeleteControlPanelFile(platform);
  RegisterFinishStage(platform);
  OfferRestart(platform);
}

void FinishRemoval(Platform& platform) {
  for (const RemovalFile& file : kRemovalFiles) {
    char path[kSecondStagePathSize];
    if (BuildPath(platform, file.system, path, sizeof path, file.name)) platform.DeleteFileA(path);
  }
}

}  // namespace raylet
