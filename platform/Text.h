// Byte-string helpers for fixed buffers. The shipped program has no C
// runtime, so these stand in for memset/strcpy/strcat/sprintf; every copy is
// bounded by the destination's size and always terminates it.
#pragma once

#include <cstddef>
#include <cstdint>

namespace raylet::text {

void Fill(void* data, unsigned char value, std::size_t size);
std::size_t Length(const char* s);
// Length of s, looking at no more than max bytes.
std::size_t BoundedLength(const char* s, std::size_t max);
bool Equal(const char* a, const char* b);
// True when s starts with prefix (byte for byte, case-sensitive).
bool StartsWith(const char* s, const char* prefix);
// Copies src into dst[size]; false (and dst holding what fitted) when it was
// cut short.
bool Copy(char* dst, std::size_t size, const char* src);
// Appends src to the text in dst[size]; false when it did not fit whole.
bool Append(char* dst, std::size_t size, const char* src);
// a..z -> A..Z in place; every other byte stays.
void UpperCase(char* s);
// Parses hexadecimal digits (upper or lower case) from s as sscanf's %x
// would after a literal prefix: at least one digit; stops at the first
// non-digit; keeps the low 32 bits. False when no digit follows.
bool ParseHex(const char* s, uint32_t* value);
// Lower-case hexadecimal text of value, zero-padded to at least `width`
// digits (as "%0*lx"); returns dst.
char* FormatHex(char* dst, std::size_t size, uint32_t value, int width);
// Decimal text of value, zero-padded to `width` digits (as "%0*d").
char* FormatDecimal(char* dst, std::size_t size, uint32_t value, int width);

}  // namespace raylet::text
