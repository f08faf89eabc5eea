// Misuse of the platform that the simulated Windows noticed: double closes,
// unknown or closed handles, wrong access or options. Tests fail on any.
#pragma once

#include <string>
#include <vector>

namespace raylet::sim {

class SimViolations {
 public:
  void Add(const std::string& what) { list_.push_back(what); }
  const std::vector<std::string>& List() const { return list_; }
  void Clear() { list_.clear(); }

 private:
  std::vector<std::string> list_;
};

}  // namespace raylet::sim
