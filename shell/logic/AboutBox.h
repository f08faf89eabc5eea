// The about box's texts: the product line built around the word its control
// holds, the copyright and the special-build note, each only when the
// program's version block has it.
#pragma once

#include "shell/logic/TProjectRCVersion.h"

namespace raylet {

inline constexpr int kAboutVersionLine = 22001;
inline constexpr int kAboutCopyright = 22002;
inline constexpr int kAboutSpecialBuild = 22003;

// What the about box's set-up needs of its dialog.
class AboutView {
 public:
  virtual ~AboutView() = default;
  // The control's current text into buffer[size] (emptied first).
  virtual void GetControlText(int id, char* buffer, int size) = 0;
  virtual void SetControlText(int id, const char* text) = 0;
};

void FillAboutBox(TProjectRCVersion& version, AboutView& view);

}  // namespace raylet
