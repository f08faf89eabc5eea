// RegKey: one open key, closed exactly once whatever happens to its owner.
#include "platform/RegKey.h"

#include <gtest/gtest.h>

#include <cstring>
#include <utility>

#include "sim/SimFixture.h"

namespace raylet::sim {
namespace {

class RegKeyTest : public SimTest {
 protected:
  void SetUp() override { sim.registry.SetString(HKEY_LOCAL_MACHINE, "Enum\\Infrared\\Framer", "PortName", "COM2"); }
};

TEST_F(RegKeyTest, OpensWithFullAccessAndClosesOnceWhenItGoes) {
  {
    RegKey key(sim);
    ASSERT_TRUE(key.Open(HKEY_LOCAL_MACHINE, "Enum\\Infrared\\Framer"));
    EXPECT_TRUE(key.IsOpen());
  }
  ASSERT_EQ(1u, sim.registry.Opens().size());
  EXPECT_EQ(KEY_ALL_ACCESS, sim.registry.Opens()[0].access);
  EXPECT_EQ(0u, sim.registry.Opens()[0].options);
  EXPECT_EQ(1, sim.registry.CloseCount());
}

TEST_F(RegKeyTest, MissingKeyLeavesNothingToClose) {
  RegKey key(sim);
  EXPECT_FALSE(key.Open(HKEY_LOCAL_MACHINE, "Enum\\Infrared\\Nothing"));
  EXPECT_FALSE(key.IsOpen());
  key.Close();
  EXPECT_EQ(0, sim.registry.CloseCount());
}

TEST_F(RegKeyTest, ExplicitCloseThenDestructionClosesOnce) {
  {
    RegKey key(sim);
    ASSERT_TRUE(key.Open(HKEY_LOCAL_MACHINE, "Enum\\Infrared\\Framer"));
    key.Close();
    key.Close();
  }
  EXPECT_EQ(1, sim.registry.CloseCount());
}

TEST_F(RegKeyTest, ReopenClosesThePreviousKey) {
  RegKey key(sim);
  ASSERT_TRUE(key.Open(HKEY_LOCAL_MACHINE, "Enum\\Infrared\\Framer"));
  ASSERT_TRUE(key.Open(HKEY_LOCAL_MACHINE, "Enum\\Infrared"));
  EXPECT_EQ(1, sim.registry.OpenHandles());
}

TEST_F(RegKeyTest, MovedKeyIsClosedByItsNewOwnerOnly) {
  RegKey first(sim);
  ASSERT_TRUE(first.Open(HKEY_LOCAL_MACHINE, "Enum\\Infrared\\Framer"));
  RegKey second(std::move(first));
  EXPECT_FALSE(first.IsOpen());
  RegKey third(sim);
  ASSERT_TRUE(third.Open(HKEY_LOCAL_MACHINE, "Enum\\Infrared"));
  third = std::move(second);  // closes what third held
  EXPECT_EQ(1, sim.registry.CloseCount());
  EXPECT_EQ(1, sim.registry.OpenHandles());
}

TEST_F(RegKeyTest, QueryZeroesTheWholeBufferAndFailsWhenTheValueDoesNotFit) {
  RegKey key(sim);
  ASSERT_TRUE(key.Open(HKEY_LOCAL_MACHINE, "Enum\\Infrared\\Framer"));
  char buffer[8];
  std::memset(buffer, 'x', sizeof buffer);
  DWORD type = 0;
  ASSERT_TRUE(key.QueryValue("PortName", &type, buffer, sizeof buffer));
  EXPECT_EQ(REG_SZ, type);
  EXPECT_EQ(0, std::memcmp("COM2\0\0\0\0", buffer, sizeof buffer));
  EXPECT_FALSE(key.QueryValue("PortName", nullptr, buffer, 4));
  EXPECT_FALSE(key.QueryValue("Missing", nullptr, buffer, sizeof buffer));
  std::memset(buffer, 'x', sizeof buffer);
  EXPECT_FALSE(key.QueryValue("Missing", nullptr, buffer, sizeof buffer));
  EXPECT_EQ(0, std::memcmp("\0\0\0\0\0\0\0\0", buffer, sizeof buffer));
}

TEST_F(RegKeyTest, SetAndDeletePassThroughToTheOpenKey) {
  RegKey key(sim);
  ASSERT_TRUE(key.Open(HKEY_LOCAL_MACHINE, "Enum\\Infrared"));
  DWORD value = 3;
  EXPECT_TRUE(key.SetValue("Count", REG_DWORD, &value, sizeof value));
  EXPECT_EQ(3u, sim.registry.GetDword(HKEY_LOCAL_MACHINE, "Enum\\Infrared", "Count"));
  key.DeleteValue("Count");
  key.DeleteSubKey("Framer");
  EXPECT_FALSE(sim.registry.GetValue(HKEY_LOCAL_MACHINE, "Enum\\Infrared", "Count"));
  EXPECT_FALSE(sim.registry.KeyExists(HKEY_LOCAL_MACHINE, "Enum\\Infrared\\Framer"));
}

}  // namespace
}  // namespace raylet::sim
