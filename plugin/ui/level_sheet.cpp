#include "plugin/ui/level_sheet.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "plugin/ui/font_dialog.h"
#include "plugin/ui/platform.h"
#include "sdk/host_error.h"
#include "sdk/text_codec.h"

namespace sorvane {
namespace {

using ui::ControlKind;

// The text styles the list offers: bold and italic are two settings.
struct TextStyleChoice {
  const char *text;
  bool bold, italic;
};
constexpr TextStyleChoice kTextStyles[] = {{"Plain", false, false},
                                           {"Bold", true, false},
                                           {"Italic", false, true},
                                           {"Bold & Italic", true, true}};
// The radio of each case style; the radios' texts are the style's names.
constexpr std::pair<int, CaseStyle> kCaseRadios[] = {
    {LevelSheet::kIdDoNotChange, CaseStyle::DoNotChange},
    {LevelSheet::kIdUppercase, CaseStyle::Uppercase},
    {LevelSheet::kIdTitleCase, CaseStyle::TitleCase},
    {LevelSheet::kIdSentenceCase, CaseStyle::SentenceCase},
    {LevelSheet::kIdLowercase, CaseStyle::Lowercase}};

// Fills a list with the values of a settings field the dialog offers, in the field's order.
void fillChoices(ui::Control &c, const NamedValues &names) {
  for (const NamedValue &n : names)
    if (n.offered) {
      c.items.emplace_back(n.name);
      c.itemData.push_back(n.value);
    }
}

void fillTextStyles(ui::Control &c) {
  for (size_t i = 0; i < std::size(kTextStyles); ++i) {
    c.items.push_back(kTextStyles[i].text);
    c.itemData.push_back(int(i));
  }
}

// Selects the entry carrying `value` (none when no entry does).
void selectValue(ui::Control &c, int value) {
  c.selected = -1;
  for (size_t i = 0; i < c.itemData.size(); ++i)
    if (c.itemData[i] == value) {
      c.selected = int(i);
      return;
    }
}

// The value of the selected entry, or `fallback` when none is selected.
int32_t selectedValue(const ui::Control &c, int32_t fallback) {
  return c.selected >= 0 && size_t(c.selected) < c.itemData.size()
             ? int32_t(c.itemData[size_t(c.selected)])
             : fallback;
}

std::string trimmed(const std::string &s) {
  size_t a = 0, b = s.size();
  while (a < b && std::isspace(static_cast<unsigned char>(s[a])))
    ++a;
  while (b > a && std::isspace(static_cast<unsigned char>(s[b - 1])))
    --b;
  return s.substr(a, b - a);
}

// A plain decimal number: at most four places, no trailing zeros ("2.54", "72", "0.5").
std::string plainDecimal(double value) {
  char text[64];
  std::snprintf(text, sizeof text, "%.4f", value);
  std::string s = text;
  while (!s.empty() && s.back() == '0')
    s.pop_back();
  if (!s.empty() && s.back() == '.')
    s.pop_back();
  return s == "-0" ? "0" : s;
}

ui::Rgb toRgb(uint32_t display) {
  return {uint8_t(display & 0xFF), uint8_t(display >> 8 & 0xFF), uint8_t(display >> 16 & 0xFF)};
}
uint32_t toDisplay(ui::Rgb c) { return uint32_t(c.r) | uint32_t(c.g) << 8 | uint32_t(c.b) << 16; }

} // namespace

std::optional<double> decimalIn(const std::string &text) {
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
    ++i;
  const size_t start = i;
  if (i < text.size() && (text[i] == '-' || text[i] == '+'))
    ++i;
  bool digits = false;
  while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])))
    ++i, digits = true;
  if (i < text.size() && text[i] == '.') {
    ++i;
    while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])))
      ++i, digits = true;
  }
  if (!digits)
    return std::nullopt;
  const double value = std::strtod(text.substr(start, i - start).c_str(), nullptr);
  if (!std::isfinite(value))
    return std::nullopt;
  return value;
}

double leadingDecimal(const std::string &text) { return decimalIn(text).value_or(0); }

std::string oneDecimal(double value) {
  char text[64];
  std::snprintf(text, sizeof text, "%4.1f", value);
  return text;
}

LevelSheet::LevelSheet(LevelRule &level)
    : ui::Dialog("Bookmark Level Description"), m_level(level) {
  ui::Control &pages = add(ControlKind::Tabs, kIdPages, "pages", "");
  pages.items = {"Text Matching", "Appearance", "Content"};
  pages.selected = kTextMatching;

  auto on = [](ui::Control &c, int page) -> ui::Control & {
    c.page = page;
    return c;
  };
  // Text Matching
  const int tm = kTextMatching;
  on(add(ControlKind::Static, kIdMatchIntro, "",
         "Select combination of the following text attributes to automatically generate "
         "bookmarks from the document :"),
     tm);
  on(add(ControlKind::Group, kIdStyleGroup, "", "Text Style"), tm);
  on(add(ControlKind::CheckBox, kIdFontBox, "match-fonts", "Font Name(s):"), tm);
  on(add(ControlKind::List, kIdFontList, "fonts", ""), tm);
  ui::Control &addFont = on(add(ControlKind::Button, kIdAddFont, "add-font", "<< Add..."), tm);
  addFont.sameRow = true; // beside the list
  addFont.opensMore = true;
  on(add(ControlKind::Button, kIdRemoveFont, "remove-font", "Remove"), tm).sameRow = true;
  on(add(ControlKind::CheckBox, kIdSizeBox, "match-size", "Font Size:"), tm);
  ui::Control &size = on(add(ControlKind::DropDown, kIdSize, "size", ""), tm);
  size.editable = true;
  size.sameRow = true;
  size.items = {"6.0",  "8.0",  "9.0",  "10.0", "11.0", "12.0", "14.0", "16.0",
                "18.0", "24.0", "30.0", "36.0", "48.0", "60.0", "72.0"};
  std::sort(size.items.begin(), size.items.end()); // kept sorted as text
  ui::Control &sizeTolerance =
      on(add(ControlKind::DropDown, kIdSizeTolerance, "size-tolerance", "pt    Tolerance:"), tm);
  sizeTolerance.editable = true;
  sizeTolerance.sameRow = true;
  sizeTolerance.items = {"0.1", "0.2", "0.5", "1", "1.5", "2"};
  on(add(ControlKind::Button, kIdCapture, "capture", "&Set Font Style From Selected Text"), tm)
      .sameRow = true;
  on(add(ControlKind::CheckBox, kIdIndentBox, "match-indent", "Left Indentation:"), tm);
  on(add(ControlKind::Edit, kIdIndent, "indent", ""), tm).sameRow = true;
  ui::Control &indentTolerance =
      on(add(ControlKind::DropDown, kIdIndentTolerance, "indent-tolerance", "±"), tm);
  indentTolerance.editable = true;
  indentTolerance.sameRow = true;
  indentTolerance.items = {"0.1", "0.2", "0.4", "0.6", "0.8", "1", "2", "3", "4", "5", "10"};
  fillChoices(on(add(ControlKind::DropDown, kIdUnits, "units", "Units:"), tm),
              namesOf(IndentRule::fields(), "DisplayUnits"));
  control(kIdUnits).endsGroup = true;
  on(add(ControlKind::Group, kIdContentRulesGroup, "", "Text Content Rules"), tm);
  fillChoices(on(add(ControlKind::DropDown, kIdCaseRule, "case-rule", "Match Text Case:"), tm),
              namesOf(TextMatchRule::fields(), "CaseMatching"));
  on(add(ControlKind::CheckBox, kIdPatternBox, "match-pattern", "Match Text Pattern:"), tm);
  on(add(ControlKind::Edit, kIdPattern, "pattern", ""), tm).sameRow = true;
  on(add(ControlKind::CheckBox, kIdMultiline, "multiline", "Allow multiline bookmark titles"), tm);
  on(add(ControlKind::CheckBox, kIdInlineRuns, "inline-runs",
         "Keep words in other fonts inside a title (code, logos)"),
     tm)
      .endsGroup = true;

  // Appearance
  const int ap = kAppearance;
  on(add(ControlKind::Static, kIdLooksIntro, "", "Select visual appearance of the new bookmarks:"),
     ap);
  on(add(ControlKind::OwnerDrawnList, kIdColour, "colour", "Text Color:"), ap);
  fillTextStyles(on(add(ControlKind::DropDown, kIdTextStyle, "text-style", "Text Style:"), ap));
  fillChoices(on(add(ControlKind::DropDown, kIdZoom, "zoom", "Zoom:"), ap),
              namesOf(LevelRule::fields(), "FitType"));
  on(add(ControlKind::CheckBox, kIdExpanded, "expanded", "Show expanded (show all its children)"),
     ap);

  // Content
  const int ct = kContent;
  on(add(ControlKind::Static, kIdContentIntro, "",
         "Select text properties that will be applied to the new bookmark titles:"),
     ct);
  on(add(ControlKind::Group, kIdCaseGroup, "", "Text Case"), ct);
  const NamedValues &caseStyles = namesOf(ContentFormat::fields(), "CaseStyle");
  for (const auto &[id, style] : kCaseRadios) {
    ui::Control &radio =
        on(add(ControlKind::Radio, id, "", std::string(nameOf(caseStyles, int32_t(style)))), ct);
    radio.group = 1;
    radio.endsGroup = id == std::end(kCaseRadios)[-1].first;
  }
  on(add(ControlKind::CheckBox, kIdPrefixBox, "use-prefix", "Insert this text before each title:"),
     ct);
  on(add(ControlKind::Edit, kIdPrefix, "prefix", ""), ct).sameRow = true;
  on(add(ControlKind::CheckBox, kIdSuffixBox, "use-suffix", "Add this text after each title:"), ct);
  on(add(ControlKind::Edit, kIdSuffix, "suffix", ""), ct).sameRow = true;
  fillChoices(on(add(ControlKind::DropDown, kIdLeading, "leading", "Leading numbers:"), ct),
              namesOf(ContentFormat::fields(), "LeadingNumbers"));
  fillChoices(on(add(ControlKind::DropDown, kIdLeadingType, "leading-type", "Use:"), ct),
              namesOf(ContentFormat::fields(), "LeadingType"));
  on(add(ControlKind::Edit, kIdMaxLength, "max-length", "Maximum title length:"), ct).digitsOnly =
      true;
  on(add(ControlKind::CheckBox, kIdSpaces, "", "Remove duplicate spaces"), ct);
  on(add(ControlKind::CheckBox, kIdHyphen, "", "Remove hyphenating at line endings"), ct);

  add(ControlKind::Button, ui::kIdOk, "", "OK").isDefault = true;
  add(ControlKind::Button, ui::kIdCancel, "", "Cancel");
}

void LevelSheet::onInit() {
  m_style = m_level.textStyleRule;
  m_match = m_level.textMatchRule;
  m_indent = m_level.indentRule;
  m_looks = m_level.dispAttribs;
  m_fitType = m_level.fitType;
  m_content = m_level.contentFormat;
  m_opened = {};
  control(kIdPages).selected = kTextMatching;
  openPage(kTextMatching);
}

void LevelSheet::openPage(int page) {
  if (page < 0 || page > 2 || m_opened[size_t(page)])
    return;
  m_opened[size_t(page)] = true;
  if (page == kTextMatching)
    fillTextMatching();
  else if (page == kAppearance)
    fillAppearance();
  else
    fillContent();
}

// ---- Text Matching

void LevelSheet::refillFontList() {
  ui::Control &list = control(kIdFontList);
  list.items.clear();
  list.selected = -1;
  CoreTable &core = hostTables().core.must();
  for (Atom font : m_style.fontDesc.fonts) {
    try {
      const std::string_view name = core.atomGetString(font);
      if (!name.empty())
        list.items.emplace_back(name);
    } catch (const HostError &) {
      // An atom the host cannot name is left out.
    }
  }
}

bool LevelSheet::untouched(int id) const {
  for (const ShownNumber &shown : m_shown)
    if (shown.id == id)
      return shown.text == control(id).value;
  return false;
}

void LevelSheet::fillTextMatching() {
  refillFontList();
  control(kIdSize).value = oneDecimal(m_style.fontDesc.fontSize);
  control(kIdSizeTolerance).value = oneDecimal(m_style.tolerance);
  ui::Control &units = control(kIdUnits);
  units.selected = 0;
  selectValue(units, m_indent.displayUnits);
  if (units.selected < 0)
    units.selected = 0;
  const int32_t unit = selectedValue(units, int32_t(DisplayUnits::Millimeters));
  control(kIdIndentTolerance).value = oneDecimal(toDisplayUnits(m_indent.tolerance, unit));
  control(kIdIndent).value = plainDecimal(toDisplayUnits(m_indent.leftIndent, unit));
  m_shown.clear();
  for (int id : {kIdSize, kIdSizeTolerance, kIdIndent, kIdIndentTolerance})
    m_shown.push_back({id, control(id).value});
  ui::Control &caseRule = control(kIdCaseRule);
  selectValue(caseRule, m_match.caseMatching);
  if (caseRule.selected < 0)
    caseRule.selected = 0;
  const std::string pattern = trimmed(m_match.query.pattern);
  control(kIdPattern).value = pattern;
  setChecked(kIdPatternBox, !pattern.empty());
  setChecked(kIdFontBox, m_style.matchName);
  setChecked(kIdSizeBox, m_style.matchFontSize);
  setChecked(kIdIndentBox, m_indent.enabled);
  setChecked(kIdMultiline, m_match.multilineTitles);
  setChecked(kIdInlineRuns, m_match.inlineRuns);
  enableTextMatching();
}

void LevelSheet::enableTextMatching() {
  setEnabled(kIdPattern, checked(kIdPatternBox));
  setEnabled(kIdFontList, checked(kIdFontBox));
  setEnabled(kIdRemoveFont, control(kIdFontList).selected >= 0);
  setEnabled(kIdSize, checked(kIdSizeBox));
  setEnabled(kIdSizeTolerance, checked(kIdSizeBox));
  const bool indent = checked(kIdIndentBox);
  setEnabled(kIdIndent, indent);
  setEnabled(kIdIndentTolerance, indent);
  setEnabled(kIdUnits, indent);
}

void LevelSheet::closeTextMatching() {
  m_style.matchName = checked(kIdFontBox);
  CoreTable &core = hostTables().core.must();
  m_style.fontDesc.fonts.clear();
  for (const std::string &name : control(kIdFontList).items)
    m_style.fontDesc.fonts.push_back(core.atomFromString(name));
  m_style.matchFontSize = checked(kIdSizeBox);
  // A field that holds no number ("nan", a word) keeps what it had, and the user is told.
  const auto number = [&](int id, const char *what, double stored) {
    const std::string &text = control(id).value;
    if (const auto value = decimalIn(text))
      return *value;
    if (!trimmed(text).empty())
      notAnumber(what, text, stored);
    return trimmed(text).empty() ? 0.0 : stored;
  };
  if (!untouched(kIdSize))
    m_style.fontDesc.fontSize = number(kIdSize, "font size", m_style.fontDesc.fontSize);
  if (!untouched(kIdSizeTolerance))
    m_style.tolerance = number(kIdSizeTolerance, "size tolerance", m_style.tolerance);
  m_indent.enabled = checked(kIdIndentBox);
  const int32_t unit = selectedValue(control(kIdUnits), int32_t(DisplayUnits::Millimeters));
  // Numbers are read in the selected unit; untouched ones in their own unit keep their value.
  const auto points = [&](int id, const char *what, double stored) {
    if (unit == m_indent.displayUnits && untouched(id))
      return stored;
    const double given = number(id, what, std::nan(""));
    return std::isnan(given) ? stored : fromDisplayUnits(given, unit);
  };
  m_indent.leftIndent = points(kIdIndent, "indentation", m_indent.leftIndent);
  m_indent.tolerance = points(kIdIndentTolerance, "indentation tolerance", m_indent.tolerance);
  m_indent.displayUnits = selectedValue(control(kIdUnits), m_indent.displayUnits);
  m_match.caseMatching = selectedValue(control(kIdCaseRule), m_match.caseMatching);
  const std::string pattern = trimmed(control(kIdPattern).value);
  m_match.query.pattern = checked(kIdPatternBox) ? pattern : std::string();
  m_match.query.useRegExp = true;
  m_match.multilineTitles = checked(kIdMultiline);
  m_match.inlineRuns = checked(kIdInlineRuns);
}

void LevelSheet::notAnumber(const char *what, const std::string &text, double kept) {
  std::string note = "\"" + std::string(truncateUtf8(text, 40)) + "\" is not a number; the " + what;
  note += std::isnan(kept) ? " is left as it was." : " stays " + trimmed(oneDecimal(kept)) + ".";
  try {
    viewer().alertNote(note);
  } catch (const HostError &) {
    // The value is kept either way.
  }
}

// ---- Appearance

void LevelSheet::fillAppearance() {
  for (size_t i = 0; i < std::size(kTextStyles); ++i)
    if (kTextStyles[i].bold == m_looks.isBold && kTextStyles[i].italic == m_looks.isItalic)
      selectValue(control(kIdTextStyle), int(i));
  setChecked(kIdExpanded, m_looks.showOpen);
  selectValue(control(kIdZoom), m_fitType);
  m_colours.attach(*this, kIdColour);
  m_colours.setColour(toRgb(m_looks.color.toDisplayColor()));
}

void LevelSheet::closeAppearance() {
  m_looks.showOpen = checked(kIdExpanded);
  const TextStyleChoice &style = kTextStyles[size_t(selectedValue(control(kIdTextStyle), 0))];
  m_looks.isBold = style.bold;
  m_looks.isItalic = style.italic;
  m_looks.color.setDisplayColor(toDisplay(m_colours.colour()));
  // A view that is none of the list's keeps its value.
  m_fitType = selectedValue(control(kIdZoom), m_fitType);
}

void LevelSheet::drawItem(int id, const ui::DrawItemState &state, ui::DrawContext &dc) {
  if (id == kIdColour)
    m_colours.draw(state, dc);
}

// ---- Content

void LevelSheet::fillContent() {
  selectValue(control(kIdLeading), m_content.leadingNumbers);
  selectValue(control(kIdLeadingType), m_content.leadingType);
  setChecked(kIdPrefixBox, !m_content.prefixText.empty());
  control(kIdPrefix).value = m_content.prefixText;
  setChecked(kIdSuffixBox, !m_content.suffixText.empty());
  control(kIdSuffix).value = m_content.suffixText;
  int radio = kIdDoNotChange;
  for (const auto &[id, style] : kCaseRadios)
    if (int32_t(style) == m_content.caseStyle)
      radio = id;
  checkRadio(radio);
  setChecked(kIdSpaces, m_content.removeDupSpaces);
  setChecked(kIdHyphen, m_content.removeLineChangeDefis);
  control(kIdMaxLength).value = std::to_string(m_content.maxTextLength);
  enableContent();
}

void LevelSheet::enableContent() {
  setEnabled(kIdPrefix, checked(kIdPrefixBox));
  setEnabled(kIdSuffix, checked(kIdSuffixBox));
  setEnabled(kIdLeadingType,
             selectedValue(control(kIdLeading), -1) == int32_t(LeadingNumbers::Add));
}

void LevelSheet::closeContent() {
  m_content.prefixText = checked(kIdPrefixBox) ? control(kIdPrefix).value : std::string();
  m_content.suffixText = checked(kIdSuffixBox) ? control(kIdSuffix).value : std::string();
  const std::string &length = control(kIdMaxLength).value;
  const long max = length.empty() || length.size() > 9 ? (length.empty() ? 0 : 999999999)
                                                       : std::strtol(length.c_str(), nullptr, 10);
  m_content.maxTextLength = max <= 0 ? 1 : int32_t(max);
  m_content.caseStyle = int32_t(CaseStyle::DoNotChange);
  for (const auto &[id, style] : kCaseRadios)
    if (checked(id))
      m_content.caseStyle = int32_t(style);
  m_content.leadingNumbers = selectedValue(control(kIdLeading), m_content.leadingNumbers);
  m_content.leadingType = selectedValue(control(kIdLeadingType), m_content.leadingType);
  m_content.removeDupSpaces = checked(kIdSpaces);
  m_content.removeLineChangeDefis = checked(kIdHyphen);
}

// ---- events

void LevelSheet::onEvent(int id, ui::Event event) {
  switch (id) {
  case kIdPages: openPage(control(kIdPages).selected); return;
  case kIdFontBox:
  case kIdSizeBox:
  case kIdIndentBox:
  case kIdPatternBox:
  case kIdMultiline:
  case kIdInlineRuns:
  case kIdFontList: enableTextMatching(); return;
  case kIdAddFont:
    if (event == ui::Event::Clicked) {
      FontNameDialog dialog;
      if (platformUi().runModal(dialog) != ui::DialogResult::Ok)
        return;
      std::vector<std::string> &names = control(kIdFontList).items;
      const auto sameName = [&](const std::string &n) {
        return n.size() == dialog.chosen().size() &&
               std::equal(n.begin(), n.end(), dialog.chosen().begin(), [](char a, char b) {
                 return std::tolower(static_cast<unsigned char>(a)) ==
                        std::tolower(static_cast<unsigned char>(b));
               });
      };
      if (std::none_of(names.begin(), names.end(), sameName))
        names.push_back(dialog.chosen());
      enableTextMatching();
    }
    return;
  case kIdRemoveFont: {
    ui::Control &list = control(kIdFontList);
    if (list.selected >= 0 && size_t(list.selected) < list.items.size())
      list.items.erase(list.items.begin() + list.selected);
    list.selected = list.items.empty() ? -1 : 0;
    enableTextMatching();
    return;
  }
  case kIdCapture:
    try {
      // The capture writes into the page's copy; the list and size show what it took.
      closeTextMatching();
      if (captureStyle(m_style.fontDesc)) {
        // The captured names carry this file's subset prefixes; the rule should not. A style
        // taken from a heading is its main font: a code word or a logo inside keeps its own.
        m_style.ignoreSubsetPrefix = true;
        m_match.inlineRuns = true;
        setChecked(kIdInlineRuns, true);
        refillFontList();
        control(kIdSize).value = oneDecimal(m_style.fontDesc.fontSize);
        enableTextMatching();
      }
    } catch (const HostError &e) {
      viewer().alertNote(e.text());
    }
    return;
  case kIdColour:
    if (event == ui::Event::Changed)
      m_colours.selectionChanged();
    return;
  case kIdPrefixBox:
  case kIdSuffixBox:
  case kIdLeading: enableContent(); return;
  default: return;
  }
}

void LevelSheet::onOk() {
  if (m_opened[kTextMatching]) {
    closeTextMatching();
    m_level.textStyleRule = m_style;
    m_level.textMatchRule = m_match;
    m_level.indentRule = m_indent;
  }
  if (m_opened[kAppearance]) {
    closeAppearance();
    m_level.dispAttribs = m_looks;
    m_level.fitType = m_fitType;
  }
  if (m_opened[kContent]) {
    closeContent();
    m_level.contentFormat = m_content;
  }
  end(ui::DialogResult::Ok);
}

} // namespace sorvane
