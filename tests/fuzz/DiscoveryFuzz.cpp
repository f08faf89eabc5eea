// Arbitrary registry contents for the keys discovery reads (any type, 0 to
// 400 bytes, no terminator, embedded NULs), ports and monitor windows under
// the names found there, and a few injected platform faults; then switching
// on, switching off and killing in an order the input picks. Checks after
// each: one whole numbered message that the operation may write with its
// result, every key and port closed, no key created, nothing written but
// "IrEnabled", and the record's texts what the registry held.
#include <cstring>
#include <memory>
#include <string>

#include "FuzzSupport.h"
#include "driver/TSetRay.h"
#include "sim/IrdaStack.h"

namespace raylet::fuzz {
namespace {

const HKEY kLM = HKEY_LOCAL_MACHINE;
const HKEY kCU = HKEY_CURRENT_USER;

struct Source {
  HKEY root;
  const char* key;
  const char* value;
};

const Source kComName = {kLM, sim::kVirtualPortsKey, "VirtualComPortName"};
const Source kLptName = {kLM, sim::kVirtualPortsKey, "VirtualLptPortName"};
const Source kPortName = {kLM, sim::kFramerKey, "PortName"};
const Source kEnabled = {kCU, sim::kSettingKey, "IrEnabled"};

DWORD TypeOf(FuzzInput& in) {
  static constexpr DWORD kTypes[] = {REG_SZ, REG_DWORD, REG_BINARY, REG_NONE, 2 /* REG_EXPAND_SZ */,
                                     7 /* REG_MULTI_SZ */};
  uint8_t pick = in.Byte();
  return pick < 240 ? kTypes[pick % 6] : in.Word();
}

void SeedValue(FuzzInput& in, sim::SimWindows& sim, const Source& source) {
  if (!in.Bool()) return;
  DWORD type = TypeOf(in);
  sim.registry.SetValue(source.root, source.key, source.value, type, in.Bytes(400));
}

// The text discovery must find: the value up to its first NUL, a..z
// upper-cased, when it fits the 100-byte buffer; empty otherwise.
std::string Expected(const sim::SimWindows& sim, const Source& source) {
  auto value = sim.registry.GetValue(source.root, source.key, source.value);
  if (!value || value->data.size() > 100) return "";
  std::string text = value->data.substr(0, value->data.find('\0'));
  for (char& c : text) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return text;
}

DWORD ExpectedEnable(const sim::SimWindows& sim) {
  auto value = sim.registry.GetValue(kCU, sim::kSettingKey, "IrEnabled");
  if (!value || value->data.size() > 4) return 0;
  DWORD enable = 0;
  std::memcpy(&enable, value->data.data(), value->data.size());
  return enable;
}

void AddPort(FuzzInput& in, sim::SimWindows& sim, const std::string& name) {
  if (name.empty() || sim.ports.Spec(name) != nullptr) return;
  uint8_t state = in.Byte();
  if (state % 4 == 0) return;  // absent
  sim::PortSpec spec;
  spec.held = state % 4 == 1;
  if (state % 4 == 3) spec.refuse = static_cast<sim::PortStep>(1 + (state >> 2) % 6);
  sim.ports.AddPort(name, spec);
}

void Seed(FuzzInput& in, sim::SimWindows& sim) {
  uint8_t keys = in.Byte();
  if (keys & 1) sim.registry.CreateKey(kLM, sim::kInstalledKey);
  if (keys & 2) sim.registry.CreateKey(kLM, sim::kVirtualPortsKey);
  if (keys & 4) sim.registry.CreateKey(kLM, sim::kFramerKey);
  if (keys & 8) sim.registry.CreateKey(kCU, sim::kSettingKey);
  // A value needs its key; the bits above decide only about empty keys.
  for (const Source* source : {&kComName, &kLptName, &kPortName, &kEnabled}) SeedValue(in, sim, *source);

  for (const Source* source : {&kComName, &kLptName, &kPortName}) AddPort(in, sim, Expected(sim, *source));

  uint8_t windows = in.Byte();
  if (windows & 1) {
    sim::WindowSpec spec;
    spec.closes_on_destroy = (windows & 2) != 0;
    sim.desktop.AddWindow("IRMON", spec);
  }
  if (windows & 4) {
    static constexpr const char* kTitles[] = {"IRMON", "Infrared Monitor", sim::kMonitorTitleJapanese, "irmon"};
    sim::WindowSpec spec;
    spec.starts_with_launch = true;
    spec.appear_at_look = (windows >> 3) % 32;
    spec.appear_after_ms = 100u * in.Below(100);
    sim.desktop.AddWindow(kTitles[(windows >> 5) % 4], spec);
  }
  static constexpr UINT kLaunch[] = {33, 0, 2, 3, 11, 32, 31, 1};
  sim.desktop.SetLaunchResult(kLaunch[in.Below(8)]);
  sim.message_spy_running = in.Byte() == 0xA5;
}

// Faults on at most three platform calls; true when one of them can change
// what discovery reads.
bool InjectFaults(FuzzInput& in, sim::SimWindows& sim) {
  bool discovery = false;
  for (int n = in.Below(4); n > 0; --n) {
    auto op = static_cast<sim::Op>(in.Below(static_cast<int>(sim::Op::kCount)));
    int nth = 1 + in.Below(40);
    if (in.Bool()) {
      sim.faults.FailFrom(op, nth);
    } else {
      sim.faults.FailCall(op, nth);
    }
    discovery = discovery || op == sim::Op::RegOpen || op == sim::Op::RegQuery || op == sim::Op::FindWindow;
  }
  return discovery;
}

void Run(const uint8_t* data, std::size_t size) {
  FuzzInput in(data, size);
  sim::SimWindows sim;
  Seed(in, sim);
  bool discovery_faults = InjectFaults(in, sim);

  const std::string com = Expected(sim, kComName);
  const std::string lpt = Expected(sim, kLptName);
  const std::string physical = Expected(sim, kPortName);
  const int keys = sim.registry.KeyCount();
  const std::string machine = sim.registry.Dump(kLM);

  auto ray = std::make_unique<TSetRay>(sim);
  for (int step = 0, steps = 1 + in.Below(3); step < steps; ++step) {
    auto op = static_cast<DriverOp>(in.Below(3));
    const DWORD before = ExpectedEnable(sim);
    std::size_t changes = sim.registry.Changes().size();
    bool result = op == DriverOp::kKill ? ray->KillDriver() : ray->EnableDriver(op == DriverOp::kSwitchOn);

    int number = CheckResultText(ray->ResultText, op, result, sim);
    Check(!ray->PortHandle.IsValid(), "PortHandle holds a handle after the operation", &sim);
    std::vector<std::string> problems = sim.Problems();
    Check(problems.empty(), problems.empty() ? "" : problems[0], &sim);
    Check(keys == sim.registry.KeyCount(), "a key was created or removed", &sim);
    Check(machine == sim.registry.Dump(kLM), "HKEY_LOCAL_MACHINE changed", &sim);

    // Only "IrEnabled" is ever written, always as a 4-byte REG_DWORD.
    for (std::size_t i = changes; i < sim.registry.Changes().size(); ++i) {
      const sim::RegChange& change = sim.registry.Changes()[i];
      Check(change.kind == sim::RegChange::kSetValue && change.key == sim::kSettingKeyPath &&
                change.name == "IrEnabled" && change.type == REG_DWORD && change.data.size() == 4,
            "an unexpected registry change", &sim);
    }
    // A failed open or write of the setting sets Enable back: to 0 when
    // switching on, to 1 when switching off.
    if (number == 15 || number == 16 || number == 28 || number == 29) Check(ray->Enable == 0, "Enable not set back", &sim);
    if (number == 47 || number == 48) Check(ray->Enable == 1, "Enable not set back to 1", &sim);
    if (number == 0) continue;  // the spy guard: nothing read
    for (const char* field : {ray->V_COM, ray->V_LPT, ray->PhysicalCOM}) {
      Check(std::memchr(field, '\0', 256) != nullptr, "a port name without terminator", &sim);
    }
    if (discovery_faults) continue;
    Check(com == ray->V_COM, "V_COM is not the registry's name: " + sim::Printable(ray->V_COM), &sim);
    Check(lpt == ray->V_LPT, "V_LPT is not the registry's name", &sim);
    Check(physical == ray->PhysicalCOM, "PhysicalCOM is not the registry's name", &sim);
    // The first checks decide on the registry alone: installed, then both
    // port names, then (switching off) the setting.
    const bool installed = sim.registry.KeyExists(kLM, sim::kInstalledKey);
    const bool named = !com.empty() && !lpt.empty();
    int leaf = -1;
    if (op == DriverOp::kSwitchOn && !(installed && named)) leaf = installed ? 2 : 1;
    if (op == DriverOp::kSwitchOff && !(installed && named && before != 0)) leaf = !installed ? 38 : !named ? 39 : 40;
    if (leaf >= 0) Check(number == leaf, "message " + std::to_string(number) + " where " + std::to_string(leaf) + " is due", &sim);
    // What discovery read stands unless a write of the setting succeeded.
    if (number == 3 || number == 40 || number == 53 || number == 50 || number == 10 || (number >= 5 && number <= 11)) {
      Check(ray->Enable == before, "Enable is not what the registry held", &sim);
    }
  }
}

}  // namespace
}  // namespace raylet::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  raylet::fuzz::Run(data, size);
  return 0;
}
