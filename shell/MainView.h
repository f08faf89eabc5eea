// What the shell's decisions need of the main window. The Win32 frame and
// dialog implement it; the unit tests record it.
#pragma once

namespace raylet {

class MainView {
 public:
  virtual ~MainView() = default;
  // The frame's caption ("Raylet", "Raylet - fault -").
  virtual void SetCaption(const char* text) = 0;
  // The result label, control 120 of the main dialog.
  virtual void SetResultLabel(const char* text) = 0;
  // ShowWindow(frame, SW_SHOWNORMAL): restores an unattended start.
  virtual void ShowNormal() = 0;
  // Ends the main dialog with `code`; the frame closes when it goes.
  virtual void CloseDialog(int code) = 0;
  // Disables (false) or re-enables (true) input to the main window while an
  // operation runs, so no second command can start on the same record.
  virtual void EnableInput(bool enabled) = 0;
  // The status the process ends with.
  virtual void SetExitStatus(int status) = 0;
};

}  // namespace raylet
