// Windows that do not behave: a reply window that does not exist or whose
// program has ended, a monitor whose window goes away between discovery and
// the message meant for it, a control panel that starts and exits at once.
// The program must neither crash nor wait longer than its own waits.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "ShellRecordingView.h"
#include "driver/TSetRay.h"
#include "shell/logic/CommandLine.h"
#include "sim/IrdaStack.h"

namespace raylet {
namespace {

using sim::SimWindows;

// The simulated Windows, with a monitor whose window closes (its program
// ends) at the first registry open, port open, send or post that follows
// the look that found it.
class VanishingMonitorWindows : public SimWindows {
 public:
  HWND monitor = nullptr;
  bool vanished = false;

  HWND FindWindowA(const char* class_name, const char* title) override {
    HWND found = SimWindows::FindWindowA(class_name, title);
    if (found != nullptr && found == monitor && !vanished) armed_ = true;
    return found;
  }
  LONG RegOpenKeyExA(HKEY root, const char* path, DWORD options, REGSAM access, HKEY* result) override {
    Vanish();
    return SimWindows::RegOpenKeyExA(root, path, options, access, result);
  }
  HANDLE CreateFileA(const char* name, DWORD access, DWORD share, void* security, DWORD disposition, DWORD flags,
                     HANDLE template_file) override {
    Vanish();
    return SimWindows::CreateFileA(name, access, share, security, disposition, flags, template_file);
  }
  LRESULT SendMessageA(HWND window, UINT message, WPARAM wparam, LPARAM lparam) override {
    Vanish();
    return SimWindows::SendMessageA(window, message, wparam, lparam);
  }
  BOOL PostMessageA(HWND window, UINT message, WPARAM wparam, LPARAM lparam) override {
    Vanish();
    return SimWindows::PostMessageA(window, message, wparam, lparam);
  }

 private:
  void Vanish() {
    if (!armed_) return;
    desktop.CloseWindow(monitor);
    armed_ = false;
    vanished = true;
  }
  bool armed_ = false;
};

class HostileWindowTest : public ::testing::Test {
 protected:
  void TearDown() override {
    sim.ExpectClean();
    EXPECT_FALSE(ray.PortHandle.IsValid());
  }

  LRESULT Run(std::vector<const char*> args) {
    args.insert(args.begin(), "C:\\RAYLET\\rayctl.exe");
    return RunCommandLine(static_cast<int>(args.size()), args.data(), ray, sim, view);
  }
  void AddMonitor() { sim.monitor = sim.desktop.AddWindow("IRMON"); }
  std::string Result() const { return ray.ResultText; }
  int Closes() const {
    int n = 0;
    for (const std::string& e : view.events) n += e.rfind("close", 0) == 0;
    return n;
  }
  std::vector<sim::MessageRecord> Replies() const {
    std::vector<sim::MessageRecord> replies;
    for (const sim::MessageRecord& m : sim.desktop.Messages()) {
      if (m.message == kRunCommandLineMessage) replies.push_back(m);
    }
    return replies;
  }

  VanishingMonitorWindows sim;
  TSetRay ray{sim};
  RecordingView view;
};

const HWND kNowhere = reinterpret_cast<HWND>(static_cast<ULONG_PTR>(0x1A2B));

// --- The reply window ---

TEST_F(HostileWindowTest, ReplyToAWindowThatNeverExistedCostsNothing) {
  sim::SeedIrda(sim);  // setting on, COM4 free: "... 5"
  ASSERT_FALSE(sim.desktop.IsKnown(kNowhere));
  EXPECT_EQ(1, Run({"/E", "/H1A2B"}));
  ASSERT_EQ(1u, Replies().size());
  EXPECT_EQ((sim::MessageRecord{kNowhere, 2024, 1, 0, false}), Replies()[0]);
  EXPECT_EQ(1, Closes());
  EXPECT_EQ(0u, sim.clock.Now());
}

TEST_F(HostileWindowTest, ReplyToTheWindowOfAProgramThatHasEnded) {
  HWND caller = sim.desktop.AddWindow("Caller");
  sim.desktop.CloseWindow(caller);
  char reply[32];
  std::snprintf(reply, sizeof reply, "/H%llx",
                static_cast<unsigned long long>(reinterpret_cast<ULONG_PTR>(caller)));
  EXPECT_EQ(1, Run({"/D", reply}));  // not installed: "... 38", a success
  ASSERT_EQ(1u, Replies().size());
  EXPECT_EQ((sim::MessageRecord{caller, 2024, 1, 0, false}), Replies()[0]);
  EXPECT_EQ(1, Closes());

  // An unknown switch with the same caller: the failure reply, and closed.
  RecordingView again;
  const char* args[] = {"rayctl.exe", "/X", reply};
  RunCommandLine(3, args, ray, sim, again);
  ASSERT_EQ(2u, Replies().size());
  EXPECT_EQ(0u, Replies()[1].wparam);
  EXPECT_EQ("close 2", again.events.back());
}

TEST_F(HostileWindowTest, FailedPostOfTheReplyStillCloses) {
  sim.faults.FailCall(sim::Op::PostMessage, 1);
  EXPECT_EQ(1, Run({"/E", "/H1A2B"}));  // not installed: "... 1", a failure
  EXPECT_EQ("IrDA driver is not installed. 1", Result());
  EXPECT_EQ("caption Raylet - fault -", view.events[view.events.size() - 3]);
  EXPECT_EQ(1, Closes());
}

// --- The monitor's window goes away after discovery ---

TEST_F(HostileWindowTest, MonitorGoneBeforeTheSwitchOffCommand) {
  sim::SeedIrda(sim);
  AddMonitor();
  EXPECT_TRUE(ray.EnableDriver(false));
  EXPECT_TRUE(sim.vanished);
  EXPECT_EQ("Success! IrDA-driver is DISABLE! 44", Result());
  // The command went to a window that no longer exists; nothing waited.
  ASSERT_EQ(1u, sim.desktop.MessagesTo(sim.monitor).size());
  EXPECT_EQ(static_cast<UINT>(WM_COMMAND), sim.desktop.MessagesTo(sim.monitor)[0].message);
  EXPECT_EQ(0u, sim.clock.Now());
}

TEST_F(HostileWindowTest, MonitorGoneBeforeItsStopWhenSwitchingOn) {
  sim::SeedIrda(sim, [] {
    sim::IrdaSetup setup;
    setup.enabled = 0;
    return setup;
  }());
  AddMonitor();
  EXPECT_TRUE(ray.EnableDriver(true));
  EXPECT_TRUE(sim.vanished);
  EXPECT_EQ("Success! IrDA-driver is ENABLE! 17", Result());
  EXPECT_EQ(1u, sim.desktop.MessagesTo(sim.monitor).size());
  EXPECT_EQ(0u, sim.clock.Now());
}

TEST_F(HostileWindowTest, MonitorGoneBeforeTheKillIsPosted) {
  sim::IrdaSetup setup;
  setup.enabled = 0;
  sim::SeedIrda(sim, setup);
  AddMonitor();
  EXPECT_TRUE(ray.KillDriver());
  EXPECT_TRUE(sim.vanished);
  EXPECT_EQ("Success! Raylet kill MS IrDA-driver! 50", Result());
  EXPECT_EQ(0u, sim.clock.Now());
}

TEST_F(HostileWindowTest, MonitorGoneBeforeTheKillsOwnSwitchingOff) {
  sim::SeedIrda(sim);  // setting on: kill switches off first
  AddMonitor();
  EXPECT_FALSE(ray.KillDriver());
  EXPECT_TRUE(sim.vanished);
  // The switching off rediscovers, finds no monitor and clears the setting;
  // the caller still sees only that killing did not happen.
  EXPECT_EQ("You must do disable driver first! 51", Result());
  EXPECT_EQ(0u, *sim::IrEnabled(sim));
  EXPECT_TRUE(sim.desktop.MessagesTo(sim.monitor).empty());
}

// --- A control panel that starts and exits at once ---

TEST_F(HostileWindowTest, ControlPanelExitingAtOnceEndsTheIrmonWaitAfter9s) {
  sim::SeedIrda(sim);
  sim.ports.Spec("COM4")->held = true;  // setting on, no monitor, port busy: start the panel
  EXPECT_EQ(1, Run({"/E", "/H1A2B"}));
  EXPECT_EQ("Raylet can not activate IrDA-driver! 10", Result());
  EXPECT_EQ(9000u, sim.clock.Now());
  EXPECT_EQ(30, sim.desktop.Looks("IRMON") - 1);  // discovery's look, then the wait's
  ASSERT_EQ(1u, Replies().size());
  EXPECT_EQ(0u, Replies()[0].wparam);
  EXPECT_EQ(1, Closes());
}

TEST_F(HostileWindowTest, ControlPanelExitingAtOnceEndsTheMonitorWaitAfter6s) {
  sim::IrdaSetup setup;
  setup.enabled = 0;
  sim::SeedIrda(sim, setup);
  sim.ports.Spec("COM4")->held = true;
  EXPECT_EQ(1, Run({"/E"}));
  EXPECT_EQ("Raylet can not activate IrDA-driver! 35", Result());
  EXPECT_EQ(6000u, sim.clock.Now());
  EXPECT_EQ(0, Closes()) << "no reply window: the fault stays on screen";
}

TEST_F(HostileWindowTest, MonitorThatEndsRightAfterTheStartLeavesNoStaleHandle) {
  // The panel's monitor comes up at the first look and ends straight after:
  // the operation reports what it saw, and the next one rediscovers rather
  // than trusting the handle it stored.
  sim::IrdaSetup setup;
  setup.enabled = 0;
  sim::SeedIrda(sim, setup);
  sim.ports.Spec("COM4")->held = true;
  sim::WindowSpec spec;
  spec.starts_with_launch = true;
  HWND panel_monitor = sim.desktop.AddWindow("Infrared Monitor", spec);
  EXPECT_TRUE(ray.EnableDriver(true));
  EXPECT_EQ("Success! IrDA-driver is ENABLE! 36", Result());
  EXPECT_EQ(panel_monitor, ray.MonitorWindow);
  sim.desktop.CloseWindow(panel_monitor);

  EXPECT_TRUE(ray.KillDriver());
  EXPECT_EQ("Allready MS-IrDA was killed! 53", Result());
  EXPECT_EQ(nullptr, ray.MonitorWindow);
  EXPECT_TRUE(sim.desktop.MessagesTo(panel_monitor).empty());
}

}  // namespace
}  // namespace raylet
