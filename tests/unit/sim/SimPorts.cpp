#include "sim/SimPorts.h"

#include <cstdint>

#include "sim/SimText.h"

namespace raylet::sim {

DCB PortSpec::DefaultSettings() {
  DCB dcb{};
  dcb.DCBlength = sizeof(DCB);
  dcb.BaudRate = 115200;
  dcb.fBinary = 0;
  dcb.fParity = 1;
  dcb.fOutxCtsFlow = 1;
  dcb.fOutxDsrFlow = 1;
  dcb.fDtrControl = 2;
  dcb.fDsrSensitivity = 1;
  dcb.fTXContinueOnXoff = 1;
  dcb.fOutX = 1;
  dcb.fInX = 1;
  dcb.fErrorChar = 1;
  dcb.fNull = 1;
  dcb.fRtsControl = 3;
  dcb.fAbortOnError = 0;
  dcb.XonLim = 2048;
  dcb.XoffLim = 512;
  dcb.ByteSize = 7;
  dcb.Parity = 2;
  dcb.StopBits = 2;
  dcb.XonChar = 0x11;
  dcb.XoffChar = 0x13;
  dcb.ErrorChar = '?';
  dcb.EofChar = 0x1A;
  dcb.EvtChar = '\n';
  return dcb;
}

COMMTIMEOUTS PortSpec::DefaultTimeouts() { return COMMTIMEOUTS{50, 10, 1000, 20, 2000}; }

SimPorts::SimPorts(SimFaults& faults, SimViolations& violations) : faults_(faults), violations_(violations) {}

void SimPorts::AddPort(const std::string& name, PortSpec spec) {
  Port& port = ports_[Fold(name)];
  port.name = name;
  port.spec = spec;
}

void SimPorts::RemovePort(const std::string& name) { ports_.erase(Fold(name)); }

PortSpec* SimPorts::Spec(const std::string& name) {
  auto it = ports_.find(Fold(name));
  return it == ports_.end() ? nullptr : &it->second.spec;
}

std::vector<std::string> SimPorts::Calls(const std::string& name) const {
  auto it = ports_.find(Fold(name));
  if (it != ports_.end()) return it->second.calls;
  auto absent = absent_calls_.find(Fold(name));
  return absent == absent_calls_.end() ? std::vector<std::string>() : absent->second;
}

std::optional<DCB> SimPorts::AppliedSettings(const std::string& name) const {
  auto it = ports_.find(Fold(name));
  return it == ports_.end() ? std::nullopt : it->second.applied_settings;
}

std::optional<DWORD> SimPorts::StateLengthGiven(const std::string& name) const {
  auto it = ports_.find(Fold(name));
  return it == ports_.end() ? std::nullopt : it->second.state_length_given;
}

std::optional<COMMTIMEOUTS> SimPorts::AppliedTimeouts(const std::string& name) const {
  auto it = ports_.find(Fold(name));
  return it == ports_.end() ? std::nullopt : it->second.applied_timeouts;
}

bool SimPorts::IsOpen(const std::string& name) const {
  auto it = ports_.find(Fold(name));
  return it != ports_.end() && it->second.open;
}

int SimPorts::Opens(const std::string& name) const {
  auto it = ports_.find(Fold(name));
  return it == ports_.end() ? 0 : it->second.opens;
}

int SimPorts::Closes(const std::string& name) const {
  auto it = ports_.find(Fold(name));
  return it == ports_.end() ? 0 : it->second.closes;
}

int SimPorts::OpenHandles() const {
  int count = 0;
  for (const auto& entry : handles_) count += entry.second.open ? 1 : 0;
  return count;
}

std::vector<std::string> SimPorts::OpenPortNames() const {
  std::vector<std::string> names;
  for (const auto& entry : handles_) {
    if (entry.second.open) names.push_back(ports_.at(entry.second.port).name);
  }
  return names;
}

HANDLE SimPorts::Create(const char* name, DWORD access, DWORD share_mode, void* security, DWORD disposition,
                        DWORD flags, HANDLE template_file) {
  std::string port_name = name == nullptr ? "" : name;
  std::string key = Fold(port_name);
  HANDLE result = INVALID_HANDLE_VALUE;
  bool fault = faults_.Next(Op::CreateFile, port_name);
  auto it = ports_.find(key);
  if (it == ports_.end()) {
    absent_calls_[key].push_back("CreateFileA failed");
  } else {
    Port& port = it->second;
    // A port is opened exclusively: one holder at a time.
    if (fault || port.spec.held || port.open) {
      port.calls.push_back("CreateFileA failed");
    } else {
      std::uintptr_t value = next_handle_;
      next_handle_ += 4;
      handles_[value] = Handle{key, true};
      port.open = true;
      ++port.opens;
      port.calls.push_back("CreateFileA");
      result = reinterpret_cast<HANDLE>(value);
    }
  }
  creates_.push_back({port_name, access, share_mode, security != nullptr, disposition, flags, template_file, result});
  return result;
}

SimPorts::Port* SimPorts::Step(HANDLE handle, const char* call, PortStep step, Op op, const std::string& label,
                               bool* ok) {
  *ok = false;
  auto it = handles_.find(reinterpret_cast<std::uintptr_t>(handle));
  if (it == handles_.end()) {
    violations_.Add(std::string(call) + " on an unknown handle");
    return nullptr;
  }
  Port& port = ports_.at(it->second.port);
  if (!it->second.open) {
    violations_.Add(std::string(call) + " on " + port.name + " after its close");
    return nullptr;
  }
  bool fault = faults_.Next(op, port.name);
  *ok = !fault && port.spec.refuse != step;
  port.calls.push_back(*ok ? label : label + " failed");
  return &port;
}

BOOL SimPorts::Purge(HANDLE handle, DWORD flags) {
  bool ok;
  Step(handle, "PurgeComm", PortStep::kPurge, Op::PurgeComm, "PurgeComm(" + std::to_string(flags) + ")", &ok);
  return ok ? TRUE : FALSE;
}

BOOL SimPorts::GetState(HANDLE handle, DCB* settings) {
  bool ok;
  Port* port = Step(handle, "GetCommState", PortStep::kGetState, Op::GetCommState, "GetCommState", &ok);
  if (!ok) return FALSE;
  port->state_length_given = settings->DCBlength;
  *settings = port->spec.settings;
  return TRUE;
}

BOOL SimPorts::SetState(HANDLE handle, DCB* settings) {
  bool ok;
  Port* port = Step(handle, "SetCommState", PortStep::kSetState, Op::SetCommState, "SetCommState", &ok);
  if (!ok) return FALSE;
  port->spec.settings = *settings;
  port->applied_settings = *settings;
  return TRUE;
}

BOOL SimPorts::GetTimeouts(HANDLE handle, COMMTIMEOUTS* timeouts) {
  bool ok;
  Port* port = Step(handle, "GetCommTimeouts", PortStep::kGetTimeouts, Op::GetCommTimeouts, "GetCommTimeouts", &ok);
  if (!ok) return FALSE;
  *timeouts = port->spec.timeouts;
  return TRUE;
}

BOOL SimPorts::SetTimeouts(HANDLE handle, COMMTIMEOUTS* timeouts) {
  bool ok;
  Port* port = Step(handle, "SetCommTimeouts", PortStep::kSetTimeouts, Op::SetCommTimeouts, "SetCommTimeouts", &ok);
  if (!ok) return FALSE;
  port->spec.timeouts = *timeouts;
  port->applied_timeouts = *timeouts;
  return TRUE;
}

BOOL SimPorts::Setup(HANDLE handle, DWORD input_queue, DWORD output_queue) {
  bool ok;
  Step(handle, "SetupComm", PortStep::kSetup, Op::SetupComm,
       "SetupComm(" + std::to_string(input_queue) + "," + std::to_string(output_queue) + ")", &ok);
  return ok ? TRUE : FALSE;
}

BOOL SimPorts::Close(HANDLE handle) {
  auto it = handles_.find(reinterpret_cast<std::uintptr_t>(handle));
  if (it == handles_.end()) {
    violations_.Add("CloseHandle of an unknown handle");
    return FALSE;
  }
  Port& port = ports_.at(it->second.port);
  if (!it->second.open) {
    violations_.Add("CloseHandle of " + port.name + " twice");
    return FALSE;
  }
  it->second.open = false;
  port.open = false;
  ++port.closes;
  port.calls.push_back("CloseHandle");
  return TRUE;
}

}  // namespace raylet::sim
