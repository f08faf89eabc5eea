// The main window's buttons around their operations, on the simulated
// Windows: caption reset, input off while the operation runs, the whole
// result text in the label, the fault caption after a failure.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ShellRecordingView.h"
#include "driver/TSetRay.h"
#include "sim/SimFixture.h"
#include "shell/logic/MainCommands.h"

namespace raylet {
namespace {

using Events = std::vector<std::string>;

class ShellMainCommands : public sim::SimTest {
 protected:
  // The driver is installed with its virtual ports; the setting and the
  // monitor are up to each test.
  void InstallDriver() {
    sim.registry.CreateKey(HKEY_LOCAL_MACHINE, "Enum\\Root\\Infrared");
    sim.registry.SetString(HKEY_LOCAL_MACHINE, "Enum\\Infrared\\VirtualPorts", "VirtualComPortName", "COM4");
    sim.registry.SetString(HKEY_LOCAL_MACHINE, "Enum\\Infrared\\VirtualPorts", "VirtualLptPortName", "LPT3");
    sim.registry.SetString(HKEY_LOCAL_MACHINE, "Enum\\Infrared\\Framer", "PortName", "COM2");
  }

  TSetRay state{sim};
  RecordingView view;
};

TEST_F(ShellMainCommands, FailedEnableShowsItsMessageThenTheFaultCaption) {
  EXPECT_FALSE(RunDriverCommand(DriverCommand::Enable, state, view));
  EXPECT_EQ((Events{"caption Raylet", "input off", "input on", "label IrDA driver is not installed. 1",
                    "caption Raylet - fault -"}),
            view.events);
}

TEST_F(ShellMainCommands, SuccessfulDisableLeavesThePlainCaption) {
  EXPECT_TRUE(RunDriverCommand(DriverCommand::Disable, state, view));
  EXPECT_EQ((Events{"caption Raylet", "input off", "input on", "label IrDA driver is not installed. 38"}),
            view.events);
}

TEST_F(ShellMainCommands, NextDriverCommandResetsTheFaultCaptionFirst) {
  RunDriverCommand(DriverCommand::Enable, state, view);
  view.events.clear();
  EXPECT_TRUE(RunDriverCommand(DriverCommand::Kill, state, view));
  EXPECT_EQ((Events{"caption Raylet", "input off", "input on", "label Allready MS-IrDA was killed! 53"}),
            view.events);
}

TEST_F(ShellMainCommands, RefusedKillIsAFault) {
  InstallDriver();
  sim.registry.SetDword(HKEY_CURRENT_USER, "Control Panel\\Infrared", "IrEnabled", 1);
  sim.desktop.AddWindow("IRMON");
  EXPECT_FALSE(RunDriverCommand(DriverCommand::Kill, state, view));
  ASSERT_GE(view.events.size(), 2u);
  EXPECT_EQ("label You must do disable driver first! 51", view.events[view.events.size() - 2]);
  EXPECT_EQ("caption Raylet - fault -", view.events.back());
}

TEST_F(ShellMainCommands, LabelGetsTheWholeResultTextWithItsLineBreaks) {
  InstallDriver();
  sim.ports.AddPort("COM2", sim::PortSpec{true});  // held by another program
  sim.desktop.AddWindow("IRMON");
  EXPECT_FALSE(RunDriverCommand(DriverCommand::Enable, state, view));
  EXPECT_EQ("label Raylet cannot open port !\nAnother software possession physical port directly! 13",
            view.events[view.events.size() - 2]);
}

// The probe's error boxes have no owner: the main window must refuse input
// while they are up, or a second click would start a second probe.
TEST_F(ShellMainCommands, MainWindowTakesNoInputWhileTheProbeReportsAFault) {
  InstallDriver();
  sim.registry.SetDword(HKEY_CURRENT_USER, "Control Panel\\Infrared", "IrEnabled", 1);
  sim::PortSpec refusing;
  refusing.refuse = sim::PortStep::kPurge;
  sim.ports.AddPort("COM4", refusing);
  std::vector<bool> input_during_boxes;
  sim.desktop.on_box = [&](const sim::MessageBoxRecord&) { input_during_boxes.push_back(view.input_enabled); };
  RunDriverCommand(DriverCommand::Enable, state, view);
  ASSERT_FALSE(input_during_boxes.empty());
  for (bool enabled : input_during_boxes) EXPECT_FALSE(enabled);
  EXPECT_TRUE(view.input_enabled);
}

TEST_F(ShellMainCommands, SpyGuardFailureStillReEnablesInput) {
  sim.message_spy_running = true;
  EXPECT_FALSE(RunDriverCommand(DriverCommand::Disable, state, view));
  EXPECT_EQ("caption Raylet - fault -", view.events.back());
  EXPECT_TRUE(view.input_enabled);
}

// The maintenance operations are plain functions; this one notes whether the
// main window took input while it ran.
const RecordingView* g_watched_view = nullptr;
bool g_input_during_operation = true;

void WatchedOperation(Platform& platform) {
  g_input_during_operation = g_watched_view->input_enabled;
  platform.Sleep(7);
}

TEST_F(ShellMainCommands, MaintenanceCommandsOnlyRunTheirOperationWithInputOff) {
  g_watched_view = &view;
  RunMaintenanceCommand(&WatchedOperation, sim, view);
  EXPECT_FALSE(g_input_during_operation);
  EXPECT_EQ(7u, sim.clock.Now());
  EXPECT_EQ((Events{"input off", "input on"}), view.events);
}

}  // namespace
}  // namespace raylet
