// Fault injection over whole operations: each operation runs once in a
// scenario to count its platform calls, then once more for every call with
// exactly that call failing (and once with every call of an operation
// failing). Whatever fails, every opened key is closed exactly once, the
// port is closed and PortHandle is INVALID_HANDLE_VALUE on return, a failed
// write of the setting sets Enable back, the driver leaves exactly one
// numbered message that goes with its result, and no key is created.
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <set>
#include <sstream>
#include <string>

#include "../fuzz/KnownMessages.h"
#include "driver/TSetRay.h"
#include "maintenance/DriverRemoval.h"
#include "platform/Text.h"
#include "sim/IrdaStack.h"

namespace raylet {
namespace {

using sim::Op;
using sim::SimWindows;
using fuzz::DriverOp;

enum class Run { kSwitchOn, kSwitchOff, kKill, kRemove, kFinish, kProbe };

struct Scenario {
  const char* name;
  Run run;
  std::function<void(SimWindows&)> seed;
  int message;  // what the unfaulted run leaves; -1 for the maintenance stages
};

void MonitorStartsWithLaunch(SimWindows& sim, const char* title) {
  sim::WindowSpec spec;
  spec.starts_with_launch = true;
  spec.appear_at_look = 2;
  sim.desktop.AddWindow(title, spec);
}

void SeedInstalledDriver(SimWindows& sim) {
  const HKEY lm = HKEY_LOCAL_MACHINE;
  sim.registry.SetDword(lm, "Enum\\Infrared", "Installed", 2);
  sim.registry.CreateKey(lm, "Enum\\Infrared\\COM");
  sim.registry.CreateKey(lm, "Enum\\Infrared\\LPT");
  sim.registry.CreateKey(lm, "Enum\\Network\\FASTIR");
  sim.registry.CreateKey(lm, "Enum\\Root\\Infrared");
  sim.registry.SetString(lm, "Enum\\Root\\Net\\0000", "CompatibleIDs", "IRMINI");
  sim.registry.SetString(lm, "Enum\\Root\\Net\\0001", "HardwareID", "irmini");
  sim.registry.CreateKey(lm, "System\\CurrentControlSet\\Services\\Class\\Infrared\\0000");
  sim.registry.CreateKey(lm, "System\\CurrentControlSet\\Services\\Class\\Infrared\\0001");
  sim.registry.SetString(lm, "System\\CurrentControlSet\\Services\\Class\\Net\\0002", "AdapterName", "IRMINI");
  sim.registry.SetString(lm, "System\\CurrentControlSet\\Services\\Class\\NetTrans\\0003", "InfPath", "fastir.inf");
  sim.registry.CreateKey(lm, "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce");
  sim.files.AddFile("C:\\WINDOWS\\SYSTEM\\Infrared.cpl");
  sim.files.AddFile("C:\\WINDOWS\\IRXFER.EXE");
  sim.files.AddFile("C:\\WINDOWS\\SYSTEM\\IRMON.EXE");
}

sim::IrdaSetup Disabled() {
  sim::IrdaSetup setup;
  setup.enabled = 0;
  return setup;
}

// The main decision paths of every operation that reads outside input.
std::vector<Scenario> Scenarios() {
  auto held = [](SimWindows& sim, const char* port) { sim.ports.Spec(port)->held = true; };
  return {
      {"on, setting on, port free", Run::kSwitchOn, [](SimWindows& s) { sim::SeedIrda(s); }, 5},
      {"on, setting on, control panel", Run::kSwitchOn,
       [=](SimWindows& s) {
         sim::SeedIrda(s);
         held(s, "COM4");
         MonitorStartsWithLaunch(s, "IRMON");
       },
       11},
      {"on, already", Run::kSwitchOn,
       [](SimWindows& s) {
         sim::SeedIrda(s);
         s.desktop.AddWindow("IRMON");
       },
       3},
      {"on, monitor runs, port free", Run::kSwitchOn,
       [](SimWindows& s) {
         sim::SeedIrda(s, Disabled());
         s.desktop.AddWindow("IRMON");
       },
       17},
      {"on, monitor runs, control panel", Run::kSwitchOn,
       [=](SimWindows& s) {
         sim::SeedIrda(s, Disabled());
         s.desktop.AddWindow("IRMON");
         held(s, "COM4");
         MonitorStartsWithLaunch(s, "Infrared Monitor");
       },
       23},
      {"on, nothing runs, port free", Run::kSwitchOn, [](SimWindows& s) { sim::SeedIrda(s, Disabled()); }, 30},
      {"on, nothing runs, control panel", Run::kSwitchOn,
       [=](SimWindows& s) {
         sim::SeedIrda(s, Disabled());
         held(s, "COM4");
         MonitorStartsWithLaunch(s, sim::kMonitorTitleJapanese);
       },
       36},
      {"off, monitor runs", Run::kSwitchOff,
       [](SimWindows& s) {
         sim::SeedIrda(s);
         s.desktop.AddWindow("IRMON");
       },
       44},
      {"off, no monitor", Run::kSwitchOff, [](SimWindows& s) { sim::SeedIrda(s); }, 46},
      {"off, already", Run::kSwitchOff, [](SimWindows& s) { sim::SeedIrda(s, Disabled()); }, 40},
      {"kill, setting off", Run::kKill,
       [](SimWindows& s) {
         sim::SeedIrda(s, Disabled());
         s.desktop.AddWindow("IRMON");
       },
       50},
      {"kill, setting on", Run::kKill,
       [](SimWindows& s) {
         sim::SeedIrda(s);
         s.desktop.AddWindow("IRMON");
       },
       51},
      {"kill, no monitor", Run::kKill, [](SimWindows& s) { sim::SeedIrda(s); }, 53},
      {"remove", Run::kRemove, SeedInstalledDriver, -1},
      {"finish removal", Run::kFinish, SeedInstalledDriver, -1},
      {"probe", Run::kProbe, [](SimWindows& s) { s.ports.AddPort("COM4"); }, -1},
  };
}

// Every key path under both roots.
std::set<std::string> Keys(const SimWindows& sim) {
  std::set<std::string> keys;
  std::istringstream dump(sim.registry.Dump(HKEY_LOCAL_MACHINE) + sim.registry.Dump(HKEY_CURRENT_USER));
  for (std::string line; std::getline(dump, line);) {
    if (!line.empty() && line[0] == '[') keys.insert(sim::Printable(line));
  }
  return keys;
}

DriverOp OpOf(Run run) {
  return run == Run::kSwitchOn ? DriverOp::kSwitchOn : run == Run::kSwitchOff ? DriverOp::kSwitchOff : DriverOp::kKill;
}

// The one known message that ResultText holds, or null.
const fuzz::KnownMessage* MessageIn(const TSetRay& ray) {
  for (const fuzz::KnownMessage& known : fuzz::kMessages) {
    if (text::Equal(ray.ResultText, known.text)) return &known;
  }
  return nullptr;
}

class FaultSweep {
 public:
  explicit FaultSweep(const Scenario& scenario) : scenario_(scenario) {}

  // Runs the scenario with `inject` applied to the faults first; checks the
  // invariants. Returns the number of the message left (-1 for none).
  int RunChecked(const std::function<void(sim::SimFaults&)>& inject, sim::SimFaults* counts = nullptr) {
    SimWindows sim;
    scenario_.seed(sim);
    inject(sim.faults);
    const std::set<std::string> keys_before = Keys(sim);
    TSetRay ray(sim);
    text::Copy(ray.ResultText, sizeof ray.ResultText, "(no message)");
    bool result = false;
    switch (scenario_.run) {
      case Run::kSwitchOn: result = ray.EnableDriver(true); break;
      case Run::kSwitchOff: result = ray.EnableDriver(false); break;
      case Run::kKill: result = ray.KillDriver(); break;
      case Run::kRemove: RemoveDriver(sim); break;
      case Run::kFinish: FinishRemoval(sim); break;
      case Run::kProbe: result = ray.ProbePort("COM4"); break;
    }
    if (counts != nullptr) *counts = sim.faults;

    sim.ExpectClean();  // every key closed exactly once, every port closed, no misuse
    EXPECT_FALSE(ray.PortHandle.IsValid()) << "PortHandle holds a handle on return";
    const std::set<std::string> keys_after = Keys(sim);
    for (const std::string& key : keys_after) EXPECT_EQ(1u, keys_before.count(key)) << "key created: " << key;
    if (scenario_.run == Run::kProbe) CheckProbe(sim, result);
    if (scenario_.run == Run::kRemove || scenario_.run == Run::kFinish || scenario_.run == Run::kProbe) return -1;

    EXPECT_EQ(keys_before, keys_after) << "a driver operation removed a key";
    const fuzz::KnownMessage* message = MessageIn(ray);
    if (message == nullptr) {
      ADD_FAILURE() << "not one numbered message: \"" << sim::Printable(ray.ResultText) << "\"";
      return -1;
    }
    DriverOp op = OpOf(scenario_.run);
    EXPECT_NE(0u, message->ops & (1u << static_cast<int>(op))) << "message " << message->number << " from this operation";
    EXPECT_EQ(message->result, result) << "message " << message->number;
    CheckSetting(sim, ray, message->number);
    return message->number;
  }

 private:
  // A failed open or write of "IrEnabled" is reported and Enable goes back;
  // a successful write leaves Enable as the registry holds it.
  void CheckSetting(const SimWindows& sim, const TSetRay& ray, int number) {
    bool write_failed = false;
    bool written = false;
    for (const sim::RegChange& change : sim.registry.Changes()) {
      if (change.kind != sim::RegChange::kSetValue || change.name != "IrEnabled") continue;
      written = true;
      write_failed = change.result != ERROR_SUCCESS;
    }
    bool switching_on = scenario_.run == Run::kSwitchOn;
    if (number == 15 || number == 16 || number == 28 || number == 29) EXPECT_EQ(0u, ray.Enable) << "Enable set back";
    if (number == 47 || number == 48) EXPECT_EQ(1u, ray.Enable) << "Enable set back";
    if (write_failed && scenario_.run != Run::kKill) {
      std::set<int> expected = switching_on ? std::set<int>{15, 28} : std::set<int>{47};
      EXPECT_EQ(1u, expected.count(number)) << "a failed write of IrEnabled reported as " << number;
    }
    if (written && !write_failed) EXPECT_EQ(sim::IrEnabled(sim), ray.Enable) << "Enable does not mirror the write";
  }

  // A failed step of the probe gives false, and a box unless the open
  // failed; the box of steps 2 to 6 comes while the port is still open.
  void CheckProbe(const SimWindows& sim, bool result) {
    bool failed = false;
    for (const std::string& call : sim.ports.Calls("COM4")) failed = failed || call.find(" failed") != std::string::npos;
    EXPECT_EQ(!failed, result);
    bool open_failed = sim.ports.Opens("COM4") == 0;
    EXPECT_EQ(failed && !open_failed ? 1u : 0u, sim.desktop.Boxes().size());
    EXPECT_EQ(sim.ports.Opens("COM4"), sim.ports.Closes("COM4"));
  }

  const Scenario& scenario_;
};

constexpr int kOps = static_cast<int>(Op::kCount);

// Sweeps every scenario of one operation; prints how many faults it
// injected into each.
void SweepAll(Run run) {
  std::ostringstream coverage;
  int total = 0;
  for (const Scenario& scenario : Scenarios()) {
    if (scenario.run != run) continue;
    SCOPED_TRACE(scenario.name);
    FaultSweep sweep(scenario);
    sim::SimFaults counts;
    int message = sweep.RunChecked([](sim::SimFaults&) {}, &counts);
    if (scenario.message >= 0) ASSERT_EQ(scenario.message, message) << "the scenario's unfaulted run";

    int injected = 0;
    coverage << "  " << scenario.name << ":";
    for (int o = 0; o < kOps; ++o) {
      Op op = static_cast<Op>(o);
      int calls = counts.Calls(op);
      if (calls == 0) continue;
      coverage << " " << sim::OpName(op) << " " << calls;
      for (int nth = 1; nth <= calls; ++nth) {
        SCOPED_TRACE(std::string(sim::OpName(op)) + " call " + std::to_string(nth) + " fails");
        sweep.RunChecked([&](sim::SimFaults& f) { f.FailCall(op, nth); });
        ++injected;
      }
      SCOPED_TRACE(std::string("every ") + sim::OpName(op) + " call fails");
      sweep.RunChecked([&](sim::SimFaults& f) { f.FailFrom(op, 1); });
      ++injected;
    }
    coverage << " -> " << injected << " runs with a fault\n";
    total += injected;
    if (::testing::Test::HasFailure()) break;  // one scenario's report is enough to read
  }
  std::printf("%s  %d runs with a fault in all\n", coverage.str().c_str(), total);
  EXPECT_GT(total, 0);
}

TEST(FaultSweepTest, SwitchingOn) { SweepAll(Run::kSwitchOn); }
TEST(FaultSweepTest, SwitchingOff) { SweepAll(Run::kSwitchOff); }
TEST(FaultSweepTest, Kill) { SweepAll(Run::kKill); }
TEST(FaultSweepTest, RemovalFirstStage) { SweepAll(Run::kRemove); }
TEST(FaultSweepTest, RemovalSecondStage) { SweepAll(Run::kFinish); }
TEST(FaultSweepTest, PortProbe) { SweepAll(Run::kProbe); }

}  // namespace
}  // namespace raylet
