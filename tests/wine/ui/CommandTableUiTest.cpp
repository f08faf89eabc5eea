// rayctl.exe's command table, start-up and icons in the real window: Kill
// pressed as a user presses it, the application's about command sent to the
// frame, an unattended start that begins minimized, and the icons of group
// 1001 on the frame.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "RayctlProcess.h"

namespace raylet::ui {
namespace {

constexpr char kRootInfrared[] = "Enum\\Root\\Infrared";
constexpr char kVirtualPorts[] = "Enum\\Infrared\\VirtualPorts";
constexpr char kSetting[] = "Control Panel\\Infrared";

void SetSetting(DWORD value) {
  HKEY key = nullptr;
  ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyA(HKEY_CURRENT_USER, kSetting, &key));
  RegSetValueExA(key, "IrEnabled", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
  RegCloseKey(key);
}

// A window of this test titled "IRMON": the program takes it for the
// infrared monitor. Counts the WM_DESTROY messages it is sent or posted.
class StandInMonitor {
 public:
  StandInMonitor() {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = &Proc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "RayletUiStandInMonitor";
    RegisterClassA(&wc);
    window_ = CreateWindowA(wc.lpszClassName, "IRMON", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, wc.hInstance,
                            nullptr);
  }
  ~StandInMonitor() { DestroyWindow(window_); }
  static int destroys;
  // Dispatches what was posted to this thread.
  static void Pump() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
  }

 private:
  static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_DESTROY) ++destroys;
    return DefWindowProcA(window, message, wparam, lparam);
  }
  HWND window_ = nullptr;
};
int StandInMonitor::destroys = 0;

class CommandTable : public ::testing::Test {
 protected:
  void SetUp() override {
    RemoveKeys();
    StandInMonitor::destroys = 0;
  }
  void TearDown() override { RemoveKeys(); }
  static void RemoveKeys() {
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, kRootInfrared);
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, "Enum\\Infrared");
    RegDeleteTreeA(HKEY_CURRENT_USER, kSetting);
  }

  RayctlProcess rayctl;
};

TEST_F(CommandTable, KillWithoutMonitorResetsTheFaultCaptionAndGives53) {
  ASSERT_TRUE(rayctl.Start());
  rayctl.Click(102);
  ASSERT_EQ("Raylet - fault -", rayctl.Caption());
  rayctl.Click(112);
  EXPECT_EQ("Allready MS-IrDA was killed! 53", rayctl.Label());
  EXPECT_EQ("Raylet", rayctl.Caption());
}

TEST_F(CommandTable, KillWithTheSettingOnIsRefusedAsAFault) {
  StandInMonitor monitor;
  SetSetting(1);
  ASSERT_TRUE(rayctl.Start());
  rayctl.Click(112);
  EXPECT_EQ("You must do disable driver first! 51", rayctl.Label());
  EXPECT_EQ("Raylet - fault -", rayctl.Caption());
  StandInMonitor::Pump();
  EXPECT_EQ(0, StandInMonitor::destroys);
}

TEST_F(CommandTable, KillWithTheSettingOffPostsTheMonitorWmDestroy) {
  StandInMonitor monitor;
  SetSetting(0);
  ASSERT_TRUE(rayctl.Start());
  rayctl.Click(112);
  EXPECT_EQ("Success! Raylet kill MS IrDA-driver! 50", rayctl.Label());
  EXPECT_EQ("Raylet", rayctl.Caption());
  ASSERT_TRUE(WaitFor([] {
    StandInMonitor::Pump();
    return StandInMonitor::destroys > 0;
  }));
  EXPECT_EQ(1, StandInMonitor::destroys);
}

// 2009 is the about item of the menu nobody loads; the application still
// answers it.
TEST_F(CommandTable, AboutCommandToTheFrameOpensTheAboutBox) {
  ASSERT_TRUE(rayctl.Start());
  PostMessageA(rayctl.Frame(), WM_COMMAND, 2009, 0);
  HWND about = nullptr;
  ASSERT_TRUE(WaitFor([&] { return (about = rayctl.FindOwnWindow("About this software")) != nullptr; }));
  EXPECT_EQ(rayctl.Frame(), GetWindow(about, GW_OWNER));
  EXPECT_EQ("Raylet", rayctl.Caption());
  PostMessageA(GetDlgItem(about, IDOK), BM_CLICK, 0, 0);
  ASSERT_TRUE(WaitFor([&] { return !IsWindow(about); }));
}

// An unattended run starts minimized. The driver's virtual ports are named
// NUL, which opens but is no serial port: each probe stops at a box, and
// while it is up the window shows how it was started. The refused kill then
// restores it for the fault.
TEST_F(CommandTable, UnattendedStartIsMinimizedUntilTheFaultShows) {
  HKEY key = nullptr;
  ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyA(HKEY_LOCAL_MACHINE, kRootInfrared, &key));
  RegCloseKey(key);
  ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyA(HKEY_LOCAL_MACHINE, kVirtualPorts, &key));
  RegSetValueExA(key, "VirtualComPortName", 0, REG_SZ, reinterpret_cast<const BYTE*>("NUL"), 4);
  RegSetValueExA(key, "VirtualLptPortName", 0, REG_SZ, reinterpret_cast<const BYTE*>("NUL"), 4);
  RegCloseKey(key);
  SetSetting(1);
  StandInMonitor monitor;

  ASSERT_TRUE(rayctl.Start("/K"));
  for (int probe = 0; probe < 2; ++probe) {
    SCOPED_TRACE(probe);
    HWND box = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (box = rayctl.FindOwnWindow("Error")) != nullptr; }));
    EXPECT_TRUE(IsIconic(rayctl.Frame()));
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(box); }));
  }
  ASSERT_TRUE(WaitFor([&] { return rayctl.Caption() == "Raylet - fault -"; })) << rayctl.Caption();
  EXPECT_EQ("You must do disable driver first! 51", rayctl.Label());
  EXPECT_FALSE(IsIconic(rayctl.Frame()));
  EXPECT_TRUE(IsWindowVisible(rayctl.Frame()));
}

// The colour and mask bits of an icon, 32 bits a pixel, with its size.
std::vector<DWORD> IconBits(HICON icon, int* width, int* height) {
  std::vector<DWORD> bits;
  ICONINFO info = {};
  if (icon == nullptr || !GetIconInfo(icon, &info)) return bits;
  BITMAP bitmap = {};
  GetObjectA(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof bitmap, &bitmap);
  *width = bitmap.bmWidth;
  *height = bitmap.bmHeight;
  HDC dc = GetDC(nullptr);
  for (HBITMAP part : {info.hbmColor, info.hbmMask}) {
    if (part == nullptr) continue;
    BITMAP size = {};
    GetObjectA(part, sizeof size, &size);
    BITMAPINFO format = {};
    format.bmiHeader.biSize = sizeof format.bmiHeader;
    format.bmiHeader.biWidth = size.bmWidth;
    format.bmiHeader.biHeight = size.bmHeight;
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 32;
    std::vector<DWORD> pixels(static_cast<std::size_t>(size.bmWidth) * static_cast<std::size_t>(size.bmHeight));
    GetDIBits(dc, part, 0, static_cast<UINT>(size.bmHeight), pixels.data(), &format, DIB_RGB_COLORS);
    bits.insert(bits.end(), pixels.begin(), pixels.end());
    DeleteObject(part);
  }
  ReleaseDC(nullptr, dc);
  return bits;
}

TEST_F(CommandTable, FrameCarriesTheIconsOfGroup1001) {
  ASSERT_TRUE(rayctl.Start());
  HMODULE program = LoadLibraryExA(RayctlProcess::ExecutablePath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(nullptr, program);
  const int small = GetSystemMetrics(SM_CXSMICON);
  struct Expected {
    WPARAM which;
    int size;
  };
  for (Expected expected : {Expected{ICON_BIG, 32}, Expected{ICON_SMALL, small}}) {
    SCOPED_TRACE(expected.which == ICON_BIG ? "big" : "small");
    auto shown = reinterpret_cast<HICON>(SendMessageA(rayctl.Frame(), WM_GETICON, expected.which, 0));
    int width = 0;
    int height = 0;
    std::vector<DWORD> bits = IconBits(shown, &width, &height);
    ASSERT_FALSE(bits.empty()) << "no icon set";
    EXPECT_EQ(expected.size, width);
    EXPECT_EQ(expected.size, height);
    auto resource = static_cast<HICON>(
        LoadImageA(program, MAKEINTRESOURCEA(1001), IMAGE_ICON, expected.size, expected.size, 0));
    int resource_width = 0;
    int resource_height = 0;
    EXPECT_EQ(IconBits(resource, &resource_width, &resource_height), bits) << "not the image of group 1001";
    DestroyIcon(resource);
  }
  FreeLibrary(program);
}

}  // namespace
}  // namespace raylet::ui
