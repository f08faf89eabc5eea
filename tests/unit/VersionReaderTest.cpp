// TProjectRCVersion against version blocks held in memory.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "VersionTestBlock.h"
#include "shell/logic/TProjectRCVersion.h"

namespace raylet {
namespace {

using test::FakeVersionApi;
using test::MakeBlock;
using test::ProgramValues;

class VersionReader : public ::testing::Test {
 protected:
  FakeVersionApi api;
  void SetUp() override { api.block = MakeBlock("041103A4", ProgramValues(), {{0x0411, 0x03A4}}); }
};

TEST_F(VersionReader, FindsTheProgramsValuesUnderTheFirstTranslation) {
  TProjectRCVersion version(api, nullptr);
  const char* value = nullptr;
  ASSERT_TRUE(version.GetProductName(value));
  EXPECT_STREQ("RayCtl", value);
  ASSERT_TRUE(version.GetProductVersion(value));
  EXPECT_STREQ(RAYLET_VERSION_TEXT, value);
  ASSERT_TRUE(version.GetLegalCopyright(value));
  EXPECT_STREQ("(C) us", value);
  EXPECT_FALSE(version.GetSpecialBuild(value));
  // Language first, in lower-case hexadecimal; the block's key is upper case.
  EXPECT_EQ("\\StringFileInfo\\041103a4\\ProductName", api.queries.at(1));
  EXPECT_EQ("\\VarFileInfo\\Translation", api.queries.at(0));
}

TEST_F(VersionReader, SwapsTheTranslationEntryInPlaceAndAnswersWithPointersIntoItsCopy) {
  TProjectRCVersion version(api, nullptr);
  ASSERT_NE(nullptr, version.VersionBlock);
  EXPECT_EQ(0x041103A4u, *version.Translation);
  auto* translation = reinterpret_cast<BYTE*>(version.Translation);
  EXPECT_GT(translation, version.VersionBlock);
  EXPECT_LT(translation, version.VersionBlock + api.block.size());
  const char* value = nullptr;
  ASSERT_TRUE(version.GetProductName(value));
  EXPECT_GE(reinterpret_cast<const BYTE*>(value), version.VersionBlock);
  EXPECT_LT(reinterpret_cast<const BYTE*>(value), version.VersionBlock + api.block.size());
}

TEST_F(VersionReader, ReadsTheExecutableByThePathItsModuleGives) {
  TProjectRCVersion version(api, nullptr);
  EXPECT_EQ(api.module_path, api.path_asked);
  EXPECT_EQ(260u, api.module_buffer_size);
  EXPECT_TRUE(api.module_buffer_zeroed);
}

// No path (a result of 0), or one cut short, names no file of ours.
TEST_F(VersionReader, NoPathOrACutOneMeansNoValuesAndIsNeverRead) {
  for (const std::string& path : {std::string(), "C:\\" + std::string(MAX_PATH, 'X') + "\\RAYCTL.EXE"}) {
    SCOPED_TRACE(path.size());
    api.module_path = path;
    TProjectRCVersion version(api, nullptr);
    const char* value = nullptr;
    EXPECT_EQ(nullptr, version.VersionBlock);
    EXPECT_FALSE(version.GetProductVersion(value));
    EXPECT_EQ("", api.path_asked);
  }
}

// A query may succeed and still point nowhere; that is no value either.
TEST_F(VersionReader, QueryThatPointsNowhereMeansNoValue) {
  api.answers_without_value = "\\StringFileInfo\\041103a4\\ProductName";
  TProjectRCVersion version(api, nullptr);
  const char* value = nullptr;
  EXPECT_FALSE(version.GetProductName(value));
  EXPECT_TRUE(version.GetProductVersion(value));
  api.answers_without_value = "\\VarFileInfo\\Translation";
  TProjectRCVersion without_translation(api, nullptr);
  EXPECT_EQ(nullptr, without_translation.VersionBlock);
  EXPECT_FALSE(without_translation.GetProductVersion(value));
}

TEST_F(VersionReader, NoVersionResourceMeansNoValues) {
  api.has_block = false;
  TProjectRCVersion version(api, nullptr);
  const char* value = nullptr;
  EXPECT_EQ(nullptr, version.VersionBlock);
  EXPECT_FALSE(version.GetProductName(value));
  EXPECT_FALSE(version.GetLegalCopyright(value));
  EXPECT_EQ(0, api.reads);
  EXPECT_TRUE(api.queries.empty());
}

TEST_F(VersionReader, UnreadableResourceMeansNoValues) {
  api.read_fails = true;
  TProjectRCVersion version(api, nullptr);
  const char* value = nullptr;
  EXPECT_EQ(nullptr, version.VersionBlock);
  EXPECT_FALSE(version.GetProductName(value));
  EXPECT_TRUE(api.queries.empty());
}

TEST_F(VersionReader, BlockWithoutTranslationMeansNoValues) {
  api.block = MakeBlock("041103A4", ProgramValues(), {});
  TProjectRCVersion version(api, nullptr);
  const char* value = nullptr;
  EXPECT_EQ(nullptr, version.VersionBlock);
  EXPECT_FALSE(version.GetProductName(value));
  EXPECT_FALSE(version.GetProductVersion(value));
  EXPECT_EQ(1u, api.queries.size());
}

TEST_F(VersionReader, MissingKeysFailOneByOne) {
  api.block = MakeBlock("041103A4", {{"ProductName", "RayCtl"}, {"SpecialBuild", "private"}}, {{0x0411, 0x03A4}});
  TProjectRCVersion version(api, nullptr);
  const char* value = nullptr;
  EXPECT_TRUE(version.GetProductName(value));
  EXPECT_FALSE(version.GetProductVersion(value));
  EXPECT_FALSE(version.GetLegalCopyright(value));
  ASSERT_TRUE(version.GetSpecialBuild(value));
  EXPECT_STREQ("private", value);
}

TEST_F(VersionReader, OnlyTheFirstTranslationCounts) {
  api.block = MakeBlock("041103A4", ProgramValues(), {{0x0409, 0x04B0}, {0x0411, 0x03A4}});
  TProjectRCVersion version(api, nullptr);
  const char* value = nullptr;
  EXPECT_EQ(0x040904B0u, *version.Translation);
  EXPECT_FALSE(version.GetProductName(value));
  EXPECT_EQ("\\StringFileInfo\\040904b0\\ProductName", api.queries.back());
}

}  // namespace
}  // namespace raylet
