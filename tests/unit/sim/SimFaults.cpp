#include "sim/SimFaults.h"

#include "sim/SimText.h"

namespace raylet::sim {

const char* OpName(Op op) {
  static const char* const kNames[] = {"RegOpen",      "RegQuery",        "RegSet",          "RegDeleteKey",
                                       "RegDeleteValue", "FindWindow",    "PostMessage",     "WinExec",
                                       "DeleteFile",   "CreateFile",      "PurgeComm",       "GetCommState",
                                       "SetCommState", "GetCommTimeouts", "SetCommTimeouts", "SetupComm"};
  static_assert(sizeof kNames / sizeof kNames[0] == static_cast<int>(Op::kCount));
  return kNames[static_cast<int>(op)];
}

void SimFaults::FailCall(Op op, int nth) { rules_.push_back({op, "", nth, false}); }

void SimFaults::FailCallOn(Op op, const std::string& subject, int nth) {
  rules_.push_back({op, Fold(subject), nth, false});
}

void SimFaults::FailFrom(Op op, int nth) { rules_.push_back({op, "", nth, true}); }

void SimFaults::Clear() { rules_.clear(); }

int SimFaults::Calls(Op op) const { return counts_[static_cast<int>(op)]; }

int SimFaults::Calls(Op op, const std::string& subject) const {
  auto it = subject_counts_.find({static_cast<int>(op), Fold(subject)});
  return it == subject_counts_.end() ? 0 : it->second;
}

bool SimFaults::Next(Op op, const std::string& subject) {
  int all = ++counts_[static_cast<int>(op)];
  std::string folded = Fold(subject);
  int on_subject = ++subject_counts_[{static_cast<int>(op), folded}];
  for (const Rule& rule : rules_) {
    if (rule.op != op) continue;
    int count = rule.subject.empty() ? all : (rule.subject == folded ? on_subject : 0);
    if (count == 0) continue;
    if (rule.onwards ? count >= rule.nth : count == rule.nth) return true;
  }
  return false;
}

}  // namespace raylet::sim
