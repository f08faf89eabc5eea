#include "shell/win32/TSDIDecFrame.h"

#include <new>

#include "framework/TApplication.h"
#include "resources/ids.h"
#include "shell/win32/TSetRayDlgClient.h"

namespace raylet {

namespace {

TWindow* MainDialogUnlessGiven(TWindow* client) {
  if (client != nullptr) return client;
  TWindow* dialog = new (std::nothrow) TSetRayDlgClient(nullptr, IDD_MAIN, nullptr);
  if (dialog == nullptr && GetApplication() != nullptr) {
    GetApplication()->ReportFailure(ReportText::Of<IDS_OUT_OF_MEMORY>());
  }
  return dialog;
}

}  // namespace

TSDIDecFrame::TSDIDecFrame(TWindow* parent, const char* title, TWindow* client, bool track_menu_selection,
                           HINSTANCE module)
    : TDecoratedFrame(parent, title, MainDialogUnlessGiven(client), track_menu_selection, module) {}

TSDIDecFrame::~TSDIDecFrame() = default;

}  // namespace raylet
