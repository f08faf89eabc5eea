// Arbitrary trees under the keys the removal scans and deletes, arbitrary
// "Installed" data, and folders of any length; then both stages. Checks:
// the registry afterwards is exactly what the removal's steps allow (a twin
// of the seeded registry with those steps applied by hand, the RunOnce
// command aside, which is checked on its own), no key is created, every
// key is closed, and files are deleted only at their full paths, each one
// whose full path fits its buffer.
#include <cstring>
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "maintenance/DriverRemoval.h"

namespace raylet::fuzz {
namespace {

const HKEY kLM = HKEY_LOCAL_MACHINE;
constexpr char kRunOnce[] = "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce";

constexpr const char* kParents[] = {
    "Enum\\Root\\Net",
    "System\\CurrentControlSet\\Services\\Class\\Net",
    "System\\CurrentControlSet\\Services\\Class\\NetTrans",
    "System\\CurrentControlSet\\Services\\Class\\Infrared",
    "Enum\\Infrared",
    "Enum\\Network",
    "Enum\\Root",
    "Enum\\Root\\Net2",
    "System\\CurrentControlSet\\Services\\Class",
};

constexpr const char* kValueNames[] = {"CompatibleIDs", "HardwareID", "AdapterName", "InfPath", "Installed", "Other"};

constexpr const char* kTexts[] = {"IRMINI",  "irmini",      "IrMiNi", "FASTIR.INF", "fastir.inf", "IRMINI2",
                                  "*IRMINI", "IRMINI\0junk", "",      "IRMINI "};

constexpr const char* kOddNames[] = {"000", "00000", "0000 ", "COM", "LPT", "FASTIR", "Infrared", "COMX", "Net",
                                     "lpt", "com", "fastir", "NetTrans", "0020", "-001", "Net\xE0"};

std::string KeyName(FuzzInput& in) {
  uint8_t pick = in.Byte();
  if (pick < 128) {
    char name[8];
    std::snprintf(name, sizeof name, "%04d", pick % 25);
    return name;
  }
  if (pick < 224) return kOddNames[pick % 16];
  std::string name;
  for (char c : in.Bytes(12)) {
    if (c != '\\' && c != '\0') name.push_back(c);
  }
  return name.empty() ? "x" : name;
}

std::string ValueData(FuzzInput& in) {
  uint8_t pick = in.Byte();
  if (pick < 160) {
    const char* text = kTexts[pick % 10];
    // The seventh text holds a NUL of its own.
    std::size_t length = pick % 10 == 7 ? 11 : std::strlen(text);
    std::string data(text, length);
    if (pick & 0x10) data.push_back('\0');
    if (pick & 0x20) data.append(static_cast<std::size_t>(in.Byte()) * 2, (pick & 0x40) ? '\0' : ' ');
    return data;
  }
  return in.Bytes(400);
}

DWORD TypeOf(FuzzInput& in) {
  uint8_t pick = in.Byte();
  static constexpr DWORD kTypes[] = {REG_SZ, REG_DWORD, REG_BINARY, REG_NONE};
  return pick < 240 ? kTypes[pick % 4] : in.Word();
}

// Seeds `a` and its twin `b` alike.
struct Twins {
  sim::SimWindows& a;
  sim::SimWindows& b;
  void Key(const std::string& path) {
    a.registry.CreateKey(kLM, path);
    b.registry.CreateKey(kLM, path);
  }
  void Value(const std::string& path, const std::string& name, DWORD type, const std::string& data) {
    a.registry.SetValue(kLM, path, name, type, data);
    b.registry.SetValue(kLM, path, name, type, data);
  }
};

void SeedValue(FuzzInput& in, Twins twins, const std::string& path) {
  const char* name = kValueNames[in.Below(6)];
  DWORD type = TypeOf(in);
  twins.Value(path, name, type, ValueData(in));
}

void SeedTree(FuzzInput& in, Twins twins) {
  uint8_t fixed = in.Byte();
  if (fixed & 1) twins.Key("Enum\\Infrared\\COM");
  if (fixed & 2) twins.Key("Enum\\Infrared\\LPT");
  if (fixed & 4) twins.Key("Enum\\Network\\FASTIR");
  if (fixed & 8) twins.Key("Enum\\Root\\Infrared");
  if (fixed & 16) twins.Key(kRunOnce);
  if (fixed & 32) {
    DWORD type = TypeOf(in);
    twins.Value("Enum\\Infrared", "Installed", type, in.Bool() ? in.Bytes(48) : in.Bytes(400));
  }
  for (int n = in.Below(24); n > 0; --n) {
    std::string path = std::string(kParents[in.Below(9)]) + "\\" + KeyName(in);
    twins.Key(path);
    for (int v = in.Below(3); v > 0; --v) SeedValue(in, twins, path);
    // Now and then a deeper key, which goes with its parent.
    if (in.Byte() > 200) SeedValue(in, twins, path + "\\" + KeyName(in));
  }
}

// A folder of 0 to 400 characters, often near the lengths where a path
// stops fitting its buffer.
std::string Folder(FuzzInput& in, const std::string& usual) {
  uint8_t mode = in.Byte();
  if (mode < 64) return usual;
  std::size_t length = mode < 160 ? static_cast<std::size_t>(in.Below(40)) + (mode & 1 ? 30 : 225)
                                   : static_cast<std::size_t>(in.Byte()) + in.Below(146);
  std::string folder = "C:\\";
  std::string tail = in.Bytes(400);
  for (std::size_t i = 0; folder.size() < length; ++i) {
    char c = i < tail.size() ? tail[i] : 'D';
    folder.push_back(c == '\0' ? 'x' : c);
  }
  folder.resize(length);
  return folder;
}

// The removal's registry steps, applied by hand to the twin.
bool Matches(const sim::SimRegistry& reg, const std::string& key, const char* value, const char* match) {
  auto found = reg.GetValue(kLM, key, value);
  if (!found || found->data.size() > 300) return false;
  std::string text = found->data.substr(0, found->data.find('\0'));
  for (char& c : text) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return text == match;
}

void Scan(sim::SimRegistry& reg, const std::string& parent, const char* value, const char* match) {
  for (int index = 0; index < 20; ++index) {
    char name[8];
    std::snprintf(name, sizeof name, "%04d", index);
    std::string key = parent + "\\" + name;
    if (!reg.KeyExists(kLM, key) || !Matches(reg, key, value, match)) continue;
    reg.DeleteKey(kLM, key);
    return;
  }
}

void ApplyRemoval(sim::SimRegistry& reg) {
  if (reg.KeyExists(kLM, "Enum\\Infrared")) {
    auto installed = reg.GetValue(kLM, "Enum\\Infrared", "Installed");
    if (installed && installed->data.size() <= 40) {
      uint32_t count = 0;
      std::memcpy(&count, installed->data.data(), std::min<std::size_t>(4, installed->data.size()));
      // A count already at 0 stays 0.
      if (count != 0) --count;
      reg.SetValue(kLM, "Enum\\Infrared", "Installed", installed->type, std::string(reinterpret_cast<char*>(&count), 2));
    }
  }
  for (const char* key : {"Enum\\Infrared\\COM", "Enum\\Infrared\\LPT", "Enum\\Network\\FASTIR", "Enum\\Root\\Infrared"}) {
    reg.DeleteKey(kLM, key);
  }
  Scan(reg, "Enum\\Root\\Net", "CompatibleIDs", "IRMINI");
  Scan(reg, "Enum\\Root\\Net", "HardwareID", "IRMINI");
  for (int index = 0; index < 20; ++index) {
    char name[8];
    std::snprintf(name, sizeof name, "%04d", index);
    reg.DeleteKey(kLM, std::string("System\\CurrentControlSet\\Services\\Class\\Infrared\\") + name);
  }
  Scan(reg, "System\\CurrentControlSet\\Services\\Class\\Net", "AdapterName", "IRMINI");
  Scan(reg, "System\\CurrentControlSet\\Services\\Class\\NetTrans", "InfPath", "FASTIR.INF");
}

struct FileRule {
  std::string path;  // base folder + name
  std::size_t buffer;
  bool base_empty;
};

std::vector<FileRule> RemovalFiles(const sim::SimFiles& files) {
  static constexpr const char* kWindowsFiles[] = {
      "\\IRXFER.EXE", "\\APPLOG\\IRMON.LGC", "\\HELP\\IRXFER.CNT", "\\HELP\\IRXFER.HLP", "\\INF\\infrared.PNF",
      "\\INF\\CATALOG\\FASTIR.CAT", "\\MEDIA\\IR_BEGIN.WAV", "\\MEDIA\\IR_END.WAV", "\\MEDIA\\IR_INTER.WAV",
      "\\MEDIA\\IR_NEW.WAV", "\\SendTo\\Infrared Recipient.lnk",
      "\\SendTo\\\x90\xd4\x8a\x4f\x90\xfc\x82\xcc\x8e\xf3\x90\x4d\x91\xa4.lnk"};
  static constexpr const char* kSystemFiles[] = {"\\FASTIR.VXD",  "\\INFRARED.CPL", "\\IRCOMM.VXD", "\\IRENUM.VXD",
                                                 "\\IRLAMP.VXD",  "\\IRLAPFRM.VXD", "\\IRMINI.SYS", "\\IRMON.EXE",
                                                 "\\IRSHELL.DLL", "\\WSIRDA.VXD"};
  std::vector<FileRule> rules;
  rules.push_back({files.system_directory + "\\Infrared.cpl", 256, files.system_directory.empty()});
  for (const char* name : kWindowsFiles) {
    rules.push_back({files.windows_directory + name, 64, files.windows_directory.empty()});
  }
  for (const char* name : kSystemFiles) rules.push_back({files.system_directory + name, 64, files.system_directory.empty()});
  return rules;
}

void CheckRunOnce(const sim::SimWindows& sim, bool had_key) {
  auto value = sim.registry.GetValue(kLM, kRunOnce, "RayCtl");
  if (!had_key) {
    Check(!value && !sim.registry.KeyExists(kLM, kRunOnce), "the RunOnce key was created", &sim);
    return;
  }
  // The command goes missing only when the program's own path does not fit
  // a path buffer: a cut-short path would name some other program.
  Check(value.has_value() || sim.files.module_file_name.size() >= MAX_PATH, "RayCtl is missing", &sim);
  if (!value) return;
  Check(value->type == REG_SZ, "RayCtl is not REG_SZ", &sim);
  Check(!value->data.empty() && value->data.back() == '\0' && value->data.find('\0') == value->data.size() - 1,
        "RayCtl is not one terminated text", &sim);
  std::string command = value->data.substr(0, value->data.size() - 1);
  const sim::SimFiles& files = sim.files;
  Check(command == files.module_file_name + " /F" || command == "\"" + files.module_file_name + "\" /F" ||
            command == files.current_directory + "\\rayctl.exe /F",
        "RayCtl names a cut-short or wrong path: " + sim::Printable(command), &sim);
}

void Run(const uint8_t* data, std::size_t size) {
  FuzzInput in(data, size);
  sim::SimWindows sim;
  sim::SimWindows twin;
  SeedTree(in, Twins{sim, twin});
  sim.files.windows_directory = Folder(in, sim.files.windows_directory);
  sim.files.system_directory = Folder(in, sim.files.system_directory);
  sim.files.current_directory = Folder(in, sim.files.current_directory);
  sim.files.module_file_name = Folder(in, sim.files.current_directory) + "\\RAYCTL.EXE";
  std::vector<FileRule> rules = RemovalFiles(sim.files);
  for (const FileRule& rule : rules) {
    sim.files.AddFile(rule.path);
    // Decoys where a cut-short path would land.
    for (std::size_t cut : {std::size_t{63}, std::size_t{255}, rule.path.size() - 1}) {
      if (cut < rule.path.size() && cut > 0) sim.files.AddFile(rule.path.substr(0, cut));
    }
  }
  bool restart = in.Bool();
  sim.desktop.SetDefaultAnswer(restart ? IDOK : IDCANCEL);
  bool had_run_once = sim.registry.KeyExists(kLM, kRunOnce);
  int keys_before = sim.registry.KeyCount();

  RemoveDriver(sim);
  FinishRemoval(sim);

  std::vector<std::string> problems = sim.Problems();
  Check(problems.empty(), problems.empty() ? "" : problems[0], &sim);
  Check(sim.registry.KeyCount() <= keys_before, "a key was created", &sim);
  CheckRunOnce(sim, had_run_once);
  ApplyRemoval(twin.registry);
  if (auto value = sim.registry.GetValue(kLM, kRunOnce, "RayCtl")) {
    twin.registry.SetValue(kLM, kRunOnce, value->name, value->type, value->data);
  }
  Check(twin.registry.Dump(kLM) == sim.registry.Dump(kLM),
        "the registry is not what the removal may leave:\nexpected\n" + twin.registry.Dump(kLM) + "\nfound\n" +
            sim.registry.Dump(kLM),
        &sim);
  Check(twin.registry.Dump(HKEY_CURRENT_USER) == sim.registry.Dump(HKEY_CURRENT_USER), "HKEY_CURRENT_USER changed",
        &sim);

  // Files: only full paths, in order, and each one that fits its buffer.
  const std::vector<sim::DeleteRecord>& deletes = sim.files.Deletes();
  for (const sim::DeleteRecord& record : deletes) {
    bool full = false;
    for (const FileRule& rule : rules) full = full || (record.path == rule.path && !rule.base_empty);
    Check(full, "a deletion at a path that is not a whole one: " + sim::Printable(record.path), &sim);
  }
  std::size_t next = 0;
  for (const FileRule& rule : rules) {
    bool fits = !rule.base_empty && rule.path.size() < rule.buffer;
    bool deleted = next < deletes.size() && deletes[next].path == rule.path;
    if (deleted) {
      Check(!rule.base_empty, "a deletion with an empty folder", &sim);
      ++next;
    }
    Check(deleted || !fits, "no deletion at " + sim::Printable(rule.path), &sim);
  }
  if (next < deletes.size()) Broken("a deletion at another path: " + sim::Printable(deletes[next].path), &sim);
  Check(sim.Exits().size() == (restart ? 1u : 0u), "the restart does not follow the answer", &sim);
}

}  // namespace
}  // namespace raylet::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  raylet::fuzz::Run(data, size);
  return 0;
}
