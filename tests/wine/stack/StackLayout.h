// Where the stand-in infrared stack lives inside a test prefix, and the names
// its pieces share. The control-panel applet, the monitor and the scenario
// tests all agree on these; nothing here is part of the shipped program.
#pragma once

#include <cstddef>
#include <cstring>

namespace standin {

// Working folder inside the prefix: the monitor's copy, the scenario file that
// tells the applet what to start, and the logs of the monitor and the applet.
constexpr char kStackDir[] = "C:\\raylet-test";
constexpr char kMonitorExe[] = "C:\\raylet-test\\standin-monitor.exe";
constexpr char kScenarioFile[] = "C:\\raylet-test\\scenario.txt";
constexpr char kMonitorLog[] = "C:\\raylet-test\\monitor.log";
constexpr char kAppletLog[] = "C:\\raylet-test\\applet.log";
// The stack tool's copy, which holds ports for programs not built beside it.
constexpr char kToolExe[] = "C:\\raylet-test\\standin-stack.exe";

// File names of the fixtures as built, and of the applet as installed.
constexpr char kMonitorFile[] = "standin-monitor.exe";
constexpr char kAppletFile[] = "infrared.cpl";
constexpr char kToolFile[] = "standin-stack.exe";

// The monitor's window titles, selected on its command line by a key so that
// no title bytes travel through a command line in some code page.
struct MonitorTitle {
  const char* key;
  const char* title;  // ANSI bytes
};

// "赤外線モニタ" in code page 932: the title of the Japanese monitor.
constexpr char kJapaneseTitle[] = "\x90\xD4\x8A\x4F\x90\xFC\x83\x82\x83\x6A\x83\x5E";

constexpr MonitorTitle kTitles[] = {
    {"IRMON", "IRMON"},
    {"INFRARED", "Infrared Monitor"},
    {"SJIS", kJapaneseTitle},
    // The frame of Microsoft Spy++, for the driver operations' spy guard.
    {"SPY", "Microsoft Spy++"},
};

// A monitor carries one title, or two with its keys joined by '+'
// ("IRMON+INFRARED"). The entry of the `n`-th key (from 0), or nullptr when
// there is no such key or any key is unknown.
inline const MonitorTitle* MonitorOfKeys(const char* keys, int n) {
  const MonitorTitle* found = nullptr;
  for (int index = 0; *keys != 0; ++index) {
    const MonitorTitle* entry = nullptr;
    for (const MonitorTitle& candidate : kTitles) {
      std::size_t length = std::strlen(candidate.key);
      if (std::strncmp(keys, candidate.key, length) == 0 && (keys[length] == 0 || keys[length] == '+')) {
        entry = &candidate;
      }
    }
    if (entry == nullptr) return nullptr;
    if (index == n) found = entry;
    keys += std::strlen(entry->key);
    if (*keys == '+') ++keys;
  }
  return found;
}

}  // namespace standin
