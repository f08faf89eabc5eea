// The contract's environment on the simulated Windows: seeding and
// inspection go through the simulation's test side, which the program's own
// calls never reach.
#include <map>

#include "ContractEnv.h"
#include "sim/SimWindows.h"

namespace raylet::contract {
namespace {

class SimContractEnv final : public ContractEnv {
 public:
  Platform& platform() override { return sim_; }

  void CreateKey(HKEY root, const std::string& path) override { sim_.registry.CreateKey(root, path); }
  void SetString(HKEY root, const std::string& path, const std::string& name, const std::string& text) override {
    sim_.registry.SetString(root, path, name, text);
  }
  void SetDword(HKEY root, const std::string& path, const std::string& name, DWORD value) override {
    sim_.registry.SetDword(root, path, name, value);
  }
  void DeleteTree(HKEY root, const std::string& path) override { sim_.registry.DeleteKey(root, path); }
  bool KeyExists(HKEY root, const std::string& path) override { return sim_.registry.KeyExists(root, path); }

  HWND CreateTopLevelWindow(const std::string& title) override { return sim_.desktop.AddWindow(title); }
  void DestroyTopLevelWindow(HWND window) override { sim_.desktop.CloseWindow(window); }
  std::vector<ReceivedMessage> WaitForMessages(HWND window, std::size_t) override {
    std::vector<ReceivedMessage> result;
    for (const sim::MessageRecord& m : sim_.desktop.MessagesTo(window)) {
      result.push_back({m.message, m.wparam, m.lparam, m.sent});
    }
    return result;
  }
  void StartMessageSpy() override { sim_.message_spy_running = true; }
  void StopMessageSpy() override { sim_.message_spy_running = false; }

  std::string CreateTempFile() override {
    std::string path = sim_.files.windows_directory + "\\TEMP\\RLC" + std::to_string(++files_) + ".TMP";
    sim_.files.AddFile(path);
    return path;
  }
  std::string MissingFilePath() override { return sim_.files.windows_directory + "\\TEMP\\MISSING.TMP"; }
  bool FileExists(const std::string& path) override { return sim_.files.Exists(path); }

  void MakeProgramMissing(const std::string&) override { sim_.desktop.SetLaunchResult(2); }

  void ExpectClean() override { sim_.ExpectClean(); }

 private:
  sim::SimWindows sim_;
  int files_ = 0;
};

}  // namespace

std::unique_ptr<ContractEnv> MakeContractEnv() { return std::make_unique<SimContractEnv>(); }

}  // namespace raylet::contract
