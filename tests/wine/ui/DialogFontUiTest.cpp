// The face the dialogs really draw in. Windows 98 has Times New Roman and
// draws both templates in it at 9 points; a prefix without that face would
// fall back to a sans-serif one, with other widths and other line breaks in
// the buttons, and no screenshot of it would show what users see.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "RayctlProcess.h"

namespace raylet::ui {
namespace {

INT_PTR CALLBACK QuietDialog(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

class DialogFont : public ::testing::TestWithParam<int> {};

TEST_P(DialogFont, IsTimesNewRomanAtNinePointsInASerifFace) {
  HMODULE exe = LoadLibraryExA(RayctlProcess::ExecutablePath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(nullptr, exe) << RayctlProcess::ExecutablePath();
  HRSRC found = FindResourceA(exe, MAKEINTRESOURCEA(GetParam()), MAKEINTRESOURCEA(5));  // RT_DIALOG
  ASSERT_NE(nullptr, found);
  auto* dialog_template = static_cast<const DLGTEMPLATE*>(LockResource(LoadResource(exe, found)));
  // The template of the program itself, built by this system's dialog manager.
  HWND dialog = CreateDialogIndirectParamA(GetModuleHandleA(nullptr), dialog_template, nullptr, QuietDialog, 0);
  ASSERT_NE(nullptr, dialog);

  auto font = reinterpret_cast<HFONT>(SendMessageA(dialog, WM_GETFONT, 0, 0));
  ASSERT_NE(nullptr, font);
  LOGFONTA asked = {};
  ASSERT_NE(0, GetObjectA(font, sizeof asked, &asked));
  HDC dc = GetDC(dialog);
  int dpi = GetDeviceCaps(dc, LOGPIXELSY);
  HGDIOBJ old = SelectObject(dc, font);
  char face[LF_FACESIZE] = {};
  GetTextFaceA(dc, sizeof face, face);
  TEXTMETRICA metrics = {};
  GetTextMetricsA(dc, &metrics);
  SelectObject(dc, old);
  ReleaseDC(dialog, dc);
  DestroyWindow(dialog);
  FreeLibrary(exe);

  EXPECT_STREQ("Times New Roman", asked.lfFaceName);
  EXPECT_EQ(-MulDiv(9, dpi, 72), asked.lfHeight);
  EXPECT_STREQ("Times New Roman", face) << "the system drew another face";
  EXPECT_EQ(FF_ROMAN, metrics.tmPitchAndFamily & 0xF0) << "not a serif face";
  // The em of the face drawn; the rasterizer may round it up by a pixel.
  EXPECT_NEAR(MulDiv(9, dpi, 72), metrics.tmHeight - metrics.tmInternalLeading, 1) << "not 9 points high";
}

// 2000: the main dialog; 22000: the about box.
INSTANTIATE_TEST_SUITE_P(Templates, DialogFont, ::testing::Values(2000, 22000));

}  // namespace
}  // namespace raylet::ui
