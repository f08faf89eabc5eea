// What only the Win32 backend does beyond forwarding: whole-tree key
// deletion on a system that refuses it, and the shutdown privilege. Run on
// an NT-family system (the x64 build) and on one that reports Windows 98
// (the i686 release), which behave differently in both.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "platform/win32/Win32Platform.h"

namespace raylet {
namespace {

const char kTestKey[] = "Software\\RayletBackendTest";

std::string Chain(int depth) {
  std::string path = kTestKey;
  for (int i = 0; i < depth; ++i) path += "\\L" + std::to_string(i);
  return path;
}

// Opens (or creates) kTestKey\L0\...\L<depth-1> one level at a time: the
// registry refuses a single path that long, not a tree that deep.
HKEY WalkDown(int depth, bool create) {
  HKEY key = nullptr;
  if (::RegCreateKeyExA(HKEY_CURRENT_USER, kTestKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
      ERROR_SUCCESS) {
    return nullptr;
  }
  for (int i = 0; i < depth && key != nullptr; ++i) {
    HKEY next = nullptr;
    std::string name = "L" + std::to_string(i);
    LONG status = create ? ::RegCreateKeyExA(key, name.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &next, nullptr)
                         : ::RegOpenKeyExA(key, name.c_str(), 0, KEY_ALL_ACCESS, &next);
    ::RegCloseKey(key);
    key = status == ERROR_SUCCESS ? next : nullptr;
  }
  return key;
}

bool KeyExists(const std::string& path) {
  HKEY key = nullptr;
  if (::RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  ::RegCloseKey(key);
  return true;
}

void CreateKey(const std::string& path) {
  HKEY key = nullptr;
  ASSERT_EQ(ERROR_SUCCESS,
            ::RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr));
  const char value[] = "v";
  ::RegSetValueExA(key, "Value", 0, REG_SZ, reinterpret_cast<const BYTE*>(value), sizeof value);
  ::RegCloseKey(key);
}

// The high bit of GetVersion: Windows 95/98/Me.
bool ReportsWindows9x() { return (::GetVersion() & 0x80000000u) != 0; }

class Win32BackendTest : public ::testing::Test {
 protected:
  void TearDown() override { platform_.RegDeleteKeyA(HKEY_CURRENT_USER, kTestKey); }
  Win32Platform platform_;
};

TEST_F(Win32BackendTest, SystemItselfKeepsATreeOnlyOnTheNtFamily) {
  // The premise of the backend's own deletion: an NT-family system keeps a
  // key that has subkeys; Windows 98 deletes the whole tree itself.
  CreateKey(Chain(2));
  if (ReportsWindows9x()) {
    EXPECT_EQ(ERROR_SUCCESS, ::RegDeleteKeyA(HKEY_CURRENT_USER, kTestKey));
    EXPECT_FALSE(KeyExists(kTestKey));
  } else {
    EXPECT_NE(ERROR_SUCCESS, ::RegDeleteKeyA(HKEY_CURRENT_USER, kTestKey));
    EXPECT_TRUE(KeyExists(Chain(2)));
  }
}

TEST_F(Win32BackendTest, DeleteKeyRemovesADeepAndWideTree) {
  HKEY bottom = WalkDown(60, true);
  ASSERT_NE(nullptr, bottom);
  ::RegCloseKey(bottom);
  for (int i = 0; i < 30; ++i) CreateKey(Chain(3) + "\\Wide" + std::to_string(i));
  EXPECT_EQ(ERROR_SUCCESS, platform_.RegDeleteKeyA(HKEY_CURRENT_USER, kTestKey));
  EXPECT_FALSE(KeyExists(kTestKey));
}

TEST_F(Win32BackendTest, DeleteKeyLeavesAnUnreasonablyDeepTreeToTheSystem) {
  HKEY bottom = WalkDown(100, true);
  ASSERT_NE(nullptr, bottom);
  ::RegCloseKey(bottom);
  if (ReportsWindows9x()) {
    // The walk stops 64 levels down; Windows 98 deletes the rest itself.
    EXPECT_EQ(ERROR_SUCCESS, platform_.RegDeleteKeyA(HKEY_CURRENT_USER, kTestKey));
    EXPECT_FALSE(KeyExists(kTestKey));
    return;
  }
  EXPECT_NE(ERROR_SUCCESS, platform_.RegDeleteKeyA(HKEY_CURRENT_USER, kTestKey));
  EXPECT_TRUE(KeyExists(kTestKey));
  HKEY bottom_again = WalkDown(100, false);
  EXPECT_NE(nullptr, bottom_again);
  if (bottom_again != nullptr) ::RegCloseKey(bottom_again);
  // Within reach from halfway down.
  HKEY middle = WalkDown(50, false);
  ASSERT_NE(nullptr, middle);
  EXPECT_EQ(ERROR_SUCCESS, platform_.RegDeleteKeyA(middle, "L50"));
  ::RegCloseKey(middle);
}

TEST_F(Win32BackendTest, DeleteKeyWithAnEmptyNameLeavesTheParent) {
  CreateKey(Chain(1));
  HKEY key = nullptr;
  ASSERT_EQ(ERROR_SUCCESS, ::RegOpenKeyExA(HKEY_CURRENT_USER, kTestKey, 0, KEY_ALL_ACCESS, &key));
  EXPECT_NE(ERROR_SUCCESS, platform_.RegDeleteKeyA(key, ""));
  ::RegCloseKey(key);
  EXPECT_TRUE(KeyExists(Chain(1)));
}

bool ShutdownPrivilegeEnabled() {
  HANDLE token = nullptr;
  if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &token)) return false;
  LUID shutdown;
  ::LookupPrivilegeValueA(nullptr, "SeShutdownPrivilege", &shutdown);
  union {
    TOKEN_PRIVILEGES privileges;
    BYTE bytes[4096];
  } buffer;
  DWORD size = 0;
  bool enabled = false;
  if (::GetTokenInformation(token, TokenPrivileges, &buffer, sizeof buffer, &size)) {
    for (DWORD i = 0; i < buffer.privileges.PrivilegeCount; ++i) {
      const LUID_AND_ATTRIBUTES& p = buffer.privileges.Privileges[i];
      if (p.Luid.LowPart == shutdown.LowPart && p.Luid.HighPart == shutdown.HighPart) {
        enabled = (p.Attributes & SE_PRIVILEGE_ENABLED) != 0;
      }
    }
  }
  ::CloseHandle(token);
  return enabled;
}

void DisableShutdownPrivilege() {
  HANDLE token = nullptr;
  ASSERT_TRUE(::OpenProcessToken(::GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token));
  TOKEN_PRIVILEGES privileges;
  privileges.PrivilegeCount = 1;
  privileges.Privileges[0].Attributes = 0;
  ::LookupPrivilegeValueA(nullptr, "SeShutdownPrivilege", &privileges.Privileges[0].Luid);
  ::AdjustTokenPrivileges(token, FALSE, &privileges, 0, nullptr, nullptr);
  ::CloseHandle(token);
}

TEST(Win32Privilege, EnableShutdownPrivilegeEnablesItOnlyOnAnNtFamilySystem) {
  // Wine keeps a token even when it reports Windows 98, so the 9x path is
  // seen to leave it alone: Windows 98 itself has no token calls to make.
  DisableShutdownPrivilege();
  ASSERT_FALSE(ShutdownPrivilegeEnabled());
  Win32Platform platform;
  platform.EnableShutdownPrivilege();
  EXPECT_EQ(!ReportsWindows9x(), ShutdownPrivilegeEnabled());
}

}  // namespace
}  // namespace raylet
