// What one successful probe leaves on a port, as the stand-in serial driver
// saw it arrive: the driver's virtual COM port probed while switching on
// with the setting on and no monitor (message 5). The whole record is
// compared: every request the probe sent, and every setting, those it left
// alone as the driver's reset gave them (115200 baud, 7 bits, even parity,
// 2 stop bits, ...).
#include "EverydayRun.h"

namespace standin {
namespace {

using ProbeRecord = EverydayRun;

TEST_F(ProbeRecord, LeavesThePortAt9600EightNoneOneReadingAtOnce) {
  SeedInstalled(1);
  SetPorts(PortMode::kAbsent, PortMode::kFree, PortMode::kAbsent);

  Run('E', Way::kCaller, "Success! IrDA-driver is ENABLE! 5", true);

  PortRecord after;
  ASSERT_TRUE(ReadPortRecord("COM4", &after));
  // fAbortOnError arrives as the handflow's abort bit (0x80000000).
  EXPECT_EQ(
      "COM4: free opens 1 closes 1 open 0 purge 1 mask 0xf getstate 1/1/1/1 setstate 1/1/1/1 "
      "baud 9600 bits 8 parity 0 stop 0 handshake 0x80000009 flow 0x41 xon 100 xoff 200 chars 1a 3f 00 7e 11 13 "
      "gettimeouts 1 settimeouts 1 timeouts ffffffff 0 0 0 0 setup 1 queues 1024 1024 other 0",
      FormatPortRecord(after));
}

}  // namespace
}  // namespace standin
