// The platform contract: what the program relies on from each call of the
// seam, checked the same way against the simulated Windows (natively) and the
// Win32 backend (under Wine). A case that passes on one and fails on the
// other means the simulation lies about Windows.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "ContractEnv.h"

namespace raylet::contract {
namespace {

const char kTestKey[] = "Software\\RayletContractTest";
constexpr UINT kReply = WM_USER + 1000;
constexpr WPARAM kMonitorCommand = 113;

class ContractTest : public ::testing::Test {
 protected:
  void SetUp() override {
    env_ = MakeContractEnv();
    env_->DeleteTree(HKEY_CURRENT_USER, kTestKey);
    env_->CreateKey(HKEY_CURRENT_USER, kTestKey);
  }
  void TearDown() override {
    env_->DeleteTree(HKEY_CURRENT_USER, kTestKey);
    env_->ExpectClean();
  }

  Platform& os() { return env_->platform(); }
  static std::string Under(const std::string& sub) { return std::string(kTestKey) + "\\" + sub; }

  HKEY OpenTestKey(const std::string& path = kTestKey) {
    HKEY key = nullptr;
    EXPECT_EQ(ERROR_SUCCESS, os().RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_ALL_ACCESS, &key)) << path;
    return key;
  }

  std::unique_ptr<ContractEnv> env_;
};

// ------------------------------------------------------------------ registry

TEST_F(ContractTest, OpenGivesAHandleThatCloses) {
  HKEY key = OpenTestKey();
  ASSERT_NE(nullptr, key);
  EXPECT_EQ(ERROR_SUCCESS, os().RegCloseKey(key));
}

TEST_F(ContractTest, OpenOfAMissingKeyFailsAndCreatesNothing) {
  HKEY key = nullptr;
  EXPECT_NE(ERROR_SUCCESS,
            os().RegOpenKeyExA(HKEY_CURRENT_USER, Under("Missing").c_str(), 0, KEY_ALL_ACCESS, &key));
  EXPECT_FALSE(env_->KeyExists(HKEY_CURRENT_USER, Under("Missing")));
}

TEST_F(ContractTest, KeyPathsAndValueNamesIgnoreCase) {
  env_->SetString(HKEY_CURRENT_USER, Under("Infrared"), "PortName", "COM4");
  HKEY key = OpenTestKey("software\\RAYLETCONTRACTTEST\\infrared");
  ASSERT_NE(nullptr, key);
  char data[100];
  std::memset(data, 0, sizeof data);
  DWORD size = sizeof data;
  EXPECT_EQ(ERROR_SUCCESS, os().RegQueryValueExA(key, "PORTNAME", nullptr, nullptr,
                                                 reinterpret_cast<BYTE*>(data), &size));
  EXPECT_STREQ("COM4", data);
  os().RegCloseKey(key);
}

TEST_F(ContractTest, QueryReportsTypeSizeAndDataOfAText) {
  env_->SetString(HKEY_CURRENT_USER, kTestKey, "Text", "COM4");
  HKEY key = OpenTestKey();
  char data[100];
  std::memset(data, 0, sizeof data);
  DWORD type = REG_NONE;
  DWORD size = sizeof data;
  EXPECT_EQ(ERROR_SUCCESS, os().RegQueryValueExA(key, "Text", nullptr, &type, reinterpret_cast<BYTE*>(data), &size));
  EXPECT_EQ(REG_SZ, type);
  EXPECT_EQ(5u, size);  // terminator included
  EXPECT_STREQ("COM4", data);
  os().RegCloseKey(key);
}

TEST_F(ContractTest, QueryReportsTypeSizeAndDataOfADword) {
  env_->SetDword(HKEY_CURRENT_USER, kTestKey, "IrEnabled", 0x01020304);
  HKEY key = OpenTestKey();
  DWORD value = 0;
  DWORD type = REG_NONE;
  DWORD size = sizeof value;
  EXPECT_EQ(ERROR_SUCCESS,
            os().RegQueryValueExA(key, "IrEnabled", nullptr, &type, reinterpret_cast<BYTE*>(&value), &size));
  EXPECT_EQ(REG_DWORD, type);
  EXPECT_EQ(4u, size);
  EXPECT_EQ(0x01020304u, value);
  os().RegCloseKey(key);
}

TEST_F(ContractTest, QueryIntoATooSmallBufferFailsAndAnExactOneSucceeds) {
  env_->SetString(HKEY_CURRENT_USER, kTestKey, "Text", "COM4");
  HKEY key = OpenTestKey();
  char data[8];
  DWORD size = 4;  // "COM4" without room for its terminator
  EXPECT_NE(ERROR_SUCCESS, os().RegQueryValueExA(key, "Text", nullptr, nullptr, reinterpret_cast<BYTE*>(data), &size));
  size = 5;
  EXPECT_EQ(ERROR_SUCCESS, os().RegQueryValueExA(key, "Text", nullptr, nullptr, reinterpret_cast<BYTE*>(data), &size));
  EXPECT_STREQ("COM4", data);
  os().RegCloseKey(key);
}

TEST_F(ContractTest, QueryOfAMissingValueFails) {
  HKEY key = OpenTestKey();
  char data[100];
  DWORD size = sizeof data;
  EXPECT_NE(ERROR_SUCCESS, os().RegQueryValueExA(key, "Missing", nullptr, nullptr, reinterpret_cast<BYTE*>(data), &size));
  os().RegCloseKey(key);
}

TEST_F(ContractTest, SetValuesReadBackWithTheirTypes) {
  HKEY key = OpenTestKey();
  const char text[] = "C:\\WINDOWS\\rayctl.exe /F";
  EXPECT_EQ(ERROR_SUCCESS, os().RegSetValueExA(key, "RayCtl", 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                                               sizeof text));
  DWORD enabled = 1;
  EXPECT_EQ(ERROR_SUCCESS, os().RegSetValueExA(key, "IrEnabled", 0, REG_DWORD,
                                               reinterpret_cast<const BYTE*>(&enabled), sizeof enabled));
  const BYTE installed[2] = {0x31, 0x00};
  EXPECT_EQ(ERROR_SUCCESS, os().RegSetValueExA(key, "Installed", 0, REG_BINARY, installed, sizeof installed));

  char data[300];
  std::memset(data, 0, sizeof data);
  DWORD type = REG_NONE;
  DWORD size = sizeof data;
  EXPECT_EQ(ERROR_SUCCESS, os().RegQueryValueExA(key, "RayCtl", nullptr, &type, reinterpret_cast<BYTE*>(data), &size));
  EXPECT_EQ(REG_SZ, type);
  EXPECT_EQ(sizeof text, size);
  EXPECT_STREQ(text, data);

  DWORD value = 0;
  size = sizeof value;
  EXPECT_EQ(ERROR_SUCCESS,
            os().RegQueryValueExA(key, "IrEnabled", nullptr, &type, reinterpret_cast<BYTE*>(&value), &size));
  EXPECT_EQ(REG_DWORD, type);
  EXPECT_EQ(1u, value);

  BYTE bytes[40] = {};
  size = sizeof bytes;
  EXPECT_EQ(ERROR_SUCCESS, os().RegQueryValueExA(key, "Installed", nullptr, &type, bytes, &size));
  EXPECT_EQ(REG_BINARY, type);
  EXPECT_EQ(2u, size);
  EXPECT_EQ(0x31, bytes[0]);
  os().RegCloseKey(key);
}

TEST_F(ContractTest, SetReplacesTheTypeOfAnExistingValue) {
  env_->SetString(HKEY_CURRENT_USER, kTestKey, "IrEnabled", "1");
  HKEY key = OpenTestKey();
  DWORD zero = 0;
  EXPECT_EQ(ERROR_SUCCESS, os().RegSetValueExA(key, "IrEnabled", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&zero),
                                               sizeof zero));
  DWORD value = 7;
  DWORD type = REG_NONE;
  DWORD size = sizeof value;
  EXPECT_EQ(ERROR_SUCCESS,
            os().RegQueryValueExA(key, "IrEnabled", nullptr, &type, reinterpret_cast<BYTE*>(&value), &size));
  EXPECT_EQ(REG_DWORD, type);
  EXPECT_EQ(0u, value);
  os().RegCloseKey(key);
}

TEST_F(ContractTest, DeleteValueRemovesOnlyThatValue) {
  env_->SetString(HKEY_CURRENT_USER, kTestKey, "IrMon", "IRMON.EXE");
  env_->SetString(HKEY_CURRENT_USER, kTestKey, "Other", "stays");
  HKEY key = OpenTestKey();
  EXPECT_EQ(ERROR_SUCCESS, os().RegDeleteValueA(key, "IrMon"));
  char data[100];
  DWORD size = sizeof data;
  EXPECT_NE(ERROR_SUCCESS, os().RegQueryValueExA(key, "IrMon", nullptr, nullptr, reinterpret_cast<BYTE*>(data), &size));
  size = sizeof data;
  EXPECT_EQ(ERROR_SUCCESS, os().RegQueryValueExA(key, "Other", nullptr, nullptr, reinterpret_cast<BYTE*>(data), &size));
  EXPECT_NE(ERROR_SUCCESS, os().RegDeleteValueA(key, "IrMon"));
  os().RegCloseKey(key);
}

TEST_F(ContractTest, DeleteKeyRemovesTheWholeTreeAndNothingBeside) {
  env_->SetString(HKEY_CURRENT_USER, Under("Infrared\\Framer"), "PortName", "COM2");
  env_->SetString(HKEY_CURRENT_USER, Under("Infrared\\VirtualPorts\\0000\\Deep"), "Name", "x");
  env_->SetDword(HKEY_CURRENT_USER, Under("Infrared"), "Count", 3);
  env_->CreateKey(HKEY_CURRENT_USER, Under("Infrared\\Empty"));
  env_->SetString(HKEY_CURRENT_USER, Under("InfraredBeside"), "Keep", "me");
  HKEY key = OpenTestKey();
  EXPECT_EQ(ERROR_SUCCESS, os().RegDeleteKeyA(key, "Infrared"));
  os().RegCloseKey(key);
  EXPECT_FALSE(env_->KeyExists(HKEY_CURRENT_USER, Under("Infrared")));
  EXPECT_TRUE(env_->KeyExists(HKEY_CURRENT_USER, Under("InfraredBeside")));
  EXPECT_TRUE(env_->KeyExists(HKEY_CURRENT_USER, kTestKey));
}

TEST_F(ContractTest, DeleteKeyTakesAPathBelowTheParent) {
  env_->SetString(HKEY_CURRENT_USER, Under("Enum\\Root\\Infrared\\0000"), "Driver", "Infrared\\0000");
  HKEY key = OpenTestKey();
  EXPECT_EQ(ERROR_SUCCESS, os().RegDeleteKeyA(key, "Enum\\Root\\Infrared"));
  os().RegCloseKey(key);
  EXPECT_FALSE(env_->KeyExists(HKEY_CURRENT_USER, Under("Enum\\Root\\Infrared")));
  EXPECT_TRUE(env_->KeyExists(HKEY_CURRENT_USER, Under("Enum\\Root")));
}

TEST_F(ContractTest, DeleteOfAMissingKeyFails) {
  HKEY key = OpenTestKey();
  EXPECT_NE(ERROR_SUCCESS, os().RegDeleteKeyA(key, "Missing"));
  os().RegCloseKey(key);
  EXPECT_TRUE(env_->KeyExists(HKEY_CURRENT_USER, kTestKey));
}

// ------------------------------------------------------------------- windows

TEST_F(ContractTest, FindWindowFindsATitleIgnoringCaseAndNothingElse) {
  HWND window = env_->CreateTopLevelWindow("Raylet Contract Monitor");
  EXPECT_EQ(window, os().FindWindowA(nullptr, "Raylet Contract Monitor"));
  EXPECT_EQ(window, os().FindWindowA(nullptr, "RAYLET contract monitor"));
  EXPECT_EQ(nullptr, os().FindWindowA(nullptr, "Raylet Contract Monitor 2"));
  EXPECT_EQ(nullptr, os().FindWindowA(nullptr, "Raylet Contract"));
  env_->DestroyTopLevelWindow(window);
  EXPECT_EQ(nullptr, os().FindWindowA(nullptr, "Raylet Contract Monitor"));
}

TEST_F(ContractTest, SentAndPostedMessagesReachTheWindowInOrder) {
  HWND window = env_->CreateTopLevelWindow("Raylet Contract Monitor");
  os().SendMessageA(window, WM_COMMAND, kMonitorCommand, 0);
  EXPECT_NE(0, os().PostMessageA(window, kReply, 1, 0));
  std::vector<ReceivedMessage> got = env_->WaitForMessages(window, 2);
  ASSERT_EQ(2u, got.size());
  EXPECT_EQ(static_cast<UINT>(WM_COMMAND), got[0].message);
  EXPECT_EQ(kMonitorCommand, got[0].wparam);
  EXPECT_EQ(0, got[0].lparam);
  EXPECT_TRUE(got[0].sent);
  EXPECT_EQ(kReply, got[1].message);
  EXPECT_EQ(1u, got[1].wparam);
  EXPECT_FALSE(got[1].sent);
  env_->DestroyTopLevelWindow(window);
}

TEST_F(ContractTest, PostToAWindowThatIsGoneFails) {
  HWND window = env_->CreateTopLevelWindow("Raylet Contract Monitor");
  env_->DestroyTopLevelWindow(window);
  EXPECT_EQ(0, os().PostMessageA(window, kReply, 0, 0));
}

TEST_F(ContractTest, MessageSpyIsSeenWhileItRuns) {
  EXPECT_FALSE(os().MessageSpyRunning());
  env_->StartMessageSpy();
  EXPECT_TRUE(os().MessageSpyRunning());
  env_->StopMessageSpy();
  EXPECT_FALSE(os().MessageSpyRunning());
}

TEST_F(ContractTest, WinExecOfAMissingProgramReturnsAnErrorCode) {
  const char command[] = "RAYLETNOSUCHPROGRAM.EXE INFRARED.CPL";
  env_->MakeProgramMissing(command);
  EXPECT_LE(os().WinExec(command, SW_HIDE), 31u);
}

// -------------------------------------------------------------------- files

TEST_F(ContractTest, DeleteFileOfAMissingFileReturnsZero) {
  EXPECT_EQ(0, os().DeleteFileA(env_->MissingFilePath().c_str()));
}

TEST_F(ContractTest, DeleteFileRemovesAnExistingFile) {
  std::string path = env_->CreateTempFile();
  ASSERT_TRUE(env_->FileExists(path));
  EXPECT_NE(0, os().DeleteFileA(path.c_str()));
  EXPECT_FALSE(env_->FileExists(path));
}

// A folder path as the program builds on it: not empty, fits, has the length
// returned, and takes "\name" without a doubled backslash (unless a root).
void ExpectFolder(const char* call, DWORD length, const char* buffer, DWORD size) {
  SCOPED_TRACE(call);
  EXPECT_GT(length, 0u);
  EXPECT_LT(length, size);
  EXPECT_EQ(std::strlen(buffer), length);
  ASSERT_GE(std::strlen(buffer), 3u) << buffer;
  EXPECT_EQ(':', buffer[1]) << buffer;
  if (length > 3) EXPECT_NE('\\', buffer[length - 1]) << buffer;
}

TEST_F(ContractTest, FolderQueriesFillTheBufferWithAPlainPath) {
  char buffer[256];
  std::memset(buffer, 0, sizeof buffer);
  ExpectFolder("GetWindowsDirectoryA", os().GetWindowsDirectoryA(buffer, 64), buffer, 64);
  std::memset(buffer, 0, sizeof buffer);
  ExpectFolder("GetSystemDirectoryA", os().GetSystemDirectoryA(buffer, 256), buffer, 256);
  std::memset(buffer, 0, sizeof buffer);
  ExpectFolder("GetCurrentDirectoryA", os().GetCurrentDirectoryA(256, buffer), buffer, 256);
}

TEST_F(ContractTest, FolderQueryIntoATooSmallBufferReturnsTheSizeNeeded) {
  char full[256];
  std::memset(full, 0, sizeof full);
  UINT length = os().GetSystemDirectoryA(full, sizeof full);
  char small[4];
  std::memset(small, 0, sizeof small);
  EXPECT_EQ(length + 1, os().GetSystemDirectoryA(small, sizeof small));
  std::memset(full, 0, sizeof full);
  length = os().GetWindowsDirectoryA(full, sizeof full);
  EXPECT_EQ(length + 1, os().GetWindowsDirectoryA(small, sizeof small));
}

TEST_F(ContractTest, ModuleFileNameIsTheProgramAndIsCutShortToTheBuffer) {
  char path[260];
  std::memset(path, 0, sizeof path);
  DWORD length = os().GetModuleFileNameA(nullptr, path, sizeof path);
  ASSERT_GT(length, 4u);
  EXPECT_EQ(std::strlen(path), length);
  std::string tail(path + length - 4);
  for (char& c : tail) c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
  EXPECT_EQ(".EXE", tail) << path;
  char small[6];
  EXPECT_EQ(sizeof small, os().GetModuleFileNameA(nullptr, small, sizeof small));
}

// -------------------------------------------------------------------- ports

TEST_F(ContractTest, CreateFileOfAPortThatIsNotThereFails) {
  for (const char* name : {"COM9", "LPT3", ""}) {
    HANDLE port = os().CreateFileA(name, GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_EQ(INVALID_HANDLE_VALUE, port) << name;
    if (port != INVALID_HANDLE_VALUE) os().CloseHandle(port);
  }
}

}  // namespace
}  // namespace raylet::contract
