// rayctl.exe's main window under Wine, worked from outside. No infrared
// driver is installed in the prefix while these run.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "RayctlProcess.h"
#include "resources/version.h"

namespace raylet::ui {
namespace {

// Keys the stand-in stack may have left; without them the driver counts as
// not installed.
void RemoveDriverKeys() {
  RegDeleteTreeA(HKEY_LOCAL_MACHINE, "Enum\\Root\\Infrared");
  RegDeleteTreeA(HKEY_LOCAL_MACHINE, "Enum\\Infrared");
  RegDeleteTreeA(HKEY_CURRENT_USER, "Control Panel\\Infrared");
}

class MainWindow : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { RemoveDriverKeys(); }
  void SetUp() override { ASSERT_TRUE(rayctl.Start()) << RayctlProcess::ExecutablePath(); }

  RayctlProcess rayctl;
};

TEST_F(MainWindow, OpensNormalWithCaptionRayletAndAnEmptyLabel) {
  EXPECT_TRUE(IsWindowVisible(rayctl.Frame()));
  EXPECT_FALSE(IsIconic(rayctl.Frame()));
  EXPECT_EQ("Raylet", rayctl.Caption());
  EXPECT_EQ("", rayctl.Label());
}

TEST_F(MainWindow, FrameIsFixedSizeWithoutMenuAndListedInTheTaskBar) {
  LONG style = GetWindowLongA(rayctl.Frame(), GWL_STYLE);
  EXPECT_EQ(WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX,
            style & (WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME | WS_CHILD));
  EXPECT_NE(0, GetWindowLongA(rayctl.Frame(), GWL_EXSTYLE) & WS_EX_APPWINDOW);
  EXPECT_EQ(nullptr, GetMenu(rayctl.Frame()));
}

TEST_F(MainWindow, DialogIsABorderedChildWithoutCaption) {
  LONG style = GetWindowLongA(rayctl.Dialog(), GWL_STYLE);
  LONG ex_style = GetWindowLongA(rayctl.Dialog(), GWL_EXSTYLE);
  EXPECT_EQ(WS_CHILD | WS_VISIBLE | WS_BORDER,
            style & (WS_POPUP | WS_CHILD | WS_VISIBLE | WS_BORDER | WS_DLGFRAME | WS_THICKFRAME));
  EXPECT_EQ(0, ex_style & (WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE | WS_EX_STATICEDGE));
  EXPECT_EQ(rayctl.Frame(), GetParent(rayctl.Dialog()));
}

TEST_F(MainWindow, FramesClientAreaIsTheDialogExactly) {
  RECT client;
  RECT dialog;
  GetClientRect(rayctl.Frame(), &client);
  GetWindowRect(rayctl.Dialog(), &dialog);
  MapWindowPoints(nullptr, rayctl.Frame(), reinterpret_cast<POINT*>(&dialog), 2);
  EXPECT_EQ(0, dialog.left);
  EXPECT_EQ(0, dialog.top);
  EXPECT_EQ(client.right, dialog.right);
  EXPECT_EQ(client.bottom, dialog.bottom);
  EXPECT_GT(client.right, 300);
}

struct ControlSpec {
  int id;
  const char* class_name;
  const char* text;
};

TEST_F(MainWindow, DialogHoldsTheSeventeenControlsInTabOrder) {
  const std::vector<ControlSpec> expected = {
      {104, "Button", "MS-IrDA Driver Setting"},
      {1, "Button", "&Exit"},
      {103, "Button", "Version &Help"},
      {105, "Button", "MS-IrDA (Win98) &Uninstall"},
      {106, "Button", "&Remove MS-IrDA from system!"},
      {107, "Button", "IrMonitor setting"},
      {108, "Button", "&Road memory every win98 startup."},
      {109, "Button", "Road memory when you &need MS-IrDA."},
      {65535, "Static", "Raylet is free software\nunder the MIT License."},
      {110, "Button", ""},
      {111, "Button", ""},
      {101, "Button", "&Disable MS-IrDA Driver"},
      {112, "Button", "&Kill MS-IrDA Driver"},
      {102, "Button", "&Enable MS-IrDA Driver"},
      {65535, "Static",
       "MS-IrDA applications\n\n\nIrClip\nNTT IrTA\nOKAYA Legasic\nJet Eye Net\nTran-P\nMS IrXfer"},
      {65535, "Static",
       "Softwares which don't depend on MS-IrDA\n\nRemocon-Con\nPUMA IntelliSynk\nPUMA Tranxit\nCasio "
       "PCX(IrWW)\nSeiko Ruputer(IrWW)\nPalmIII\nZaurus-ASK"},
      {120, "Static", ""},
  };
  std::vector<HWND> children;
  for (HWND child = GetWindow(rayctl.Dialog(), GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
    children.push_back(child);
  }
  ASSERT_EQ(expected.size(), children.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(expected[i].id, GetDlgCtrlID(children[i]));
    EXPECT_EQ(expected[i].class_name, ClassOf(children[i]));
    EXPECT_EQ(expected[i].text, WindowText(children[i]));
  }
}

TEST_F(MainWindow, EnableWithoutDriverIsAFaultAndDisableClearsIt) {
  rayctl.Click(102);
  EXPECT_EQ("IrDA driver is not installed. 1", rayctl.Label());
  EXPECT_EQ("Raylet - fault -", rayctl.Caption());
  EXPECT_TRUE(IsWindowEnabled(rayctl.Frame()));
  rayctl.Click(101);
  EXPECT_EQ("IrDA driver is not installed. 38", rayctl.Label());
  EXPECT_EQ("Raylet", rayctl.Caption());
  EXPECT_TRUE(IsWindowEnabled(rayctl.Frame()));
}

TEST_F(MainWindow, AboutBoxShowsTheVersionAndLeavesCaptionAndLabel) {
  rayctl.Click(102);
  for (int opening = 0; opening < 2; ++opening) {
    SCOPED_TRACE(opening);
    rayctl.PostClick(103);
    HWND about = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (about = rayctl.FindOwnWindow("About this software")) != nullptr; }));
    ASSERT_TRUE(WaitFor([&] { return WindowText(GetDlgItem(about, 22001)) == "RayCtl Version " RAYLET_VERSION_TEXT; }))
        << WindowText(GetDlgItem(about, 22001));
    EXPECT_EQ("Copyright (C) 2026 The Raylet authors", WindowText(GetDlgItem(about, 22002)));
    EXPECT_EQ("", WindowText(GetDlgItem(about, 22003)));
    EXPECT_EQ(rayctl.Frame(), GetWindow(about, GW_OWNER));
    EXPECT_FALSE(IsWindowEnabled(rayctl.Frame()));  // modal
    PostMessageA(GetDlgItem(about, IDOK), BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(about); }));
    ASSERT_TRUE(WaitFor([&] { return IsWindowEnabled(rayctl.Frame()) != FALSE; }));
    EXPECT_EQ("Raylet - fault -", rayctl.Caption());
    EXPECT_EQ("IrDA driver is not installed. 1", rayctl.Label());
  }
}

TEST_F(MainWindow, ExitEndsTheProgram) {
  rayctl.PostClick(1);
  ASSERT_TRUE(rayctl.WaitForExit());
  EXPECT_EQ(0u, rayctl.ExitCode());
}

// The Escape key reaches the dialog only when a control of it has the focus:
// the frame must have handed it over, also after an operation disabled the
// window for its length.
TEST_F(MainWindow, EscapeEndsTheProgramAfterAnOperation) {
  rayctl.Click(101);
  GUITHREADINFO gui = {};
  gui.cbSize = sizeof gui;
  ASSERT_TRUE(GetGUIThreadInfo(rayctl.ThreadId(), &gui));
  ASSERT_NE(nullptr, gui.hwndFocus);
  EXPECT_TRUE(IsChild(rayctl.Dialog(), gui.hwndFocus)) << ClassOf(gui.hwndFocus);
  PostMessageA(gui.hwndFocus, WM_KEYDOWN, VK_ESCAPE, 1);
  PostMessageA(gui.hwndFocus, WM_KEYUP, VK_ESCAPE, 0xC0000001);
  ASSERT_TRUE(rayctl.WaitForExit());
}

TEST_F(MainWindow, EscapeEndsTheProgramRightAfterTheStart) {
  GUITHREADINFO gui = {};
  gui.cbSize = sizeof gui;
  ASSERT_TRUE(GetGUIThreadInfo(rayctl.ThreadId(), &gui));
  ASSERT_NE(nullptr, gui.hwndFocus);
  PostMessageA(gui.hwndFocus, WM_KEYDOWN, VK_ESCAPE, 1);
  ASSERT_TRUE(rayctl.WaitForExit());
}

HWND FocusOf(const RayctlProcess& rayctl) {
  GUITHREADINFO gui = {};
  gui.cbSize = sizeof gui;
  return GetGUIThreadInfo(rayctl.ThreadId(), &gui) ? gui.hwndFocus : nullptr;
}

TEST_F(MainWindow, TabStepsThroughTheButtonsAndMnemonicsPressThem) {
  HWND focus = FocusOf(rayctl);
  ASSERT_EQ(rayctl.Control(1), focus);  // the first tab stop
  PostMessageA(focus, WM_KEYDOWN, VK_TAB, 1);
  ASSERT_TRUE(WaitFor([&] { return FocusOf(rayctl) == rayctl.Control(103); }));
  // Alt+E: "&Enable MS-IrDA Driver".
  PostMessageA(FocusOf(rayctl), WM_SYSCHAR, 'e', 0x20000001);
  // The caption follows the label (a moment later on an emulated CPU).
  EXPECT_TRUE(WaitFor([&] {
    return rayctl.Label() == "IrDA driver is not installed. 1" && rayctl.Caption() == "Raylet - fault -";
  })) << rayctl.Label() << " / " << rayctl.Caption();
}

TEST_F(MainWindow, ClosingTheFrameEndsTheProgram) {
  PostMessageA(rayctl.Frame(), WM_CLOSE, 0, 0);
  ASSERT_TRUE(rayctl.WaitForExit());
  EXPECT_EQ(0u, rayctl.ExitCode());
}

}  // namespace
}  // namespace raylet::ui
