// The two-stage removal across a real restart of the prefix. restart.sh runs
// the stages as separate programs around the restart:
//   Restart.StageOne   seeds a full install, presses Remove and answers OK
//   (ExitWindowsEx starts Wine's restart, wineboot, which runs the RunOnce
//   command; restart.sh waits for it, and restarts by itself only if the
//   command is still pending)
//   Restart.StageTwo   checks what the stored command did (what is left, the
//   runner's reset before the next test removes)
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "RayctlHarness.h"

namespace cmdline {
namespace {

const HKEY kLM = HKEY_LOCAL_MACHINE;

std::vector<std::string> Unrelated() {
  return {WindowsDir() + "\\IRXFER.EXE.keep", WindowsDir() + "\\SendTo\\Other.lnk", SystemDir() + "\\IRMON.DLL",
          WindowsDir() + "\\MEDIA\\RAYLET_KEEP.WAV"};
}

std::string RunOnceText() {
  Value value = {};
  if (!GetValue(kLM, kRunOnceKey, "RayCtl", &value)) return "(none)";
  return value.data.substr(0, value.data.find('\0'));
}

TEST(Restart, StageOne) {
  ASSERT_TRUE(InstallProgram(kProgram));
  ASSERT_TRUE(SeedDriverInstall());
  for (const std::string& path : DriverFiles()) ASSERT_TRUE(MakeFile(path)) << path;
  for (const std::string& path : Unrelated()) ASSERT_TRUE(MakeFile(path)) << path;

  Rayctl program;
  ASSERT_TRUE(program.Start(""));
  ASSERT_NE(nullptr, program.MainWindow());
  ASSERT_TRUE(program.Press(106, false));
  HWND box = program.FindTopLevel("Notice!", 20000);
  ASSERT_NE(nullptr, box) << "no restart question";
  EXPECT_EQ("Restart Windows!", Rayctl::BoxText(box));
  std::string stored = RunOnceText();
  std::printf("stage one: RunOnce RayCtl = [%s]\n", stored.c_str());
  EXPECT_EQ("C:\\raylet\\rayctl.exe /F", stored);
  for (const std::string& path : DriverFiles()) {
    EXPECT_EQ(path != SystemDir() + "\\INFRARED.CPL", FileExists(path)) << path;
  }
  std::printf("stage one: answering OK\n");
  std::fflush(stdout);
  PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  // The restart ends every program of the session, this one perhaps too.
  bool ended = program.WaitForEnd(30000);
  std::printf("stage one: rayctl %s (exit code %lu)\n", ended ? "ended" : "still runs",
              static_cast<unsigned long>(program.ExitCode()));
  EXPECT_TRUE(ended);
}

// Succeeds while the RunOnce command still waits for a restart.
TEST(Restart, CommandPending) {
  std::printf("RunOnce RayCtl = [%s]\n", RunOnceText().c_str());
  Value value = {};
  EXPECT_TRUE(GetValue(kLM, kRunOnceKey, "RayCtl", &value));
}

TEST(Restart, StageTwo) {
  std::printf("stage two: RunOnce RayCtl = [%s]\n", RunOnceText().c_str());
  Value value = {};
  EXPECT_FALSE(GetValue(kLM, kRunOnceKey, "RayCtl", &value)) << "RayCtl still stands in RunOnce";
  int left = 0;
  for (const std::string& path : DriverFiles()) {
    EXPECT_FALSE(FileExists(path)) << path;
    left += FileExists(path) ? 1 : 0;
  }
  std::printf("stage two: %d of 22 driver files left\n", left);
  for (const std::string& path : Unrelated()) EXPECT_TRUE(FileExists(path)) << path;
  EXPECT_FALSE(KeyExists(kLM, "Enum\\Root\\Infrared"));
  EXPECT_TRUE(KeyExists(kLM, "Enum\\Infrared\\Framer")) << "keys outside the removal stay";
}

}  // namespace
}  // namespace cmdline
