#include "framework/TWindow.h"

#include "framework/TApplication.h"
#include "resources/ids.h"

namespace raylet {

TWindow::TWindow(TWindow* parent, const char* title, HINSTANCE module)
    : Parent(parent), Title(title), Module(module) {
  if (Module == nullptr && GetApplication() != nullptr) Module = GetApplication()->Module;
  if (parent != nullptr) {
    NextSibling = parent->FirstChild;
    parent->FirstChild = this;
  }
}

// A window object whose class created its window destroys it in its own
// destructor; controls bound by id belong to their dialog.
TWindow::~TWindow() {
  if (Parent != nullptr) {
    for (TWindow** link = &Parent->FirstChild; *link != nullptr; link = &(*link)->NextSibling) {
      if (*link == this) {
        *link = NextSibling;
        break;
      }
    }
  }
  for (TWindow* child = FirstChild; child != nullptr; child = child->NextSibling) child->Parent = nullptr;
}

bool TWindow::Create() { return Handle != nullptr; }

bool TWindow::PreProcessMsg(MSG*) { return false; }

bool TWindow::EventLookup(EntryKind kind, UINT id) {
  if (kind != EntryKind::Command || GetApplication() == nullptr) return false;
  return GetApplication()->EventLookup(kind, id);
}

void TWindow::ChildResized(TWindow*) {}

void TWindow::ChildDestroyed(TWindow*) {}

void TWindow::SetCaption(const char* text) {
  Title = text;
  if (Handle != nullptr) ::SetWindowTextA(Handle, text);
}

bool TWindow::IsWindowAlive() const { return Handle != nullptr && ::IsWindow(Handle); }

void TWindow::SetupWindow() {
  // Child objects made for controls of a template get their control's handle.
  for (TWindow* child = FirstChild; child != nullptr; child = child->NextSibling) {
    if (child->Handle == nullptr && child->Attr.Id != 0) child->Handle = ::GetDlgItem(Handle, child->Attr.Id);
  }
}

LRESULT TWindow::WindowMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  return ::DefWindowProcA(Handle, message, wparam, lparam);
}

LRESULT CALLBACK TWindow::WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  TWindow* self;
  if (message == WM_NCCREATE) {
    self = static_cast<TWindow*>(reinterpret_cast<CREATESTRUCTA*>(lparam)->lpCreateParams);
    ::SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    self->Handle = window;
  } else {
    self = reinterpret_cast<TWindow*>(::GetWindowLongPtrA(window, GWLP_USERDATA));
  }
  if (self == nullptr) return ::DefWindowProcA(window, message, wparam, lparam);
  LRESULT result = self->WindowMessage(message, wparam, lparam);
  if (message == WM_NCDESTROY) self->Unbind();
  return result;
}

bool TWindow::RegisterFrameworkClass(const char* class_name) {
  WNDCLASSA existing;
  if (::GetClassInfoA(Module, class_name, &existing)) return true;
  WNDCLASSA window_class = {};
  window_class.lpfnWndProc = &TWindow::WindowProc;
  window_class.hInstance = Module;
  window_class.hCursor = ::LoadCursorA(nullptr, IDC_ARROW);
  window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  window_class.lpszClassName = class_name;
  if (::RegisterClassA(&window_class) != 0) return true;
  if (GetApplication() != nullptr) GetApplication()->ReportFailure(ReportText::Of<IDS_CLASS_REGISTER_FAILED>());
  return false;
}

void TWindow::Unbind() {
  if (Handle != nullptr && ::IsWindow(Handle)) ::SetWindowLongPtrA(Handle, GWLP_USERDATA, 0);
  Handle = nullptr;
}

}  // namespace raylet
