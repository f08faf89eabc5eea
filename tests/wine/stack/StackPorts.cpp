#include "StackPorts.h"

#include <windows.h>

#include <cstdio>
#include <cstring>

#include "serial/SerialControl.h"

namespace standin {
namespace {

constexpr const char* kModeNames[] = {"absent",        "free",          "stack",
                                      "fail-purge",    "fail-getstate", "fail-setstate",
                                      "fail-gettimeouts", "fail-settimeouts", "fail-setup"};
static_assert(sizeof kModeNames / sizeof kModeNames[0] == RAYLET_MODE_COUNT, "a name for every mode");
static_assert(sizeof(RayletPortRecord) == 140, "the driver's record layout");

constexpr const char* kPortNames[RAYLET_PORT_COUNT] = {RAYLET_VIRTUAL_COM, RAYLET_VIRTUAL_LPT,
                                                       RAYLET_PHYSICAL_PORT};

// One request to the control device; true when it succeeded and returned
// exactly `out_size` bytes.
bool Control(DWORD code, const void* in, DWORD in_size, void* out, DWORD out_size) {
  HANDLE device = CreateFileA(RAYLET_CONTROL_PATH, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
  if (device == INVALID_HANDLE_VALUE) return false;
  DWORD returned = 0;
  bool ok = DeviceIoControl(device, code, const_cast<void*>(in), in_size, out, out_size, &returned, nullptr) &&
            returned == out_size;
  CloseHandle(device);
  return ok;
}

bool NameOf(const char* port, char (&name)[RAYLET_PORT_NAME_SIZE]) {
  std::memset(name, 0, sizeof name);
  if (port == nullptr || std::strlen(port) >= sizeof name) return false;
  std::memcpy(name, port, std::strlen(port));
  return true;
}

// What the name leads to ("" when nothing).
std::string Target(const char* name) {
  char target[MAX_PATH] = "";
  if (QueryDosDeviceA(name, target, sizeof target) == 0) return std::string();
  return target;
}

}  // namespace

bool SetPortMode(const char* port, PortMode mode) {
  RayletModeRequest request;
  if (!NameOf(port, request.name)) return false;
  request.mode = static_cast<uint32_t>(mode);
  return Control(RAYLET_IOCTL_SET_MODE, &request, sizeof request, nullptr, 0);
}

bool ReadPortRecord(const char* port, PortRecord* record) {
  // Buffered requests share one buffer for both ways: room for the answer.
  union {
    RayletPortName name;
    RayletPortRecord record;
  } buffer;
  std::memset(&buffer, 0, sizeof buffer);
  if (!NameOf(port, buffer.name.name)) return false;
  if (!Control(RAYLET_IOCTL_READ_RECORD, &buffer, sizeof buffer.name, &buffer.record, sizeof buffer.record)) {
    return false;
  }
  *record = buffer.record;
  return true;
}

bool ResetPorts() {
  bool released = ReleaseHolders();
  return Control(RAYLET_IOCTL_RESET, nullptr, 0, nullptr, 0) && released;
}

bool SetDriverPorts(bool on) {
  uint32_t value = on ? 1 : 0;
  return Control(RAYLET_IOCTL_DRIVER, &value, sizeof value, nullptr, 0);
}

bool CheckPortNames(std::string* problem) {
  problem->clear();
  for (const char* name : kPortNames) {
    if (!SetPortMode(name, PortMode::kAbsent)) {
      *problem = "the serial driver does not answer";
      return false;
    }
    std::string absent = Target(name);
    SetPortMode(name, PortMode::kFree);
    std::string free = Target(name);
    SetPortMode(name, PortMode::kAbsent);
    if (!absent.empty()) {
      *problem = std::string(name) + " leads to " + absent + " while the driver has no such port";
    } else if (free.rfind("\\Device\\RayletSerial", 0) != 0) {
      *problem = std::string(name) + " leads to " + (free.empty() ? "nothing" : free) +
                 ", not to the serial driver's port";
    }
    if (!problem->empty()) return false;
  }
  return true;
}

const char* PortModeName(PortMode mode) {
  unsigned index = static_cast<unsigned>(mode);
  return index < RAYLET_MODE_COUNT ? kModeNames[index] : "?";
}

bool ParsePortMode(const char* text, PortMode* mode) {
  for (unsigned i = 0; i < RAYLET_MODE_COUNT; ++i) {
    if (std::strcmp(text, kModeNames[i]) == 0) {
      *mode = static_cast<PortMode>(i);
      return true;
    }
  }
  return false;
}

std::string FormatPortRecord(const PortRecord& r) {
  // Timeouts in decimal, but "none" (MAXDWORD) as the hex a reader knows.
  auto timeout = [](unsigned value) {
    char text[16];
    std::snprintf(text, sizeof text, value == 0xFFFFFFFFu ? "%x" : "%u", value);
    return std::string(text);
  };
  const uint32_t* q = r.requests;
  PortMode mode = r.mode < RAYLET_MODE_COUNT ? static_cast<PortMode>(r.mode) : PortMode::kAbsent;
  char line[640];
  std::snprintf(line, sizeof line,
                "%s: %s opens %u closes %u open %u purge %u mask 0x%x getstate %u/%u/%u/%u setstate %u/%u/%u/%u"
                " baud %u bits %u parity %u stop %u handshake 0x%x flow 0x%x xon %d xoff %d"
                " chars %02x %02x %02x %02x %02x %02x gettimeouts %u settimeouts %u timeouts %s %s %s %s %s"
                " setup %u queues %u %u other %u",
                std::string(r.name, strnlen(r.name, sizeof r.name)).c_str(), PortModeName(mode), r.opens, r.closes,
                r.open_now, q[RAYLET_REQ_PURGE], r.last_purge_mask, q[RAYLET_REQ_GET_BAUD], q[RAYLET_REQ_GET_LINE],
                q[RAYLET_REQ_GET_HANDFLOW], q[RAYLET_REQ_GET_CHARS], q[RAYLET_REQ_SET_BAUD], q[RAYLET_REQ_SET_LINE],
                q[RAYLET_REQ_SET_HANDFLOW], q[RAYLET_REQ_SET_CHARS], r.baud, r.word_length, r.parity, r.stop_bits,
                r.control_handshake, r.flow_replace, r.xon_limit, r.xoff_limit, r.eof_char, r.error_char,
                r.break_char, r.event_char, r.xon_char, r.xoff_char, q[RAYLET_REQ_GET_TIMEOUTS],
                q[RAYLET_REQ_SET_TIMEOUTS], timeout(r.read_interval).c_str(), timeout(r.read_multiplier).c_str(),
                timeout(r.read_constant).c_str(), timeout(r.write_multiplier).c_str(),
                timeout(r.write_constant).c_str(), q[RAYLET_REQ_SET_QUEUE], r.in_queue, r.out_queue,
                q[RAYLET_REQ_OTHER]);
  return line;
}

}  // namespace standin
