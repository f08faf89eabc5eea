// The port probe: its calls, the settings it leaves on the port, and every
// failure with its box, always closing the port exactly once.
#include <gtest/gtest.h>

#include <ostream>

#include <cstring>

#include "sim/DriverFixture.h"

namespace raylet::sim {
namespace {

class ProbePortTest : public DriverTest {
 protected:
  bool Probe(const char* name) {
    bool result = ray.ProbePort(name);
    EXPECT_FALSE(ray.PortHandle.IsValid());
    return result;
  }
};

TEST_F(ProbePortTest, FreePortIsSetTo9600EightNoParityOneStop) {
  sim.ports.AddPort("COM4");
  EXPECT_TRUE(Probe("COM4"));
  EXPECT_TRUE(sim.desktop.Boxes().empty());
  EXPECT_EQ((std::vector<std::string>{"CreateFileA", "PurgeComm(15)", "GetCommState", "SetCommState",
                                      "GetCommTimeouts", "SetCommTimeouts", "SetupComm(1024,1024)", "CloseHandle"}),
            sim.ports.Calls("COM4"));

  ASSERT_EQ(1u, sim.ports.Creates().size());
  const CreateFileRecord& open = sim.ports.Creates()[0];
  EXPECT_EQ("COM4", open.name);
  EXPECT_EQ(GENERIC_WRITE, open.access);
  EXPECT_EQ(0u, open.share_mode);
  EXPECT_FALSE(open.security);
  EXPECT_EQ(static_cast<DWORD>(OPEN_EXISTING), open.disposition);
  EXPECT_EQ(0u, open.flags);
  EXPECT_EQ(nullptr, open.template_file);

  EXPECT_EQ(std::optional<DWORD>(sizeof(DCB)), sim.ports.StateLengthGiven("COM4"));
  DCB expected = PortSpec::DefaultSettings();
  expected.BaudRate = 9600;
  expected.ByteSize = 8;
  expected.Parity = 0;
  expected.StopBits = 0;
  expected.fBinary = 1;
  expected.fAbortOnError = 1;
  auto applied = sim.ports.AppliedSettings("COM4");
  ASSERT_TRUE(applied);
  EXPECT_EQ(0, std::memcmp(&expected, &*applied, sizeof expected)) << "a DCB member other than the six changed";
  EXPECT_EQ(0, std::memcmp(&expected, &ray.PortSettings, sizeof expected));

  auto timeouts = sim.ports.AppliedTimeouts("COM4");
  ASSERT_TRUE(timeouts);
  EXPECT_EQ(MAXDWORD, timeouts->ReadIntervalTimeout);
  EXPECT_EQ(0u, timeouts->ReadTotalTimeoutMultiplier);
  EXPECT_EQ(0u, timeouts->ReadTotalTimeoutConstant);
  EXPECT_EQ(0u, timeouts->WriteTotalTimeoutMultiplier);
  EXPECT_EQ(0u, timeouts->WriteTotalTimeoutConstant);
  EXPECT_EQ(0, std::memcmp(&*timeouts, &ray.PortTimeouts, sizeof ray.PortTimeouts));

  // Closed, so it probes again.
  EXPECT_TRUE(Probe("COM4"));
  EXPECT_EQ(2, sim.ports.Closes("COM4"));
}

TEST_F(ProbePortTest, PortThatDoesNotOpenFailsWithoutBox) {
  sim.ports.AddPort("COM2", {.held = true});
  EXPECT_FALSE(Probe("COM2"));   // another program holds it
  EXPECT_FALSE(Probe("COM9"));   // no such port
  EXPECT_FALSE(Probe(""));
  EXPECT_FALSE(Probe(nullptr));
  EXPECT_TRUE(sim.desktop.Boxes().empty());
  EXPECT_EQ(2u, sim.ports.Creates().size());  // an empty name is not handed on
  EXPECT_EQ(0, sim.ports.Opens("COM2"));
}

struct StepFailure {
  PortStep step;
  const char* text;
  std::size_t calls_before_close;  // port calls made up to the failed one
  friend std::ostream& operator<<(std::ostream& out, const StepFailure& f) { return out << f.text; }
};

class ProbeStepFailureTest : public ProbePortTest, public ::testing::WithParamInterface<StepFailure> {};

TEST_P(ProbeStepFailureTest, BoxWhilePortOpenThenCloseOnce) {
  const StepFailure& failure = GetParam();
  sim.ports.AddPort("COM4", {.refuse = failure.step});
  bool open_during_box = false;
  sim.desktop.on_box = [&](const MessageBoxRecord&) { open_during_box = sim.ports.IsOpen("COM4"); };
  EXPECT_FALSE(Probe("COM4"));
  ASSERT_EQ(1u, sim.desktop.Boxes().size());
  const MessageBoxRecord& box = sim.desktop.Boxes()[0];
  EXPECT_EQ(failure.text, box.text);
  EXPECT_EQ("Error", box.caption);
  EXPECT_EQ(0x30u, box.style);
  EXPECT_EQ(nullptr, box.owner);
  EXPECT_FALSE(box.ex);
  EXPECT_TRUE(open_during_box);
  EXPECT_EQ(1, sim.ports.Closes("COM4"));
  auto calls = sim.ports.Calls("COM4");
  ASSERT_EQ(failure.calls_before_close + 1, calls.size());
  EXPECT_EQ("CloseHandle", calls.back());
}

INSTANTIATE_TEST_SUITE_P(
    Steps2To6, ProbeStepFailureTest,
    ::testing::Values(StepFailure{PortStep::kPurge, "fault clear buffer", 2},
                      StepFailure{PortStep::kGetState, "fault get com state", 3},
                      StepFailure{PortStep::kSetState, "fault change baudrate", 4},
                      StepFailure{PortStep::kGetTimeouts, "fault get timeout parameter", 5},
                      StepFailure{PortStep::kSetTimeouts, "fault set timeout parameter", 6}));

TEST_F(ProbePortTest, SetupFailureClosesFirstThenShowsTaskModalBox) {
  sim.ports.AddPort("COM4", {.refuse = PortStep::kSetup});
  bool open_during_box = true;
  bool handle_held_during_box = true;
  sim.desktop.on_box = [&](const MessageBoxRecord&) {
    open_during_box = sim.ports.IsOpen("COM4");
    handle_held_during_box = ray.PortHandle.IsValid();
  };
  EXPECT_FALSE(Probe("COM4"));
  ASSERT_EQ(1u, sim.desktop.Boxes().size());
  EXPECT_EQ("fault SetupComm", sim.desktop.Boxes()[0].text);
  EXPECT_EQ("Error", sim.desktop.Boxes()[0].caption);
  EXPECT_EQ(0x2030u, sim.desktop.Boxes()[0].style);
  EXPECT_EQ(nullptr, sim.desktop.Boxes()[0].owner);
  EXPECT_FALSE(open_during_box);
  EXPECT_FALSE(handle_held_during_box);
  EXPECT_EQ(1, sim.ports.Closes("COM4"));
}

}  // namespace
}  // namespace raylet::sim
