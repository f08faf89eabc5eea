// The unattended run: switches, the reply to the calling window, closing,
// the failure display and the exit status.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "shell/logic/CommandLine.h"
#include "sim/IrdaStack.h"
#include "sim/SimFixture.h"

namespace raylet {
namespace {

using Events = std::vector<std::string>;

// Records what the run does to the main window, each event with the number
// of platform calls made before it, so events and calls can be ordered.
class RecordingView : public MainView {
 public:
  explicit RecordingView(const sim::SimWindows& sim) : sim_(sim) {}
  void SetCaption(const char* text) override { Add("caption " + std::string(text)); }
  void SetResultLabel(const char* text) override { Add("label " + std::string(text)); }
  void ShowNormal() override { Add("show normal"); }
  void CloseDialog(int code) override { Add("close " + std::to_string(code)); }
  void EnableInput(bool enabled) override { Add(enabled ? "input on" : "input off"); }
  void SetExitStatus(int status) override { Add("exit " + std::to_string(status)); }

  Events events;
  std::vector<std::size_t> calls_before;  // platform calls made before each event

 private:
  void Add(const std::string& event) {
    events.push_back(event);
    calls_before.push_back(sim_.Trace().size());
  }
  const sim::SimWindows& sim_;
};

const HWND kCaller = reinterpret_cast<HWND>(static_cast<ULONG_PTR>(0x1A2B));
constexpr char kNotInstalled[] = "label IrDA driver is not installed. 1";

class CommandLineTest : public sim::SimTest {
 protected:
  LRESULT Run(std::vector<const char*> args) {
    args.insert(args.begin(), "C:\\RAYLET\\rayctl.exe");
    args.push_back(nullptr);  // as the start-up's split ends the entries
    return RunCommandLine(static_cast<int>(args.size() - 1), args.data(), ray, sim, view);
  }
  // Posts of the program: "2024 to 0x1a2b: 1, 0".
  std::vector<std::string> Posts() const {
    std::vector<std::string> posts;
    for (const sim::MessageRecord& m : sim.desktop.Messages()) {
      if (m.sent) continue;
      char text[96];
      std::snprintf(text, sizeof text, "%u to %#llx: %lld, %lld", m.message,
                    static_cast<unsigned long long>(reinterpret_cast<ULONG_PTR>(m.window)),
                    static_cast<long long>(m.wparam), static_cast<long long>(m.lparam));
      posts.push_back(text);
    }
    return posts;
  }
  // Platform calls made before the view event `event`.
  std::size_t CallsBefore(const std::string& event) const {
    for (std::size_t i = 0; i < view.events.size(); ++i) {
      if (view.events[i] == event) return view.calls_before[i];
    }
    ADD_FAILURE() << "no event " << event;
    return 0;
  }
  // Index in the platform trace of the first post.
  std::size_t FirstPost() const {
    for (std::size_t i = 0; i < sim.Trace().size(); ++i) {
      if (sim.Trace()[i].rfind("PostMessageA", 0) == 0) return i;
    }
    ADD_FAILURE() << "nothing posted";
    return 0;
  }
  void DriverSucceedsEnabling() { sim::SeedIrda(sim); }  // setting on, COM4 free: "... ENABLE! 5"
  void DriverBusyDisabling() {                           // COM4 held: "... 41"
    sim::SeedIrda(sim);
    sim.desktop.AddWindow("IRMON");
    sim.ports.Spec("COM4")->held = true;
  }

  TSetRay ray{sim};
  RecordingView view{sim};
};

const std::vector<std::string> kNoPosts;
const std::vector<std::string> kReplySuccess = {"2024 to 0x1a2b: 1, 0"};
const std::vector<std::string> kReplyFailure = {"2024 to 0x1a2b: 0, 0"};

// --- The protocol table, row by row ---

TEST_F(CommandLineTest, NoSwitchOnlySetsTheCaption) {
  EXPECT_EQ(1, Run({}));
  EXPECT_EQ(Events{"caption Raylet"}, view.events);
  EXPECT_TRUE(sim.Trace().empty());
}

TEST_F(CommandLineTest, EnableSucceedingClosesSilently) {
  DriverSucceedsEnabling();
  EXPECT_EQ(1, Run({"/E"}));
  EXPECT_EQ((Events{"caption Raylet", "input off", "input on", "exit 0", "close 2"}), view.events);
  EXPECT_EQ("Success! IrDA-driver is ENABLE! 5", std::string(ray.ResultText));
  EXPECT_EQ(kNoPosts, Posts());
}

TEST_F(CommandLineTest, EnableFailingShowsTheFaultAndStaysOpen) {
  EXPECT_EQ(1, Run({"/E"}));
  EXPECT_EQ((Events{"caption Raylet", "input off", "input on", "show normal", kNotInstalled,
                    "caption Raylet - fault -", "exit 1"}),
            view.events);
  EXPECT_EQ(kNoPosts, Posts());
}

TEST_F(CommandLineTest, EnableRepliesAndClosesEitherWay) {
  DriverSucceedsEnabling();
  Run({"/E", "/H1A2B"});
  EXPECT_EQ(kReplySuccess, Posts());
  EXPECT_EQ("close 2", view.events.back());

  sim::SimWindows fresh;
  TSetRay record(fresh);
  RecordingView fresh_view(fresh);
  const char* args[] = {"rayctl.exe", "/E", "/H1A2B"};
  RunCommandLine(3, args, record, fresh, fresh_view);
  EXPECT_EQ((Events{"caption Raylet", "input off", "input on", "show normal", kNotInstalled,
                    "caption Raylet - fault -", "exit 1", "close 2"}),
            fresh_view.events);
  ASSERT_EQ(1u, fresh.desktop.Messages().size());
  EXPECT_EQ((sim::MessageRecord{kCaller, 2024, 0, 0, false}), fresh.desktop.Messages()[0]);
}

TEST_F(CommandLineTest, DisableFailingWithReplyWindowRepliesThenCloses) {
  DriverBusyDisabling();
  Run({"/D", "/H1A2B"});
  EXPECT_EQ(kReplyFailure, Posts());
  EXPECT_EQ((Events{"caption Raylet", "input off", "input on", "show normal",
                    "label Raylet cannot open port !\nAnother communication software \nusing virtual com port on IrDA "
                    "driver! 41",
                    "caption Raylet - fault -", "exit 1", "close 2"}),
            view.events);
  EXPECT_LT(CallsBefore("caption Raylet - fault -"), FirstPost() + 1) << "the failure display comes first";
  EXPECT_LE(FirstPost() + 1, CallsBefore("close 2")) << "the reply is posted before the close";
}

TEST_F(CommandLineTest, DisableSucceedingReplies) {
  Run({"/D", "/H1A2B"});  // not installed: "... 38", a success
  EXPECT_EQ(kReplySuccess, Posts());
  EXPECT_EQ((Events{"caption Raylet", "input off", "input on", "exit 0", "close 2"}), view.events);
}

TEST_F(CommandLineTest, KillSucceedingRepliesThenCloses) {
  Run({"/K", "/H1A2B"});  // no monitor: "... 53"
  EXPECT_EQ(kReplySuccess, Posts());
  EXPECT_EQ((Events{"caption Raylet", "input off", "input on", "exit 0", "close 2"}), view.events);
  EXPECT_LE(FirstPost() + 1, CallsBefore("close 2"));
}

TEST_F(CommandLineTest, KillRefusedShowsItsMessage) {
  sim::SeedIrda(sim);
  HWND irmon = sim.desktop.AddWindow("IRMON");
  Run({"/K"});
  EXPECT_EQ((Events{"caption Raylet", "input off", "input on", "show normal",
                    "label You must do disable driver first! 51", "caption Raylet - fault -", "exit 1"}),
            view.events);
  for (const sim::MessageRecord& m : sim.desktop.Messages()) EXPECT_EQ(irmon, m.window) << "no reply";
}

TEST_F(CommandLineTest, FinishRemovesTheFilesAndClosesWithoutReply) {
  sim.files.AddFile(sim.files.system_directory + "\\IRMON.EXE");
  sim.files.AddFile(sim.files.windows_directory + "\\IRXFER.EXE");
  Run({"/F", "/H1A2B"});
  EXPECT_EQ(22u, sim.files.Deletes().size());
  EXPECT_TRUE(sim.files.Files().empty());
  EXPECT_EQ(kNoPosts, Posts());
  EXPECT_EQ((Events{"caption Raylet", "input off", "input on", "exit 0", "close 2"}), view.events);
  EXPECT_EQ(std::string(TSetRay::kInitialResultText), ray.ResultText);
}

TEST_F(CommandLineTest, UnknownSwitchShowsTheInitialTextAndStaysOpen) {
  for (const char* option : {"/e", "/X", "/H1A2B", "E", "/", "-E"}) {
    sim::SimWindows fresh;
    TSetRay record(fresh);
    RecordingView fresh_view(fresh);
    const char* args[] = {"rayctl.exe", option};
    EXPECT_EQ(1, RunCommandLine(2, args, record, fresh, fresh_view));
    EXPECT_EQ((Events{"caption Raylet", "show normal", "label " + std::string(TSetRay::kInitialResultText),
                      "exit 1"}),
              fresh_view.events)
        << option;
    EXPECT_TRUE(fresh.Trace().empty()) << option << ": no operation runs";
  }
}

TEST_F(CommandLineTest, UnknownSwitchWithReplyWindowRepliesFailureAndCloses) {
  Run({"/x", "/H1A2B"});
  EXPECT_EQ(kReplyFailure, Posts());
  EXPECT_LT(FirstPost(), CallsBefore("close 2")) << "the reply goes before the close";
  EXPECT_EQ((Events{"caption Raylet", "show normal", "label " + std::string(TSetRay::kInitialResultText), "exit 1",
                    "close 2"}),
            view.events);
}

// --- Edge cases ---

TEST_F(CommandLineTest, OnlyTheFirstTwoCharactersCount) {
  DriverSucceedsEnabling();
  Run({"/Enable", "/H1A2B"});
  EXPECT_EQ(kReplySuccess, Posts());
  EXPECT_EQ("Success! IrDA-driver is ENABLE! 5", std::string(ray.ResultText));
}

TEST_F(CommandLineTest, SwitchIsReadOnlyFromASecondEntry) {
  DriverSucceedsEnabling();
  const char* args[] = {"rayctl.exe", "/E", nullptr};
  EXPECT_EQ(1, RunCommandLine(1, args, ray, sim, view));  // the count says one entry
  EXPECT_EQ(Events{"caption Raylet"}, view.events);
  EXPECT_TRUE(sim.Trace().empty());
}

TEST_F(CommandLineTest, ReplyWindowIsReadOnlyFromAThirdEntry) {
  const char* args[] = {"rayctl.exe", "/K", "/H1A2B"};
  RunCommandLine(2, args, ray, sim, view);  // the count says two entries
  EXPECT_EQ(kNoPosts, Posts());
}

struct ReplyCase {
  const char* argument;
  ULONG_PTR window;  // 0: no reply window
};

class ReplyWindowTest : public CommandLineTest, public ::testing::WithParamInterface<ReplyCase> {};

TEST_P(ReplyWindowTest, FailureRepliesOnlyToAWindowThatParses) {
  Run({"/E", GetParam().argument});  // not installed: fails
  if (GetParam().window == 0) {
    EXPECT_EQ(kNoPosts, Posts());
    EXPECT_NE("close 2", view.events.back()) << "without a caller the fault stays on screen";
  } else {
    ASSERT_EQ(1u, sim.desktop.Messages().size());
    EXPECT_EQ((sim::MessageRecord{reinterpret_cast<HWND>(GetParam().window), 2024, 0, 0, false}),
              sim.desktop.Messages()[0]);
    EXPECT_EQ("close 2", view.events.back());
  }
}

INSTANTIATE_TEST_SUITE_P(Arguments, ReplyWindowTest,
                         ::testing::Values(ReplyCase{"/H1A2B", 0x1A2B}, ReplyCase{"/H1a2b", 0x1A2B},
                                           ReplyCase{"/H1A2Bxyz", 0x1A2B}, ReplyCase{"/HFFFFFFFF", 0xFFFFFFFF},
                                           ReplyCase{"/h1A2B", 0}, ReplyCase{"/H", 0}, ReplyCase{"/Hxyz", 0},
                                           ReplyCase{"/H0", 0}, ReplyCase{"1A2B", 0}, ReplyCase{"", 0},
                                           ReplyCase{"garbage", 0},
                                           // What "%x" reads besides plain digits.
                                           ReplyCase{"/H0x1A2B", 0x1A2B}, ReplyCase{"/H 1A2B", 0x1A2B},
                                           ReplyCase{"/H-1", 0xFFFFFFFF}, ReplyCase{"/H123456789", 0x23456789}));

// A caller that leaves a blank after /H hands over two entries; the third
// alone, "/H", names no window.
TEST_F(CommandLineTest, ReplyArgumentSplitAtABlankNamesNoWindow) {
  Run({"/E", "/H", "1A2B"});  // not installed: fails
  EXPECT_EQ(kNoPosts, Posts());
  EXPECT_NE("close 2", view.events.back());
}

TEST_F(CommandLineTest, InputIsOffWhileTheOperationRuns) {
  DriverBusyDisabling();
  Run({"/D"});
  std::size_t off = CallsBefore("input off");
  std::size_t on = CallsBefore("input on");
  EXPECT_EQ(0u, off) << "before the operation's first call";
  EXPECT_EQ(sim.Trace().size(), on) << "after its last";
}

TEST_F(CommandLineTest, InputIsOffWhileTheFilesAreDeleted) {
  EXPECT_EQ(1, Run({"/F"}));
  std::size_t off = CallsBefore("input off");
  std::size_t on = CallsBefore("input on");
  EXPECT_EQ(0u, off) << "before the first folder query";
  EXPECT_EQ(sim.Trace().size(), on) << "after the last deletion";
}

TEST_F(CommandLineTest, FailureDisplayShowsTheWholeResultText) {
  DriverBusyDisabling();
  Run({"/D"});
  EXPECT_EQ("label " + std::string(ray.ResultText), view.events[4]);
}

}  // namespace
}  // namespace raylet
