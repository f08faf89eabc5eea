#include "framework/TDecoratedFrame.h"

#include "framework/TApplication.h"
#include "resources/ids.h"

namespace raylet {

namespace {

constexpr char kFrameClass[] = "RayletFrame";

void Report(ReportText text) {
  if (GetApplication() != nullptr) GetApplication()->ReportFailure(text);
}

}  // namespace

TDecoratedFrame::TDecoratedFrame(TWindow* parent, const char* title, TWindow* client, bool track_menu_selection,
                                 HINSTANCE module)
    : TWindow(parent, title, module), client_(client), track_menu_selection_(track_menu_selection) {
  if (client_ != nullptr) client_->Parent = this;
}

TDecoratedFrame::~TDecoratedFrame() {
  if (IsWindowAlive()) {
    HWND window = Handle;
    Unbind();
    ::DestroyWindow(window);
  }
  // Only now that no window can draw it any more.
  if (small_icon_ != nullptr) ::DestroyIcon(small_icon_);
  delete client_;
}

void TDecoratedFrame::SetIcon(HINSTANCE module, UINT resource_id) {
  icon_module_ = module;
  icon_id_ = resource_id;
}

void TDecoratedFrame::SetIconSm(HINSTANCE module, UINT resource_id) {
  icon_sm_module_ = module;
  icon_sm_id_ = resource_id;
}

bool TDecoratedFrame::Create() {
  if (!RegisterFrameworkClass(kFrameClass)) return false;
  // The first ShowWindow, with the application's show command, makes the
  // frame visible; being visible from creation on would flash a normal
  // window before a minimized start.
  HWND window = ::CreateWindowExA(Attr.ExStyle, kFrameClass, Title, Attr.Style & ~WS_VISIBLE, Attr.X, Attr.Y,
                                  Attr.W, Attr.H, Parent != nullptr ? Parent->Handle : nullptr, nullptr, Module,
                                  this);
  if (window == nullptr) {
    Report(ReportText::Of<IDS_WINDOW_CREATE_FAILED>());
    return false;
  }
  ApplyIcons();
  return true;
}

void TDecoratedFrame::ApplyIcons() {
  if (icon_id_ != 0) {
    HICON large = ::LoadIconA(icon_module_, MAKEINTRESOURCEA(icon_id_));
    if (large == nullptr) Report(ReportText::Of<IDS_ICON_LOAD_FAILED>());
    ::SendMessageA(Handle, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(large));
  }
  if (icon_sm_id_ != 0) {
    // Not shared: Windows 95 and 98 hand out the first image of the name
    // already in the shared cache, whatever its size, so the caption would
    // get the large image squeezed. An unshared icon is ours to destroy.
    if (small_icon_ != nullptr) ::DestroyIcon(small_icon_);
    small_icon_ = static_cast<HICON>(::LoadImageA(icon_sm_module_, MAKEINTRESOURCEA(icon_sm_id_), IMAGE_ICON,
                                                  ::GetSystemMetrics(SM_CXSMICON),
                                                  ::GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR));
    if (small_icon_ == nullptr) Report(ReportText::Of<IDS_ICON_LOAD_FAILED>());
    ::SendMessageA(Handle, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small_icon_));
  }
}

bool TDecoratedFrame::CreateClient() {
  if (!client_->Create()) return false;
  HWND dialog = client_->Handle;
  // The template's size is the dialog's client area; the child keeps it.
  RECT area;
  ::GetClientRect(dialog, &area);
  DWORD style = static_cast<DWORD>(::GetWindowLongA(dialog, GWL_STYLE));
  style = (style & ~static_cast<DWORD>(WS_POPUP | WS_DLGFRAME | WS_THICKFRAME)) | WS_CHILD | WS_VISIBLE | WS_BORDER;
  DWORD ex_style = static_cast<DWORD>(::GetWindowLongA(dialog, GWL_EXSTYLE));
  ex_style &= ~static_cast<DWORD>(WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE | WS_EX_STATICEDGE);
  // WS_CHILD before SetParent; visible once it sits in the frame.
  ::SetWindowLongA(dialog, GWL_STYLE, static_cast<LONG>(style & ~static_cast<DWORD>(WS_VISIBLE)));
  ::SetWindowLongA(dialog, GWL_EXSTYLE, static_cast<LONG>(ex_style));
  ::SetParent(dialog, Handle);
  ::AdjustWindowRectEx(&area, style, FALSE, ex_style);
  ::SetWindowPos(dialog, nullptr, 0, 0, area.right - area.left, area.bottom - area.top,
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED | SWP_SHOWWINDOW);
  FitToClient();
  return true;
}

void TDecoratedFrame::FitToClient() {
  if (client_ == nullptr || !client_->IsWindowAlive() || ::IsIconic(Handle)) return;
  RECT child;
  ::GetWindowRect(client_->Handle, &child);
  // Measured rather than computed: the caption may take more room than the
  // style alone says.
  for (int pass = 0; pass < 3; ++pass) {
    RECT inner;
    RECT outer;
    ::GetClientRect(Handle, &inner);
    ::GetWindowRect(Handle, &outer);
    int grow_x = (child.right - child.left) - inner.right;
    int grow_y = (child.bottom - child.top) - inner.bottom;
    if (grow_x == 0 && grow_y == 0) break;
    ::SetWindowPos(Handle, nullptr, 0, 0, outer.right - outer.left + grow_x, outer.bottom - outer.top + grow_y,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

bool TDecoratedFrame::PreProcessMsg(MSG* msg) { return client_ != nullptr && client_->PreProcessMsg(msg); }

void TDecoratedFrame::ChildResized(TWindow* child) {
  if (shrink_to_client_ && child == client_) FitToClient();
}

void TDecoratedFrame::ChildDestroyed(TWindow* child) {
  if (child == client_ && Handle != nullptr) ::PostMessageA(Handle, WM_CLOSE, 0, 0);
}

LRESULT TDecoratedFrame::WindowMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  bool client_alive = client_ != nullptr && client_->IsWindowAlive();
  switch (message) {
    case WM_CREATE:
      if (client_ != nullptr && !CreateClient()) Report(ReportText::Of<IDS_CHILD_CREATE_FAILED>());
      return 0;
    case WM_ACTIVATE:
      // Remember the focused control, to give it back on return.
      if (LOWORD(wparam) == WA_INACTIVE && client_alive) {
        HWND focus = ::GetFocus();
        if (focus != nullptr && ::IsChild(client_->Handle, focus)) focus_ = focus;
      }
      break;
    case WM_SETFOCUS:
      // Keys reach the dialog only while it or one of its controls has the focus.
      if (client_alive) {
        bool saved = focus_ != nullptr && ::IsWindow(focus_) && ::IsChild(client_->Handle, focus_);
        ::SetFocus(saved ? focus_ : client_->Handle);
      }
      return 0;
    case WM_COMMAND:
      if (EventLookup(EntryKind::Command, LOWORD(wparam))) return 0;
      break;
    case WM_DESTROY:
      if (GetApplication() != nullptr && GetApplication()->GetMainWindow() == this) {
        ::PostQuitMessage(GetApplication()->ExitStatus());
      }
      return 0;
    default:
      if (message >= WM_USER && message < WM_APP && EventLookup(EntryKind::Message, message)) return 0;
      break;
  }
  return TWindow::WindowMessage(message, wparam, lparam);
}

}  // namespace raylet
