// The window base of the framework: the object that stands behind one window
// handle, its creation attributes, its child objects (bound to controls of a
// dialog), the set-up hook and the event lookup.
#pragma once

#include "framework/CommandTable.h"
#include "platform/WinTypes.h"

namespace raylet {

class TApplication;

struct TWindowAttr {
  DWORD Style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
  DWORD ExStyle = 0;
  int X = CW_USEDEFAULT;
  int Y = CW_USEDEFAULT;
  int W = CW_USEDEFAULT;
  int H = CW_USEDEFAULT;
  int Id = 0;
};

class TWindow {
 public:
  // Registers the object in `parent`'s child list; a null module means the
  // application's.
  TWindow(TWindow* parent, const char* title, HINSTANCE module);
  virtual ~TWindow();
  TWindow(const TWindow&) = delete;
  TWindow& operator=(const TWindow&) = delete;

  // Creates the window; false (with the failure reported) when it could not.
  virtual bool Create();
  // Gives a modeless dialog its keyboard handling; true when `msg` was used.
  virtual bool PreProcessMsg(MSG* msg);
  // Runs the handler this class (or a base, or the application) has for the
  // command or private message; false when nobody handles it.
  virtual bool EventLookup(EntryKind kind, UINT id);

  // Reports from a child window object: its size changed, or its window is
  // going away.
  virtual void ChildResized(TWindow* child);
  virtual void ChildDestroyed(TWindow* child);

  void SetCaption(const char* text);
  bool IsWindowAlive() const;

  HWND Handle = nullptr;
  TWindow* Parent;
  TWindowAttr Attr;
  const char* Title;
  HINSTANCE Module;

 protected:
  // The set-up hook: runs once the window (and, for a dialog, its controls)
  // exists. The base binds child objects to their controls.
  virtual void SetupWindow();
  // Messages of windows of the framework's own classes.
  virtual LRESULT WindowMessage(UINT message, WPARAM wparam, LPARAM lparam);
  // Window procedure of the framework's own classes; the object arrives with
  // WM_NCCREATE and stays in the window's user data.
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
  // Registers `class_name` once per process with WindowProc.
  bool RegisterFrameworkClass(const char* class_name);
  // Detaches the object from its window so no more messages reach it.
  void Unbind();

  TWindow* FirstChild = nullptr;
  TWindow* NextSibling = nullptr;
};

}  // namespace raylet
