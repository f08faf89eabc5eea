// Files of the stand-in infrared stack inside a test prefix: the installed
// applet and monitor, the scenario file, and the logs they write.
#pragma once

#include <string>

namespace standin {

// Puts the fixtures in place: infrared.cpl into the system folder, where the
// control panel looks for it, and the monitor and the stack tool (which
// holds ports) into C:\raylet-test. `from` is the folder that holds them as
// built. True when all were copied.
bool InstallStack(const char* from);

// Removes the applet from the system folder and the working folder's files.
void UninstallStack();

// Writes the scenario file: the monitor the applet starts (a title key of
// StackLayout.h and a delay), or nothing when `title_key` is null.
bool WriteScenario(const char* title_key, unsigned delay_ms);

// Empties the monitor's and the applet's logs.
void ClearLogs();

// A log's whole text ("" when there is none).
std::string ReadLog(const char* path);

}  // namespace standin
