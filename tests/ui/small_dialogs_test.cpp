// The stop-words editor and the colour selector.
#include <gtest/gtest.h>

#include "host/base/file_io.h"
#include "plugin/engine/bookmark_builder.h"
#include "plugin/outline/sort_outline.h"
#include "plugin/ui/bookmark_picker.h"
#include "plugin/ui/colour_selector.h"
#include "plugin/ui/font_dialog.h"
#include "plugin/ui/generate_dialog.h"
#include "plugin/ui/level_sheet.h"
#include "plugin/ui/sort_dialog.h"
#include "plugin/ui/stop_words_dialog.h"
#include "plugin/ui/validate_dialog.h"
#include "tests/support/test_host.h"

namespace sorvane {
namespace {

using Words = std::vector<std::string>;

TEST(StopWordsEditor, SplitsAtLineBreaksKeepingBlanksAndTheLastLine) {
  EXPECT_EQ(splitStopWords("Contents\r\nIndex\r\n"), (Words{"Contents", "Index"}));
  EXPECT_EQ(splitStopWords("a\r\n\r\n\r\nb"), (Words{"a", "b"})); // blank lines dropped
  EXPECT_EQ(splitStopWords("trailing  \r\n   \r\n"), (Words{"trailing  ", "   "})); // kept
  EXPECT_EQ(splitStopWords(""), Words{});
  EXPECT_EQ(splitStopWords("one\ntwo"), (Words{"one\ntwo"})); // only CR-LF ends a line
}

TEST(StopWordsEditor, OpensOneLinePerWordAndChangesTheListOnlyWithOk) {
  test::TestHost host;
  StopWordsEdit edit{{"Contents", "Index"}, true, false, true};
  {
    StopWordsDialog d(edit);
    d.onInit();
    EXPECT_EQ(d.control(StopWordsDialog::kIdWords).value, "Contents\r\nIndex\r\n");
    EXPECT_TRUE(d.checked(StopWordsDialog::kIdCase));
    EXPECT_FALSE(d.checked(StopWordsDialog::kIdWhole));
    EXPECT_TRUE(d.checked(StopWordsDialog::kIdRegExp));
    d.onOk(); // unchanged text gives back the same words
    EXPECT_EQ(edit.words, (Words{"Contents", "Index"}));
  }
  host.ui().setScript(host::parseDialogScript(
      "type words \"Preface\\r\\n\\r\\nAppendix  \"\nuncheck \"Match text case\"\npress Cancel"));
  StopWordsDialog cancelled(edit);
  host.ui().runModal(cancelled);
  EXPECT_EQ(edit.words, (Words{"Contents", "Index"}));
  EXPECT_TRUE(edit.matchCase);
  host.ui().setScript(host::parseDialogScript(
      "type words \"Preface\\r\\n\\r\\nAppendix  \"\nuncheck \"Match text case\"\npress OK"));
  StopWordsDialog confirmed(edit);
  host.ui().runModal(confirmed);
  EXPECT_FALSE(host.ui().failure());
  EXPECT_EQ(edit.words, (Words{"Preface", "Appendix  "}));
  EXPECT_FALSE(edit.matchCase);
}

class Colours : public ::testing::Test {
protected:
  void SetUp() override {
    dialog.add(ui::ControlKind::OwnerDrawnList, 7, "colour", "Text Color:");
    selector.attach(dialog, 7);
  }
  std::string selectedText() {
    const ui::Control &c = dialog.control(7);
    return c.items[size_t(c.selected)];
  }
  test::TestHost host;
  ui::Dialog dialog{"Appearance"};
  ColourSelector selector;
};

TEST_F(Colours, StartsAtBlackWithTenNamedColoursAndCustom) {
  const ui::Control &c = dialog.control(7);
  ASSERT_EQ(c.items.size(), 11u);
  EXPECT_EQ(c.items.front(), "Black");
  EXPECT_EQ(c.items[9], "Fuchsia");
  EXPECT_EQ(c.items.back(), "Custom...");
  EXPECT_EQ(selector.colour(), (ui::Rgb{0, 0, 0}));
}

TEST_F(Colours, SetColourPicksTheFirstEqualEntryOrAddsCurrent) {
  selector.setColour({255, 0, 0});
  EXPECT_EQ(selectedText(), "Red");
  selector.setColour({255, 255, 255});
  EXPECT_EQ(selectedText(), "White"); // before "Custom...", which is white too
  EXPECT_EQ(dialog.control(7).items.size(), 11u);
  selector.setColour({10, 20, 30});
  EXPECT_EQ(dialog.control(7).items.size(), 12u);
  EXPECT_EQ(selectedText(), "Current");
  EXPECT_EQ(selector.colour(), (ui::Rgb{10, 20, 30}));
}

TEST_F(Colours, CustomOpensTheChooserAndKeepsWhatWasChosen) {
  host.ui().setScript(host::parseDialogScript("no-colour\ncolour 1 2 3\n"));
  dialog.control(7).selected = 10;
  selector.selectionChanged();
  EXPECT_EQ(selector.colour(), (ui::Rgb{255, 255, 255})); // cancelled: white the first time
  selector.selectionChanged();
  EXPECT_EQ(selector.colour(), (ui::Rgb{1, 2, 3}));
  selector.setColour({0, 0, 255});
  selector.setColour({1, 2, 3});
  EXPECT_EQ(selectedText(), "Custom...");
  EXPECT_FALSE(host.ui().failure());
}

// Records the drawing calls of one entry.
struct RecordingDc final : ui::DrawContext {
  std::vector<std::string> calls;
  static std::string rgb(ui::Rgb c) {
    return std::to_string(c.r) + "," + std::to_string(c.g) + "," + std::to_string(c.b);
  }
  static std::string rect(const ui::Rect &r) {
    return std::to_string(r.left) + " " + std::to_string(r.top) + " " + std::to_string(r.right) +
           " " + std::to_string(r.bottom);
  }
  void fillRect(const ui::Rect &r, ui::Rgb c) override {
    calls.push_back("fill " + rect(r) + " " + rgb(c));
  }
  void frameRect(const ui::Rect &r, ui::Rgb c) override {
    calls.push_back("frame " + rect(r) + " " + rgb(c));
  }
  void focusRect(const ui::Rect &r) override { calls.push_back("focus " + rect(r)); }
  void drawText(int x, int y, std::string_view t, ui::Rgb c) override {
    calls.push_back("text " + std::to_string(x) + " " + std::to_string(y) + " " + std::string(t) +
                    " " + rgb(c));
  }
  ui::Rgb systemColour(ui::SystemColour which) override {
    switch (which) {
    case ui::SystemColour::Window: return {255, 255, 255};
    case ui::SystemColour::WindowText: return {0, 0, 16};
    case ui::SystemColour::Highlight: return {0, 0, 128};
    case ui::SystemColour::InactiveCaptionText: return {100, 100, 100};
    }
    return {};
  }
};

TEST_F(Colours, EntriesDrawTheirSwatchInTheFirstQuarter) {
  RecordingDc dc;
  selector.draw({{0, 0, 100, 16}, 3, false, false, false}, dc);
  EXPECT_EQ(dc.calls,
            (std::vector<std::string>{"fill 0 0 100 16 255,255,255", "text 27 2 Red 0,0,16",
                                      "fill 2 2 25 14 255,0,0", "frame 2 2 25 14 0,0,0"}));
  RecordingDc selected; // highlight, the text in the complement of the window text colour
  selector.draw({{0, 0, 100, 16}, 0, true, true, false}, selected);
  EXPECT_EQ(selected.calls.front(), "fill 0 0 100 16 0,0,128");
  EXPECT_EQ(selected.calls[1], "focus 0 0 100 16");
  EXPECT_EQ(selected.calls[2], "text 27 2 Black 255,255,239");
  RecordingDc disabled;
  selector.draw({{0, 0, 100, 16}, 3, false, false, true}, disabled);
  EXPECT_EQ(disabled.calls[1], "text 27 2 Red 100,100,100");
  EXPECT_EQ(disabled.calls[2], "fill 2 2 25 14 100,100,100");
  RecordingDc empty;
  selector.draw({{0, 0, 100, 16}, -1, false, false, false}, empty);
  EXPECT_EQ(empty.calls, (std::vector<std::string>{"fill 0 0 100 16 255,255,255"}));
}

// The help page the Help command opens says what every dialog is for, control by control: each
// dialog's title, its pages and groups, and the buttons beyond OK, Cancel, Close and Help.
TEST(HelpPage, CoversEveryDialog) {
  test::TestHost host;
  const std::string help = host::readWholeFile(SORVANE_HELP_FILE, 1 << 20);
  BookmarkBuilder settings;
  LevelRule level;
  SortOptions sort;
  StopWordsEdit words;
  GenerateDialog generate(settings, "", "");
  LevelSheet sheet(level);
  SortDialog sorting(sort, "");
  ValidateDialog validate{DocHandle()};
  StopWordsDialog stopWords(words);
  FontNameDialog fonts;
  BookmarkPicker picker{BookmarkHandle()};
  const auto plain = [](std::string text) {
    std::erase(text, '&');
    for (const std::string cut : {"...", "<< "})
      if (const size_t at = text.find(cut); at != std::string::npos)
        text.erase(at, cut.size());
    while (!text.empty() && (text.back() == ':' || text.back() == ' '))
      text.pop_back();
    return text;
  };
  std::vector<std::string> missing;
  for (const ui::Dialog *d : std::initializer_list<const ui::Dialog *>{
           &generate, &sheet, &sorting, &validate, &stopWords, &fonts, &picker}) {
    if (help.find(d->title()) == std::string::npos)
      missing.push_back("title " + d->title());
    for (const ui::Control &c : d->controls()) {
      std::vector<std::string> texts;
      if (c.kind == ui::ControlKind::Tabs)
        texts = c.items;
      else if (c.kind == ui::ControlKind::Group ||
               (c.kind == ui::ControlKind::Button && c.id != ui::kIdOk && c.id != ui::kIdCancel &&
                c.text != "Help"))
        texts = {c.text};
      for (const std::string &text : texts)
        if (!plain(text).empty() && help.find(plain(text)) == std::string::npos)
          missing.push_back(d->title() + ": " + plain(text));
    }
  }
  EXPECT_TRUE(missing.empty()) << testing::PrintToString(missing);
}

} // namespace
} // namespace sorvane
