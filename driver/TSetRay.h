// The driver state record: what is known about the MS-IrDA stack at one
// moment, and the operations that act on it. Every operation rediscovers the
// state first and leaves exactly one numbered message in ResultText.
#pragma once

#include "platform/Platform.h"
#include "platform/ScopedHandle.h"

namespace raylet {

class TSetRay {
 public:
  explicit TSetRay(Platform& platform);
  virtual ~TSetRay();
  TSetRay(const TSetRay&) = delete;
  TSetRay& operator=(const TSetRay&) = delete;

  // Refills the record from the registry and the monitor's window.
  void ReadState();
  // Opens `port` for writing, sets it up for 9600 8N1 and closes it again.
  bool ProbePort(const char* port);
  // Switches the driver on (true) or off (false).
  bool EnableDriver(bool enable);
  // Stops the monitor, or refuses while the driver's setting is on.
  bool KillDriver();

  // Text shown before any operation has run (and for an unknown switch).
  static const char kInitialResultText[];

  char PhysicalCOM[256];
  char ResultText[1000];
  DWORD Enable;
  BYTE Active;
  char V_COM[256];
  char V_LPT[256];
  HWND MonitorWindow;
  ScopedHandle PortHandle;
  DCB PortSettings;
  COMMTIMEOUTS PortTimeouts;

 private:
  void SetResult(const char* message);

  Platform& platform_;
};

}  // namespace raylet
