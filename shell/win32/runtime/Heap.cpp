// operator new and delete on the process heap, which every Windows version
// has; the program allocates with new (std::nothrow) and checks the result.
#include <new>

#include "platform/WinTypes.h"

// The C++ library normally defines the tag object; without the library we
// must, constant-initialized.
namespace std {  // NOLINT(cert-dcl58-cpp)
const nothrow_t nothrow{};
}  // namespace std

namespace {

// Exit status when the throwing operator new runs out of memory: without
// exceptions it has no other way to keep its promise of a non-null result.
constexpr UINT kStatusOutOfMemory = 254;

void* Allocate(std::size_t size) { return ::HeapAlloc(::GetProcessHeap(), 0, size != 0 ? size : 1); }

void* AllocateOrExit(std::size_t size) {
  void* block = Allocate(size);
  if (block == nullptr) ::ExitProcess(kStatusOutOfMemory);
  return block;
}

void Release(void* block) {
  if (block != nullptr) ::HeapFree(::GetProcessHeap(), 0, block);
}

}  // namespace

void* operator new(std::size_t size) { return AllocateOrExit(size); }
void* operator new[](std::size_t size) { return AllocateOrExit(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return Allocate(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return Allocate(size); }

void operator delete(void* block) noexcept { Release(block); }
void operator delete[](void* block) noexcept { Release(block); }
void operator delete(void* block, std::size_t) noexcept { Release(block); }
void operator delete[](void* block, std::size_t) noexcept { Release(block); }
void operator delete(void* block, const std::nothrow_t&) noexcept { Release(block); }
void operator delete[](void* block, const std::nothrow_t&) noexcept { Release(block); }
