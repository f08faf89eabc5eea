// The real rayctl.exe against the stand-in stack, run the two ways users
// run it: a button of its window, or a switch from a calling program that
// waits for message 2024.
#pragma once

#include <string>
#include <tuple>

#include "RayctlHarness.h"
#include "StackPorts.h"
#include "StandInStackTest.h"

namespace standin {

enum class Way { kWindow, kCaller };

const char* WayName(Way way);

class EverydayRun : public StandInStackTest {
 protected:
  static void SetUpTestSuite();
  void SetUp() override;
  void TearDown() override;

  // The three ports of the stack: the adapter's, the virtual COM and printer.
  void SetPorts(PortMode physical, PortMode com, PortMode lpt);

  // Starts operation E, D or K and returns while it may still run (a box
  // of the probe may be up).
  void Begin(char operation, Way way);
  // Waits for the operation's end and checks what the user or the calling
  // program sees of it: the label and the caption, or the reply and the
  // exit status.
  void Finish(Way way, const std::string& message, bool ok);
  void Run(char operation, Way way, const std::string& message, bool ok) {
    Begin(operation, way);
    Finish(way, message, ok);
  }
  // Runs operation E, D or K from a switch with no caller to answer, which
  // shows its fault and stays open, and checks the fault shown.
  void ExpectFaultShown(char operation, const std::string& message);
  // Back to the state the test started from, for a second run.
  void StartOver() {
    TearDown();
    SetUp();
  }

  cmdline::Rayctl program;
  cmdline::CallerWindow caller;
};

}  // namespace standin
