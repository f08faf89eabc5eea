// The Japanese monitor's window, on a system whose ANSI code page is 932 (the
// test is registered to run under a Japanese locale): the 12 title bytes the
// program looks for must find the window titled 赤外線モニタ.
#include "StackLayout.h"
#include "StandInStackTest.h"

namespace standin {
namespace {

using JapaneseMonitorScenario = StandInStackTest;

TEST_F(JapaneseMonitorScenario, SettingOffAndJapaneseMonitorComingUpGives36) {
  ASSERT_EQ(GetACP(), 932u) << "run this test under a Japanese locale (LANG=ja_JP.UTF-8)";
  SeedInstalled(0);
  SetScenario("SJIS", 600);

  bool ok = Enable(true);

  EXPECT_RESULT(record_, ok, true, "Success! IrDA-driver is ENABLE! 36");
  EXPECT_LT(elapsed_ms(), 6000u);
  ASSERT_NE(record_.MonitorWindow, nullptr);
  wchar_t title[32] = {};
  GetWindowTextW(record_.MonitorWindow, title, 32);
  EXPECT_EQ(std::wstring(title), std::wstring(L"\u8D64\u5916\u7DDA\u30E2\u30CB\u30BF"));
  std::vector<std::string> windows = MonitorLines("WINDOW ");
  ASSERT_EQ(windows.size(), 1u);
  EXPECT_EQ(windows[0].rfind("WINDOW SJIS ", 0), 0u) << windows[0];
  EXPECT_EQ(IrEnabled(), 1);
}

}  // namespace
}  // namespace standin
