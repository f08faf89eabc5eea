#include <gtest/gtest.h>

#include "platform/WinTypes.h"
#include "shell/logic/ShowCommand.h"

namespace raylet {
namespace {

TEST(ShellShowCommand, HiddenAndMinimizedWithoutActivationStayAsTheLauncherAsked) {
  for (int argc : {1, 2, 3}) {
    EXPECT_EQ(SW_HIDE, ChooseShowCommand(SW_HIDE, argc)) << argc;
    EXPECT_EQ(SW_SHOWMINNOACTIVE, ChooseShowCommand(SW_SHOWMINNOACTIVE, argc)) << argc;
  }
}

TEST(ShellShowCommand, AnyOtherCommandOpensNormalWithoutArguments) {
  for (int show : {1, 2, 3, 4, 5, 6, 8, 9, 10, 11}) EXPECT_EQ(SW_SHOWNORMAL, ChooseShowCommand(show, 1)) << show;
  // A start whose argument count is missing counts as one without arguments.
  EXPECT_EQ(SW_SHOWNORMAL, ChooseShowCommand(3, 0));
}

TEST(ShellShowCommand, AnyOtherCommandStartsMinimizedWithArguments) {
  for (int show : {1, 2, 3, 4, 5, 6, 8, 9, 10, 11}) {
    EXPECT_EQ(SW_SHOWMINIMIZED, ChooseShowCommand(show, 2)) << show;
    EXPECT_EQ(SW_SHOWMINIMIZED, ChooseShowCommand(show, 3)) << show;
  }
}

}  // namespace
}  // namespace raylet
