// The two dialog templates of rayctl.exe, read raw from each executable.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ResourceFile.h"

namespace raylet::ui {
namespace {

constexpr uint32_t kChildVisible = WS_CHILD | WS_VISIBLE;

struct ItemSpec {
  uint32_t style;
  short x, y, cx, cy;
  uint16_t id;
  std::wstring class_name;
  std::wstring text;
};

struct DialogSpec {
  uint32_t style;
  uint32_t ex_style;
  short x, y, cx, cy;
  std::wstring caption;
  std::vector<ItemSpec> items;
};

const std::wstring kButton = L"#128";
const std::wstring kStatic = L"#130";

DialogSpec MainDialog() {
  const uint32_t push = kChildVisible | WS_TABSTOP | BS_CENTER;
  const uint32_t group = kChildVisible | WS_GROUP | BS_GROUPBOX;
  return {0x80C000CC, WS_EX_DLGMODALFRAME, 13, 15, 290, 221, L"Raylet",
          {
              {group, 8, 4, 176, 208, 104, kButton, L"MS-IrDA Driver Setting"},
              {kChildVisible | WS_TABSTOP | BS_DEFPUSHBUTTON, 192, 188, 92, 16, 1, kButton, L"&Exit"},
              {push, 192, 140, 92, 16, 103, kButton, L"Version &Help"},
              {group, 188, 80, 100, 40, 105, kButton, L"MS-IrDA (Win98) &Uninstall"},
              {push | BS_MULTILINE, 192, 92, 92, 24, 106, kButton, L"&Remove MS-IrDA from system!"},
              {group, 188, 4, 100, 72, 107, kButton, L"IrMonitor setting"},
              {push | BS_MULTILINE, 192, 20, 92, 24, 108, kButton, L"&Road memory every win98 startup."},
              {push | BS_MULTILINE, 192, 48, 92, 24, 109, kButton, L"Road memory when you &need MS-IrDA."},
              {kChildVisible | SS_LEFT, 192, 160, 104, 24, 65535, kStatic, L"Raylet is free software\nunder the MIT License."},
              {group, 12, 12, 84, 148, 110, kButton, L""},
              {group, 96, 12, 84, 148, 111, kButton, L""},
              {push, 16, 120, 76, 16, 101, kButton, L"&Disable MS-IrDA Driver"},
              {push, 16, 140, 76, 16, 112, kButton, L"&Kill MS-IrDA Driver"},
              {push | BS_MULTILINE, 100, 128, 76, 16, 102, kButton, L"&Enable MS-IrDA Driver"},
              {kChildVisible | SS_SUNKEN | SS_CENTER, 100, 24, 76, 92, 65535, kStatic,
               L"MS-IrDA applications\n\n\nIrClip\nNTT IrTA\nOKAYA Legasic\nJet Eye Net\nTran-P\nMS IrXfer"},
              {kChildVisible | SS_SUNKEN | SS_CENTER, 16, 24, 76, 92, 65535, kStatic,
               L"Softwares which don't depend on MS-IrDA\n\nRemocon-Con\nPUMA IntelliSynk\nPUMA Tranxit\nCasio "
               L"PCX(IrWW)\nSeiko Ruputer(IrWW)\nPalmIII\nZaurus-ASK"},
              {kChildVisible | SS_SUNKEN | SS_LEFT, 12, 164, 168, 40, 120, kStatic, L""},
          }};
}

DialogSpec AboutDialog() {
  const uint32_t text = kChildVisible | WS_GROUP | SS_NOPREFIX;
  return {0x80C800C0, WS_EX_DLGMODALFRAME, 12, 17, 204, 65, L"About this software",
          {
              {text | SS_CENTER, 2, 14, 200, 8, 22001, kStatic, L"Version"},
              {text | SS_CENTER, 2, 4, 200, 8, 65535, kStatic, L"Raylet"},
              {text | SS_CENTER, 2, 27, 200, 17, 22002, kStatic, L""},
              {text | SS_RIGHT, 136, 55, 66, 8, 22003, kStatic, L""},
              {kChildVisible | SS_ICON, 2, 2, 34, 34, 65535, kStatic, L"#1001"},
              {kChildVisible | WS_TABSTOP | BS_DEFPUSHBUTTON, 82, 48, 40, 14, 1, kButton, L"OK"},
          }};
}

void ExpectTemplate(const std::vector<uint8_t>& bytes, const DialogSpec& spec) {
  ASSERT_FALSE(bytes.empty());
  Reader in(bytes);
  EXPECT_EQ(spec.style, in.Dword());
  EXPECT_EQ(spec.ex_style, in.Dword());
  uint16_t count = in.Word();
  ASSERT_EQ(spec.items.size(), count);
  EXPECT_EQ(spec.x, in.Short());
  EXPECT_EQ(spec.y, in.Short());
  EXPECT_EQ(spec.cx, in.Short());
  EXPECT_EQ(spec.cy, in.Short());
  EXPECT_EQ(L"", in.NameOrOrdinal());  // no menu
  EXPECT_EQ(L"", in.NameOrOrdinal());  // the standard dialog class
  EXPECT_EQ(spec.caption, in.String());
  EXPECT_EQ(9, in.Word());
  EXPECT_EQ(L"Times New Roman", in.String());
  for (const ItemSpec& item : spec.items) {
    SCOPED_TRACE(item.id);
    in.Align(4);
    EXPECT_EQ(item.style, in.Dword());
    EXPECT_EQ(0u, in.Dword());
    EXPECT_EQ(item.x, in.Short());
    EXPECT_EQ(item.y, in.Short());
    EXPECT_EQ(item.cx, in.Short());
    EXPECT_EQ(item.cy, in.Short());
    EXPECT_EQ(item.id, in.Word());
    EXPECT_EQ(item.class_name, in.NameOrOrdinal());
    EXPECT_EQ(item.text, in.NameOrOrdinal());
    EXPECT_EQ(0, in.Word());  // no creation data
  }
  EXPECT_TRUE(in.AtEnd());
}

TEST(ResourceDialogs, MainDialogAndAboutBoxAreLaidOutAsDesigned) {
  ASSERT_FALSE(ExecutablesUnderTest().empty());
  for (const std::string& path : ExecutablesUnderTest()) {
    SCOPED_TRACE(path);
    ResourceFile file(path);
    ASSERT_TRUE(file.Loaded());
    {
      SCOPED_TRACE("dialog 2000");
      ExpectTemplate(file.Bytes(RT_DIALOG, 2000), MainDialog());
    }
    {
      SCOPED_TRACE("dialog 22000");
      ExpectTemplate(file.Bytes(RT_DIALOG, 22000), AboutDialog());
    }
  }
}

BOOL CALLBACK CollectLanguage(HMODULE, LPCSTR, LPCSTR, WORD language, LONG_PTR out) {
  reinterpret_cast<std::vector<WORD>*>(out)->push_back(language);
  return TRUE;
}

BOOL CALLBACK CheckName(HMODULE module, LPCSTR type, LPSTR name, LONG_PTR out) {
  EnumResourceLanguagesA(module, type, name, &CollectLanguage, out);
  return TRUE;
}

BOOL CALLBACK CheckType(HMODULE module, LPSTR type, LONG_PTR out) {
  EnumResourceNamesA(module, type, &CheckName, out);
  return TRUE;
}

TEST(ResourceDialogs, EveryResourceIsLanguageNeutral) {
  for (const std::string& path : ExecutablesUnderTest()) {
    SCOPED_TRACE(path);
    ResourceFile file(path);
    ASSERT_TRUE(file.Loaded());
    std::vector<WORD> languages;
    EnumResourceTypesA(file.Module(), &CheckType, reinterpret_cast<LONG_PTR>(&languages));
    // 3 icons, menu, 2 dialogs, 21 string blocks, accelerators, icon group, version.
    EXPECT_EQ(30u, languages.size());
    for (WORD language : languages) EXPECT_EQ(0, language);
  }
}

}  // namespace

std::vector<std::string>& ExecutablesUnderTest() {
  static std::vector<std::string> paths;
  return paths;
}

}  // namespace raylet::ui

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  for (int i = 1; i < argc; ++i) raylet::ui::ExecutablesUnderTest().push_back(argv[i]);
  return RUN_ALL_TESTS();
}
