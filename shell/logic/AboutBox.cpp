#include "shell/logic/AboutBox.h"

#include "platform/Text.h"

namespace raylet {

void FillAboutBox(TProjectRCVersion& version, AboutView& view) {
  const char* name = nullptr;
  const char* product_version = nullptr;
  if (version.GetProductName(name) && version.GetProductVersion(product_version)) {
    char word[128];
    text::Fill(word, 0, sizeof word);
    view.GetControlText(kAboutVersionLine, word, sizeof word);
    // "name word version"; a line longer than the buffer is cut short.
    char line[256];
    text::Fill(line, 0, sizeof line);
    text::Copy(line, sizeof line, name);
    text::Append(line, sizeof line, " ");
    text::Append(line, sizeof line, word);
    text::Append(line, sizeof line, " ");
    text::Append(line, sizeof line, product_version);
    view.SetControlText(kAboutVersionLine, line);
  }
  const char* copyright = nullptr;
  if (version.GetLegalCopyright(copyright)) view.SetControlText(kAboutCopyright, copyright);
  const char* special_build = nullptr;
  if (version.GetSpecialBuild(special_build)) view.SetControlText(kAboutSpecialBuild, special_build);
}

}  // namespace raylet
