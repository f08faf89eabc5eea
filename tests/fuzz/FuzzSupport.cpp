#include "FuzzSupport.h"

#include <cstring>

namespace raylet::fuzz {

int CheckResultText(const char (&text)[1000], DriverOp op, bool result, const sim::SimWindows& sim) {
  const void* end = std::memchr(text, '\0', sizeof text);
  Check(end != nullptr, "ResultText has no terminator inside its 1000 bytes", &sim);
  std::string message(text);

  // " <number>" at the end, digits only.
  std::size_t blank = message.rfind(' ');
  Check(blank != std::string::npos && blank + 1 < message.size(), "ResultText has no number: " + message, &sim);
  for (std::size_t i = blank + 1; i < message.size(); ++i) {
    Check(message[i] >= '0' && message[i] <= '9', "ResultText does not end with a number: " + message, &sim);
  }

  const KnownMessage* found = nullptr;
  for (const KnownMessage& known : kMessages) {
    if (message == known.text) found = &known;
  }
  Check(found != nullptr, "ResultText is not one whole message: " + sim::Printable(message), &sim);
  Check((found->ops & (1u << static_cast<int>(op))) != 0,
        "message " + std::to_string(found->number) + " from the wrong operation", &sim);
  Check(found->result == result,
        "message " + std::to_string(found->number) + " with the result " + (result ? "true" : "false"), &sim);
  return found->number;
}

}  // namespace raylet::fuzz
