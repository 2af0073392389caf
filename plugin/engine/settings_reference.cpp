#include "plugin/engine/settings_reference.h"

#include <cmath>
#include <cstdio>
#include <map>
#include <ostream>
#include <set>

#include "plugin/engine/bookmark_builder.h"

namespace sorvane {
namespace {

const std::map<std::string, std::string> &meanings() {
  static const std::map<std::string, std::string> table = {
      {"IgnoreStopWords", "leave out lines that contain a stop word"},
      {"StopWords", "the stop words: a list (NumItems, then \"0\", \"1\", ...)"},
      {"StopWordsMatchCase", "stop words match with case"},
      {"StopWordsMatchWholeWords", "stop words match whole words only"},
      {"StopWordsUseRegExp", "stop words are regular expressions (Perl syntax)"},
      {"SortText", "sort headings by page and by height on the page"},
      {"SkipDupBookmarks", "drop a heading equal in title and level to the one before it"},
      {"KeepOrphanHeadings",
       "keep a heading no heading of the level above came before: it goes under the nearest "
       "earlier heading of a higher level, or at the top (when false it is dropped and told)"},
      {"SkipContentsLines",
       "lines of a table of contents are not headings: a row ending in a page number that stands "
       "apart from its title"},
      {"FirstPage", "the first page scanned, counted from 0"},
      {"LastPage", "the last page scanned, counted from 0; -1 (or past the end): the last page"},
      {"UseMargins", "kept for older files; no effect (a level's UseProcessingArea limits where "
                     "its headings stand)"},
      {"InsertType",
       "where new bookmarks go: 0 before the existing ones, 1 after them, 2 instead of them"},
      {"Margins", "kept for older files with UseMargins; no effect"},
      {"Margins.Left", "left edge, in points (no effect)"},
      {"Margins.Right", "right edge, in points (no effect)"},
      {"Margins.Top", "top edge, in points (no effect)"},
      {"Margins.Bottom", "bottom edge, in points (no effect)"},
      {"NumLevels",
       "the number of levels; their rules are Level0 (the top level), Level1, ... below it"},
      {"Level<N>.Level", "the level's depth as written (the level's place in the list counts)"},
      {"Level<N>.FitType",
       "the view a click on the bookmark gives (the dialog offers Fit Page, Fit Width, Fit "
       "Visible, Actual Size and Inherit Zoom, which keeps the zoom)"},
      {"Level<N>.InitialZoom", "the zoom of the view, where FitType takes one (0: keep it)"},
      {"Level<N>.ContentFormating", "how the title is written (the key is spelled so)"},
      {"Level<N>.ContentFormating.MaxTextLength", "the longest title, in bytes"},
      {"Level<N>.ContentFormating.CaseStyle", "the case of the title: as found, or changed"},
      {"Level<N>.ContentFormating.PrefixText", "text put before each title"},
      {"Level<N>.ContentFormating.SuffixText", "text put after each title"},
      {"Level<N>.ContentFormating.SkipDupLabels", "kept for older files; no effect"},
      {"Level<N>.ContentFormating.RemoveDupSpaces",
       "kept for older files: spaces in a row always become one"},
      {"Level<N>.ContentFormating.RemoveLineChangeDefis", "join words hyphenated at line ends"},
      {"Level<N>.ContentFormating.LeadingNumbers",
       "keep the title's leading number, add numbers, or remove the leading number"},
      {"Level<N>.ContentFormating.LeadingType",
       "the numbers added: 1, 2, 3; a, b, c; or I, II, III"},
      {"Level<N>.DispAttribs", "how the bookmark looks in the outline"},
      {"Level<N>.DispAttribs.IsBold", "the title in bold"},
      {"Level<N>.DispAttribs.IsItalic", "the title in italics"},
      {"Level<N>.DispAttribs.ShowOpen", "shown expanded, its children visible"},
      {"Level<N>.DispAttribs.Color", "the title's colour (missing: black)"},
      {"Level<N>.DispAttribs.Color.Space", "0 gray, 1 RGB, 2 CMYK"},
      {"Level<N>.DispAttribs.Color.Item0", "the first component (gray, red or cyan)"},
      {"Level<N>.DispAttribs.Color.Item1", "the second component (green or magenta)"},
      {"Level<N>.DispAttribs.Color.Item2", "the third component (blue or yellow)"},
      {"Level<N>.DispAttribs.Color.Item3", "the fourth component (black, CMYK only)"},
      {"Level<N>.TextStyle", "the font the heading is set in"},
      {"Level<N>.TextStyle.FontDesc", "the font: names, size and what else describes it"},
      {"Level<N>.TextStyle.FontDesc.Fonts",
       "font names, exactly as sorvane inspect shows them (with any subset prefix): a list"},
      {"Level<N>.TextStyle.FontDesc.Type", "kept with the font it describes; no effect"},
      {"Level<N>.TextStyle.FontDesc.CharSet", "kept with the font it describes; no effect"},
      {"Level<N>.TextStyle.FontDesc.Encoding", "kept with the font it describes; no effect"},
      {"Level<N>.TextStyle.FontDesc.Flags", "kept with the font it describes; no effect"},
      {"Level<N>.TextStyle.FontDesc.FontSize", "the font size, in points"},
      {"Level<N>.TextStyle.FontDesc.Color", "kept with the font it describes; no effect"},
      {"Level<N>.TextStyle.FontDesc.Color.Space", "0 gray, 1 RGB, 2 CMYK"},
      {"Level<N>.TextStyle.FontDesc.Color.Item0", "the first component (gray, red or cyan)"},
      {"Level<N>.TextStyle.FontDesc.Color.Item1", "the second component (green or magenta)"},
      {"Level<N>.TextStyle.FontDesc.Color.Item2", "the third component (blue or yellow)"},
      {"Level<N>.TextStyle.FontDesc.Color.Item3", "the fourth component (black, CMYK only)"},
      {"Level<N>.TextStyle.Tolerance", "how far a run's size may be from FontSize, in points"},
      {"Level<N>.TextStyle.MatchName", "test the font name"},
      {"Level<N>.TextStyle.MatchType",
       "kept for older files; no effect (fonts are told apart by name and size)"},
      {"Level<N>.TextStyle.MatchCharSet",
       "kept for older files; no effect (fonts are told apart by name and size)"},
      {"Level<N>.TextStyle.MatchEncoding",
       "kept for older files; no effect (fonts are told apart by name and size)"},
      {"Level<N>.TextStyle.MatchFlags",
       "kept for older files; no effect (fonts are told apart by name and size)"},
      {"Level<N>.TextStyle.MatchFontSize", "test the size"},
      {"Level<N>.TextStyle.MatchColor",
       "kept for older files; no effect (fonts are told apart by name and size)"},
      {"Level<N>.TextStyle.IgnoreSubsetPrefix",
       "compare font names without a subset prefix (six capitals and +): CMBX12 matches "
       "ECEDAZ+CMBX12"},
      {"Level<N>.TextMatch", "what the heading's text must be"},
      {"Level<N>.TextMatch.CaseMatching", "what the heading's case must be"},
      {"Level<N>.TextMatch.MultilineTitles", "a heading may go on over the following lines"},
      {"Level<N>.TextMatch.InlineRuns",
       "words in another font inside the heading's row (a code word, a logo's raised letter) "
       "stay in the title"},
      {"Level<N>.TextMatch.Query", "the text pattern"},
      {"Level<N>.TextMatch.Query.PrevBreakPage", "kept for older files; no effect"},
      {"Level<N>.TextMatch.Query.UseRegExp", "the pattern is a regular expression (Perl syntax)"},
      {"Level<N>.TextMatch.Query.MatchCase", "the pattern matches with case"},
      {"Level<N>.TextMatch.Query.WholeWords", "the pattern matches whole words"},
      {"Level<N>.TextMatch.Query.Pattern", "text a heading must contain (empty: any)"},
      {"Level<N>.TextMatch.Query.UseAreaFilter", "kept for older files; no effect"},
      {"Level<N>.TextMatch.Query.AreaLeft", "kept for older files; no effect"},
      {"Level<N>.TextMatch.Query.AreaRight", "kept for older files; no effect"},
      {"Level<N>.TextMatch.Query.AreaTop", "kept for older files; no effect"},
      {"Level<N>.TextMatch.Query.AreaBottom", "kept for older files; no effect"},
      {"Level<N>.TextIndentation", "where the heading's left edge stands"},
      {"Level<N>.TextIndentation.LeftIndent", "the left edge, in points from the page's left"},
      {"Level<N>.TextIndentation.Tolerance", "how far from LeftIndent the edge may be, in points"},
      {"Level<N>.TextIndentation.DisplayUnits",
       "the unit the dialog shows LeftIndent and Tolerance in"},
      {"Level<N>.TextIndentation.Enabled", "test the left edge"},
      {"Level<N>.UseProcessingArea", "take only text that overlaps ProcessingArea"},
      {"Level<N>.ProcessingArea", "the part of the page the level's headings stand in"},
      {"Level<N>.ProcessingArea.Left", "left edge, in points"},
      {"Level<N>.ProcessingArea.Right", "right edge, in points"},
      {"Level<N>.ProcessingArea.Top", "top edge, in points"},
      {"Level<N>.ProcessingArea.Bottom", "bottom edge, in points"},
  };
  return table;
}

void flatten(const std::vector<FieldInfo> &fields, const std::string &prefix,
             std::vector<KeyReference> &out) {
  for (const FieldInfo &f : fields) {
    const std::string path = prefix + f.key;
    const auto meaning = meanings().find(path);
    out.push_back({path, f, meaning == meanings().end() ? std::string() : meaning->second});
    out.back().field.inner.clear();
    if (f.key == "NumLevels")
      flatten(f.inner, prefix + "Level<N>.", out);
    else if (!f.inner.empty())
      flatten(f.inner, path + ".", out);
  }
}

} // namespace

std::vector<KeyReference> settingsKeys() {
  std::vector<KeyReference> keys;
  flatten(describeFields(BookmarkBuilder::fields()), "", keys);
  return keys;
}

std::vector<std::string> meaningsWithoutKey() {
  std::set<std::string> paths;
  for (const KeyReference &k : settingsKeys())
    paths.insert(k.path);
  std::vector<std::string> stale;
  for (const auto &[path, meaning] : meanings())
    if (!paths.count(path))
      stale.push_back(path);
  return stale;
}

namespace {

// Text for man(7): backslashes and leading dots or quotes escaped.
std::string roff(std::string text) {
  std::string out;
  for (char c : text) {
    if (c == '\\')
      out += "\\e";
    else if (c == '-')
      out += "\\-";
    else
      out += c;
  }
  if (!out.empty() && (out[0] == '.' || out[0] == '\''))
    out.insert(0, "\\&");
  return out;
}

std::string typeName(FieldType type) {
  switch (type) {
  case FieldType::Bool: return "yes/no (true, false)";
  case FieldType::Int: return "integer";
  case FieldType::Double: return "number";
  case FieldType::Length: return "length in points";
  case FieldType::Text: return "text";
  case FieldType::Atom: return "name ({\"atom\": \"...\"})";
  case FieldType::TextList: return "list of texts";
  case FieldType::Record: return "record";
  }
  return "value";
}

std::string number(double v) {
  char text[32];
  std::snprintf(text, sizeof text, "%g", v);
  return text;
}

std::string rangeOf(const FieldInfo &f) {
  const bool low = std::isfinite(f.min), high = std::isfinite(f.max);
  if (low && high)
    return number(f.min) + " to " + number(f.max);
  if (low)
    return "at least " + number(f.min);
  if (high)
    return "at most " + number(f.max);
  return "";
}

std::string missingReadsAs(const FieldInfo &f) {
  if (!f.fallback.empty())
    return f.fallback;
  switch (f.type) {
  case FieldType::Int:
  case FieldType::Double:
  case FieldType::Length: return "0";
  case FieldType::Text: return "empty";
  case FieldType::TextList: return "an empty list";
  case FieldType::Record: return "each key inside as missing";
  default: return "";
  }
}

} // namespace

void writeSettingsManual(std::ostream &out, const std::string &version) {
  out << ".TH SORVANE\\-SETTINGS 5 \"\" \"sorvane " << roff(version) << "\" \"File Formats\"\n"
      << ".SH NAME\nsorvane\\-settings \\- the keys of a Sorvane settings file (.svb)\n"
      << ".SH DESCRIPTION\nA settings file holds the rules of a generation: the processing "
         "options and one record of rules per outline level. It is JSON: "
         "\\fB{\"format\": \"sorvane\\-cabinet\", \"version\": 1, \"cabinet\": "
         "{\"BuildSettings\": {...}}}\\fR. \\fBsorvane settings new\\fR writes one with "
         "every key, \\fBsorvane settings check\\fR finds mistakes in one, and "
         "\\fBsorvane settings show\\fR says what it does.\n"
         ".PP\nEvery key may be left out: a reader then takes the value given as "
         "\\fImissing\\fR below, and a value of the wrong type or out of range is read the "
         "same way (the check tells it). Records nest: \\fBLevel0.TextStyle.FontDesc.FontSize"
         "\\fR is the key \\fBFontSize\\fR in the record \\fBFontDesc\\fR of the record "
         "\\fBTextStyle\\fR of the first level's record \\fBLevel0\\fR. Lists are records "
         "with \\fBNumItems\\fR and the items under \\fB\"0\"\\fR, \\fB\"1\"\\fR, ...\n"
      << ".SH KEYS\nThe keys of \\fBBuildSettings\\fR, in the order a file holds them; "
         "\\fBLevel<N>\\fR stands for \\fBLevel0\\fR, \\fBLevel1\\fR, ... up to one less "
         "than \\fBNumLevels\\fR.\n";
  for (const KeyReference &k : settingsKeys()) {
    out << ".TP\n.B " << roff(k.path) << "\n" << roff(typeName(k.field.type));
    if (const std::string range = rangeOf(k.field); !range.empty())
      out << ", " << roff(range);
    if (const std::string missing = missingReadsAs(k.field); !missing.empty())
      out << "; missing: " << roff(missing);
    std::string meaning = k.meaning;
    if (!meaning.empty() && meaning[0] >= 'a' && meaning[0] <= 'z')
      meaning[0] = char(meaning[0] - 'a' + 'A');
    out << ".\n.br\n" << roff(meaning) << ".\n";
    if (!k.field.names.empty())
      out << ".br\nValues: " << roff(valuesText(k.field.names)) << ".\n";
  }
  out << ".SH SEE ALSO\n.BR sorvane (1); the guide \\fIsettings\\-files.md\\fR in "
         "\\fIPREFIX/share/doc/sorvane\\fR.\n";
}

} // namespace sorvane
