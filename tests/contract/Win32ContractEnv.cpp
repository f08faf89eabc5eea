// The contract's environment on real Windows (run under Wine): the Win32
// backend as the platform, the registry and files set up with the API calls
// the program itself never makes, and windows owned by a thread of their own
// so that sent messages cross threads as they cross programs in real use.
#include <windows.h>

#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>
#include <thread>

#include <gtest/gtest.h>

#include "ContractEnv.h"
#include "platform/win32/Win32Platform.h"

namespace raylet::contract {
namespace {

const char kWindowClass[] = "RayletContractWindow";
const char kSpyTitle[] = "Microsoft Spy++";
constexpr UINT kClose = WM_APP + 1;

// A top-level window with a message loop on its own thread; it logs the
// messages that the tests send it.
class TestWindow {
 public:
  explicit TestWindow(const std::string& title) {
    std::unique_lock<std::mutex> lock(mutex_);
    thread_ = std::thread([this, title] { Run(title); });
    ready_.wait(lock, [this] { return started_; });
  }
  ~TestWindow() {
    if (window_ != nullptr) ::PostMessageA(window_, kClose, 0, 0);
    thread_.join();
  }
  HWND handle() const { return window_; }

  std::vector<ReceivedMessage> Wait(std::size_t count) {
    std::unique_lock<std::mutex> lock(mutex_);
    ready_.wait_for(lock, std::chrono::seconds(5), [&] { return log_.size() >= count; });
    return log_;
  }

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    auto* self = reinterpret_cast<TestWindow*>(::GetWindowLongPtrA(window, GWLP_USERDATA));
    if (message == kClose) {
      ::DestroyWindow(window);
      return 0;
    }
    if (message == WM_NCDESTROY) ::PostQuitMessage(0);
    if (self != nullptr && (message == WM_COMMAND || (message >= WM_USER && message < WM_APP))) {
      std::lock_guard<std::mutex> lock(self->mutex_);
      self->log_.push_back({message, wparam, lparam, ::InSendMessage() != FALSE});
      self->ready_.notify_all();
      return 0;
    }
    return ::DefWindowProcA(window, message, wparam, lparam);
  }

  void Run(const std::string& title) {
    WNDCLASSA window_class = {};
    window_class.lpfnWndProc = Procedure;
    window_class.hInstance = ::GetModuleHandleA(nullptr);
    window_class.lpszClassName = kWindowClass;
    ::RegisterClassA(&window_class);  // fails harmlessly once registered
    HWND window = ::CreateWindowExA(0, kWindowClass, title.c_str(), WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr,
                                    nullptr, ::GetModuleHandleA(nullptr), nullptr);
    if (window != nullptr) ::SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    {
      std::lock_guard<std::mutex> lock(mutex_);
      window_ = window;
      started_ = true;
      ready_.notify_all();
    }
    if (window == nullptr) return;
    MSG message;
    while (::GetMessageA(&message, nullptr, 0, 0) > 0) ::DispatchMessageA(&message);
  }

  std::mutex mutex_;
  std::condition_variable ready_;
  bool started_ = false;
  HWND window_ = nullptr;
  std::vector<ReceivedMessage> log_;
  std::thread thread_;
};

LONG DeleteKeyTree(HKEY parent, const std::string& path) {
  HKEY key = nullptr;
  if (::RegOpenKeyExA(parent, path.c_str(), 0, KEY_ALL_ACCESS, &key) == ERROR_SUCCESS) {
    char child[256];
    DWORD length = sizeof child;
    while (::RegEnumKeyExA(key, 0, child, &length, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS) {
      if (DeleteKeyTree(key, child) != ERROR_SUCCESS) break;
      length = sizeof child;
    }
    ::RegCloseKey(key);
  }
  return ::RegDeleteKeyA(parent, path.c_str());
}

class Win32ContractEnv final : public ContractEnv {
 public:
  Platform& platform() override { return platform_; }

  void CreateKey(HKEY root, const std::string& path) override {
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, ::RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                                               nullptr))
        << path;
    ::RegCloseKey(key);
  }
  void SetString(HKEY root, const std::string& path, const std::string& name, const std::string& text) override {
    SetValue(root, path, name, REG_SZ, text.c_str(), static_cast<DWORD>(text.size() + 1));
  }
  void SetDword(HKEY root, const std::string& path, const std::string& name, DWORD value) override {
    SetValue(root, path, name, REG_DWORD, &value, sizeof value);
  }
  void DeleteTree(HKEY root, const std::string& path) override { DeleteKeyTree(root, path); }
  bool KeyExists(HKEY root, const std::string& path) override {
    HKEY key = nullptr;
    if (::RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    ::RegCloseKey(key);
    return true;
  }

  HWND CreateTopLevelWindow(const std::string& title) override {
    auto window = std::make_unique<TestWindow>(title);
    HWND handle = window->handle();
    EXPECT_NE(nullptr, handle) << "CreateWindowExA " << ::GetLastError();
    windows_[handle] = std::move(window);
    return handle;
  }
  void DestroyTopLevelWindow(HWND window) override { windows_.erase(window); }
  std::vector<ReceivedMessage> WaitForMessages(HWND window, std::size_t count) override {
    auto it = windows_.find(window);
    return it == windows_.end() ? std::vector<ReceivedMessage>() : it->second->Wait(count);
  }
  void StartMessageSpy() override { spy_ = std::make_unique<TestWindow>(kSpyTitle); }
  void StopMessageSpy() override { spy_.reset(); }

  std::string CreateTempFile() override {
    char folder[MAX_PATH];
    char path[MAX_PATH];
    ::GetTempPathA(sizeof folder, folder);
    EXPECT_NE(0u, ::GetTempFileNameA(folder, "rlc", 0, path));  // creates the file
    return path;
  }
  std::string MissingFilePath() override {
    char folder[MAX_PATH];
    ::GetTempPathA(sizeof folder, folder);
    std::string path = std::string(folder) + "raylet-contract-missing.tmp";
    ::DeleteFileA(path.c_str());
    return path;
  }
  bool FileExists(const std::string& path) override {
    return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
  }

  void MakeProgramMissing(const std::string&) override {}  // no such program exists here

 private:
  void SetValue(HKEY root, const std::string& path, const std::string& name, DWORD type, const void* data,
                DWORD size) {
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, ::RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                                               nullptr))
        << path;
    EXPECT_EQ(ERROR_SUCCESS, ::RegSetValueExA(key, name.c_str(), 0, type, static_cast<const BYTE*>(data), size));
    ::RegCloseKey(key);
  }

  Win32Platform platform_;
  std::map<HWND, std::unique_ptr<TestWindow>> windows_;
  std::unique_ptr<TestWindow> spy_;
};

}  // namespace

std::unique_ptr<ContractEnv> MakeContractEnv() { return std::make_unique<Win32ContractEnv>(); }

}  // namespace raylet::contract
