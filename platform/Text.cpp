#include "platform/Text.h"

namespace raylet::text {

void Fill(void* data, unsigned char value, std::size_t size) {
  auto* bytes = static_cast<volatile unsigned char*>(data);
  for (std::size_t i = 0; i < size; ++i) bytes[i] = value;
}

std::size_t Length(const char* s) {
  std::size_t n = 0;
  while (s[n] != '\0') ++n;
  return n;
}

std::size_t BoundedLength(const char* s, std::size_t max) {
  std::size_t n = 0;
  while (n < max && s[n] != '\0') ++n;
  return n;
}

bool Equal(const char* a, const char* b) {
  while (*a != '\0' && *a == *b) {
    ++a;
    ++b;
  }
  return *a == *b;
}

bool StartsWith(const char* s, const char* prefix) {
  while (*prefix != '\0') {
    if (*s != *prefix) return false;
    ++s;
    ++prefix;
  }
  return true;
}

bool Copy(char* dst, std::size_t size, const char* src) {
  if (size == 0) return false;
  dst[0] = '\0';
  return Append(dst, size, src);
}

bool Append(char* dst, std::size_t size, const char* src) {
  if (size == 0) return false;
  std::size_t n = BoundedLength(dst, size - 1);
  while (*src != '\0') {
    if (n + 1 >= size) {
      dst[n] = '\0';
      return false;
    }
    dst[n++] = *src++;
  }
  dst[n] = '\0';
  return true;
}

void UpperCase(char* s) {
  for (; *s != '\0'; ++s) {
    if (*s >= 'a' && *s <= 'z') *s = static_cast<char>(*s - 'a' + 'A');
  }
}

namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

bool ParseHex(const char* s, uint32_t* value) {
  // Callers format their handle with "%x"; accept what "%x" would read back:
  // leading blanks, a sign and a 0x prefix.
  while (*s == ' ' || (*s >= '\t' && *s <= '\r')) ++s;
  bool negative = false;
  if (*s == '+' || *s == '-') negative = *s++ == '-';
  if (s[0] == '0' && (s[1] == 'x' || s[1] == 'X') && HexDigit(s[2]) >= 0) s += 2;
  uint32_t result = 0;
  bool any = false;
  for (int digit; (digit = HexDigit(*s)) >= 0; ++s) {
    result = (result << 4) | static_cast<uint32_t>(digit);
    any = true;
  }
  if (any) *value = negative ? 0u - result : result;
  return any;
}

namespace {

char* FormatDigits(char* dst, std::size_t size, uint32_t value, int width, uint32_t base) {
  char digits[16];
  int count = 0;
  do {
    uint32_t d = value % base;
    digits[count++] = static_cast<char>(d < 10 ? '0' + d : 'a' + d - 10);
    value /= base;
  } while (value != 0 && count < 16);
  while (count < width && count < 16) digits[count++] = '0';
  std::size_t n = 0;
  while (count > 0 && n + 1 < size) dst[n++] = digits[--count];
  if (size > 0) dst[n] = '\0';
  return dst;
}

}  // namespace

char* FormatHex(char* dst, std::size_t size, uint32_t value, int width) {
  return FormatDigits(dst, size, value, width, 16);
}

char* FormatDecimal(char* dst, std::size_t size, uint32_t value, int width) {
  return FormatDigits(dst, size, value, width, 10);
}

}  // namespace raylet::text
