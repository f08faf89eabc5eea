// Junk on the stack for the next call's locals. A buffer on the stack starts
// with whatever an earlier call left there, often zeros, so a byte that the
// program forgets to set can pass unnoticed; after PoisonStack() the
// function called next finds 0xA5 in every byte it does not set itself.
#pragma once

namespace raylet::sim {

[[gnu::noinline]] inline void PoisonStack() {
  volatile unsigned char junk[64 * 1024];
  for (auto& byte : junk) byte = 0xA5;
}

}  // namespace raylet::sim
