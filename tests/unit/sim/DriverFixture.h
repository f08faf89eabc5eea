// Fixture for the driver's tests: a simulated Windows, the record under test,
// and checks that hold for every driver operation (no rule broken, no key
// created or removed).
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "driver/TSetRay.h"
#include "sim/IrdaStack.h"
#include "sim/SimFixture.h"

namespace raylet::sim {

class DriverTest : public SimTest {
 protected:
  bool Enable(bool enable) {
    return Checked([&](TSetRay& r) { return r.EnableDriver(enable); });
  }
  bool Kill() {
    return Checked([](TSetRay& r) { return r.KillDriver(); });
  }
  std::string Result() const { return ray.ResultText; }

  // Messages the program sent (true) or posted (false) to `window`.
  int Count(HWND window, UINT message, bool sent) const {
    int n = 0;
    for (const MessageRecord& m : sim.desktop.MessagesTo(window)) n += (m.message == message && m.sent == sent);
    return n;
  }
  // Changes of registry values by the program.
  std::size_t Writes() const { return sim.registry.Changes().size(); }
  // The operation stopped before acting: nothing written, no port opened,
  // no message, no program started, no wait.
  void ExpectNothingDone() const {
    EXPECT_EQ(0u, Writes());
    EXPECT_TRUE(sim.ports.Creates().empty());
    EXPECT_TRUE(sim.desktop.Messages().empty());
    EXPECT_TRUE(sim.desktop.Launches().empty());
    EXPECT_EQ(0u, sim.clock.Now());
  }
  // The one control panel start, hidden.
  void ExpectControlPanelStarted() const {
    ASSERT_EQ(1u, sim.desktop.Launches().size());
    EXPECT_EQ("CONTROL.EXE INFRARED.CPL", sim.desktop.Launches()[0].command_line);
    EXPECT_EQ(static_cast<UINT>(SW_HIDE), sim.desktop.Launches()[0].show);
  }
  // "IrEnabled" was written once, as a 4-byte REG_DWORD of `value`.
  void ExpectSettingWritten(DWORD value) const {
    ASSERT_EQ(1u, Writes());
    const RegChange& change = sim.registry.Changes()[0];
    EXPECT_EQ(RegChange::kSetValue, change.kind);
    EXPECT_EQ(kSettingKeyPath, change.key);
    EXPECT_EQ("IrEnabled", change.name);
    EXPECT_EQ(REG_DWORD, change.type);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&value), 4), change.data);
    EXPECT_EQ(value, IrEnabled(sim));
  }

  TSetRay ray{sim};

  // Runs one driver operation and checks what must hold after any of them.
  template <typename Run>
  bool Checked(Run run) {
    int keys = sim.registry.KeyCount();
    bool result = run(ray);
    EXPECT_EQ(keys, sim.registry.KeyCount()) << "the driver created or removed a key";
    EXPECT_FALSE(ray.PortHandle.IsValid());
    return result;
  }
};

}  // namespace raylet::sim
