// The about box (template 22000): name, product line, copyright and special
// build, read from the program's version block each time it opens.
#pragma once

#include "framework/TDialog.h"
#include "framework/TStatic.h"
#include "shell/logic/AboutBox.h"

namespace raylet {

class TSetRayAboutDlg : public TDialog, public AboutView {
 public:
  TSetRayAboutDlg(TWindow* parent, UINT resource_id, HINSTANCE module);
  ~TSetRayAboutDlg() override;

  void GetControlText(int id, char* buffer, int size) override;
  void SetControlText(int id, const char* text) override;

 protected:
  void SetupWindow() override;

 private:
  TStatic* Control(int id);

  TStatic version_line_;
  TStatic copyright_;
  TStatic special_build_;
};

}  // namespace raylet
