// Dialogs built from templates, modeless (Create) or modal (Execute), with
// the standard dialog keyboard: Tab order, Enter on the default button,
// Escape as cancel, mnemonics. Buttons 1 and 2 close the dialog.
#pragma once

#include "framework/TWindow.h"

namespace raylet {

class TDialog : public TWindow {
 public:
  TDialog(TWindow* parent, UINT resource_id, HINSTANCE module);
  // Destroys a window that is still there, as a cancel.
  ~TDialog() override;

  bool Create() override;
  // Runs the dialog modally; its close code, or -1 when it could not be shown.
  int Execute();
  // Ends the dialog with `code`: EndDialog when modal, else its window goes.
  void CloseWindow(int code);

  bool PreProcessMsg(MSG* msg) override;
  bool EventLookup(EntryKind kind, UINT id) override;

 protected:
  // Messages of the dialog; TRUE when handled.
  virtual INT_PTR DialogMessage(UINT message, WPARAM wparam, LPARAM lparam);
  void CmOk();
  void CmCancel();

 private:
  static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
  HINSTANCE TemplateModule() const;

  static constexpr CommandEntry<TDialog> kCommands[] = {
      {EntryKind::Command, IDOK, &TDialog::CmOk},
      {EntryKind::Command, IDCANCEL, &TDialog::CmCancel},
  };

  UINT resource_id_;
  bool modal_ = false;
};

}  // namespace raylet
