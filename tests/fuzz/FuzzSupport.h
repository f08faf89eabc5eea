// What the fuzz targets share: a reader that turns the fuzzer's bytes into
// decisions and byte strings, the invariant check that stops the run, and
// the check of the result text against the known messages.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "KnownMessages.h"
#include "sim/SimWindows.h"

namespace raylet::fuzz {

// Reads the input from the front; once it is used up every read gives 0, so
// any prefix of an input is an input too.
class FuzzInput {
 public:
  FuzzInput(const uint8_t* data, std::size_t size) : data_(data), size_(size) {}

  uint8_t Byte() { return pos_ < size_ ? data_[pos_++] : 0; }
  bool Bool() { return (Byte() & 1) != 0; }
  // 0 .. n-1.
  int Below(int n) { return n <= 0 ? 0 : Byte() % n; }
  uint32_t Word() {
    uint32_t value = 0;
    for (int i = 0; i < 4; ++i) value |= static_cast<uint32_t>(Byte()) << (8 * i);
    return value;
  }
  // A length of 0..max (two bytes, little-endian), then that many bytes;
  // fewer when the input ends first.
  std::string Bytes(std::size_t max) {
    std::size_t length = (Byte() | static_cast<std::size_t>(Byte()) << 8) % (max + 1);
    std::string out;
    while (out.size() < length && pos_ < size_) out.push_back(static_cast<char>(data_[pos_++]));
    return out;
  }
  bool Done() const { return pos_ >= size_; }

 private:
  const uint8_t* data_;
  std::size_t size_;
  std::size_t pos_ = 0;
};

// Stops the run so libFuzzer records the input, after saying which
// invariant broke and what the program did.
[[noreturn]] inline void Broken(const std::string& what, const sim::SimWindows* sim = nullptr) {
  std::fprintf(stderr, "\n*** invariant broken: %s\n", what.c_str());
  if (sim != nullptr) std::fprintf(stderr, "platform calls:\n%s", sim->TraceText().c_str());
  std::fflush(stderr);
  __builtin_trap();
}

inline void Check(bool holds, const std::string& what, const sim::SimWindows* sim = nullptr) {
  if (!holds) Broken(what, sim);
}

// The result text after `op`: terminated inside its 1000 bytes, exactly one
// known message that `op` may write, ending in " <number>", and the result
// that goes with that message. Returns the message's number.
int CheckResultText(const char (&text)[1000], DriverOp op, bool result, const sim::SimWindows& sim);

}  // namespace raylet::fuzz
