// A text of the framework's failure report, in the language the system can
// show. On a Japanese system (ANSI code page 932) it is the string table's
// own text, converted to that code page as Windows 98 converts every text it
// shows; elsewhere it is the English text beside its id in kEnglish, which
// does not depend on the string table, so that the report stays readable on
// every other edition too, and when the system's resources run out.
#pragma once

#include "platform/WinTypes.h"
#include "resources/ids.h"

namespace raylet {

class ReportText {
 public:
  // No text: what a report that is not pending holds.
  constexpr ReportText() : id_(0), english_("") {}

  // The text `kId`. A program that reports an id without an English text in
  // kEnglish does not build.
  template <UINT kId>
  static constexpr ReportText Of() {
    constexpr int kAt = Find(kId);
    static_assert(kAt >= 0, "every text the report shows has its English text in ReportText::kEnglish");
    constexpr ReportText kText = At(kAt);
    return kText;
  }

  // Every text the report can show: At(0) to At(Count() - 1).
  static constexpr int Count() { return static_cast<int>(sizeof kEnglish / sizeof kEnglish[0]); }
  static constexpr ReportText At(int index) { return ReportText(kEnglish[index].id, kEnglish[index].text); }

  constexpr UINT Id() const { return id_; }
  // Copies the text as this system shows it into buffer[size], size > 0
  // (always terminated); its length, 0 when the string table lacks it.
  int Load(HINSTANCE module, char* buffer, int size) const;

 private:
  struct English {
    UINT id;
    const char* text;
  };
  static constexpr English kEnglish[] = {
      {IDS_WINDOW_CREATE_FAILED, "Cannot create window"},
      {IDS_DIALOG_CREATE_FAILED, "Cannot create dialog"},
      {IDS_CHILD_CREATE_FAILED, "Cannot create child window"},
      {IDS_ICON_LOAD_FAILED, "Cannot load icon"},
      {IDS_CLASS_REGISTER_FAILED, "Cannot register window class"},
      {IDS_NO_MAIN_WINDOW, "No main window"},
      {IDS_LOOP_FAILED, "Cannot get messages"},
      {IDS_OUT_OF_MEMORY, "Out of memory"},
      {IDS_REPORT_CAPTION, "Unhandled exception"},
      {IDS_REPORT_QUESTION, "Resume?"},
      {IDS_UNKNOWN_FAILURE, "Unknown error"},
  };

  constexpr ReportText(UINT id, const char* english) : id_(id), english_(english) {}
  // Where id's English text lies in kEnglish, or -1.
  static constexpr int Find(UINT id) {
    for (int at = 0; at < Count(); ++at) {
      if (kEnglish[at].id == id) return at;
    }
    return -1;
  }

  UINT id_;
  const char* english_;
};

}  // namespace raylet
