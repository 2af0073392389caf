#include "plugin/ui/stop_words_dialog.h"

namespace sorvane {

std::vector<std::string> splitStopWords(const std::string &text) {
  std::vector<std::string> words;
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find("\r\n", start);
    if (end == std::string::npos)
      end = text.size();
    if (end > start)
      words.push_back(text.substr(start, end - start));
    start = end + 2;
  }
  return words;
}

StopWordsDialog::StopWordsDialog(StopWordsEdit &edit)
    : ui::Dialog("Edit Stop Words"), m_edit(edit) {
  using ui::ControlKind;
  add(ControlKind::Static, kIdIntro, "",
      "Text that contains these stop words will be ignored and not used to create bookmarks.");
  add(ControlKind::Static, kIdInstructions, "",
      "Enter words in the text editing area below, each word or word sequence should appear on "
      "the separate line. Use \"Select Text\" tool to copy desired text from the document.");
  add(ControlKind::Edit, kIdWords, "words", "").multiLine = true;
  add(ControlKind::CheckBox, kIdCase, "match-case", "Match text case");
  add(ControlKind::CheckBox, kIdWhole, "whole-words", "Match whole words");
  add(ControlKind::CheckBox, kIdRegExp, "regexp", "Use regular expressions (text patterns)");
  add(ControlKind::Button, ui::kIdOk, "", "OK").isDefault = true;
  add(ControlKind::Button, ui::kIdCancel, "", "Cancel");
}

void StopWordsDialog::onInit() {
  std::string text;
  for (const std::string &word : m_edit.words)
    text += word + "\r\n";
  control(kIdWords).value = text;
  setChecked(kIdCase, m_edit.matchCase);
  setChecked(kIdWhole, m_edit.wholeWords);
  setChecked(kIdRegExp, m_edit.useRegExp);
}

void StopWordsDialog::onOk() {
  m_edit.words = splitStopWords(control(kIdWords).value);
  m_edit.matchCase = checked(kIdCase);
  m_edit.wholeWords = checked(kIdWhole);
  m_edit.useRegExp = checked(kIdRegExp);
  end(ui::DialogResult::Ok);
}

} // namespace sorvane
