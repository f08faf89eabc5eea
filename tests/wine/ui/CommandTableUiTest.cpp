// rayctl.exe's command table, start-up and icon in the real window: Kill
// pressed as a user presses it, the application's about command sent to the
// frame, an unattended start that begins minimized, and the small image of
// icon group 1001 in the caption.
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

// 32-bit pixels, top row first, of a DC region copied into a bitmap of ours.
class Pixels {
 public:
  Pixels(int width, int height) : width_(width), height_(height) {
    BITMAPINFO format = {};
    format.bmiHeader.biSize = sizeof format.bmiHeader;
    format.bmiHeader.biWidth = width;
    format.bmiHeader.biHeight = -height;
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 32;
    dc_ = CreateCompatibleDC(nullptr);
    bitmap_ = CreateDIBSection(dc_, &format, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits_), nullptr, 0);
    SelectObject(dc_, bitmap_);
  }
  ~Pixels() {
    DeleteDC(dc_);
    DeleteObject(bitmap_);
  }
  HDC dc() const { return dc_; }
  DWORD At(int x, int y) const { return bits_[y * width_ + x] & 0xFFFFFFu; }
  int width() const { return width_; }
  int height() const { return height_; }

 private:
  int width_;
  int height_;
  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  DWORD* bits_ = nullptr;
};

// The icon drawn by this program on black and on white: where both agree,
// the pixel is the image's own, whatever lies behind it.
void Draw(HICON icon, int size, COLORREF background, Pixels* out) {
  RECT all = {0, 0, size, size};
  HBRUSH brush = CreateSolidBrush(background);
  FillRect(out->dc(), &all, brush);
  DeleteObject(brush);
  DrawIconEx(out->dc(), 0, 0, icon, size, size, 0, nullptr, DI_NORMAL);
}

// Whether the opaque pixels of `icon` stand somewhere in the caption strip
// of `frame` as the screen shows it.
bool CaptionShows(HWND frame, HICON icon, int size, int* opaque_pixels) {
  Pixels black(size, size);
  Pixels white(size, size);
  Draw(icon, size, RGB(0, 0, 0), &black);
  Draw(icon, size, RGB(255, 255, 255), &white);
  RECT window;
  GetWindowRect(frame, &window);
  Pixels strip(64, GetSystemMetrics(SM_CYCAPTION) + 8);
  HDC screen = GetDC(nullptr);
  BitBlt(strip.dc(), 0, 0, strip.width(), strip.height(), screen, window.left, window.top, SRCCOPY);
  ReleaseDC(nullptr, screen);
  *opaque_pixels = 0;
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) *opaque_pixels += black.At(x, y) == white.At(x, y);
  }
  for (int top = 0; top + size <= strip.height(); ++top) {
    for (int left = 0; left + size <= strip.width(); ++left) {
      bool same = true;
      for (int y = 0; y < size && same; ++y) {
        for (int x = 0; x < size && same; ++x) {
          same = black.At(x, y) != white.At(x, y) || black.At(x, y) == strip.At(left + x, top + y);
        }
      }
      if (same) return true;
    }
  }
  return false;
}

// The caption shows the small icon, the 16 x 16 image of group 1001. (The
// large one shows nowhere here, and Wine answers WM_GETICON from another
// process with no icon.)
TEST_F(CommandTable, CaptionShowsTheSmallImageOfGroup1001) {
  ASSERT_TRUE(rayctl.Start());
  HMODULE program = LoadLibraryExA(RayctlProcess::ExecutablePath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(nullptr, program);
  const int size = GetSystemMetrics(SM_CXSMICON);
  auto icon = static_cast<HICON>(LoadImageA(program, MAKEINTRESOURCEA(1001), IMAGE_ICON, size, size, 0));
  ASSERT_NE(nullptr, icon);
  SetWindowPos(rayctl.Frame(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  int opaque = 0;
  EXPECT_TRUE(WaitFor([&] { return CaptionShows(rayctl.Frame(), icon, size, &opaque); }, 3000));
  EXPECT_GT(opaque, 32) << "an image that is mostly transparent proves little";
  DestroyIcon(icon);
  FreeLibrary(program);
}

}  // namespace
}  // namespace raylet::ui
