// Killing the driver, and the message-spy guard of every driver operation.
#include <gtest/gtest.h>

#include <functional>

#include "sim/DriverFixture.h"

namespace raylet::sim {
namespace {

class KillTest : public DriverTest {};

TEST_F(KillTest, NoMonitorGives53AndSendsNothing) {
  SeedIrda(sim);
  EXPECT_TRUE(Kill());
  EXPECT_EQ("Allready MS-IrDA was killed! 53", Result());
  ExpectNothingDone();
}

TEST_F(KillTest, MonitorRunningWithSettingOffPostsDestroyOnceAndGives50) {
  // Kill asks nothing about the installation.
  SeedIrda(sim, {.installed = false, .virtual_com = "", .enabled = 0});
  HWND irmon = sim.desktop.AddWindow("IRMON");
  EXPECT_TRUE(Kill());
  EXPECT_EQ("Success! Raylet kill MS IrDA-driver! 50", Result());
  EXPECT_EQ((std::vector<MessageRecord>{{irmon, WM_DESTROY, 0, 0, false}}), sim.desktop.Messages());
  EXPECT_EQ(0u, Writes());
  EXPECT_TRUE(sim.ports.Creates().empty());
}

TEST_F(KillTest, SettingOnRunsTheWholeSwitchingOffAndReportsOnly51) {
  SeedIrda(sim);
  HWND irmon = sim.desktop.AddWindow("IRMON");
  EXPECT_FALSE(Kill());
  EXPECT_EQ("You must do disable driver first! 51", Result());
  // The switching off ran with its own discovery, both probes and command 113.
  EXPECT_EQ(2, sim.desktop.Looks("IRMON"));
  EXPECT_EQ(1, sim.ports.Closes("COM4"));
  EXPECT_EQ(1, sim.ports.Closes("LPT3"));
  EXPECT_EQ((std::vector<MessageRecord>{{irmon, WM_COMMAND, 113, 0, true}}), sim.desktop.Messages());
  EXPECT_EQ(0, Count(irmon, WM_DESTROY, false) + Count(irmon, WM_DESTROY, true));
}

TEST_F(KillTest, SettingOfSevenCountsAsOnAndIsRefusedWith51) {
  SeedIrda(sim, {.enabled = 7});
  HWND irmon = sim.desktop.AddWindow("IRMON");
  EXPECT_FALSE(Kill());
  EXPECT_EQ("You must do disable driver first! 51", Result());
  EXPECT_EQ(0, Count(irmon, WM_DESTROY, false));
}

TEST_F(KillTest, SettingOnWithBusyPortStillReports51) {
  SeedIrda(sim);
  sim.ports.Spec("COM4")->held = true;
  sim.desktop.AddWindow("IRMON");
  EXPECT_FALSE(Kill());
  EXPECT_EQ("You must do disable driver first! 51", Result());
  EXPECT_TRUE(sim.desktop.Messages().empty());
  EXPECT_EQ(1, sim.ports.Closes("LPT3"));
}

// ---------------------------------------------------------------- message-spy guard

struct GuardCase {
  const char* name;
  std::function<bool(TSetRay&)> run;
};

class SpyGuardTest : public DriverTest, public ::testing::WithParamInterface<GuardCase> {};

TEST_P(SpyGuardTest, TrippedGuardExplainsAndTouchesNothingElse) {
  SeedIrda(sim, {.enabled = 0});
  HWND irmon = sim.desktop.AddWindow("IRMON");
  ray.ReadState();
  std::size_t calls_before = sim.Trace().size();
  sim.message_spy_running = true;
  EXPECT_FALSE(Checked(GetParam().run));
  EXPECT_EQ("Raylet does not work while a message spy is running! 0", Result());
  EXPECT_EQ((std::vector<std::string>{"MessageSpyRunning -> true"}),
            std::vector<std::string>(sim.Trace().begin() + calls_before, sim.Trace().end()));
  EXPECT_STREQ("COM4", ray.V_COM);
  EXPECT_EQ(0u, ray.Enable);
  EXPECT_EQ(1, ray.Active);
  EXPECT_EQ(irmon, ray.MonitorWindow);
}

TEST_P(SpyGuardTest, QuietGuardLetsTheOperationRun) {
  SeedIrda(sim, {.enabled = 0});
  sim.desktop.AddWindow("IRMON");
  Checked(GetParam().run);
  EXPECT_EQ("MessageSpyRunning -> false", sim.Trace().at(0));
  EXPECT_EQ(std::string::npos, Result().find("message spy"));
  EXPECT_GT(sim.registry.OpenCount(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    EveryOperation, SpyGuardTest,
    ::testing::Values(GuardCase{"On", [](TSetRay& r) { return r.EnableDriver(true); }},
                      GuardCase{"Off", [](TSetRay& r) { return r.EnableDriver(false); }},
                      GuardCase{"Kill", [](TSetRay& r) { return r.KillDriver(); }}),
    [](const ::testing::TestParamInfo<GuardCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace raylet::sim
