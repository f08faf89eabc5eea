// Call counting and fault injection for the simulated Windows. Every platform
// operation counts its calls; a test can make the n-th call of an operation
// fail, either counting all calls of the operation or only those on one
// subject (a key path such as "HKCU\Control Panel\Infrared", a window title,
// a port name or a file path; compared case-insensitively).
#pragma once

#include <map>
#include <string>
#include <utility>
#include <vector>

namespace raylet::sim {

enum class Op {
  RegOpen,          // RegOpenKeyExA fails with ERROR_ACCESS_DENIED
  RegQuery,         // RegQueryValueExA fails with ERROR_ACCESS_DENIED
  RegSet,           // RegSetValueExA fails with ERROR_ACCESS_DENIED, nothing written
  RegDeleteKey,     // RegDeleteKeyA fails, nothing deleted
  RegDeleteValue,   // RegDeleteValueA fails, nothing deleted
  FindWindow,       // FindWindowA finds nothing
  PostMessage,      // PostMessageA returns FALSE, nothing delivered
  WinExec,          // WinExec returns 0 (out of memory), nothing started
  DeleteFile,       // DeleteFileA returns FALSE, the file stays
  CreateFile,       // CreateFileA returns INVALID_HANDLE_VALUE
  PurgeComm,        // the serial steps return FALSE
  GetCommState,
  SetCommState,
  GetCommTimeouts,
  SetCommTimeouts,
  SetupComm,
  kCount
};

const char* OpName(Op op);

class SimFaults {
 public:
  // The n-th call (1-based) of `op`, whatever its subject, fails.
  void FailCall(Op op, int nth);
  // The n-th call of `op` on `subject` fails.
  void FailCallOn(Op op, const std::string& subject, int nth);
  // Every call of `op` from the n-th on fails.
  void FailFrom(Op op, int nth);
  void Clear();

  // Calls of `op` so far (failed ones included).
  int Calls(Op op) const;
  int Calls(Op op, const std::string& subject) const;

  // Used by the simulation: counts one call and says whether it must fail.
  bool Next(Op op, const std::string& subject);

 private:
  struct Rule {
    Op op;
    std::string subject;  // folded; empty: any subject
    int nth;
    bool onwards;
  };
  int counts_[static_cast<int>(Op::kCount)] = {};
  std::map<std::pair<int, std::string>, int> subject_counts_;
  std::vector<Rule> rules_;
};

}  // namespace raylet::sim
