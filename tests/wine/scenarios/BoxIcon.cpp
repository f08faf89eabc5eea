#include "BoxIcon.h"

#include <vector>

namespace standin {
namespace {

BOOL CALLBACK FindIcon(HWND child, LPARAM param) {
  char name[32] = {};
  GetClassNameA(child, name, sizeof name);
  if (lstrcmpiA(name, "Static") == 0 && (GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
    *reinterpret_cast<HWND*>(param) = child;
    return FALSE;
  }
  return TRUE;
}

// The pixels of a width x height area: copied from the screen at `from`, or,
// with `icon` set, that icon drawn over the colour `background`.
std::vector<COLORREF> Pixels(POINT from, HICON icon, COLORREF background, int width, int height) {
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
  HGDIOBJ old = SelectObject(memory, bitmap);
  if (icon == nullptr) {
    BitBlt(memory, 0, 0, width, height, screen, from.x, from.y, SRCCOPY);
  } else {
    HBRUSH brush = CreateSolidBrush(background);
    RECT all = {0, 0, width, height};
    FillRect(memory, &all, brush);
    DeleteObject(brush);
    DrawIconEx(memory, 0, 0, icon, width, height, 0, nullptr, DI_NORMAL);
  }
  std::vector<COLORREF> pixels;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) pixels.push_back(GetPixel(memory, x, y));
  }
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return pixels;
}

}  // namespace

LPCSTR ShownSystemIcon(HWND box) {
  HWND holder = nullptr;
  EnumChildWindows(box, &FindIcon, reinterpret_cast<LPARAM>(&holder));
  if (holder == nullptr) return nullptr;
  SetForegroundWindow(box);
  RedrawWindow(box, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  Sleep(200);
  int width = GetSystemMetrics(SM_CXICON);
  int height = GetSystemMetrics(SM_CYICON);
  // Read off the screen: another program's window gives no pixels of its own.
  RECT place;
  GetWindowRect(holder, &place);
  std::vector<COLORREF> shown = Pixels(POINT{place.left, place.top}, nullptr, 0, width, height);
  // The icons' corners are transparent: the box's own background shows.
  COLORREF background = shown[0];
  for (LPCSTR candidate : {IDI_HAND, IDI_QUESTION, IDI_EXCLAMATION, IDI_ASTERISK}) {
    HICON icon = LoadIconA(nullptr, candidate);
    if (icon != nullptr && Pixels(POINT{0, 0}, icon, background, width, height) == shown) return candidate;
  }
  return nullptr;
}

}  // namespace standin
