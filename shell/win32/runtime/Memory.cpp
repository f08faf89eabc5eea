// The memory and string routines the compiler may call on its own (block
// copies, zeroing of structures). Built with loop-to-call conversion off,
// or these loops would turn into calls to themselves.
#include <cstddef>

extern "C" {

void* memset(void* data, int value, std::size_t size) {
  auto* bytes = static_cast<unsigned char*>(data);
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<unsigned char>(value);
  return data;
}

void* memcpy(void* destination, const void* source, std::size_t size) {
  auto* to = static_cast<unsigned char*>(destination);
  const auto* from = static_cast<const unsigned char*>(source);
  for (std::size_t i = 0; i < size; ++i) to[i] = from[i];
  return destination;
}

void* memmove(void* destination, const void* source, std::size_t size) {
  auto* to = static_cast<unsigned char*>(destination);
  const auto* from = static_cast<const unsigned char*>(source);
  if (to < from) {
    for (std::size_t i = 0; i < size; ++i) to[i] = from[i];
  } else {
    while (size > 0) {
      --size;
      to[size] = from[size];
    }
  }
  return destination;
}

int memcmp(const void* a, const void* b, std::size_t size) {
  const auto* left = static_cast<const unsigned char*>(a);
  const auto* right = static_cast<const unsigned char*>(b);
  for (std::size_t i = 0; i < size; ++i) {
    if (left[i] != right[i]) return left[i] < right[i] ? -1 : 1;
  }
  return 0;
}

std::size_t strlen(const char* text) {
  std::size_t length = 0;
  while (text[length] != '\0') ++length;
  return length;
}

}  // extern "C"
