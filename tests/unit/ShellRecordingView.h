// A MainView that records what the shell's decisions do to the main window,
// in order, as short lines ("caption Raylet", "input off", "label ...").
#pragma once

#include <string>
#include <vector>

#include "shell/MainView.h"

namespace raylet {

class RecordingView : public MainView {
 public:
  void SetCaption(const char* text) override { Record("caption " + std::string(text)); }
  void SetResultLabel(const char* text) override { Record("label " + std::string(text)); }
  void ShowNormal() override { Record("show normal"); }
  void CloseDialog(int code) override { Record("close " + std::to_string(code)); }
  void EnableInput(bool enabled) override { Record(enabled ? "input on" : "input off"); }
  void SetExitStatus(int status) override { Record("exit " + std::to_string(status)); }

  std::vector<std::string> events;
  // What the input state was whenever the platform was called (see below).
  bool input_enabled = true;

 private:
  void Record(const std::string& event) {
    if (event == "input on") input_enabled = true;
    if (event == "input off") input_enabled = false;
    events.push_back(event);
  }
};

}  // namespace raylet
