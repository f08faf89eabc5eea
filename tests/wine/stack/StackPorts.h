// The stand-in stack's serial ports (the driver standin-serial.sys in the
// prefix): each port's mode, what reached it, programs that hold one, and the
// driver as a whole on or off. Port names are those the registry seeds use:
// "COM4" (virtual COM), "LPT3" (virtual printer), "COM2" (the adapter's).
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "serial/SerialControl.h"

namespace standin {

enum class PortMode {
  kAbsent,       // no such port: every open fails
  kFree,         // opens, and every request works
  kHeldByStack,  // the stack itself has it: every open fails, as for a held port
  kFailPurge,    // opens; PurgeComm fails (error 87), all else works
  kFailGetState,     // GetCommState fails
  kFailSetState,     // SetCommState fails
  kFailGetTimeouts,  // GetCommTimeouts fails
  kFailSetTimeouts,  // SetCommTimeouts fails
  kFailSetup,        // SetupComm fails
};

// What reached a port since the last reset, and its settings now, exactly
// as the driver keeps it (serial/SerialControl.h). Right after a reset the
// settings are the port's own (115200 baud, 7 bits, even parity, 2 stop
// bits ...), which no program would choose: read a record then to compare
// with.
using PortRecord = RayletPortRecord;

bool SetPortMode(const char* port, PortMode mode);
bool ReadPortRecord(const char* port, PortRecord* record);

// Another program (standin-stack.exe hold PORT) opens the port for reading
// and writing without sharing and keeps it open; returns once the port has
// it open. The program is the standin-stack.exe beside the calling program,
// else the one InstallStack put in C:\raylet-test.
bool HoldPort(const char* port);
// Ids of the running processes whose program file is named `image`.
std::vector<DWORD> ProcessesNamed(const char* image);
// Ends every holding program (and waits for each to end).
bool ReleaseHolders();
// What the holding program runs: opens the port as HoldPort says and keeps
// it until the process is ended. Returns only when the open fails (1).
int RunHolder(const char* port);
// ReleaseHolders, then every port absent with its own settings and an empty
// record: the state at the prefix's start.
bool ResetPorts();
// The driver switched on (adapter's port held by the stack, virtual ports
// free) or off (adapter's port free, no virtual ports).
bool SetDriverPorts(bool on);
// Whether each name leads to the driver's port and to nothing else: no
// device while the port is absent, the driver's while it is free. Leaves
// every port absent. `problem` says what is wrong when it is not.
bool CheckPortNames(std::string* problem);

// "absent", "free", "stack", "fail-purge", "fail-getstate", "fail-setstate",
// "fail-gettimeouts", "fail-settimeouts", "fail-setup".
const char* PortModeName(PortMode mode);
bool ParsePortMode(const char* text, PortMode* mode);

// The whole record in one line, each step of the probe with the requests it
// sent and the settings it leaves: "COM4: free opens 1 closes 1 open 0
// purge 1 mask 0xf getstate 1/1/1/1 setstate 1/1/1/1 baud 9600 bits 8 ...
// gettimeouts 1 settimeouts 1 timeouts ffffffff 0 0 0 0 setup 1 queues 1024
// 1024 other 0" (getstate and setstate: baud, line, handflow, chars).
std::string FormatPortRecord(const PortRecord& record);

}  // namespace standin
