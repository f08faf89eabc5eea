#include "shell/win32/TSetRayAboutDlg.h"

#include "shell/logic/TProjectRCVersion.h"
#include "shell/win32/Win32VersionApi.h"

namespace raylet {

namespace {

constexpr UINT kTextLimit = 255;

}  // namespace

TSetRayAboutDlg::TSetRayAboutDlg(TWindow* parent, UINT resource_id, HINSTANCE module)
    : TDialog(parent, resource_id, module),
      version_line_(this, kAboutVersionLine, kTextLimit),
      copyright_(this, kAboutCopyright, kTextLimit),
      special_build_(this, kAboutSpecialBuild, kTextLimit) {}

TSetRayAboutDlg::~TSetRayAboutDlg() { CloseWindow(IDCANCEL); }

void TSetRayAboutDlg::SetupWindow() {
  TDialog::SetupWindow();
  Win32VersionApi api;
  TProjectRCVersion version(api, Module);
  FillAboutBox(version, *this);
}

TStatic* TSetRayAboutDlg::Control(int id) {
  if (id == kAboutVersionLine) return &version_line_;
  if (id == kAboutCopyright) return &copyright_;
  if (id == kAboutSpecialBuild) return &special_build_;
  return nullptr;
}

void TSetRayAboutDlg::GetControlText(int id, char* buffer, int size) {
  TStatic* control = Control(id);
  if (control != nullptr) {
    control->GetText(buffer, size);
  } else if (size > 0) {
    buffer[0] = '\0';
  }
}

void TSetRayAboutDlg::SetControlText(int id, const char* text) {
  TStatic* control = Control(id);
  if (control != nullptr) control->SetText(text);
}

}  // namespace raylet
