// "Edit Stop Words": the stop-word list of the build settings and its three matching flags.
#pragma once

#include <string>
#include <vector>

#include "sdk/platform_ui.h"

namespace sorvane {

struct StopWordsEdit {
  std::vector<std::string> words;
  bool matchCase = true;
  bool wholeWords = true;
  bool useRegExp = false;
};

class StopWordsDialog final : public ui::Dialog {
public:
  enum : int { kIdIntro = 100, kIdInstructions, kIdWords, kIdCase, kIdWhole, kIdRegExp };

  // Edits `edit`; it changes only with OK.
  explicit StopWordsDialog(StopWordsEdit &edit);
  void onInit() override;
  void onOk() override;

private:
  StopWordsEdit &m_edit;
};

// The words of the editor's text: the pieces between CR-LF pairs, a last piece without one
// included, empty pieces left out, nothing trimmed.
std::vector<std::string> splitStopWords(const std::string &text);

} // namespace sorvane
