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
  // Only declared here; TSetRay.cpp defines it as constant data.
  static const char kInitialResultText[];  // NOLINT(bugprone-dynamic-static-initializers)

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
  // What the control panel start writes for each failed launch result.
  struct LaunchMessages {
    const char* out_of_memory;   // 0
    const char* bad_format;      // 11
    const char* file_not_found;  // 2
    const char* path_not_found;  // 3
  };

  void SetResult(const char* message);
  bool Finish(const char* message, bool result);
  // Discovery of one port name: the text value `name` of root\path,
  // upper-cased, into `field`; empty when it cannot be read.
  void ReadPortName(HKEY root, const char* path, const char* name, char* field, DWORD field_size);
  void ReadEnabled();
  // True (with message 0 written) while a message spy runs.
  bool SpyGuardTripped();
  bool DriverInstalled();
  bool SwitchOn();
  bool SwitchOnSettingOn();
  bool SwitchOnMonitorRunning();
  bool SwitchOnNothingRunning();
  bool SwitchOff();
  // Sets Enable to `value` and writes it to "IrEnabled"; on a failed open or
  // write, Enable goes back to `previous` and the matching message is
  // written.
  bool WriteEnabled(DWORD value, DWORD previous, const char* open_failed, const char* write_failed);
  bool StartControlPanel(const LaunchMessages& messages);
  void WaitForIrmon();
  void WaitForInfraredMonitor();
  // The probe's steps 2 to 6; the text of the box for a failed step, or null.
  const char* ConfigurePort();

  Platform& platform_;
};

}  // namespace raylet
