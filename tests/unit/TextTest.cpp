#include "platform/Text.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>

#include "sim/StackPoison.h"

namespace raylet::text {
namespace {

TEST(Text, CopyAndAppendNeverOverrunAndReportTruncation) {
  char buffer[8];
  std::memset(buffer, 'x', sizeof buffer);
  EXPECT_TRUE(Copy(buffer, sizeof buffer, "abc"));
  EXPECT_STREQ("abc", buffer);
  EXPECT_TRUE(Append(buffer, sizeof buffer, "defg"));
  EXPECT_STREQ("abcdefg", buffer);
  EXPECT_FALSE(Append(buffer, sizeof buffer, "h"));
  EXPECT_STREQ("abcdefg", buffer);
  EXPECT_FALSE(Copy(buffer, 4, "abcdef"));
  EXPECT_STREQ("abc", buffer);
}

TEST(Text, UpperCaseChangesOnlyAsciiLetters) {
  char s[] = "com4 \x90\xd4\x8a\x4f z{`";
  UpperCase(s);
  EXPECT_STREQ("COM4 \x90\xd4\x8a\x4f Z{`", s);
}

TEST(Text, ParseHexReadsLikeScanfPercentX) {
  uint32_t value = 7;
  EXPECT_TRUE(ParseHex("1A2B", &value));
  EXPECT_EQ(0x1A2Bu, value);
  EXPECT_TRUE(ParseHex("ff!zz", &value));
  EXPECT_EQ(0xFFu, value);
  value = 7;
  EXPECT_FALSE(ParseHex("", &value));
  EXPECT_FALSE(ParseHex("g1", &value));
  EXPECT_EQ(7u, value);
  EXPECT_TRUE(ParseHex("123456789", &value));
  EXPECT_EQ(0x23456789u, value);
  EXPECT_TRUE(ParseHex(" 0x1a2b", &value));
  EXPECT_EQ(0x1A2Bu, value);
  EXPECT_TRUE(ParseHex("0x", &value));
  EXPECT_EQ(0u, value);
  EXPECT_TRUE(ParseHex("-1", &value));
  EXPECT_EQ(0xFFFFFFFFu, value);
  value = 7;
  EXPECT_FALSE(ParseHex("-", &value));
  EXPECT_FALSE(ParseHex("x12", &value));
  EXPECT_EQ(7u, value);
}

TEST(Text, LengthsAndEmptyBuffers) {
  EXPECT_EQ(0u, Length(""));
  EXPECT_EQ(3u, Length("COM"));
  EXPECT_EQ(3u, BoundedLength("COM4", 3));
  EXPECT_EQ(2u, BoundedLength("CO", 3));
  char buffer[2] = {'x', 'x'};
  EXPECT_FALSE(Copy(buffer, 0, ""));
  EXPECT_FALSE(Append(buffer, 0, ""));
  EXPECT_EQ('x', buffer[0]) << "a buffer of no bytes is never written";
  EXPECT_TRUE(Copy(buffer, 1, ""));
  EXPECT_STREQ("", buffer);
  EXPECT_TRUE(Append(buffer, 1, ""));
}

// The C library is the reference for what "%x" reads after the prefix.
TEST(Text, ParseHexAgreesWithScanf) {
  for (const char* s : {"1a2B", "\t1a", "\n1a", "\v1a", "\f1a", "\r1a", "  +ff", "-10", "0x01", "0X1A", "0x1g",
                        "0xg", "0x", "00x5", "-0x10", "+-1", "ffffffff", "fffffffff", "7fffffffffffffff", "g"}) {
    unsigned int expected = 0;
    bool parses = std::sscanf(s, "%x", &expected) == 1;
    uint32_t value = 0;
    EXPECT_EQ(parses, ParseHex(s, &value)) << s;
    if (parses) EXPECT_EQ(expected, value) << s;
  }
}

TEST(Text, FormatsPaddedNumbers) {
  char buffer[16];
  sim::PoisonStack();  // a digit read from beyond the number would show
  EXPECT_STREQ("0007", FormatDecimal(buffer, sizeof buffer, 7, 4));
  EXPECT_STREQ("0019", FormatDecimal(buffer, sizeof buffer, 19, 4));
  EXPECT_STREQ("041103a4", FormatHex(buffer, sizeof buffer, 0x041103A4, 8));
  EXPECT_STREQ("12", FormatDecimal(buffer, 3, 12345, 0));
  EXPECT_STREQ("", FormatHex(buffer, 1, 0x12, 0));
  char wide[32];
  EXPECT_STREQ("0000000000000005", FormatDecimal(wide, sizeof wide, 5, 20)) << "at most 16 digits";
  char padded[8];
  std::memset(padded, 'x', sizeof padded);
  FormatDecimal(padded, sizeof padded, 7, 4);
  EXPECT_EQ(std::string("0007\0xxx", 8), std::string(padded, 8)) << "nothing written past the terminator";
  char untouched[2] = {'x', 'x'};
  FormatHex(untouched, 0, 0x12, 2);
  EXPECT_EQ('x', untouched[0]);
}

TEST(Text, EqualAndStartsWith) {
  EXPECT_TRUE(Equal("IRMINI", "IRMINI"));
  EXPECT_FALSE(Equal("IRMINI2", "IRMINI"));
  EXPECT_FALSE(Equal("IRMINI", "IRMINI2"));
  EXPECT_TRUE(StartsWith("/Enable", "/E"));
  EXPECT_FALSE(StartsWith("/e", "/E"));
  EXPECT_FALSE(StartsWith("/", "/E"));
}

}  // namespace
}  // namespace raylet::text
