// The main dialog (template 2000), the main window's client: owns the driver
// state record, shows the last result, runs the buttons' commands.
#pragma once

#include "driver/TSetRay.h"
#include "framework/TDialog.h"
#include "framework/TStatic.h"
#include "shell/MainView.h"

namespace raylet {

class TSetRayDlgClient : public TDialog, public MainView {
 public:
  TSetRayDlgClient(TWindow* parent, UINT resource_id, HINSTANCE module);
  ~TSetRayDlgClient() override;

  bool EventLookup(EntryKind kind, UINT id) override;

  // MainView: the caption is the main window's, the label control 120.
  void SetCaption(const char* text) override;
  void SetResultLabel(const char* text) override;
  void ShowNormal() override;
  void CloseDialog(int code) override;
  void EnableInput(bool enabled) override;
  void SetExitStatus(int status) override;

  TSetRay* State = nullptr;
  TStatic ResultLabel;

 protected:
  void SetupWindow() override;

 private:
  void CmVersionHelp();
  void CmDisableDriver();
  void CmEnableDriver();
  void RunCommandLine();
  void RemoveDriver();
  void SetMonitorAutostart();
  void ClearMonitorAutostart();
  void CmKillDriver();

  static constexpr CommandEntry<TSetRayDlgClient> kCommands[] = {
      {EntryKind::Command, 103, &TSetRayDlgClient::CmVersionHelp},
      {EntryKind::Command, 101, &TSetRayDlgClient::CmDisableDriver},
      {EntryKind::Command, 102, &TSetRayDlgClient::CmEnableDriver},
      {EntryKind::Message, WM_USER + 1000, &TSetRayDlgClient::RunCommandLine},
      {EntryKind::Command, 106, &TSetRayDlgClient::RemoveDriver},
      {EntryKind::Command, 108, &TSetRayDlgClient::SetMonitorAutostart},
      {EntryKind::Command, 109, &TSetRayDlgClient::ClearMonitorAutostart},
      {EntryKind::Command, 112, &TSetRayDlgClient::CmKillDriver},
  };

  HWND saved_focus_ = nullptr;
};

}  // namespace raylet
