#include "shell/win32/TSetRayApp.h"

#include <new>

#include "resources/ids.h"
#include "shell/logic/ShowCommand.h"
#include "shell/win32/TSDIDecFrame.h"
#include "shell/win32/TSetRayAboutDlg.h"

namespace raylet {

namespace {

constexpr char kApplicationName[] = "IrDA driver setting";
constexpr DWORD kFrameStyleAdd = 0x10CA0000;   // WS_VISIBLE | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX
constexpr DWORD kFrameStyleKeep = 0xBDFAFFFF;  // drops WS_CHILD, WS_CLIPCHILDREN, WS_THICKFRAME, WS_MAXIMIZEBOX

using Ctl3dCall = BOOL(WINAPI*)(HINSTANCE);

int MajorVersion() { return LOBYTE(LOWORD(::GetVersion())); }

}  // namespace

TSetRayApp::TSetRayApp() : TApplication(kApplicationName, nullptr) {}

TSetRayApp::~TSetRayApp() {
  if (ctl3d_ != nullptr) {
    auto unregister = reinterpret_cast<Ctl3dCall>(reinterpret_cast<void*>(::GetProcAddress(ctl3d_, "Ctl3dUnregister")));
    if (unregister != nullptr) unregister(Module);
    ::FreeLibrary(ctl3d_);
  }
}

bool TSetRayApp::EventLookup(EntryKind kind, UINT id) {
  return DispatchEntry(*this, kCommands, kind, id) || TApplication::EventLookup(kind, id);
}

void TSetRayApp::CreateMainWindow() {
  ShowCommand = ChooseShowCommand(ShowCommand, Argc());
  auto* frame = new (std::nothrow) TSDIDecFrame(nullptr, Name, nullptr, false, nullptr);
  if (frame == nullptr) {
    ReportFailure(ReportText::Of<IDS_OUT_OF_MEMORY>());
    return;
  }
  frame->SetShrinkToClient(true);
  frame->Attr.Style |= kFrameStyleAdd;
  frame->Attr.Style &= kFrameStyleKeep;
  frame->SetIcon(Module, IDI_RAYLET);
  if (MajorVersion() >= 4) frame->SetIconSm(Module, IDI_RAYLET);
  SetMainWindow(frame);
  RequestCtl3d();
}

// Three-dimensional controls come with the system from version 4 on; older
// systems get them from CTL3D32.DLL when it is there. Loaded by name so the
// program does not depend on it.
void TSetRayApp::RequestCtl3d() {
  if (MajorVersion() >= 4) return;
  ctl3d_ = ::LoadLibraryA("CTL3D32.DLL");
  if (ctl3d_ == nullptr) return;
  auto register_app = reinterpret_cast<Ctl3dCall>(reinterpret_cast<void*>(::GetProcAddress(ctl3d_, "Ctl3dRegister")));
  auto auto_subclass =
      reinterpret_cast<Ctl3dCall>(reinterpret_cast<void*>(::GetProcAddress(ctl3d_, "Ctl3dAutoSubclass")));
  if (register_app != nullptr && register_app(Module) && auto_subclass != nullptr) auto_subclass(Module);
}

void TSetRayApp::ShowAboutBox() {
  TSetRayAboutDlg about(GetMainWindow(), IDD_ABOUT, nullptr);
  about.Execute();
}

}  // namespace raylet
