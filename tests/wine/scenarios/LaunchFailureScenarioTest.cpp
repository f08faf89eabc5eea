// The control panel start failing for real: CONTROL.EXE missing from the
// system folder, or a file by that name that is no program found first.
#include "ControlExeGuard.h"
#include "StandInStackTest.h"

namespace standin {
namespace {

class LaunchFailureScenario : public StandInStackTest {};

// Wine's WinExec returns 2 (file not found) when no CONTROL.EXE exists.
TEST_F(LaunchFailureScenario, ControlExeMissingWithSettingOnGives8) {
  SeedInstalled(1);
  ControlExeRenamed renamed;
  ASSERT_TRUE(renamed.moved()) << "cannot rename " << ControlExe();

  bool ok = Enable(true);

  EXPECT_RESULT(record_, ok, false, "The specified file was not found! 8");
  EXPECT_FALSE(ControlPanelStarted());
  EXPECT_EQ(IrEnabled(), 1);
}

TEST_F(LaunchFailureScenario, ControlExeMissingWithSettingOffGives33AndKeepsTheSettingOn) {
  SeedInstalled(0);
  ControlExeRenamed renamed;
  ASSERT_TRUE(renamed.moved()) << "cannot rename " << ControlExe();

  bool ok = Enable(true);

  EXPECT_RESULT(record_, ok, false, "The specified file was not found! 33");
  EXPECT_FALSE(ControlPanelStarted());
  EXPECT_EQ(IrEnabled(), 1);
  EXPECT_EQ(record_.Enable, 1u);
}

// Wine's WinExec returns 11 (bad format) for a CONTROL.EXE that is no program.
TEST_F(LaunchFailureScenario, ControlExeNoProgramWithSettingOnGives7) {
  SeedInstalled(1);
  BogusControlExe bogus;
  ASSERT_TRUE(bogus.ready());

  bool ok = Enable(true);

  EXPECT_RESULT(record_, ok, false, "Non-Win32 .EXE or error in .EXE image! 7");
  EXPECT_FALSE(ControlPanelStarted());
}

TEST_F(LaunchFailureScenario, ControlExeNoProgramWithSettingOffGives32) {
  SeedInstalled(0);
  BogusControlExe bogus;
  ASSERT_TRUE(bogus.ready());

  bool ok = Enable(true);

  EXPECT_RESULT(record_, ok, false, "Non-Win32 .EXE or error in .EXE image! 32");
  EXPECT_FALSE(ControlPanelStarted());
  EXPECT_EQ(IrEnabled(), 1);
}

}  // namespace
}  // namespace standin
