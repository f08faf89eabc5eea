// What the platform contract suite needs from the Windows it runs against,
// beyond the Platform itself: ways to set up and look at state that the
// program may only read (it never creates keys, windows or files). One
// implementation drives the simulated Windows, the other the real Win32 API
// under Wine.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/Platform.h"

namespace raylet::contract {

struct ReceivedMessage {
  UINT message;
  WPARAM wparam;
  LPARAM lparam;
  bool sent;  // SendMessageA; false: PostMessageA
};

class ContractEnv {
 public:
  virtual ~ContractEnv() = default;

  virtual Platform& platform() = 0;

  // Registry, around the platform's back. CreateKey makes every missing
  // parent; the setters create the key when needed.
  virtual void CreateKey(HKEY root, const std::string& path) = 0;
  virtual void SetString(HKEY root, const std::string& path, const std::string& name, const std::string& text) = 0;
  virtual void SetDword(HKEY root, const std::string& path, const std::string& name, DWORD value) = 0;
  virtual void DeleteTree(HKEY root, const std::string& path) = 0;
  virtual bool KeyExists(HKEY root, const std::string& path) = 0;

  // A top-level window with this title that logs what it receives.
  virtual HWND CreateTopLevelWindow(const std::string& title) = 0;
  virtual void DestroyTopLevelWindow(HWND window) = 0;
  // The messages of the test (private and command messages) that reached the
  // window, once at least `count` have arrived or after a few seconds.
  virtual std::vector<ReceivedMessage> WaitForMessages(HWND window, std::size_t count) = 0;
  // What a running message spy looks like to the platform.
  virtual void StartMessageSpy() = 0;
  virtual void StopMessageSpy() = 0;

  // Full path of a new (empty) file, of a file that does not exist.
  virtual std::string CreateTempFile() = 0;
  virtual std::string MissingFilePath() = 0;
  virtual bool FileExists(const std::string& path) = 0;

  // After this, WinExec of `command_line` cannot find the program.
  virtual void MakeProgramMissing(const std::string& command_line) = 0;

  // Adds a test failure for every rule of the platform that was broken
  // (handles left open, closed twice ...), where the backend can tell.
  virtual void ExpectClean() {}
};

// Defined once per backend.
std::unique_ptr<ContractEnv> MakeContractEnv();

}  // namespace raylet::contract
