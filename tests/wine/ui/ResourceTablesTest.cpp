// String table, menu, accelerators, icon group and version block of
// rayctl.exe, read raw from each executable.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "ResourceFile.h"

namespace raylet::ui {
namespace {

// Every string of every block: id -> text.
std::map<UINT, std::wstring> AllStrings(const ResourceFile& file, std::set<UINT>* blocks) {
  std::map<UINT, std::wstring> strings;
  for (UINT block = 1; block <= 4096; ++block) {
    std::vector<uint8_t> bytes = file.Bytes(RT_STRING, block);
    if (bytes.empty()) continue;
    blocks->insert(block);
    Reader in(bytes);
    for (UINT slot = 0; slot < 16; ++slot) {
      uint16_t length = in.Word();
      std::wstring text;
      for (uint16_t i = 0; i < length; ++i) text.push_back(static_cast<wchar_t>(in.Word()));
      if (length != 0) strings[(block - 1) * 16 + slot] = text;
    }
    EXPECT_TRUE(in.AtEnd()) << block;
  }
  return strings;
}

TEST(ResourceTables, StringTableHoldsTheHintsAndTheFrameworkMessages) {
  const std::map<UINT, std::wstring> quoted = {
      {2008, L"ﾌﾟﾛｸﾞﾗﾑについての情報"},
      {2009, L"SetRay ｱﾌﾟﾘｹｰｼｮﾝについて"},
      {24310, L"文書を保存することを促し、SetRay を終了"},
      {24320, L"編集操作"},
      {24321, L"直前の操作の取り消し"},
      {24322, L"選択範囲をｸﾘｯﾌﾟﾎﾞｰﾄﾞへ切り取る"},
      {24323, L"選択範囲をｸﾘｯﾌﾟﾎﾞｰﾄﾞへｺﾋﾟｰする"},
      {24324, L"ｸﾘｯﾌﾟﾎﾞｰﾄﾞの内容をｶｰｿﾙの位置に挿入"},
      {24325, L"選択範囲を削除"},
      {24326, L"文書全体を削除"},
      {24327, L"新しい行の追加"},
      {24328, L"現在行の編集"},
      {24331, L"新しくｳｨﾝﾄﾞｳを作成する"},
      {24332, L"ｳｨﾝﾄﾞｳを開く"},
      {24333, L"この文書を上書き保存"},
      {24334, L"この文書に名前を付けて保存"},
      {24339, L"この文書を閉じる"},
      {24350, L"検索/置換操作"},
      {24351, L"指定文字列の検索"},
      {24352, L"指定文字列を検索して別の文字列に置換"},
      {24353, L"次に一致する文字列の検索"},
      {65535, L"ﾌｧｲﾙ/文書の操作"},
      {32764, L"未処理の例外"},
      {32765, L"再開しますか?"},
  };
  const std::set<UINT> framework = {32520, 32521, 32522, 32523, 32530, 32531, 32540, 32550, 32551, 32552, 32553,
                                    32554, 32707, 32708, 32709, 32758, 32759, 32760, 32761, 32762, 32763, 32764,
                                    32765, 32766, 32767, 61440, 61456, 61472, 61488, 61504, 61536, 61728, 61744};
  for (const std::string& path : ExecutablesUnderTest()) {
    SCOPED_TRACE(path);
    ResourceFile file(path);
    ASSERT_TRUE(file.Loaded());
    std::set<UINT> blocks;
    std::map<UINT, std::wstring> strings = AllStrings(file, &blocks);
    EXPECT_EQ(73u, strings.size());
    EXPECT_EQ(21u, blocks.size());
    for (const auto& [id, text] : quoted) {
      ASSERT_EQ(1u, strings.count(id)) << id;
      EXPECT_TRUE(strings[id] == text) << id;
    }
    for (const auto& [id, text] : strings) {
      bool known = quoted.count(id) != 0 || framework.count(id) != 0 || (id >= 32732 && id <= 32749);
      EXPECT_TRUE(known) << id;
      // The framework's own messages are Japanese too.
      bool japanese = false;
      for (wchar_t c : text) japanese = japanese || (c >= 0x3000 && c <= 0x9FFF) || (c >= 0xFF61 && c <= 0xFF9F);
      EXPECT_TRUE(japanese) << id;
    }
  }
}

// The menu as lines: "popup <text>", "end", "item <id> <text>[ grayed]",
// "separator".
std::vector<std::wstring> MenuLines(Reader& in, int depth) {
  std::vector<std::wstring> lines;
  for (;;) {
    uint16_t flags = in.Word();
    if (flags & MF_POPUP) {
      lines.push_back(L"popup " + in.String());
      std::vector<std::wstring> inner = MenuLines(in, depth + 1);
      lines.insert(lines.end(), inner.begin(), inner.end());
      lines.push_back(L"end");
    } else {
      uint16_t id = in.Word();
      std::wstring text = in.String();
      if (id == 0 && text.empty()) {
        lines.push_back(L"separator");
      } else {
        lines.push_back(L"item " + std::to_wstring(id) + L" " + text + ((flags & MF_GRAYED) ? L" grayed" : L""));
      }
    }
    if (flags & MF_END) return lines;
    if (in.AtEnd()) return lines;
  }
}

TEST(ResourceTables, MenuHundredAsListed) {
  const std::vector<std::wstring> expected = {
      L"popup ﾌｧｲﾙ(&F)",
      L"item 24331 新規作成(&N)",
      L"item 24332 開く(&O)...",
      L"separator",
      L"item 24333 上書き保存(&S) grayed",
      L"item 24334 名前を付けて保存(&A)... grayed",
      L"separator",
      L"item 24310 終了(&X)\tAlt+F4",
      L"end",
      L"separator",
      L"popup 編集(&E)",
      L"item 24321 元に戻す(&U)\tAlt+BkSp grayed",
      L"separator",
      L"item 24322 切り取り(&T)\tShift+Del grayed",
      L"item 24323 ｺﾋﾟｰ(&C)\tCtrl+Ins grayed",
      L"item 24324 貼り付け(&P)\tShift+Ins grayed",
      L"separator",
      L"item 24326 すべて削除(&A)\tCtrl+Del grayed",
      L"item 24325 削除(&D)\tDel grayed",
      L"end",
      L"popup 検索(&S)",
      L"item 24351 文字列の検索(&F)... grayed",
      L"item 24352 文字列の置換(&R)... grayed",
      L"item 24353 次を検索(&N)\bF3 grayed",
      L"end",
      L"separator",
      L"separator",
      L"separator",
      L"separator",
      L"popup ﾍﾙﾌﾟ(&H)",
      L"item 2009 ﾊﾞｰｼﾞｮﾝ情報(&A)...",
      L"end",
  };
  for (const std::string& path : ExecutablesUnderTest()) {
    SCOPED_TRACE(path);
    ResourceFile file(path);
    std::vector<uint8_t> bytes = file.Bytes(RT_MENU, 100);
    ASSERT_GE(bytes.size(), 4u);
    Reader in(bytes);
    EXPECT_EQ(0, in.Word());  // version
    EXPECT_EQ(0, in.Word());  // header size
    std::vector<std::wstring> lines = MenuLines(in, 0);
    ASSERT_EQ(expected.size(), lines.size());
    for (std::size_t i = 0; i < expected.size(); ++i) EXPECT_TRUE(expected[i] == lines[i]) << i;
    EXPECT_TRUE(in.AtEnd());
  }
}

TEST(ResourceTables, AcceleratorTableHundredAsListed) {
  struct Entry {
    uint16_t flags, key, command;
  };
  const std::vector<Entry> expected = {
      {FVIRTKEY | FSHIFT, 0x2E, 24322},   {FVIRTKEY | FCONTROL, 0x2D, 24323}, {FVIRTKEY | FSHIFT, 0x2D, 24324},
      {FVIRTKEY | FCONTROL, 0x2E, 24326}, {FVIRTKEY | FALT, 0x08, 24321},     {FVIRTKEY | 0x80, 0x72, 24353},
  };
  for (const std::string& path : ExecutablesUnderTest()) {
    SCOPED_TRACE(path);
    ResourceFile file(path);
    std::vector<uint8_t> bytes = file.Bytes(RT_ACCELERATOR, 100);
    ASSERT_EQ(expected.size() * 8, bytes.size());
    Reader in(bytes);
    for (const Entry& entry : expected) {
      EXPECT_EQ(entry.flags, in.Word());
      EXPECT_EQ(entry.key, in.Word());
      EXPECT_EQ(entry.command, in.Word());
      in.Word();
    }
  }
}

TEST(ResourceTables, IconGroupHasItsThreeImages) {
  struct Image {
    uint8_t size, colours;
    uint16_t bits;
    uint32_t bytes;
    uint16_t id;
  };
  const std::vector<Image> expected = {{32, 16, 4, 744, 1}, {32, 2, 1, 304, 2}, {16, 16, 4, 296, 3}};
  for (const std::string& path : ExecutablesUnderTest()) {
    SCOPED_TRACE(path);
    ResourceFile file(path);
    std::vector<uint8_t> group = file.Bytes(RT_GROUP_ICON, 1001);
    ASSERT_EQ(6 + 14 * expected.size(), group.size());
    Reader in(group);
    EXPECT_EQ(0, in.Word());
    EXPECT_EQ(1, in.Word());
    EXPECT_EQ(expected.size(), in.Word());
    for (const Image& image : expected) {
      uint16_t size_word = in.Word();
      EXPECT_EQ(image.size, size_word & 0xFF);
      EXPECT_EQ(image.size, size_word >> 8);
      EXPECT_EQ(image.colours, in.Word() & 0xFF);
      EXPECT_EQ(1, in.Word());  // planes
      EXPECT_EQ(image.bits, in.Word());
      EXPECT_EQ(image.bytes, in.Dword());
      EXPECT_EQ(image.id, in.Word());
      EXPECT_EQ(image.bytes, file.Bytes(RT_ICON, image.id).size());
    }
  }
}

}  // namespace
}  // namespace raylet::ui
