// Which message a single failing call leads to. The fault sweep checks that
// whatever fails, the message belongs to the operation; here each fault is
// one the decision tree answers with a message of its own.
#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <string>

#include "driver/TSetRay.h"
#include "sim/IrdaStack.h"

namespace raylet::sim {
namespace {

enum class Operation { kOn, kOff, kKill };

struct LeafCase {
  const char* scenario;
  Operation operation;
  IrdaSetup setup;
  bool monitor;      // "IRMON" runs
  bool com4_held;    // the driver's virtual COM port is busy
  Op op;
  const char* subject;  // null: any call of that kind
  int nth;
  const char* message;
  friend std::ostream& operator<<(std::ostream& out, const LeafCase& c) {
    return out << c.scenario << ", " << OpName(c.op) << " " << (c.subject ? c.subject : "") << " #" << c.nth;
  }
};

constexpr char kRootInfrared[] = "HKLM\\Enum\\Root\\Infrared";
constexpr char kVirtualPorts[] = "HKLM\\Enum\\Infrared\\VirtualPorts";
const IrdaSetup kOn{};
const IrdaSetup kOff{.enabled = 0};

class FaultLeafTest : public ::testing::TestWithParam<LeafCase> {};

TEST_P(FaultLeafTest, LeadsToItsMessage) {
  const LeafCase& c = GetParam();
  SimWindows sim;
  SeedIrda(sim, c.setup);
  if (c.monitor) sim.desktop.AddWindow("IRMON");
  sim.ports.Spec("COM4")->held = c.com4_held;
  if (c.subject != nullptr) {
    sim.faults.FailCallOn(c.op, c.subject, c.nth);
  } else {
    sim.faults.FailCall(c.op, c.nth);
  }
  TSetRay ray(sim);
  switch (c.operation) {
    case Operation::kOn: ray.EnableDriver(true); break;
    case Operation::kOff: ray.EnableDriver(false); break;
    case Operation::kKill: ray.KillDriver(); break;
  }
  EXPECT_STREQ(c.message, ray.ResultText);
  sim.ExpectClean();
}

using O = Operation;

INSTANTIATE_TEST_SUITE_P(
    SwitchingOn, FaultLeafTest,
    ::testing::Values(
        LeafCase{"on, port free", O::kOn, kOn, false, false, Op::RegOpen, kRootInfrared, 1,
                 "IrDA driver is not installed. 1"},
        LeafCase{"on, port free", O::kOn, kOn, false, false, Op::RegOpen, kVirtualPorts, 1,
                 "IrDA driver is not installed. 2"},
        LeafCase{"on, port free", O::kOn, kOn, false, false, Op::RegQuery, kVirtualPorts, 2,
                 "IrDA driver is not installed. 2"},
        // The setting reads as off: the switch-on path that writes it.
        LeafCase{"on, port free", O::kOn, kOn, false, false, Op::RegQuery, "HKCU\\Control Panel\\Infrared", 1,
                 "Success! IrDA-driver is ENABLE! 30"},
        LeafCase{"on, port free", O::kOn, kOn, false, false, Op::CreateFile, "COM4", 1,
                 "Raylet can not activate IrDA-driver! 10"},
        LeafCase{"on, already", O::kOn, kOn, true, false, Op::FindWindow, "IRMON", 1,
                 "Success! IrDA-driver is ENABLE! 5"},
        LeafCase{"on, monitor runs", O::kOn, kOff, true, false, Op::CreateFile, "COM2", 1,
                 "Raylet cannot open port !\nAnother software possession physical port directly! 13"},
        LeafCase{"on, monitor runs", O::kOn, kOff, true, false, Op::RegOpen, "HKCU\\Control Panel\\Infrared", 2,
                 "Registory error! 16"},
        LeafCase{"on, monitor runs", O::kOn, kOff, true, false, Op::RegSet, nullptr, 1, "Registory error! 15"},
        LeafCase{"on, monitor runs", O::kOn, kOff, true, true, Op::WinExec, nullptr, 1,
                 "The system is out of memory or resources! 18"},
        LeafCase{"on, nothing runs", O::kOn, kOff, false, false, Op::RegOpen, "HKCU\\Control Panel\\Infrared", 2,
                 "Registory error! 29"},
        LeafCase{"on, nothing runs", O::kOn, kOff, false, false, Op::RegSet, nullptr, 1, "Registory error! 28"},
        LeafCase{"on, nothing runs", O::kOn, kOff, false, true, Op::WinExec, nullptr, 1,
                 "The system is out of memory or resources! 31"}));

INSTANTIATE_TEST_SUITE_P(
    SwitchingOffAndKill, FaultLeafTest,
    ::testing::Values(
        LeafCase{"off, no monitor", O::kOff, kOn, false, false, Op::RegOpen, kRootInfrared, 1,
                 "IrDA driver is not installed. 38"},
        LeafCase{"off, no monitor", O::kOff, kOn, false, false, Op::RegOpen, kVirtualPorts, 2,
                 "MS-IrDA driver is not installed. 39"},
        LeafCase{"off, no monitor", O::kOff, kOn, false, false, Op::RegQuery, "HKCU\\Control Panel\\Infrared", 1,
                 "Allready MS-IrDA driver was DISABLE! 40"},
        LeafCase{"off, no monitor", O::kOff, kOn, false, false, Op::RegOpen, "HKCU\\Control Panel\\Infrared", 2,
                 "Registory error! 48"},
        LeafCase{"off, no monitor", O::kOff, kOn, false, false, Op::RegSet, nullptr, 1, "Registory error! 47"},
        LeafCase{"off, monitor runs", O::kOff, kOn, true, false, Op::CreateFile, "COM4", 1,
                 "Raylet cannot open port !\nAnother communication software \nusing virtual com port on IrDA "
                 "driver! 41"},
        LeafCase{"off, monitor runs", O::kOff, kOn, true, false, Op::CreateFile, "LPT3", 1,
                 "Raylet cannot open port !\nAnother software using \nvirtual printer port on IrDA driver! 42"},
        LeafCase{"off, monitor runs", O::kOff, kOn, true, false, Op::FindWindow, "IRMON", 1,
                 "Success! IrDA-driver is DISABLE! 46"},
        LeafCase{"kill, setting off", O::kKill, kOff, true, false, Op::FindWindow, "IRMON", 1,
                 "Allready MS-IrDA was killed! 53"},
        // The setting reads as off: the monitor is closed after all.
        LeafCase{"kill, setting on", O::kKill, kOn, true, false, Op::RegOpen, "HKCU\\Control Panel\\Infrared", 1,
                 "Success! Raylet kill MS IrDA-driver! 50"}));

}  // namespace
}  // namespace raylet::sim
