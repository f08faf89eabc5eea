#include "framework/TDialog.h"

#include "framework/TApplication.h"
#include "resources/ids.h"

namespace raylet {

TDialog::TDialog(TWindow* parent, UINT resource_id, HINSTANCE module)
    : TWindow(parent, nullptr, module), resource_id_(resource_id) {}

TDialog::~TDialog() {
  if (!IsWindowAlive()) return;
  HWND window = Handle;
  ::SetWindowLongPtrA(window, DWLP_USER, 0);
  Handle = nullptr;
  if (modal_) {
    ::EndDialog(window, IDCANCEL);
  } else {
    ::DestroyWindow(window);
  }
}

HINSTANCE TDialog::TemplateModule() const {
  if (Module != nullptr) return Module;
  return GetApplication() != nullptr ? GetApplication()->Module : nullptr;
}

bool TDialog::Create() {
  modal_ = false;
  HWND window = ::CreateDialogParamA(TemplateModule(), MAKEINTRESOURCEA(resource_id_),
                                     Parent != nullptr ? Parent->Handle : nullptr, &TDialog::DialogProc,
                                     reinterpret_cast<LPARAM>(this));
  if (window != nullptr) return true;
  if (GetApplication() != nullptr) GetApplication()->ReportFailure(ReportText::Of<IDS_DIALOG_CREATE_FAILED>());
  return false;
}

int TDialog::Execute() {
  modal_ = true;
  INT_PTR result = ::DialogBoxParamA(TemplateModule(), MAKEINTRESOURCEA(resource_id_),
                                     Parent != nullptr ? Parent->Handle : nullptr, &TDialog::DialogProc,
                                     reinterpret_cast<LPARAM>(this));
  if (result == -1 && GetApplication() != nullptr) {
    GetApplication()->ReportFailure(ReportText::Of<IDS_DIALOG_CREATE_FAILED>());
  }
  return static_cast<int>(result);
}

void TDialog::CloseWindow(int code) {
  if (!IsWindowAlive()) return;
  if (modal_) {
    ::EndDialog(Handle, code);
  } else {
    ::DestroyWindow(Handle);
  }
}

void TDialog::CmOk() { CloseWindow(IDOK); }

void TDialog::CmCancel() { CloseWindow(IDCANCEL); }

bool TDialog::PreProcessMsg(MSG* msg) {
  return !modal_ && IsWindowAlive() && ::IsDialogMessageA(Handle, msg) != FALSE;
}

bool TDialog::EventLookup(EntryKind kind, UINT id) {
  if (DispatchEntry(*this, kCommands, kind, id)) return true;
  return TWindow::EventLookup(kind, id);
}

INT_PTR TDialog::DialogMessage(UINT message, WPARAM wparam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      SetupWindow();
      return TRUE;
    case WM_COMMAND:
      // Clicks, and commands from accelerators and the dialog keyboard.
      if (HIWORD(wparam) == BN_CLICKED || HIWORD(wparam) == 1) {
        return EventLookup(EntryKind::Command, LOWORD(wparam)) ? TRUE : FALSE;
      }
      return FALSE;
    case WM_SIZE:
      if (Parent != nullptr && (::GetWindowLongA(Handle, GWL_STYLE) & WS_CHILD) != 0) Parent->ChildResized(this);
      return FALSE;
    case WM_DESTROY:
      if (Parent != nullptr && !modal_) Parent->ChildDestroyed(this);
      return FALSE;
    default:
      if (message >= WM_USER && message < WM_APP && EventLookup(EntryKind::Message, message)) return TRUE;
      return FALSE;
  }
}

INT_PTR CALLBACK TDialog::DialogProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  TDialog* self;
  if (message == WM_INITDIALOG) {
    self = reinterpret_cast<TDialog*>(lparam);
    ::SetWindowLongPtrA(window, DWLP_USER, lparam);
    self->Handle = window;
  } else {
    self = reinterpret_cast<TDialog*>(::GetWindowLongPtrA(window, DWLP_USER));
  }
  if (self == nullptr) return FALSE;
  INT_PTR result = self->DialogMessage(message, wparam, lparam);
  if (message == WM_NCDESTROY) self->Handle = nullptr;
  return result;
}

}  // namespace raylet
