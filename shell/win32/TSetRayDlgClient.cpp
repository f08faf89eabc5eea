#include "shell/win32/TSetRayDlgClient.h"

#include <new>

#include "maintenance/DriverRemoval.h"
#include "maintenance/MonitorAutostart.h"
#include "resources/ids.h"
#include "shell/logic/CommandLine.h"
#include "shell/logic/MainCommands.h"
#include "shell/win32/TSetRayApp.h"

namespace raylet {

namespace {

constexpr UINT kResultLabelLimit = 255;

TSetRayApp& App() { return *static_cast<TSetRayApp*>(GetApplication()); }

HWND MainWindowHandle() {
  TWindow* frame = GetApplication() != nullptr ? GetApplication()->GetMainWindow() : nullptr;
  return frame != nullptr ? frame->Handle : nullptr;
}

}  // namespace

TSetRayDlgClient::TSetRayDlgClient(TWindow* parent, UINT resource_id, HINSTANCE module)
    : TDialog(parent, resource_id, module), ResultLabel(this, IDC_RESULT_LABEL, kResultLabelLimit) {
  State = new (std::nothrow) TSetRay(App().GetPlatform());
  if (State == nullptr) App().ReportFailure(ReportText::Of<IDS_OUT_OF_MEMORY>());
}

TSetRayDlgClient::~TSetRayDlgClient() {
  CloseWindow(IDCANCEL);
  delete State;
}

bool TSetRayDlgClient::EventLookup(EntryKind kind, UINT id) {
  return DispatchEntry(*this, kCommands, kind, id) || TDialog::EventLookup(kind, id);
}

void TSetRayDlgClient::SetupWindow() {
  TDialog::SetupWindow();
  SetCaption(kMainCaption);
  ::PostMessageA(Handle, WM_USER + 1000, 0, 0);
}

void TSetRayDlgClient::CmVersionHelp() { App().ShowAboutBox(); }

void TSetRayDlgClient::CmDisableDriver() {
  if (State != nullptr) RunDriverCommand(DriverCommand::Disable, *State, *this);
}

void TSetRayDlgClient::CmEnableDriver() {
  if (State != nullptr) RunDriverCommand(DriverCommand::Enable, *State, *this);
}

void TSetRayDlgClient::CmKillDriver() {
  if (State != nullptr) RunDriverCommand(DriverCommand::Kill, *State, *this);
}

void TSetRayDlgClient::RunCommandLine() {
  if (State != nullptr) raylet::RunCommandLine(App().Argc(), App().Argv(), *State, App().GetPlatform(), *this);
}

void TSetRayDlgClient::RemoveDriver() { RunMaintenanceCommand(&raylet::RemoveDriver, App().GetPlatform(), *this); }

void TSetRayDlgClient::SetMonitorAutostart() {
  RunMaintenanceCommand(&raylet::SetMonitorAutostart, App().GetPlatform(), *this);
}

void TSetRayDlgClient::ClearMonitorAutostart() {
  RunMaintenanceCommand(&raylet::ClearMonitorAutostart, App().GetPlatform(), *this);
}

void TSetRayDlgClient::SetCaption(const char* text) {
  TWindow* frame = GetApplication() != nullptr ? GetApplication()->GetMainWindow() : nullptr;
  if (frame != nullptr) frame->SetCaption(text);
}

void TSetRayDlgClient::SetResultLabel(const char* text) { ResultLabel.SetText(text); }

void TSetRayDlgClient::ShowNormal() {
  HWND frame = MainWindowHandle();
  if (frame != nullptr) ::ShowWindow(frame, SW_SHOWNORMAL);
}

void TSetRayDlgClient::CloseDialog(int code) { CloseWindow(code); }

void TSetRayDlgClient::EnableInput(bool enabled) {
  HWND frame = MainWindowHandle();
  if (frame == nullptr || !::IsWindow(frame)) return;
  if (!enabled) {
    saved_focus_ = ::GetFocus();
    ::EnableWindow(frame, FALSE);
    return;
  }
  ::EnableWindow(frame, TRUE);
  // Disabling took the focus away; the keyboard works again only once a
  // control of the dialog has it back.
  if (::GetFocus() == nullptr && saved_focus_ != nullptr && ::IsWindow(saved_focus_) &&
      IsWindowAlive() && ::IsChild(Handle, saved_focus_)) {
    ::SetFocus(saved_focus_);
  }
  saved_focus_ = nullptr;
}

void TSetRayDlgClient::SetExitStatus(int status) { App().SetExitStatus(status); }

}  // namespace raylet
