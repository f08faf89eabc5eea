// rayctl.exe as users of each language edition meet it: Western systems
// (ANSI code page 1252, OEM 437 or 850) and Japanese ones (932 for both).
// The rows of each table that belong to the prefix's code page run, and
// those of every code page; the test runs once in a Western prefix and once
// in a Japanese one.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "RayctlProcess.h"
#include "framework/ReportText.h"
#include "resources/version.h"

namespace raylet::ui {
namespace {

// The text as a program of this code page holds it; false in `exact` when
// the page lacks a character of it (which Windows 98 would show as "?").
std::string Ansi(const std::wstring& text, bool* exact = nullptr) {
  BOOL defaulted = FALSE;
  int size = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.c_str(), -1, nullptr, 0, nullptr, &defaulted);
  std::string ansi(size > 0 ? size - 1 : 0, '\0');
  WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.c_str(), -1, &ansi[0], size, nullptr, nullptr);
  if (exact != nullptr) *exact = !defaulted;
  return ansi;
}

bool InCodePage(const std::wstring& text) {
  bool exact = false;
  Ansi(text, &exact);
  return exact;
}

std::wstring WideText(HWND window) {
  wchar_t text[512] = L"";
  GetWindowTextW(window, text, 512);
  return text;
}

// A copy of rayctl.exe in a folder of its own, gone with the object.
class ProgramCopy {
 public:
  explicit ProgramCopy(const std::wstring& folder) : folder_(folder), path_(folder + L"\\rayctl.exe") {
    std::string original = RayctlProcess::ExecutablePath();
    CreateDirectoryW(folder_.c_str(), nullptr);
    copied_ = CopyFileW(std::wstring(original.begin(), original.end()).c_str(), path_.c_str(), FALSE) != 0;
  }
  ~ProgramCopy() {
    DeleteFileW(path_.c_str());
    RemoveDirectoryW(folder_.c_str());
  }
  bool Copied() const { return copied_; }
  std::string Path() const { return Ansi(path_); }
  // Gives the copy's resource `type`/`id` the id `id + 1` (which must be
  // free and below the next id, so that the directory stays sorted).
  bool Renumber(WORD type, WORD id) const;

 private:
  std::wstring folder_;
  std::wstring path_;
  bool copied_ = false;
};

// Finds the entry `id` in the resource directory at `offset` of the file.
std::size_t DirectoryEntry(const std::vector<char>& file, std::size_t offset, WORD id) {
  auto word = [&](std::size_t at) { return static_cast<WORD>(static_cast<BYTE>(file[at]) | file[at + 1] << 8); };
  std::size_t entries = word(offset + 12) + word(offset + 14);
  for (std::size_t entry = offset + 16; entries-- > 0; entry += 8) {
    if (word(entry) == id && word(entry + 2) == 0) return entry;
  }
  return 0;
}

bool ProgramCopy::Renumber(WORD type, WORD id) const {
  HANDLE handle = CreateFileW(path_.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return false;
  std::vector<char> file(GetFileSize(handle, nullptr));
  DWORD done = 0;
  ReadFile(handle, file.data(), static_cast<DWORD>(file.size()), &done, nullptr);
  auto* dos = reinterpret_cast<IMAGE_DOS_HEADER*>(file.data());
  auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(file.data() + dos->e_lfanew);
  DWORD rva = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_RESOURCE].VirtualAddress;
  std::size_t root = 0;
  IMAGE_SECTION_HEADER* section = IMAGE_FIRST_SECTION(nt);
  for (int i = 0; i < nt->FileHeader.NumberOfSections; ++i, ++section) {
    if (section->VirtualAddress == rva) root = section->PointerToRawData;
  }
  std::size_t entry = root != 0 ? DirectoryEntry(file, root, type) : 0;
  if (entry != 0) {
    DWORD below = *reinterpret_cast<DWORD*>(&file[entry + 4]) & 0x7FFFFFFF;
    entry = DirectoryEntry(file, root + below, id);
  }
  if (entry != 0) {
    file[entry] = static_cast<char>((id + 1) & 0xFF);
    file[entry + 1] = static_cast<char>((id + 1) >> 8);
    SetFilePointer(handle, 0, nullptr, FILE_BEGIN);
    WriteFile(handle, file.data(), static_cast<DWORD>(file.size()), &done, nullptr);
  }
  CloseHandle(handle);
  return entry != 0 && done == file.size();
}

struct Folder {
  UINT code_page;  // 0: every one
  std::wstring path;
};

std::vector<Folder> Folders() {
  // The longest path Windows 98 gives a program, 259 characters (MAX_PATH
  // less the terminator): a folder's name fills what "\rayctl.exe" leaves.
  std::wstring longest = L"C:\\" + std::wstring(MAX_PATH - 1 - 3 - 11, L'x');
  // A letter above 0x7F, which the OEM page puts elsewhere on a Western
  // system; on a Japanese one a double-byte character whose second byte is
  // a backslash (0x95 0x5C).
  return {{1252, L"C:\\Ger\u00e4t"}, {932, L"C:\\\u8868"}, {0, longest}};
}

TEST(CodePage, AboutBoxIsCompleteWhereverTheProgramLies) {
  int runs = 0;
  for (const Folder& folder : Folders()) {
    if (folder.code_page != 0 && folder.code_page != GetACP()) continue;
    ++runs;
    SCOPED_TRACE(Ansi(folder.path));
    ASSERT_TRUE(InCodePage(folder.path)) << "the folder's name is not in code page " << GetACP();
    ProgramCopy copy(folder.path);
    ASSERT_TRUE(copy.Copied());
    RayctlProcess rayctl;
    ASSERT_TRUE(rayctl.Start("", copy.Path()));
    rayctl.PostClick(103);
    HWND about = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (about = rayctl.FindOwnWindow("About this software")) != nullptr; }));
    WaitFor([&] { return WindowText(GetDlgItem(about, 22001)) != "Version"; }, 2000);
    EXPECT_EQ("RayCtl Version " RAYLET_VERSION_TEXT, WindowText(GetDlgItem(about, 22001)));
    EXPECT_EQ("Copyright (C) 2026 The Raylet authors", WindowText(GetDlgItem(about, 22002)));
    EXPECT_EQ("", WindowText(GetDlgItem(about, 22003)));
  }
  EXPECT_EQ(2, runs) << "no folder for code page " << GetACP();
}

std::wstring Wide(const std::string& text, UINT code_page = CP_ACP) {
  int size = MultiByteToWideChar(code_page, 0, text.c_str(), -1, nullptr, 0);
  std::wstring wide(size > 0 ? size - 1 : 0, L'\0');
  MultiByteToWideChar(code_page, 0, text.c_str(), -1, &wide[0], size);
  return wide;
}

// The report's text as rayctl.exe shows it on this system: the program's
// own choice of language, from the program's own string table.
std::wstring Shown(const ReportText& text) {
  static HMODULE program =
      LoadLibraryExA(RayctlProcess::ExecutablePath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  char buffer[512];
  text.Load(program, buffer, sizeof buffer);
  return Wide(buffer);
}

// Where a guide lists the report's texts in one language: its entry (a line
// at the margin and the indented lines after it) that quotes the caption;
// each text between the language's quotes. The entry's first line names the
// box: its caption, then what the system draws (the buttons).
struct Guide {
  UINT code_page;
  const char* file;
  wchar_t open;
  wchar_t close;
};

constexpr Guide kGuides[] = {
    {1252, "README.TXT", L'"', L'"'},
    {1252, "README-JA.txt", L'"', L'"'},  // the box on the other editions
    {932, "README-JA.txt", L'\u300c', L'\u300d'},
};

std::vector<std::wstring> Quoted(const std::wstring& text, const Guide& guide) {
  std::vector<std::wstring> quoted;
  for (std::size_t open = text.find(guide.open), close;
       open != std::wstring::npos && (close = text.find(guide.close, open + 1)) != std::wstring::npos;
       open = text.find(guide.open, close + 1)) {
    quoted.push_back(text.substr(open + 1, close - open - 1));
  }
  return quoted;
}

// The texts the guide lists; none when it has no one entry that quotes the caption.
std::set<std::wstring> Listed(const Guide& guide, const std::wstring& caption) {
  std::ifstream file(std::string("Z:" RAYLET_SOURCE_DIR "/dist/") + guide.file);
  std::vector<std::wstring> headings, entries;
  for (std::string line; std::getline(file, line);) {
    std::wstring text = Wide(line, CP_UTF8);
    std::size_t indent = text.find_first_not_of(L' ');
    if (indent == std::wstring::npos) continue;
    if (indent == 0 || entries.empty()) {
      headings.push_back(text);
      entries.push_back(text);
    } else {
      entries.back() += L" " + text.substr(indent);
    }
  }
  std::set<std::wstring> listed;
  int found = 0;
  for (std::size_t entry = 0; entry < entries.size(); ++entry) {
    std::vector<std::wstring> texts = Quoted(entries[entry], guide);
    if (std::find(texts.begin(), texts.end(), caption) == texts.end()) continue;
    ++found;
    std::vector<std::wstring> buttons = Quoted(headings[entry], guide);
    listed.insert(texts.begin(), texts.end());
    for (std::size_t button = 1; button < buttons.size(); ++button) listed.erase(buttons[button]);
  }
  if (found != 1) listed.clear();
  return listed;
}

// Every text the report can show, as this system shows it, against each
// guide of this code page: the same words, each listed once.
TEST(CodePage, FailureReportShowsTheTextsTheGuidesList) {
  std::set<std::wstring> shown;
  // A letter the code page lacks reads "?", which no guide has in its place.
  for (int text = 0; text < ReportText::Count(); ++text) shown.insert(Shown(ReportText::At(text)));
  std::wstring caption = Shown(ReportText::Of<IDS_REPORT_CAPTION>());
  int guides = 0;
  for (const Guide& guide : kGuides) {
    if (guide.code_page != GetACP()) continue;
    ++guides;
    SCOPED_TRACE(guide.file);
    std::set<std::wstring> listed = Listed(guide, caption);
    ASSERT_FALSE(listed.empty()) << "unreadable, or no one entry quotes the caption " << Ansi(caption);
    for (const std::wstring& text : shown) {
      EXPECT_EQ(1u, listed.count(text)) << "the guide does not list \"" << Ansi(text) << "\"";
    }
    for (const std::wstring& text : listed) {
      EXPECT_EQ(1u, shown.count(text)) << "the report cannot show \"" << Ansi(text) << "\"";
    }
  }
  EXPECT_LT(0, guides) << "no guide for code page " << GetACP();
}

BOOL CALLBACK CollectText(HWND child, LPARAM texts) {
  reinterpret_cast<std::vector<std::wstring>*>(texts)->push_back(WideText(child));
  return TRUE;
}

struct Answer {
  int button;
  bool goes_on;
};

// Yes goes on with the main window, No ends the program with status 1.
constexpr Answer kAnswers[] = {{IDYES, true}, {IDNO, false}};

// The report of a copy without its main dialog shows its failure and the
// question under the caption, as the program loads them (held to the guides
// above).
TEST(CodePage, FailureReportShowsItsTextsAndYesGoesOnNoEnds) {
  std::wstring caption = Shown(ReportText::Of<IDS_REPORT_CAPTION>());
  std::wstring expected =
      Shown(ReportText::Of<IDS_DIALOG_CREATE_FAILED>()) + L"\n\n" + Shown(ReportText::Of<IDS_REPORT_QUESTION>());
  ProgramCopy copy(L"C:\\raylet-no-dialog");
  ASSERT_TRUE(copy.Copied());
  ASSERT_TRUE(copy.Renumber(5, 2000));  // RT_DIALOG: the main dialog's template is not found
  for (const Answer& answer : kAnswers) {
    SCOPED_TRACE(answer.button);
    RayctlProcess rayctl;
    ASSERT_TRUE(rayctl.Launch("", copy.Path()));
    HWND report = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (report = rayctl.FindOwnWindow(Ansi(caption).c_str())) != nullptr; }))
        << "no box with the caption " << Ansi(caption);
    std::vector<std::wstring> texts{WideText(report)};
    EnumChildWindows(report, &CollectText, reinterpret_cast<LPARAM>(&texts));
    EXPECT_NE(texts.end(), std::find(texts.begin(), texts.end(), expected)) << Ansi(expected);
    PostMessageA(report, WM_COMMAND, answer.button, 0);
    if (answer.goes_on) {
      EXPECT_FALSE(rayctl.WaitForExit(500));
      EXPECT_TRUE(WaitFor([&] {
        HWND frame = rayctl.FindOwnWindow(nullptr);
        return !IsWindow(report) && frame != nullptr && ClassOf(frame) == "RayletFrame";
      }));
    } else {
      ASSERT_TRUE(rayctl.WaitForExit());
      EXPECT_EQ(1u, rayctl.ExitCode());
    }
  }
}

}  // namespace
}  // namespace raylet::ui
