// The port probe: can the port be opened for writing and set up for serial
// work right now? It never keeps the port open.
#include "driver/TSetRay.h"
#include "platform/Text.h"

namespace raylet {

namespace {

constexpr DWORD kPurgeAll = PURGE_TXABORT | PURGE_RXABORT | PURGE_TXCLEAR | PURGE_RXCLEAR;
constexpr DWORD kQueueSize = 1024;
constexpr UINT kFaultBox = MB_OK | MB_ICONEXCLAMATION;

}  // namespace

const char* TSetRay::ConfigurePort() {
  HANDLE port = PortHandle.Get();
  if (!platform_.PurgeComm(port, kPurgeAll)) return "fault clear buffer";
  // The API asks callers to say which DCB layout they pass.
  PortSettings.DCBlength = sizeof(DCB);
  if (!platform_.GetCommState(port, &PortSettings)) return "fault get com state";
  PortSettings.BaudRate = CBR_9600;
  PortSettings.ByteSize = 8;
  PortSettings.Parity = NOPARITY;
  PortSettings.StopBits = ONESTOPBIT;
  PortSettings.fBinary = 1;
  PortSettings.fAbortOnError = 1;
  if (!platform_.SetCommState(port, &PortSettings)) return "fault change baudrate";
  if (!platform_.GetCommTimeouts(port, &PortTimeouts)) return "fault get timeout parameter";
  // Reads return at once with whatever has arrived; writes never time out.
  PortTimeouts.ReadIntervalTimeout = MAXDWORD;
  PortTimeouts.ReadTotalTimeoutMultiplier = 0;
  PortTimeouts.ReadTotalTimeoutConstant = 0;
  PortTimeouts.WriteTotalTimeoutMultiplier = 0;
  PortTimeouts.WriteTotalTimeoutConstant = 0;
  if (!platform_.SetCommTimeouts(port, &PortTimeouts)) return "fault set timeout parameter";
  return nullptr;
}

bool TSetRay::ProbePort(const char* port) {
  // No name, no port: nothing to ask the system about.
  if (port == nullptr || port[0] == '\0') return false;
  // Without sharing, so a port that another program holds does not open.
  PortHandle.Reset(platform_.CreateFileA(port, GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
  if (!PortHandle.IsValid()) return false;

  if (const char* failure = ConfigurePort()) {
    platform_.MessageBoxA(nullptr, failure, "Error", kFaultBox);
    PortHandle.Close();
    return false;
  }
  if (!platform_.SetupComm(PortHandle.Get(), kQueueSize, kQueueSize)) {
    PortHandle.Close();
    platform_.MessageBoxA(nullptr, "fault SetupComm", "Error", kFaultBox | MB_TASKMODAL);
    return false;
  }
  PortHandle.Close();
  return true;
}

}  // namespace raylet
