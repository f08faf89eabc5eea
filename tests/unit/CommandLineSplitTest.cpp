#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "shell/logic/CommandLineSplit.h"

namespace raylet {
namespace {

constexpr int kMaxArgs = 8;

// Splits with generous room and checks the terminating null pointer.
std::vector<std::string> Split(const char* line, std::size_t buffer_size = 256, int max_args = kMaxArgs) {
  std::vector<char> buffer(buffer_size + 1, '#');
  char* argv[kMaxArgs + 2];
  for (char*& arg : argv) arg = reinterpret_cast<char*>(&argv);  // not null: the splitter must set it
  int count = SplitCommandLine(line, buffer.data(), buffer_size, argv, max_args);
  EXPECT_EQ(nullptr, argv[count]) << line;
  EXPECT_EQ('#', buffer[buffer_size]) << "wrote past the buffer for " << line;
  std::vector<std::string> args;
  for (int i = 0; i < count; ++i) args.emplace_back(argv[i]);
  return args;
}

using Args = std::vector<std::string>;

TEST(CommandLineSplit, BlanksAndTabsSeparateAndRunsOfThemCountOnce) {
  EXPECT_EQ((Args{"rayctl.exe", "/K", "/H1a2b"}), Split("rayctl.exe /K /H1a2b"));
  EXPECT_EQ((Args{"rayctl.exe", "/K", "/H1a2b"}), Split("rayctl.exe \t  /K\t\t/H1a2b  \t "));
  EXPECT_EQ((Args{"rayctl.exe"}), Split("rayctl.exe   "));
  EXPECT_EQ((Args{"rayctl.exe"}), Split("rayctl.exe"));
}

TEST(CommandLineSplit, ProgramNameTakesQuotesWithoutEscapes) {
  EXPECT_EQ((Args{"C:\\Program Files\\Raylet\\rayctl.exe", "/E"}),
            Split("\"C:\\Program Files\\Raylet\\rayctl.exe\" /E"));
  // Backslashes before a quote in the name stay as they are; the quote ends it.
  EXPECT_EQ((Args{"C:\\dir\\", "/D"}), Split("\"C:\\dir\\\" /D"));
  // An unquoted name keeps quotes and backslashes literally.
  EXPECT_EQ((Args{"a\\\"b", "c"}), Split("a\\\"b c"));
  // The closing quote ends the name even without a blank after it.
  EXPECT_EQ((Args{"prog", "arg"}), Split("\"prog\"arg"));
  EXPECT_EQ((Args{"unterminated name"}), Split("\"unterminated name"));
  EXPECT_EQ((Args{"", "/K"}), Split(" /K"));
}

TEST(CommandLineSplit, QuotesGroupAndBackslashesEscapeOnlyBeforeAQuote) {
  // The examples Microsoft gives for its C runtime.
  EXPECT_EQ((Args{"p", "abc", "d", "e"}), Split("p \"abc\" d e"));
  EXPECT_EQ((Args{"p", "a\\\\\\b", "de fg", "h"}), Split("p a\\\\\\b d\"e f\"g h"));
  EXPECT_EQ((Args{"p", "a\\\"b", "c", "d"}), Split("p a\\\\\\\"b c d"));
  EXPECT_EQ((Args{"p", "a\\\\b c", "d", "e"}), Split("p a\\\\\\\\\"b c\" d e"));
  // Inside quotes "" is one literal quote and the quoted part goes on.
  EXPECT_EQ((Args{"p", "ab\" c d"}), Split("p a\"b\"\" c d"));
  EXPECT_EQ((Args{"p", "say \"hi\" now"}), Split("p \"say \"\"hi\"\" now\""));
  // Outside quotes "" is an empty quoted part.
  EXPECT_EQ((Args{"p", "", "x"}), Split("p \"\" x"));
  EXPECT_EQ((Args{"p", "ab"}), Split("p a\"\"b"));
  // An unclosed quote runs to the end, blanks and tabs included.
  EXPECT_EQ((Args{"p", "a b\t c "}), Split("p \"a b\t c "));
  // Trailing backslashes without a quote are literal.
  EXPECT_EQ((Args{"p", "C:\\dir\\\\"}), Split("p C:\\dir\\\\"));
}

TEST(CommandLineSplit, ArgumentsPastTheCountAreDropped) {
  EXPECT_EQ((Args{"p", "1", "2"}), Split("p 1 2 3 4", 256, 3));
  EXPECT_EQ((Args{"p"}), Split("p 1", 256, 1));
  EXPECT_EQ((Args{}), Split("p 1", 256, 0));
}

TEST(CommandLineSplit, AnArgumentThatDoesNotFitIsDroppedWithEverythingAfterIt) {
  // "p" "12" "345" need 2 + 3 + 4 bytes.
  EXPECT_EQ((Args{"p", "12", "345"}), Split("p 12 345", 9));
  EXPECT_EQ((Args{"p", "12"}), Split("p 12 345", 8));
  EXPECT_EQ((Args{"p", "12"}), Split("p 12 345 6", 8));
  EXPECT_EQ((Args{"p"}), Split("p 12 345", 4));
  EXPECT_EQ((Args{"p"}), Split("p 12 345", 2));
  EXPECT_EQ((Args{}), Split("p 12 345", 1));
  EXPECT_EQ((Args{}), Split("program", 4));
  // Escapes count by what they produce.
  EXPECT_EQ((Args{"p", "\"\""}), Split("p \\\"\\\"", 5));
}

TEST(CommandLineSplit, NoBufferOrNoLineGivesNoArguments) {
  char buffer[16];
  char* argv[4] = {buffer, buffer, buffer, buffer};
  EXPECT_EQ(0, SplitCommandLine(nullptr, buffer, sizeof buffer, argv, 3));
  EXPECT_EQ(nullptr, argv[0]);
  argv[0] = buffer;
  EXPECT_EQ(0, SplitCommandLine("p 1", buffer, 0, argv, 3));
  EXPECT_EQ(nullptr, argv[0]);
  EXPECT_EQ(0, SplitCommandLine("p 1", nullptr, 16, argv, 3));
  EXPECT_EQ(Args{""}, Split(""));
  EXPECT_EQ(0, SplitCommandLine("p 1", buffer, sizeof buffer, nullptr, 3));
  EXPECT_EQ(0, SplitCommandLine("p 1", buffer, sizeof buffer, argv, -1));
}

// Once the buffer is full, even an empty argument has no room for its
// terminator.
TEST(CommandLineSplit, FullBufferTakesNoEmptyArgument) {
  char buffer[4] = {'x', 'x', 'x', 'x'};
  char* argv[4] = {};
  EXPECT_EQ(1, SplitCommandLine("a \"\"", buffer, 2, argv, 3));
  EXPECT_STREQ("a", argv[0]);
  EXPECT_EQ(nullptr, argv[1]);
  EXPECT_EQ('x', buffer[2]) << "nothing written past the buffer";
}

}  // namespace
}  // namespace raylet
