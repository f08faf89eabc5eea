// What one successful probe leaves on a port, as the stand-in serial driver
// saw it arrive: the driver's virtual COM port probed while switching on
// with the setting on and no monitor (message 5).
#include <cstdio>

#include "EverydayRun.h"

namespace standin {
namespace {

using ProbeRecord = EverydayRun;

TEST_F(ProbeRecord, LeavesThePortAt9600EightNoneOneReadingAtOnce) {
  SeedInstalled(1);
  SetPorts(PortMode::kAbsent, PortMode::kFree, PortMode::kAbsent);
  PortRecord before;
  ASSERT_TRUE(ReadPortRecord("COM4", &before));

  Run('E', Way::kCaller, "Success! IrDA-driver is ENABLE! 5", true);

  PortRecord after;
  ASSERT_TRUE(ReadPortRecord("COM4", &after));
  std::printf("%s\n", FormatPortRecord(after).c_str());
  EXPECT_EQ(1u, after.opens);
  EXPECT_EQ(1u, after.closes);
  EXPECT_EQ(0u, after.open_now);
  EXPECT_EQ(1u, after.purges);
  EXPECT_EQ(15u, after.last_purge_mask);
  EXPECT_EQ(9600u, after.baud);
  EXPECT_EQ(8u, after.word_length);
  EXPECT_EQ(0u, after.parity);
  EXPECT_EQ(0u, after.stop_bits);
  // fAbortOnError arrives as the handflow's abort bit; everything else of
  // the handflow and the special characters stays as the port had it.
  EXPECT_EQ(before.control_handshake | kSerialErrorAbort, after.control_handshake);
  EXPECT_EQ(before.flow_replace, after.flow_replace);
  EXPECT_EQ(before.xon_limit, after.xon_limit);
  EXPECT_EQ(before.xoff_limit, after.xoff_limit);
  EXPECT_EQ(before.eof_char, after.eof_char);
  EXPECT_EQ(before.error_char, after.error_char);
  EXPECT_EQ(before.break_char, after.break_char);
  EXPECT_EQ(before.event_char, after.event_char);
  EXPECT_EQ(before.xon_char, after.xon_char);
  EXPECT_EQ(before.xoff_char, after.xoff_char);
  EXPECT_EQ(MAXDWORD, after.read_interval);
  EXPECT_EQ(0u, after.read_multiplier);
  EXPECT_EQ(0u, after.read_constant);
  EXPECT_EQ(0u, after.write_multiplier);
  EXPECT_EQ(0u, after.write_constant);
  EXPECT_EQ(1024u, after.in_queue);
  EXPECT_EQ(1024u, after.out_queue);
}

}  // namespace
}  // namespace standin
