// The about box's texts from the version block (FillAboutBox).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "VersionTestBlock.h"
#include "shell/logic/AboutBox.h"
#include "sim/StackPoison.h"

namespace raylet {
namespace {

using test::FakeVersionApi;
using test::MakeBlock;
using test::ProgramValues;

// The three controls as the template makes them; records every change.
class FakeAboutView : public AboutView {
 public:
  std::map<int, std::string> texts{{22001, "Version"}, {22002, ""}, {22003, ""}};
  std::vector<int> changed;

  bool buffer_zeroed = false;

  void GetControlText(int id, char* buffer, int size) override {
    buffer_zeroed = std::all_of(buffer, buffer + size, [](char c) { return c == 0; });
    std::string text = texts.at(id).substr(0, static_cast<std::size_t>(size - 1));
    std::memcpy(buffer, text.c_str(), text.size() + 1);
  }
  void SetControlText(int id, const char* text) override {
    texts.at(id) = text;
    changed.push_back(id);
  }
};

class AboutBoxTexts : public ::testing::Test {
 protected:
  void SetUp() override { api.block = MakeBlock("041103A4", ProgramValues(), {{0x0411, 0x03A4}}); }
  void Fill() {
    TProjectRCVersion version(api, nullptr);
    FillAboutBox(version, view);
  }
  bool Asked(const std::string& key) const {
    for (const std::string& query : api.queries) {
      if (query.size() >= key.size() && query.compare(query.size() - key.size(), key.size(), key) == 0) return true;
    }
    return false;
  }

  FakeVersionApi api;
  FakeAboutView view;
};

TEST_F(AboutBoxTexts, ProgramsBlockGivesProductLineAndCopyrightAndNoSpecialBuild) {
  Fill();
  EXPECT_EQ("RayCtl Version " RAYLET_VERSION_TEXT, view.texts[22001]);
  EXPECT_EQ("(C) us", view.texts[22002]);
  EXPECT_EQ("", view.texts[22003]);
  EXPECT_EQ((std::vector<int>{22001, 22002}), view.changed);
}

TEST_F(AboutBoxTexts, MiddleWordIsWhatTheControlHoldsAtSetUp) {
  view.texts[22001] = "Ver.";
  sim::PoisonStack();
  Fill();
  EXPECT_EQ("RayCtl Ver. " RAYLET_VERSION_TEXT, view.texts[22001]);
  EXPECT_TRUE(view.buffer_zeroed) << "the word is read into a zeroed buffer";
}

TEST_F(AboutBoxTexts, NoVersionResourceLeavesTheTemplateTexts) {
  api.has_block = false;
  Fill();
  EXPECT_EQ("Version", view.texts[22001]);
  EXPECT_TRUE(view.changed.empty());
}

TEST_F(AboutBoxTexts, MissingProductNameLeavesTheLineAndSkipsTheVersion) {
  api.block = MakeBlock("041103A4", {{"ProductVersion", RAYLET_VERSION_TEXT}, {"LegalCopyright", "(C) us"}}, {{0x0411, 0x03A4}});
  Fill();
  EXPECT_EQ("Version", view.texts[22001]);
  EXPECT_FALSE(Asked("\\ProductVersion"));
  EXPECT_EQ("(C) us", view.texts[22002]);
}

TEST_F(AboutBoxTexts, MissingProductVersionLeavesTheLine) {
  api.block = MakeBlock("041103A4", {{"ProductName", "RayCtl"}}, {{0x0411, 0x03A4}});
  Fill();
  EXPECT_EQ("Version", view.texts[22001]);
  EXPECT_TRUE(view.changed.empty());
}

TEST_F(AboutBoxTexts, SpecialBuildShowsWhenTheBlockHasIt) {
  auto values = ProgramValues();
  values.push_back({"SpecialBuild", "test build"});
  api.block = MakeBlock("041103A4", values, {{0x0411, 0x03A4}});
  Fill();
  EXPECT_EQ("test build", view.texts[22003]);
}

TEST_F(AboutBoxTexts, OverlongLineIsCutToItsBuffer) {
  api.block = MakeBlock("041103A4", {{"ProductName", std::string(200, 'N')}, {"ProductVersion", std::string(100, 'v')}},
                        {{0x0411, 0x03A4}});
  Fill();
  EXPECT_EQ(std::string(200, 'N') + " Version " + std::string(46, 'v'), view.texts[22001]);
}

}  // namespace
}  // namespace raylet
