// The port probe's six boxes, each brought up by a port that refuses exactly
// one step, while the driver is switched off through a running monitor: the
// refusing virtual COM port counts as busy once the box is closed.
#include <cctype>
#include <string>

#include "BoxIcon.h"
#include "EverydayRun.h"

namespace standin {
namespace {

struct Box {
  PortMode refusal;
  const char* text;
  bool task_modal;     // and shown after the port's close
  const char* record;  // the port's whole record after the run: nothing after the refused request
};

// The port's own settings stay until the step that sets them passes.
const Box kBoxes[] = {
    {PortMode::kFailPurge, "fault clear buffer", false,
     "COM4: fail-purge opens 1 closes 1 open 0 purge 1 mask 0xf getstate 0/0/0/0 setstate 0/0/0/0 "
     "baud 115200 bits 7 parity 2 stop 2 handshake 0x9 flow 0x41 xon 100 xoff 200 chars 1a 3f 00 7e 11 13 "
     "gettimeouts 0 settimeouts 0 timeouts 10 20 30 40 50 setup 0 queues 4096 4096 other 0"},
    {PortMode::kFailGetState, "fault get com state", false,
     "COM4: fail-getstate opens 1 closes 1 open 0 purge 1 mask 0xf getstate 1/0/0/0 setstate 0/0/0/0 "
     "baud 115200 bits 7 parity 2 stop 2 handshake 0x9 flow 0x41 xon 100 xoff 200 chars 1a 3f 00 7e 11 13 "
     "gettimeouts 0 settimeouts 0 timeouts 10 20 30 40 50 setup 0 queues 4096 4096 other 0"},
    {PortMode::kFailSetState, "fault change baudrate", false,
     "COM4: fail-setstate opens 1 closes 1 open 0 purge 1 mask 0xf getstate 1/1/1/1 setstate 1/0/0/0 "
     "baud 115200 bits 7 parity 2 stop 2 handshake 0x9 flow 0x41 xon 100 xoff 200 chars 1a 3f 00 7e 11 13 "
     "gettimeouts 0 settimeouts 0 timeouts 10 20 30 40 50 setup 0 queues 4096 4096 other 0"},
    {PortMode::kFailGetTimeouts, "fault get timeout parameter", false,
     "COM4: fail-gettimeouts opens 1 closes 1 open 0 purge 1 mask 0xf getstate 1/1/1/1 setstate 1/1/1/1 "
     "baud 9600 bits 8 parity 0 stop 0 handshake 0x80000009 flow 0x41 xon 100 xoff 200 chars 1a 3f 00 7e 11 13 "
     "gettimeouts 1 settimeouts 0 timeouts 10 20 30 40 50 setup 0 queues 4096 4096 other 0"},
    {PortMode::kFailSetTimeouts, "fault set timeout parameter", false,
     "COM4: fail-settimeouts opens 1 closes 1 open 0 purge 1 mask 0xf getstate 1/1/1/1 setstate 1/1/1/1 "
     "baud 9600 bits 8 parity 0 stop 0 handshake 0x80000009 flow 0x41 xon 100 xoff 200 chars 1a 3f 00 7e 11 13 "
     "gettimeouts 1 settimeouts 1 timeouts 10 20 30 40 50 setup 0 queues 4096 4096 other 0"},
    {PortMode::kFailSetup, "fault SetupComm", true,
     "COM4: fail-setup opens 1 closes 1 open 0 purge 1 mask 0xf getstate 1/1/1/1 setstate 1/1/1/1 "
     "baud 9600 bits 8 parity 0 stop 0 handshake 0x80000009 flow 0x41 xon 100 xoff 200 chars 1a 3f 00 7e 11 13 "
     "gettimeouts 1 settimeouts 1 timeouts ffffffff 0 0 0 0 setup 1 queues 4096 4096 other 0"},
};

struct Children {
  int buttons = 0;
  std::string button_text;
  int button_id = 0;
};

BOOL CALLBACK CountChild(HWND child, LPARAM param) {
  auto* seen = reinterpret_cast<Children*>(param);
  char name[32] = {};
  GetClassNameA(child, name, sizeof name);
  if (lstrcmpiA(name, "Button") == 0 && IsWindowVisible(child)) {
    ++seen->buttons;
    seen->button_text = cmdline::Text(child);
    seen->button_id = GetDlgCtrlID(child);
  }
  return TRUE;
}

class ProbeBoxes : public EverydayRun, public ::testing::WithParamInterface<std::tuple<Box, Way>> {};

TEST_P(ProbeBoxes, ShowTheirTextThenTheOperationGoesOn) {
  const Box& box = std::get<0>(GetParam());
  Way way = std::get<1>(GetParam());
  SeedInstalled(1);
  ASSERT_NE(nullptr, StartMonitor("IRMON"));
  SetPorts(PortMode::kHeldByStack, box.refusal, PortMode::kFree);

  Begin('D', way);
  HWND shown = program.FindTopLevel("Error", 15000);
  ASSERT_NE(nullptr, shown) << "no box for " << box.text;
  EXPECT_EQ(box.text, cmdline::Rayctl::BoxText(shown));
  EXPECT_EQ(nullptr, GetWindow(shown, GW_OWNER)) << "the box has no owner";
  Children children;
  EnumChildWindows(shown, &CountChild, reinterpret_cast<LPARAM>(&children));
  EXPECT_EQ(1, children.buttons);
  EXPECT_EQ("OK", children.button_text);
  EXPECT_EQ(IDOK, children.button_id);
  EXPECT_EQ(IDI_EXCLAMATION, ShownSystemIcon(shown));
  // Whatever the box's modality, the window takes no command while an
  // operation runs, so no second probe can start on the same record.
  EXPECT_FALSE(IsWindowEnabled(program.MainWindow()));
  PortRecord com;
  ASSERT_TRUE(ReadPortRecord("COM4", &com));
  EXPECT_EQ(box.task_modal ? 0u : 1u, com.open_now) << "the port while the box is up";

  PostMessageA(shown, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  Finish(way,
         "Raylet cannot open port !\nAnother communication software \nusing virtual com port on IrDA driver! 41",
         false);
  ASSERT_TRUE(ReadPortRecord("COM4", &com));
  EXPECT_EQ(box.record, FormatPortRecord(com));
  EXPECT_TRUE(MonitorLines("WM_").empty()) << "no command 113 while a port counts as busy";
}

std::string BoxName(const ::testing::TestParamInfo<std::tuple<Box, Way>>& info) {
  std::string name;
  for (const char* c = std::get<0>(info.param).text; *c != 0; ++c) {
    if (std::isalnum(static_cast<unsigned char>(*c))) name += *c;
  }
  return name + WayName(std::get<1>(info.param));
}

INSTANTIATE_TEST_SUITE_P(Both, ProbeBoxes,
                         ::testing::Combine(::testing::ValuesIn(kBoxes),
                                            ::testing::Values(Way::kWindow, Way::kCaller)),
                         BoxName);

}  // namespace
}  // namespace standin
