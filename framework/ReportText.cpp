#include "framework/ReportText.h"

#include "framework/ResourceString.h"
#include "resources/ids.h"

namespace raylet {

namespace {

constexpr UINT kJapaneseCodePage = 932;

// Windows 98 shows a MessageBoxW text only after converting it to the ANSI
// code page, so the string table's Japanese turns into question marks on
// every other edition, and the report must be readable where it matters
// most: when the system's resources run out. The report's texts in English,
// each after one byte, its id less kIdBase. The code section's last block
// has no room left for them; the data section's has.
constexpr UINT kIdBase = 32700;
__attribute__((section(".data$report"))) constexpr char kEnglish[] =
    "\x07" "Cannot create window\0"
    "\x08" "Cannot create dialog\0"
    "\x09" "Cannot create child window\0"
    "\x25" "Cannot load icon\0"
    "\x31" "Cannot register window class\0"
    "\x3b" "No main window\0"
    "\x3c" "Cannot get messages\0"
    "\x3e" "Out of memory\0"
    "\x40" "Unhandled exception\0"
    "\x41" "Resume?\0"
    "\x42" "Unknown error\0";

// Where id's text starts in kEnglish, or -1.
constexpr int FindEnglish(UINT id) {
  for (int at = 0; at < static_cast<int>(sizeof kEnglish) - 1;) {
    bool wanted = static_cast<unsigned char>(kEnglish[at++]) + kIdBase == id;
    if (wanted) return at;
    while (kEnglish[at] != '\0') ++at;
    ++at;
  }
  return -1;
}

constexpr UINT kReported[] = {IDS_WINDOW_CREATE_FAILED, IDS_DIALOG_CREATE_FAILED, IDS_CHILD_CREATE_FAILED,
                              IDS_ICON_LOAD_FAILED,     IDS_CLASS_REGISTER_FAILED, IDS_NO_MAIN_WINDOW,
                              IDS_LOOP_FAILED,          IDS_OUT_OF_MEMORY,        IDS_REPORT_CAPTION,
                              IDS_REPORT_QUESTION,      IDS_UNKNOWN_FAILURE};

constexpr bool AllInEnglish() {
  for (UINT id : kReported) {
    if (FindEnglish(id) < 0) return false;
  }
  return true;
}
static_assert(AllInEnglish(), "every text the framework reports has its English twin");

}  // namespace

int LoadReportText(HINSTANCE module, UINT id, wchar_t* buffer, int size) {
  if (::GetACP() == kJapaneseCodePage) return LoadResourceString(module, id, buffer, size);
  if (size <= 0) return 0;
  int length = 0;
  for (int at = FindEnglish(id); at >= 0 && kEnglish[at] != '\0' && length + 1 < size; ++at) {
    buffer[length++] = static_cast<unsigned char>(kEnglish[at]);
  }
  buffer[length] = L'\0';
  return length;
}

}  // namespace raylet
