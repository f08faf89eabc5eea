// The paths users take every day, through the real rayctl.exe: its window's
// buttons, and the unattended run that answers a calling program. The
// stand-in stack's serial driver gives the ports real behaviour: free, held
// by another program, held by the stack, absent. Of the calling run, which
// closes its window once it has replied, a calling program's rows check the
// reply, the exit status and what the run leaves behind, not its message: a
// failed path's message they check on a second run of the same switch,
// started without /H, which stays open.
#include <optional>
#include <string>
#include <vector>

#include "ControlExeGuard.h"
#include "EverydayRun.h"

namespace standin {
namespace {

enum class Launch { kNormal, kNoProgram, kMissing };

struct PortSet {
  PortMode physical;
  PortMode com;
  PortMode lpt;
  const char* held;  // a port another program holds, or null
};

constexpr PortSet kDriverOff = {PortMode::kFree, PortMode::kAbsent, PortMode::kAbsent, nullptr};
constexpr PortSet kOnlyComWorks = {PortMode::kAbsent, PortMode::kFree, PortMode::kAbsent, nullptr};
constexpr PortSet kOffButComWorks = {PortMode::kFree, PortMode::kFree, PortMode::kAbsent, nullptr};
constexpr PortSet kDriverOn = {PortMode::kHeldByStack, PortMode::kFree, PortMode::kFree, nullptr};
constexpr PortSet kComHeld = {PortMode::kHeldByStack, PortMode::kFree, PortMode::kFree, "COM4"};
constexpr PortSet kLptHeld = {PortMode::kHeldByStack, PortMode::kFree, PortMode::kFree, "LPT3"};

constexpr int kNoKey = -2;  // no "Control Panel\Infrared" at all

struct Path {
  const char* name;
  char operation;  // E, D or K
  int ir_enabled;
  bool monitor;  // an IRMON monitor runs
  PortSet ports;
  Launch launch;
  const char* applet_starts;  // what the control panel brings up ("none": nothing); null: it never opens
  const char* message;
  bool ok;
  const char* monitor_gets;  // the one message the monitor logs ("" none)
  int ir_enabled_after;      // -1: no value
};

const Path kPaths[] = {
    {"B1_5", 'E', 1, false, kOnlyComWorks, Launch::kNormal, nullptr, "Success! IrDA-driver is ENABLE! 5", true, "", 1},
    {"B3_30", 'E', 0, false, kOnlyComWorks, Launch::kNormal, nullptr, "Success! IrDA-driver is ENABLE! 30", true, "",
     1},
    {"B2_16", 'E', kNoKey, true, kDriverOff, Launch::kNormal, nullptr, "Registory error! 16", false,
     "WM_DESTROY 0 0 sent", -1},
    {"B2_17", 'E', 0, true, kOffButComWorks, Launch::kNormal, nullptr, "Success! IrDA-driver is ENABLE! 17", true,
     "WM_DESTROY 0 0 sent", 1},
    {"B2_19", 'E', 0, true, kDriverOff, Launch::kNoProgram, nullptr, "Non-Win32 .EXE or error in .EXE image! 19",
     false, "WM_DESTROY 0 0 sent", 1},
    {"B2_20", 'E', 0, true, kDriverOff, Launch::kMissing, nullptr, "The specified file was not found! 20", false,
     "WM_DESTROY 0 0 sent", 1},
    {"B2_22", 'E', 0, true, kDriverOff, Launch::kNormal, "none", "Raylet can not activate IrDA-driver! 22", false,
     "WM_DESTROY 0 0 sent", 1},
    {"B2_23", 'E', 0, true, kDriverOff, Launch::kNormal, "INFRARED", "Success! IrDA-driver is ENABLE! 23", true,
     "WM_DESTROY 0 0 sent", 1},
    {"Off_44", 'D', 1, true, kDriverOn, Launch::kNormal, nullptr, "Success! IrDA-driver is DISABLE! 44", true,
     "WM_COMMAND 113 0 sent", 0},
    {"Off_41", 'D', 1, true, kComHeld, Launch::kNormal, nullptr,
     "Raylet cannot open port !\nAnother communication software \nusing virtual com port on IrDA driver! 41", false,
     "", 1},
    {"Off_42", 'D', 1, true, kLptHeld, Launch::kNormal, nullptr,
     "Raylet cannot open port !\nAnother software using \nvirtual printer port on IrDA driver! 42", false, "", 1},
    {"Kill_51", 'K', 1, true, kDriverOn, Launch::kNormal, nullptr, "You must do disable driver first! 51", false,
     "WM_COMMAND 113 0 sent", 0},
};

class EverydayPaths : public EverydayRun, public ::testing::WithParamInterface<std::tuple<Path, Way>> {
 protected:
  void Arrange(const Path& path) {
    StackSeed seed;
    seed.control_panel_key = path.ir_enabled != kNoKey;
    seed.ir_enabled = path.ir_enabled == kNoKey ? 0 : path.ir_enabled;
    Seed(seed);
    if (path.monitor) {
      ASSERT_NE(nullptr, StartMonitor("IRMON"));
    }
    SetPorts(path.ports.physical, path.ports.com, path.ports.lpt);
    if (path.ports.held != nullptr) {
      ASSERT_TRUE(HoldPort(path.ports.held));
    }
    if (path.applet_starts != nullptr) SetScenario(path.applet_starts, 0);
  }

  // What the run leaves behind tells apart paths whose texts a calling
  // program never sees (a success closes the program).
  void ExpectLeft(const Path& path) {
    std::vector<std::string> expected;
    if (path.monitor_gets[0] != 0) expected.push_back(path.monitor_gets);
    EXPECT_EQ(expected, MonitorLines("WM_"));
    EXPECT_EQ(path.ir_enabled_after, IrEnabled());
    EXPECT_EQ(path.applet_starts != nullptr, ControlPanelOpened());
  }
};

TEST_P(EverydayPaths, ReachTheirMessage) {
  const Path& path = std::get<0>(GetParam());
  const Way way = std::get<1>(GetParam());
  // Scoped, so that no failed assertion leaves the prefix without its
  // control.exe or with a CONTROL.EXE beside the program.
  std::optional<ControlExeRenamed> renamed;
  std::optional<BogusControlExe> bogus;
  if (path.launch == Launch::kMissing) {
    renamed.emplace();
    ASSERT_TRUE(renamed->moved());
  } else if (path.launch == Launch::kNoProgram) {
    bogus.emplace(cmdline::kProgramDir, false);
    ASSERT_TRUE(bogus->ready());
  }

  ASSERT_NO_FATAL_FAILURE(Arrange(path));
  Run(path.operation, way, path.message, path.ok);
  ExpectLeft(path);
  if (way == Way::kCaller && !path.ok) {
    // The reply only says that the run failed. Which fault it met, the same
    // run shows when no caller waits for it: a second run, without /H.
    ASSERT_NO_FATAL_FAILURE(StartOver());
    ASSERT_NO_FATAL_FAILURE(Arrange(path));
    ExpectFaultShown(path.operation, path.message);
    ExpectLeft(path);
  }
}

std::string PathName(const ::testing::TestParamInfo<std::tuple<Path, Way>>& info) {
  return std::string(std::get<0>(info.param).name) + WayName(std::get<1>(info.param));
}

INSTANTIATE_TEST_SUITE_P(Both, EverydayPaths,
                         ::testing::Combine(::testing::ValuesIn(kPaths),
                                            ::testing::Values(Way::kWindow, Way::kCaller)),
                         PathName);

}  // namespace
}  // namespace standin
