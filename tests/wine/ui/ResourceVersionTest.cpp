// The version block of rayctl.exe: raw layout, and what version.dll reads.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "ResourceFile.h"
#include "resources/version.h"

namespace raylet::ui {
namespace {

struct Node {
  std::wstring key;
  std::size_t value_at;
  uint16_t value_length;  // bytes for binary values, characters for texts
  uint16_t type;          // 1: text
  std::vector<Node> children;
};

Node ReadNode(const std::vector<uint8_t>& bytes, std::size_t at) {
  Reader in(bytes, at);
  uint16_t length = in.Word();
  Node node;
  node.value_length = in.Word();
  node.type = in.Word();
  node.key = in.String();
  in.Align(4);
  node.value_at = in.At();
  in.Seek(in.At() + node.value_length * (node.type == 1 ? 2 : 1));
  in.Align(4);
  while (in.At() < at + length) {
    std::size_t child_at = in.At();
    uint16_t child_length = Reader(bytes, child_at).Word();
    if (child_length == 0) break;
    node.children.push_back(ReadNode(bytes, child_at));
    in.Seek(child_at + child_length);
    in.Align(4);
  }
  return node;
}

std::wstring TextValue(const std::vector<uint8_t>& bytes, const Node& node) {
  Reader in(bytes, node.value_at);
  return in.String();
}

TEST(ResourceVersion, FixedPartStringTableAndTranslationAsDesigned) {
  const std::vector<std::pair<std::wstring, std::wstring>> expected = {
      {L"CompanyName", L"The Raylet authors"},
      {L"FileDescription", L"Raylet"},
      {L"FileVersion", L"" RAYLET_VERSION_TEXT},
      {L"InternalName", L"rayctl"},
      {L"LegalCopyright", L"Copyright (C) 2026 The Raylet authors"},
      {L"OriginalFilename", L"rayctl.exe"},
      {L"ProductName", L"RayCtl"},
      {L"ProductVersion", L"" RAYLET_VERSION_TEXT},
  };
  for (const std::string& path : ExecutablesUnderTest()) {
    SCOPED_TRACE(path);
    ResourceFile file(path);
    std::vector<uint8_t> bytes = file.Bytes(RT_VERSION, 1);
    ASSERT_FALSE(bytes.empty());
    Node root = ReadNode(bytes, 0);
    EXPECT_TRUE(root.key == L"VS_VERSION_INFO");
    ASSERT_EQ(sizeof(VS_FIXEDFILEINFO), root.value_length);
    Reader fixed(bytes, root.value_at);
    EXPECT_EQ(0xFEEF04BDu, fixed.Dword());
    fixed.Dword();                          // structure version
    const uint32_t major_minor = RAYLET_VERSION_MAJOR << 16 | RAYLET_VERSION_MINOR;
    EXPECT_EQ(major_minor, fixed.Dword());  // file version
    EXPECT_EQ(0u, fixed.Dword());           // .0.0
    EXPECT_EQ(major_minor, fixed.Dword());  // product version
    EXPECT_EQ(0u, fixed.Dword());
    fixed.Dword();                          // flags mask
    fixed.Dword();                          // flags
    EXPECT_EQ(4u, fixed.Dword());           // 32-bit Windows
    EXPECT_EQ(1u, fixed.Dword());           // application
    EXPECT_EQ(0u, fixed.Dword());           // subtype
    EXPECT_EQ(0u, fixed.Dword());           // date
    EXPECT_EQ(0u, fixed.Dword());

    ASSERT_EQ(2u, root.children.size());
    const Node& strings = root.children[0];
    EXPECT_TRUE(strings.key == L"StringFileInfo");
    ASSERT_EQ(1u, strings.children.size());
    const Node& table = strings.children[0];
    EXPECT_TRUE(table.key == L"041103A4");
    ASSERT_EQ(expected.size(), table.children.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
      EXPECT_TRUE(table.children[i].key == expected[i].first) << i;
      EXPECT_TRUE(TextValue(bytes, table.children[i]) == expected[i].second) << i;
    }
    const Node& variables = root.children[1];
    EXPECT_TRUE(variables.key == L"VarFileInfo");
    ASSERT_EQ(1u, variables.children.size());
    EXPECT_TRUE(variables.children[0].key == L"Translation");
    ASSERT_EQ(4u, variables.children[0].value_length);
    Reader translation(bytes, variables.children[0].value_at);
    EXPECT_EQ(0x0411, translation.Word());
    EXPECT_EQ(932, translation.Word());
  }
}

TEST(ResourceVersion, VersionDllFindsTheAboutBoxValuesAndNoSpecialBuild) {
  for (const std::string& path : ExecutablesUnderTest()) {
    SCOPED_TRACE(path);
    DWORD handle = 0;
    DWORD size = GetFileVersionInfoSizeA(path.c_str(), &handle);
    ASSERT_NE(0u, size);
    std::vector<char> block(size);
    ASSERT_TRUE(GetFileVersionInfoA(path.c_str(), handle, size, block.data()));
    auto query = [&](const char* sub_block) -> std::string {
      void* value = nullptr;
      UINT length = 0;
      if (!VerQueryValueA(block.data(), sub_block, &value, &length)) return "<none>";
      return static_cast<const char*>(value);
    };
    EXPECT_EQ("RayCtl", query("\\StringFileInfo\\041103a4\\ProductName"));
    EXPECT_EQ(RAYLET_VERSION_TEXT, query("\\StringFileInfo\\041103a4\\ProductVersion"));
    EXPECT_EQ("<none>", query("\\StringFileInfo\\041103a4\\SpecialBuild"));
  }
}

}  // namespace
}  // namespace raylet::ui
