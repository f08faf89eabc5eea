// Scripted windows, program starts, boxes and the clock of the simulated
// Windows: the driver's waits are asserted on these, so they must be exact.
#include <gtest/gtest.h>

#include "sim/SimWindows.h"

namespace raylet::sim {
namespace {

TEST(SimDesktop, FindWindowMatchesTitleCaseInsensitivelyAndCountsLooks) {
  SimWindows sim;
  HWND irmon = sim.desktop.AddWindow("IRMON");
  HWND japanese = sim.desktop.AddWindow("\x90\xD4\x8A\x4F\x90\xFC\x83\x82\x83\x6A\x83\x5E");
  EXPECT_EQ(irmon, sim.FindWindowA(nullptr, "irmon"));
  EXPECT_EQ(irmon, sim.FindWindowA("#32770", "IRMON"));
  EXPECT_EQ(nullptr, sim.FindWindowA("Other", "IRMON"));
  EXPECT_EQ(nullptr, sim.FindWindowA(nullptr, "IRMON2"));
  EXPECT_EQ(japanese, sim.FindWindowA(nullptr, "\x90\xD4\x8A\x4F\x90\xFC\x83\x82\x83\x6A\x83\x5E"));
  // Trail bytes that look like ASCII letters are not folded.
  EXPECT_EQ(nullptr, sim.FindWindowA(nullptr, "\x90\xD4\x8A\x6F\x90\xFC\x83\x82\x83\x4A\x83\x5E"));
  EXPECT_EQ(2, sim.desktop.Looks("IRMON"));
  EXPECT_EQ(1, sim.desktop.Looks("irmon"));
}

TEST(SimDesktop, WindowAppearsAtItsLookOrAfterItsDelay) {
  SimWindows sim;
  HWND late = sim.desktop.AddWindow("IRMON", {.appear_at_look = 3});
  HWND slow = sim.desktop.AddWindow("Infrared Monitor", {.appear_after_ms = 600});
  EXPECT_EQ(nullptr, sim.FindWindowA(nullptr, "IRMON"));
  EXPECT_EQ(nullptr, sim.FindWindowA(nullptr, "IRMON"));
  EXPECT_EQ(late, sim.FindWindowA(nullptr, "IRMON"));
  EXPECT_EQ(late, sim.FindWindowA(nullptr, "IRMON"));
  EXPECT_EQ(nullptr, sim.FindWindowA(nullptr, "Infrared Monitor"));
  sim.Sleep(300);
  EXPECT_EQ(nullptr, sim.FindWindowA(nullptr, "Infrared Monitor"));
  sim.Sleep(300);
  EXPECT_EQ(slow, sim.FindWindowA(nullptr, "Infrared Monitor"));
  EXPECT_EQ(600u, sim.clock.Now());
  EXPECT_EQ(2, sim.clock.SleepCount());
}

TEST(SimDesktop, LaunchStartsScriptedWindowAndDestroyClosesIt) {
  SimWindows sim;
  HWND monitor = sim.desktop.AddWindow("IRMON", {.starts_with_launch = true, .appear_at_look = 2});
  EXPECT_EQ(nullptr, sim.FindWindowA(nullptr, "IRMON"));
  sim.desktop.SetLaunchResult(2);
  EXPECT_EQ(2u, sim.WinExec("CONTROL.EXE INFRARED.CPL", SW_HIDE));
  EXPECT_EQ(nullptr, sim.FindWindowA(nullptr, "IRMON"));
  sim.desktop.SetLaunchResult(33);
  EXPECT_EQ(33u, sim.WinExec("CONTROL.EXE INFRARED.CPL", SW_HIDE));
  EXPECT_EQ(nullptr, sim.FindWindowA(nullptr, "IRMON"));  // looks count from the start
  EXPECT_EQ(monitor, sim.FindWindowA(nullptr, "IRMON"));
  ASSERT_EQ(2u, sim.desktop.Launches().size());
  EXPECT_EQ("CONTROL.EXE INFRARED.CPL", sim.desktop.Launches()[1].command_line);

  sim.SendMessageA(monitor, WM_COMMAND, 113, 0);
  EXPECT_TRUE(sim.desktop.IsOpen(monitor));
  sim.SendMessageA(monitor, WM_DESTROY, 0, 0);
  EXPECT_FALSE(sim.desktop.IsOpen(monitor));
  EXPECT_EQ(nullptr, sim.FindWindowA(nullptr, "IRMON"));
  EXPECT_FALSE(sim.PostMessageA(monitor, WM_DESTROY, 0, 0));
  std::vector<MessageRecord> expected = {{monitor, WM_COMMAND, 113, 0, true},
                                         {monitor, WM_DESTROY, 0, 0, true},
                                         {monitor, WM_DESTROY, 0, 0, false}};
  EXPECT_EQ(expected, sim.desktop.MessagesTo(monitor));
}

TEST(SimDesktop, BoxesAnswerAsScriptedAndHookSeesThemUp) {
  SimWindows sim;
  sim.desktop.AnswerBoxes({IDCANCEL});
  std::vector<std::string> seen;
  sim.desktop.on_box = [&](const MessageBoxRecord& box) { seen.push_back(box.text); };
  EXPECT_EQ(IDCANCEL, sim.MessageBoxExA(nullptr, "Restart Windows!", "Notice!", MB_OKCANCEL, 0));
  EXPECT_EQ(IDOK, sim.MessageBoxA(nullptr, "fault SetupComm", "Error", 0x2030));
  ASSERT_EQ(2u, sim.desktop.Boxes().size());
  EXPECT_TRUE(sim.desktop.Boxes()[0].ex);
  EXPECT_EQ(0x2030u, sim.desktop.Boxes()[1].style);
  EXPECT_EQ((std::vector<std::string>{"Restart Windows!", "fault SetupComm"}), seen);
}

TEST(SimFiles, FoldersBehaveLikeWindowsOnShortBuffers) {
  SimWindows sim;
  sim.files.AddFile("C:\\WINDOWS\\SYSTEM\\IRMON.EXE");
  EXPECT_TRUE(sim.DeleteFileA("c:\\windows\\system\\irmon.exe"));
  EXPECT_FALSE(sim.DeleteFileA("C:\\WINDOWS\\SYSTEM\\IRMON.EXE"));
  EXPECT_EQ(2u, sim.files.Deletes().size());
  char buffer[8] = "unset";
  EXPECT_EQ(18u, sim.GetSystemDirectoryA(buffer, sizeof buffer));
  EXPECT_STREQ("unset", buffer);
  char big[64] = {};
  EXPECT_EQ(10u, sim.GetWindowsDirectoryA(big, sizeof big));
  EXPECT_STREQ("C:\\WINDOWS", big);
  EXPECT_EQ(8u, sim.GetModuleFileNameA(nullptr, buffer, sizeof buffer));
  EXPECT_STREQ("C:\\RAYL", buffer);
}

}  // namespace
}  // namespace raylet::sim
