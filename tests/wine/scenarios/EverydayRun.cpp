#include "EverydayRun.h"

namespace standin {
namespace {

constexpr DWORD kOperationTimeout = 30000;

int ButtonOf(char operation) {
  switch (operation) {
    case 'E':
      return 102;
    case 'D':
      return 101;
    default:
      return 112;
  }
}

// Waits for the operation's end, checks the label and the caption the user
// sees, and ends the program.
void ExpectShowing(cmdline::Rayctl& run, const std::string& message, bool ok) {
  ASSERT_NE(nullptr, run.MainWindow());
  std::string label;
  DWORD start = GetTickCount();
  do {
    cmdline::Pump(50);
    label = cmdline::Text(run.Control(120));
  } while ((label.empty() || label == "(no answer)") && GetTickCount() - start < kOperationTimeout);
  EXPECT_EQ(message, label);
  // The caption follows the label in the same handler.
  const std::string caption = ok ? "Raylet" : "Raylet - fault -";
  for (int wait = 0; wait < 40 && cmdline::Text(run.MainWindow()) != caption; ++wait) cmdline::Pump(50);
  EXPECT_EQ(caption, cmdline::Text(run.MainWindow()));
  EXPECT_TRUE(run.Exit());
}

}  // namespace

const char* WayName(Way way) { return way == Way::kWindow ? "Window" : "Caller"; }

void EverydayRun::SetUpTestSuite() {
  StandInStackTest::SetUpTestSuite();
  ASSERT_TRUE(cmdline::InstallProgram(cmdline::kProgram));
}

void EverydayRun::SetUp() {
  StandInStackTest::SetUp();
  ASSERT_TRUE(ResetPorts());
}

void EverydayRun::TearDown() {
  if (program.Running()) program.Exit();
  StandInStackTest::TearDown();
  EXPECT_TRUE(ResetPorts());
}

void EverydayRun::SetPorts(PortMode physical, PortMode com, PortMode lpt) {
  ASSERT_TRUE(SetPortMode("COM2", physical));
  ASSERT_TRUE(SetPortMode("COM4", com));
  ASSERT_TRUE(SetPortMode("LPT3", lpt));
}

void EverydayRun::Begin(char operation, Way way) {
  if (way == Way::kCaller) {
    ASSERT_TRUE(program.Start(std::string("/") + operation + " " + caller.ReplyArgument()));
    return;
  }
  ASSERT_TRUE(program.Start(""));
  ASSERT_NE(nullptr, program.MainWindow());
  // Posted: the handler may sit in a box of the probe.
  ASSERT_TRUE(program.Press(ButtonOf(operation), false));
}

void EverydayRun::Finish(Way way, const std::string& message, bool ok) {
  if (way == Way::kCaller) {
    ASSERT_TRUE(program.WaitForEnd(kOperationTimeout)) << "the unattended run did not end";
    cmdline::Pump(200);  // the reply was posted before the end
    ASSERT_EQ(1u, caller.replies.size());
    EXPECT_EQ(ok ? 1u : 0u, caller.replies[0].wparam) << message;
    EXPECT_EQ(0, caller.replies[0].lparam);
    EXPECT_EQ(ok ? 0u : 1u, program.ExitCode());
    return;
  }
  ExpectShowing(program, message, ok);
}

void EverydayRun::ExpectFaultShown(char operation, const std::string& message) {
  cmdline::Rayctl shown;
  ASSERT_TRUE(shown.Start(std::string("/") + operation));
  ExpectShowing(shown, message, false);
  EXPECT_EQ(1u, shown.ExitCode());
}

}  // namespace standin
