// Ports of the simulated Windows: exclusive opens, refusals, settings that
// stay on the port, and handle accounting.
#include <gtest/gtest.h>

#include "sim/SimWindows.h"

namespace raylet::sim {
namespace {

HANDLE Open(SimWindows& sim, const char* name) {
  return sim.CreateFileA(name, GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
}

TEST(SimPorts, FreeHeldAbsentAndExclusive) {
  SimWindows sim;
  sim.ports.AddPort("COM4");
  sim.ports.AddPort("COM2", {.held = true});
  HANDLE com4 = Open(sim, "com4");
  ASSERT_NE(INVALID_HANDLE_VALUE, com4);
  EXPECT_TRUE(sim.ports.IsOpen("COM4"));
  EXPECT_EQ(INVALID_HANDLE_VALUE, Open(sim, "COM4"));
  EXPECT_EQ(INVALID_HANDLE_VALUE, Open(sim, "COM2"));
  EXPECT_EQ(INVALID_HANDLE_VALUE, Open(sim, "COM9"));
  EXPECT_EQ(INVALID_HANDLE_VALUE, Open(sim, ""));
  EXPECT_TRUE(sim.CloseHandle(com4));
  EXPECT_FALSE(sim.ports.IsOpen("COM4"));
  ASSERT_EQ(5u, sim.ports.Creates().size());
  const CreateFileRecord& first = sim.ports.Creates()[0];
  EXPECT_EQ(GENERIC_WRITE, first.access);
  EXPECT_EQ(0u, first.share_mode);
  EXPECT_EQ(static_cast<DWORD>(OPEN_EXISTING), first.disposition);
  EXPECT_TRUE(sim.Problems().empty());
}

TEST(SimPorts, SettingsStayOnThePortAndRefusedStepFails) {
  SimWindows sim;
  sim.ports.AddPort("COM4", {.refuse = PortStep::kSetTimeouts});
  HANDLE port = Open(sim, "COM4");
  DCB dcb{};
  ASSERT_TRUE(sim.GetCommState(port, &dcb));
  EXPECT_EQ(115200u, dcb.BaudRate);
  dcb.BaudRate = 9600;
  ASSERT_TRUE(sim.SetCommState(port, &dcb));
  DCB again{};
  sim.GetCommState(port, &again);
  EXPECT_EQ(9600u, again.BaudRate);
  COMMTIMEOUTS timeouts{};
  EXPECT_TRUE(sim.GetCommTimeouts(port, &timeouts));
  EXPECT_FALSE(sim.SetCommTimeouts(port, &timeouts));
  EXPECT_FALSE(sim.ports.AppliedTimeouts("COM4").has_value());
  sim.CloseHandle(port);
  EXPECT_EQ((std::vector<std::string>{"CreateFileA", "GetCommState", "SetCommState", "GetCommState",
                                      "GetCommTimeouts", "SetCommTimeouts failed", "CloseHandle"}),
            sim.ports.Calls("COM4"));
}

TEST(SimPorts, HandleMisuseLeaksAndFaults) {
  SimWindows sim;
  sim.ports.AddPort("COM4");
  sim.ports.AddPort("LPT3");
  sim.faults.FailCallOn(Op::PurgeComm, "LPT3", 1);
  HANDLE com = Open(sim, "COM4");
  HANDLE lpt = Open(sim, "LPT3");
  EXPECT_TRUE(sim.PurgeComm(com, 15));
  EXPECT_FALSE(sim.PurgeComm(lpt, 15));
  sim.CloseHandle(com);
  sim.CloseHandle(com);
  EXPECT_FALSE(sim.SetupComm(com, 1024, 1024));
  auto problems = sim.Problems();
  ASSERT_EQ(3u, problems.size());
  EXPECT_EQ("CloseHandle of COM4 twice", problems[0]);
  EXPECT_EQ("SetupComm on COM4 after its close", problems[1]);
  EXPECT_EQ("port left open: LPT3", problems[2]);
  sim.CloseHandle(lpt);
}

}  // namespace
}  // namespace raylet::sim
