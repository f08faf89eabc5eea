// ScopedHandle: one open port, closed exactly once whatever happens to its
// owner.
#include "platform/ScopedHandle.h"

#include <gtest/gtest.h>

#include <utility>

#include "sim/SimFixture.h"

namespace raylet::sim {
namespace {

class ScopedHandleTest : public SimTest {
 protected:
  void SetUp() override {
    sim.ports.AddPort("COM1");
    sim.ports.AddPort("COM2");
  }
  HANDLE Open(const char* port) {
    return sim.CreateFileA(port, GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  }
};

TEST_F(ScopedHandleTest, ResetClosesWhatItHeldBefore) {
  ScopedHandle handle(sim);
  handle.Reset(Open("COM1"));
  handle.Reset(Open("COM2"));
  EXPECT_FALSE(sim.ports.IsOpen("COM1"));
  EXPECT_TRUE(sim.ports.IsOpen("COM2"));
  handle.Close();
  EXPECT_FALSE(handle.IsValid());
  EXPECT_EQ(1, sim.ports.Closes("COM2"));
}

TEST_F(ScopedHandleTest, MoveAssignmentClosesTheTargetsHandleAndTakesTheOther) {
  ScopedHandle target(sim);
  target.Reset(Open("COM1"));
  ScopedHandle source(sim);
  source.Reset(Open("COM2"));
  target = std::move(source);
  EXPECT_FALSE(sim.ports.IsOpen("COM1"));
  EXPECT_TRUE(sim.ports.IsOpen("COM2"));
  EXPECT_FALSE(source.IsValid());  // NOLINT(bugprone-use-after-move): a moved-from owner holds nothing
  EXPECT_TRUE(target.IsValid());
  target = std::move(target);  // NOLINT(clang-diagnostic-self-move): moving onto itself keeps the port
  EXPECT_TRUE(sim.ports.IsOpen("COM2"));
  EXPECT_TRUE(target.IsValid());
}

TEST_F(ScopedHandleTest, ReleaseGivesThePortUpWithoutClosingIt) {
  ScopedHandle handle(sim);
  handle.Reset(Open("COM1"));
  HANDLE port = handle.Release();
  EXPECT_FALSE(handle.IsValid());
  EXPECT_TRUE(sim.ports.IsOpen("COM1"));
  sim.CloseHandle(port);
}

}  // namespace
}  // namespace raylet::sim
