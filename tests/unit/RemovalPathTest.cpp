// Paths of the removal: the control-panel file, the command left in RunOnce
// for the second stage, and the second stage's 22 files.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "maintenance/DriverRemoval.h"
#include "sim/SimFixture.h"
#include "sim/StackPoison.h"

namespace raylet {
namespace {

const HKEY kLM = HKEY_LOCAL_MACHINE;
constexpr char kRunOnce[] = "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce";
// The Japanese name of the SendTo link, in code page 932.
const std::string kJapaneseLink = "\\SendTo\\\x90\xD4\x8A\x4F\x90\xFC\x82\xCC\x8E\xF3\x90\x4D\x91\xA4.lnk";

const std::vector<std::string> kWindowsFiles = {
    "\\IRXFER.EXE",          "\\APPLOG\\IRMON.LGC",  "\\HELP\\IRXFER.CNT",   "\\HELP\\IRXFER.HLP",
    "\\INF\\infrared.PNF",   "\\INF\\CATALOG\\FASTIR.CAT", "\\MEDIA\\IR_BEGIN.WAV", "\\MEDIA\\IR_END.WAV",
    "\\MEDIA\\IR_INTER.WAV", "\\MEDIA\\IR_NEW.WAV",  "\\SendTo\\Infrared Recipient.lnk", kJapaneseLink,
};
const std::vector<std::string> kSystemFiles = {
    "\\FASTIR.VXD", "\\INFRARED.CPL", "\\IRCOMM.VXD", "\\IRENUM.VXD",  "\\IRLAMP.VXD",
    "\\IRLAPFRM.VXD", "\\IRMINI.SYS", "\\IRMON.EXE",  "\\IRSHELL.DLL", "\\WSIRDA.VXD",
};

std::vector<std::string> AllFiles(const std::string& windows, const std::string& system) {
  std::vector<std::string> paths;
  for (const std::string& name : kWindowsFiles) paths.push_back(windows + name);
  for (const std::string& name : kSystemFiles) paths.push_back(system + name);
  return paths;
}

class RemovalPathTest : public sim::SimTest {
 protected:
  std::string RunOnceCommand() {
    sim.registry.CreateKey(kLM, kRunOnce);
    sim.desktop.SetDefaultAnswer(IDCANCEL);
    std::size_t boxes = sim.desktop.Boxes().size();
    RemoveDriver(sim);
    EXPECT_EQ(boxes + 1, sim.desktop.Boxes().size()) << "the question comes whatever was written";
    std::optional<sim::RegValue> value = sim.registry.GetValue(kLM, kRunOnce, "RayCtl");
    if (!value) return "(none)";
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), value->type);
    EXPECT_EQ('\0', value->data.back()) << "length includes the terminator";
    EXPECT_EQ(value->data.find('\0'), value->data.size() - 1);
    return value->data.substr(0, value->data.size() - 1);
  }
  std::vector<std::string> Deleted() const {
    std::vector<std::string> paths;
    for (const sim::DeleteRecord& d : sim.files.Deletes()) paths.push_back(d.path);
    return paths;
  }
};

TEST_F(RemovalPathTest, JapaneseLinkNameIsTwentySixBytes) { EXPECT_EQ(26u, kJapaneseLink.size()); }

TEST_F(RemovalPathTest, RunOnceFromItsOwnFolderIsTheFolderAndRayctl) {
  sim.files.current_directory = "C:\\RAYLET";
  sim.files.module_file_name = "C:\\RAYLET\\rayctl.exe";
  EXPECT_EQ(sim.files.current_directory + "\\rayctl.exe /F", RunOnceCommand());
}

TEST_F(RemovalPathTest, RunOnceFromAnotherFolderStillNamesTheProgram) {
  sim.files.current_directory = "C:\\WINDOWS\\DESKTOP";
  sim.files.module_file_name = "D:\\TOOLS\\RAYCTL.EXE";
  EXPECT_EQ("D:\\TOOLS\\RAYCTL.EXE /F", RunOnceCommand());
}

TEST_F(RemovalPathTest, RunOnceQuotesAPathWithABlank) {
  sim.files.current_directory = "C:\\Program Files\\Raylet";
  sim.files.module_file_name = "C:\\Program Files\\Raylet\\rayctl.exe";
  EXPECT_EQ("\"C:\\Program Files\\Raylet\\rayctl.exe\" /F", RunOnceCommand());
}

TEST_F(RemovalPathTest, RunOnceLongestPathThatFits) {
  std::string path = "C:\\" + std::string(245, 'D') + "\\rayctl.exe";  // 259 characters
  ASSERT_EQ(259u, path.size());
  sim.files.module_file_name = path;
  EXPECT_EQ(path + " /F", RunOnceCommand());
}

TEST_F(RemovalPathTest, RunOnceIsNotWrittenWithoutTheProgramsPath) {
  sim.files.module_file_name = "";
  EXPECT_EQ("(none)", RunOnceCommand());
}

TEST_F(RemovalPathTest, RunOnceIsNotWrittenFromACutShortPath) {
  sim.files.module_file_name = "C:\\" + std::string(246, 'D') + "\\rayctl.exe";  // 260 characters
  EXPECT_EQ("(none)", RunOnceCommand());
}

TEST_F(RemovalPathTest, ControlPanelFileIsTheSystemFolderAndInfraredCpl) {
  sim.files.system_directory = "C:\\WINDOWS\\SYSTEM";
  RunOnceCommand();
  ASSERT_FALSE(sim.files.FolderQueries().empty());
  EXPECT_EQ("GetSystemDirectoryA", sim.files.FolderQueries()[0].call);
  EXPECT_EQ(256u, sim.files.FolderQueries()[0].size);
  EXPECT_EQ(std::vector<std::string>{"C:\\WINDOWS\\SYSTEM\\Infrared.cpl"}, Deleted());
}

TEST_F(RemovalPathTest, ControlPanelFileAtTheLongestPathThatFits) {
  sim.files.system_directory = "C:\\" + std::string(239, 'S');  // + 13 = 255 characters
  RunOnceCommand();
  EXPECT_EQ(std::vector<std::string>{sim.files.system_directory + "\\Infrared.cpl"}, Deleted());
}

TEST_F(RemovalPathTest, ControlPanelFileIsNotDeletedAtACutShortPath) {
  sim.files.system_directory = "C:\\" + std::string(240, 'S');  // + 13 = 256 characters
  sim.files.AddFile(sim.files.system_directory + "\\Infrared.cp");
  RunOnceCommand();
  EXPECT_TRUE(Deleted().empty());
  sim.files.system_directory = "C:\\" + std::string(300, 'S');  // the folder alone does not fit
  RunOnceCommand();
  EXPECT_TRUE(Deleted().empty());
}

// Windows leaves the rest of a buffer as it was; the program clears each one
// before it asks.
TEST_F(RemovalPathTest, EveryFolderAndPathQueryGetsAZeroedBuffer) {
  sim::PoisonStack();
  RunOnceCommand();
  sim::PoisonStack();
  FinishRemoval(sim);
  std::vector<std::string> calls;
  for (const sim::FolderQuery& query : sim.files.FolderQueries()) {
    calls.push_back(query.call);
    EXPECT_TRUE(query.zeroed) << query.call << " #" << calls.size();
  }
  EXPECT_EQ(2 + 22u, calls.size());
  EXPECT_EQ("GetModuleFileNameA", calls.at(1));
}

// --- Second stage ---

TEST_F(RemovalPathTest, FinishDeletesTheTwentyTwoFilesInOrder) {
  sim.files.windows_directory = "C:\\WINDOWS";
  sim.files.system_directory = "C:\\WINDOWS\\SYSTEM";
  std::vector<std::string> files = AllFiles("C:\\WINDOWS", "C:\\WINDOWS\\SYSTEM");
  for (const std::string& path : files) sim.files.AddFile(path);
  sim.files.AddFile("C:\\WINDOWS\\SYSTEM\\IRMON.DLL");
  sim.files.AddFile("C:\\WINDOWS\\SendTo\\Infrared Recipient.pif");
  sim.files.AddFile("C:\\WINDOWS\\MEDIA\\CHIMES.WAV");

  FinishRemoval(sim);

  EXPECT_EQ(files, Deleted());
  for (const sim::DeleteRecord& d : sim.files.Deletes()) EXPECT_TRUE(d.result) << d.path;
  EXPECT_EQ((std::vector<std::string>{"C:\\WINDOWS\\MEDIA\\CHIMES.WAV", "C:\\WINDOWS\\SendTo\\Infrared Recipient.pif",
                                      "C:\\WINDOWS\\SYSTEM\\IRMON.DLL"}),
            sim.files.Files());
  ASSERT_EQ(22u, sim.files.FolderQueries().size()) << "one folder query per file";
  for (std::size_t i = 0; i < 22; ++i) {
    EXPECT_EQ(i < 12 ? "GetWindowsDirectoryA" : "GetSystemDirectoryA", sim.files.FolderQueries()[i].call) << i;
    EXPECT_EQ(64u, sim.files.FolderQueries()[i].size) << i;
  }
  EXPECT_TRUE(sim.registry.Changes().empty());
  EXPECT_TRUE(sim.desktop.Boxes().empty());
}

TEST_F(RemovalPathTest, FinishTriesEveryFileWhenNoneIsThere) {
  FinishRemoval(sim);
  EXPECT_EQ(AllFiles(sim.files.windows_directory, sim.files.system_directory), Deleted());
}

TEST_F(RemovalPathTest, FinishGoesOnPastAFileThatWillNotGo) {
  std::vector<std::string> files = AllFiles(sim.files.windows_directory, sim.files.system_directory);
  for (const std::string& path : files) sim.files.AddFile(path);
  sim.faults.FailCallOn(sim::Op::DeleteFile, files[3], 1);
  FinishRemoval(sim);
  EXPECT_EQ(files, Deleted());
  EXPECT_EQ(std::vector<std::string>{files[3]}, sim.files.Files());
}

TEST_F(RemovalPathTest, FinishSkipsOnlyThePathsThatDoNotFit) {
  // 40 characters: "\INF\CATALOG\FASTIR.CAT" (23) just fits in 63, the SendTo links do not.
  std::string windows = "C:\\" + std::string(37, 'W');
  sim.files.windows_directory = windows;
  sim.files.system_directory = "C:\\WINDOWS\\SYSTEM";
  for (const std::string& path : AllFiles(windows, sim.files.system_directory)) sim.files.AddFile(path);
  sim.files.AddFile(windows + "\\SendTo\\Infrared Recipie");  // where a cut-short path would point

  FinishRemoval(sim);

  std::vector<std::string> expected;
  for (const std::string& path : AllFiles(windows, sim.files.system_directory)) {
    if (path.size() <= 63) expected.push_back(path);
  }
  ASSERT_EQ(20u, expected.size());
  EXPECT_EQ(expected, Deleted());
  EXPECT_TRUE(sim.files.Exists(windows + "\\SendTo\\Infrared Recipie"));
  EXPECT_TRUE(sim.files.Exists(windows + "\\SendTo\\Infrared Recipient.lnk"));
}

TEST_F(RemovalPathTest, FinishSkipsAFolderThatCannotBeRead) {
  sim.files.windows_directory = "";
  FinishRemoval(sim);
  EXPECT_EQ(kSystemFiles.size(), Deleted().size());
  for (const std::string& path : Deleted()) EXPECT_EQ(0u, path.rfind("C:\\WINDOWS\\SYSTEM\\", 0)) << path;
}

TEST_F(RemovalPathTest, FinishSkipsAFolderThatDoesNotFit) {
  sim.files.windows_directory = "C:\\" + std::string(61, 'W');  // 64 characters
  sim.files.system_directory = "C:\\WINDOWS\\SYSTEM";
  FinishRemoval(sim);
  std::vector<std::string> expected;
  for (const std::string& name : kSystemFiles) expected.push_back("C:\\WINDOWS\\SYSTEM" + name);
  EXPECT_EQ(expected, Deleted());
}

}  // namespace
}  // namespace raylet
