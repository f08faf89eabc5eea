// The driver operations refuse to run while Microsoft Spy++ is up, and say so
// instead of leaving an earlier operation's text under a fault caption.
#include "StandInStackTest.h"

namespace standin {
namespace {

constexpr char kGuardText[] = "Raylet does not work while a message spy is running! 0";

class SpyGuardScenario : public StandInStackTest {
 protected:
  void SetUp() override {
    StandInStackTest::SetUp();
    // Setting off with a monitor running: unguarded, switching on would stop
    // the monitor and kill would post it WM_DESTROY.
    SeedInstalled(0);
    monitor_ = StartMonitor("IRMON");
    StartMonitor("SPY");
  }

  void ExpectNothingTouched() {
    EXPECT_EQ(IrEnabled(), 0);
    EXPECT_FALSE(WaitForNoWindow("IRMON", 300));
    EXPECT_EQ(FindWindowA(nullptr, "IRMON"), monitor_);
    EXPECT_TRUE(MonitorLines("WM_").empty());
    EXPECT_FALSE(ControlPanelStarted());
  }

  HWND monitor_ = nullptr;
};

TEST_F(SpyGuardScenario, EnableRefusesAndSaysWhy) {
  bool ok = Enable(true);

  EXPECT_RESULT(record_, ok, false, kGuardText);
  ExpectNothingTouched();
}

TEST_F(SpyGuardScenario, DisableRefusesAndSaysWhy) {
  bool ok = Enable(false);

  EXPECT_RESULT(record_, ok, false, kGuardText);
  ExpectNothingTouched();
}

TEST_F(SpyGuardScenario, KillRefusesAndSaysWhy) {
  bool ok = Kill();

  EXPECT_RESULT(record_, ok, false, kGuardText);
  ExpectNothingTouched();
}

}  // namespace
}  // namespace standin
