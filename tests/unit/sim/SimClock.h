// Virtual time of the simulated Windows: only Sleep moves it.
#pragma once

#include <vector>

#include "platform/WinTypes.h"

namespace raylet::sim {

class SimClock {
 public:
  DWORD Now() const { return now_; }
  void Advance(DWORD milliseconds) { now_ += milliseconds; }
  void Sleep(DWORD milliseconds) {
    sleeps_.push_back(milliseconds);
    now_ += milliseconds;
  }
  int SleepCount() const { return static_cast<int>(sleeps_.size()); }
  const std::vector<DWORD>& Sleeps() const { return sleeps_; }

 private:
  DWORD now_ = 0;
  std::vector<DWORD> sleeps_;
};

}  // namespace raylet::sim
