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
    return Checked([&] { return ray.EnableDriver(enable); });
  }
  bool Kill() {
    return Checked([&] { return ray.KillDriver(); });
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

  TSetRay ray{sim};

 private:
  template <typename Run>
  bool Checked(Run run) {
    int keys = sim.registry.KeyCount();
    bool result = run();
    EXPECT_EQ(keys, sim.registry.KeyCount()) << "the driver created or removed a key";
    EXPECT_FALSE(ray.PortHandle.IsValid());
    return result;
  }
};

}  // namespace raylet::sim
