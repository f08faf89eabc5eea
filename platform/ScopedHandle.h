// Move-only owner of a kernel handle (a port while it is probed). Holds
// INVALID_HANDLE_VALUE whenever it owns nothing; closes exactly once.
#pragma once

#include "platform/Platform.h"

namespace raylet {

class ScopedHandle {
 public:
  explicit ScopedHandle(Platform& platform) : platform_(&platform) {}
  ~ScopedHandle() { Close(); }
  ScopedHandle(ScopedHandle&& other) noexcept : platform_(other.platform_), handle_(other.Release()) {}
  ScopedHandle& operator=(ScopedHandle&& other) noexcept {
    if (this != &other) {
      Close();
      platform_ = other.platform_;
      handle_ = other.Release();
    }
    return *this;
  }
  ScopedHandle(const ScopedHandle&) = delete;
  ScopedHandle& operator=(const ScopedHandle&) = delete;

  void Reset(HANDLE handle) {
    Close();
    handle_ = handle;
  }
  HANDLE Get() const { return handle_; }
  bool IsValid() const { return handle_ != INVALID_HANDLE_VALUE; }
  HANDLE Release() {
    HANDLE handle = handle_;
    handle_ = INVALID_HANDLE_VALUE;
    return handle;
  }
  void Close() {
    if (handle_ == INVALID_HANDLE_VALUE) return;
    platform_->CloseHandle(handle_);
    handle_ = INVALID_HANDLE_VALUE;
  }

 private:
  Platform* platform_;
  HANDLE handle_ = INVALID_HANDLE_VALUE;
};

}  // namespace raylet
