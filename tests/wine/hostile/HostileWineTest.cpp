// The real program against windows that do not behave: it answers a reply
// window that is gone or never existed and still ends, and a control panel
// that starts and exits at once costs no more than the 9 s wait for the
// monitor's window.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "RayctlHarness.h"

namespace cmdline {
namespace {

constexpr char kInstalled[] = "Enum\\Root\\Infrared";
constexpr char kVirtualPorts[] = "Enum\\Infrared\\VirtualPorts";
constexpr char kSetting[] = "Control Panel\\Infrared";
constexpr DWORD kEndTimeout = 20000;

class HostileWine : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { ASSERT_TRUE(InstallProgram(kProgram)); }
  void SetUp() override { ASSERT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kInstalled)) << "a driver is left in the prefix"; }
  void TearDown() override {
    DeleteTree(HKEY_LOCAL_MACHINE, kInstalled);
    DeleteTree(HKEY_LOCAL_MACHINE, kVirtualPorts);
    DeleteTree(HKEY_CURRENT_USER, kSetting);
  }

  static std::string ReplyTo(ULONG_PTR handle) {
    char text[32];
    std::snprintf(text, sizeof text, "/H%llx", static_cast<unsigned long long>(handle));
    return text;
  }

  Rayctl program;
};

TEST_F(HostileWine, ReplyToTheWindowOfAProgramThatHasEnded) {
  HWND gone = nullptr;
  {
    CallerWindow caller;
    gone = caller.handle();
  }
  ASSERT_FALSE(IsWindow(gone));
  // No driver in the prefix: disabling succeeds ("... 38") and closes.
  ASSERT_TRUE(program.Start("/D " + ReplyTo(reinterpret_cast<ULONG_PTR>(gone))));
  ASSERT_TRUE(program.WaitForEnd(kEndTimeout)) << "the program did not end";
  EXPECT_EQ(0u, program.ExitCode());
}

TEST_F(HostileWine, ReplyToAWindowThatNeverExisted) {
  ASSERT_FALSE(IsWindow(reinterpret_cast<HWND>(static_cast<ULONG_PTR>(0x7A3B1C))));
  // Enabling without a driver fails ("... 1"): the failure reply, then the end.
  ASSERT_TRUE(program.Start("/E /H7A3B1C"));
  ASSERT_TRUE(program.WaitForEnd(kEndTimeout)) << "the program did not end";
  EXPECT_EQ(1u, program.ExitCode());
}

TEST_F(HostileWine, ControlPanelThatExitsAtOnceCostsTheIrmonWaitOnly) {
  // The driver's keys with ports that do not exist, the setting on and no
  // monitor: enabling starts the control panel, which finds no infrared.cpl
  // and ends at once, so no monitor window ever comes.
  FileGuard applet({SystemDir() + "\\infrared.cpl"});
  SetValue(HKEY_LOCAL_MACHINE, kInstalled, "Class", REG_SZ, std::string("Infrared", 9));
  SetValue(HKEY_LOCAL_MACHINE, kVirtualPorts, "VirtualComPortName", REG_SZ, std::string("COM7", 5));
  SetValue(HKEY_LOCAL_MACHINE, kVirtualPorts, "VirtualLptPortName", REG_SZ, std::string("LPT7", 5));
  DWORD on = 1;
  SetValue(HKEY_CURRENT_USER, kSetting, "IrEnabled", REG_DWORD, std::string(reinterpret_cast<char*>(&on), 4));
  ASSERT_EQ(nullptr, FindWindowA(nullptr, "IRMON"));

  CallerWindow caller;
  DWORD start = GetTickCount();
  ASSERT_TRUE(program.Start("/E " + caller.ReplyArgument()));
  ASSERT_TRUE(program.WaitForEnd(40000)) << "the program did not end";
  DWORD elapsed = GetTickCount() - start;
  Pump(200);
  ASSERT_EQ(1u, caller.replies.size());
  EXPECT_EQ(0u, caller.replies[0].wparam);
  EXPECT_EQ(1u, program.ExitCode());
  // 30 looks 300 ms apart, plus the start and end of two programs.
  EXPECT_GE(elapsed, 8900u);
  EXPECT_LT(elapsed, 25000u);
}

}  // namespace
}  // namespace cmdline
