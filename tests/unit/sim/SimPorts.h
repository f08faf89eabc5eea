// Serial and printer ports of the simulated Windows, by name
// (case-insensitive, no device prefix). A port is free, held by another
// program (CreateFileA gives INVALID_HANDLE_VALUE), absent (never added), or
// refuses one chosen step. A port opened without sharing cannot be opened
// again until it is closed. Settings applied to a port stay on it, so a later
// GetCommState reads them back.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/WinTypes.h"
#include "sim/SimFaults.h"
#include "sim/SimViolations.h"

namespace raylet::sim {

enum class PortStep { kNone, kPurge, kGetState, kSetState, kGetTimeouts, kSetTimeouts, kSetup };

struct PortSpec {
  bool held = false;                    // another program has it open
  PortStep refuse = PortStep::kNone;    // this step returns FALSE
  DCB settings = DefaultSettings();     // what GetCommState first reads
  COMMTIMEOUTS timeouts = DefaultTimeouts();

  // Deliberately far from 9600 8N1 with every member set, so a probe that
  // forgets or clobbers one shows.
  static DCB DefaultSettings();
  static COMMTIMEOUTS DefaultTimeouts();
};

struct CreateFileRecord {
  std::string name;
  DWORD access;
  DWORD share_mode;
  bool security;  // a security attributes pointer was given
  DWORD disposition;
  DWORD flags;
  HANDLE template_file;
  HANDLE result;
};

class SimPorts {
 public:
  SimPorts(SimFaults& faults, SimViolations& violations);

  void AddPort(const std::string& name, PortSpec spec = {});
  void RemovePort(const std::string& name);
  PortSpec* Spec(const std::string& name);  // null when absent

  // --- What the program did ---
  const std::vector<CreateFileRecord>& Creates() const { return creates_; }
  // The calls on one port, in order: "CreateFileA", "PurgeComm(15)",
  // "GetCommState", "SetCommState", "GetCommTimeouts", "SetCommTimeouts",
  // "SetupComm(1024,1024)", "CloseHandle"; a refused or failed step gets
  // " failed" appended.
  std::vector<std::string> Calls(const std::string& name) const;
  // Settings and time-outs last applied with SetCommState/SetCommTimeouts.
  std::optional<DCB> AppliedSettings(const std::string& name) const;
  std::optional<COMMTIMEOUTS> AppliedTimeouts(const std::string& name) const;
  // DCBlength of the record the program passed to its last GetCommState.
  std::optional<DWORD> StateLengthGiven(const std::string& name) const;
  bool IsOpen(const std::string& name) const;
  int Opens(const std::string& name) const;   // successful CreateFileA
  int Closes(const std::string& name) const;  // valid CloseHandle
  int OpenHandles() const;                    // open now, all ports
  std::vector<std::string> OpenPortNames() const;

  // --- Calls of the program ---
  HANDLE Create(const char* name, DWORD access, DWORD share_mode, void* security, DWORD disposition, DWORD flags,
                HANDLE template_file);
  BOOL Purge(HANDLE handle, DWORD flags);
  BOOL GetState(HANDLE handle, DCB* settings);
  BOOL SetState(HANDLE handle, DCB* settings);
  BOOL GetTimeouts(HANDLE handle, COMMTIMEOUTS* timeouts);
  BOOL SetTimeouts(HANDLE handle, COMMTIMEOUTS* timeouts);
  BOOL Setup(HANDLE handle, DWORD input_queue, DWORD output_queue);
  BOOL Close(HANDLE handle);

 private:
  struct Port {
    std::string name;
    PortSpec spec;
    bool open = false;
    int opens = 0;
    int closes = 0;
    std::vector<std::string> calls;
    std::optional<DCB> applied_settings;
    std::optional<COMMTIMEOUTS> applied_timeouts;
    std::optional<DWORD> state_length_given;
  };
  struct Handle {
    std::string port;  // folded name
    bool open;
  };
  // The port behind an open handle, after counting the call and applying
  // refusal and faults; null (and *ok false) when the step must fail.
  Port* Step(HANDLE handle, const char* call, PortStep step, Op op, const std::string& label, bool* ok);

  SimFaults& faults_;
  SimViolations& violations_;
  std::map<std::string, Port> ports_;  // by folded name
  std::map<std::uintptr_t, Handle> handles_;
  std::uintptr_t next_handle_ = 0x5000;
  std::vector<CreateFileRecord> creates_;
  std::map<std::string, std::vector<std::string>> absent_calls_;
};

}  // namespace raylet::sim
