// What this prefix tells programs about the system: the i686 build runs in
// a prefix that reports Windows 98, the x64 build in a Windows NT one.
// (version.sh then watches the steps rayctl.exe takes by the version.)
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <string>

namespace raylet::ui {
namespace {

constexpr bool kWindows98Run = sizeof(void*) == 4;

std::string RegistryText(HKEY root, const char* path, const char* name) {
  char text[256] = "";
  DWORD size = sizeof text - 1;
  HKEY key = nullptr;
  if (RegOpenKeyExA(root, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return "(no key)";
  LONG status = RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(text), &size);
  RegCloseKey(key);
  return status == ERROR_SUCCESS ? text : "(none)";
}

TEST(Prefix, ReportsTheSystemOfItsRun) {
  DWORD version = GetVersion();
  unsigned major = LOBYTE(LOWORD(version));
  unsigned minor = HIBYTE(LOWORD(version));
  bool nine_x = (version & 0x80000000u) != 0;
  const char* path = "Software\\Microsoft\\Windows\\CurrentVersion";
  std::string product = RegistryText(HKEY_LOCAL_MACHINE, path, "ProductName");
  std::string number = RegistryText(HKEY_LOCAL_MACHINE, path, "VersionNumber");
  std::printf("GetVersion 0x%08lX: major %u, minor %u, 9x family %s; ProductName \"%s\", VersionNumber \"%s\"\n",
              static_cast<unsigned long>(version), major, minor, nine_x ? "yes" : "no", product.c_str(),
              number.c_str());
  if (kWindows98Run) {
    EXPECT_EQ(4u, major);
    EXPECT_EQ(10u, minor);
    EXPECT_TRUE(nine_x);
    EXPECT_EQ("Microsoft Windows 98", product);
    EXPECT_EQ("4.10.2222", number);
  } else {
    EXPECT_GE(major, 5u);
    EXPECT_FALSE(nine_x);
  }
}

}  // namespace
}  // namespace raylet::ui
