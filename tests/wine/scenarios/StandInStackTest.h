// Base of the Wine scenario tests: the real driver record on the real Win32
// backend, against the stand-in infrared stack installed in the test prefix.
// Every test starts from a clean stack (no driver keys, no monitor, empty
// logs, a scenario that starts nothing, every serial port absent with an
// empty record and no program holding one) and leaves one behind.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "StackRegistry.h"
#include "driver/TSetRay.h"
#include "platform/win32/Win32Platform.h"

namespace standin {

class StandInStackTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite();
  static void TearDownTestSuite();
  void SetUp() override;
  void TearDown() override;

  // Seeds the registry (after a reset).
  void Seed(const StackSeed& seed);
  // The installed driver with "IrEnabled" set to `ir_enabled`.
  void SeedInstalled(int ir_enabled);

  // Starts a monitor (title key of StackLayout.h) and waits for its window.
  HWND StartMonitor(const char* title_key);
  // What the applet will start when the control panel opens it.
  void SetScenario(const char* title_key, unsigned delay_ms);

  // Runs an operation and keeps how long it took.
  bool Enable(bool on);
  bool Kill();
  DWORD elapsed_ms() const { return elapsed_ms_; }

  // Monitor log lines that start with `prefix`.
  static std::vector<std::string> MonitorLines(const char* prefix);

  // "IrEnabled" as the registry holds it; -1 when it is missing.
  static int IrEnabled();
  // Waits up to `timeout_ms` for no window titled `title` to exist.
  static bool WaitForNoWindow(const char* title, DWORD timeout_ms);
  // Whether the control panel opened the applet during this test.
  static bool ControlPanelOpened();
  // Whether a control panel was started at all (running, or its applet ran).
  static bool ControlPanelStarted();

  raylet::Win32Platform platform_;
  raylet::TSetRay record_{platform_};

 private:
  void EndMonitors();

  std::vector<HANDLE> monitors_;
  DWORD elapsed_ms_ = 0;
};

// Every text of the result, with its result, in one assertion message.
#define EXPECT_RESULT(record, ok, expected_ok, text)  \
  do {                                                \
    EXPECT_EQ(std::string((record).ResultText), text); \
    EXPECT_EQ(ok, expected_ok) << (record).ResultText; \
  } while (0)

}  // namespace standin
