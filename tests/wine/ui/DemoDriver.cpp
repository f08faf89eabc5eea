// raylet_demo_driver.exe GO_FILE: the hands of `make demo`. Starts rayctl.exe
// of this build tree, presses Enable, Disable and Kill in turn and prints the
// caption and the label after each; then prints READY, waits (up to 2 min)
// for GO_FILE to exist, so the screen can be photographed, and presses Exit.
#include <windows.h>

#include <cstdio>
#include <string>

#include "RayctlProcess.h"

namespace {

std::string OneLine(std::string text) {
  for (std::size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', at)) text.replace(at, 1, " / ");
  return text;
}

}  // namespace

int main(int argc, char** argv) {
  using raylet::ui::RayctlProcess;
  if (argc < 2) {
    std::fprintf(stderr, "usage: raylet_demo_driver GO_FILE\n");
    return 2;
  }
  RayctlProcess rayctl;
  if (!rayctl.Start()) {
    std::fprintf(stderr, "rayctl.exe did not open its window (%s)\n", RayctlProcess::ExecutablePath().c_str());
    return 1;
  }
  std::printf("started: caption \"%s\", label \"%s\"\n", rayctl.Caption().c_str(), rayctl.Label().c_str());
  const struct {
    int id;
    const char* name;
  } buttons[] = {{102, "Enable"}, {101, "Disable"}, {112, "Kill"}};
  for (const auto& button : buttons) {
    rayctl.Click(button.id);
    std::printf("%-8s caption \"%s\", label \"%s\"\n", button.name, rayctl.Caption().c_str(),
                OneLine(rayctl.Label()).c_str());
    std::fflush(stdout);
  }
  std::printf("READY\n");
  std::fflush(stdout);
  raylet::ui::WaitFor([&] { return GetFileAttributesA(argv[1]) != INVALID_FILE_ATTRIBUTES; }, 120000);
  rayctl.PostClick(1);
  bool ended = rayctl.WaitForExit();
  std::printf("Exit: %s\n", ended ? "the program ended" : "the program did not end");
  return ended ? 0 : 1;
}
