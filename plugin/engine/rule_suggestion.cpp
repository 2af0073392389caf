#include "plugin/engine/rule_suggestion.h"

#include <algorithm>
#include <map>

#include "plugin/outline/bookmark_action.h"
#include "plugin/outline/outline_walk.h"
#include "sdk/imported_tables.h"

namespace sorvane {
namespace {

// Contents that list only chapters say nothing of the headings below the numbered sections:
// unnumbered heading styles smaller than the sections' are taken as the depth below them.
// Answers how many headings were added.
int32_t addHeadingsBelowSections(const KeptText &text, std::vector<OutlineMark> &marks) {
  const StyleOutline styles = readStyleHeadings(text, 10);
  double smallestNumbered = 0;
  for (const HeadingStyle &s : styles.styles)
    if (!s.numbering.empty())
      smallestNumbered = smallestNumbered == 0 ? s.size : std::min(smallestNumbered, s.size);
  // below the deepest depth that a tenth of the headings have (not a few stray "1.2.3.4")
  std::map<int32_t, size_t> perDepth;
  for (const OutlineMark &m : marks)
    ++perDepth[m.depth];
  int32_t deepest = 0;
  for (const auto &[depth, n] : perDepth)
    if (n * 10 >= marks.size())
      deepest = depth;
  std::vector<int32_t> below; // style depths taken, in order
  for (const HeadingStyle &s : styles.styles)
    if (s.numbering.empty() && smallestNumbered > 0 && s.size < smallestNumbered - 0.5)
      below.push_back(s.depth);
  if (below.empty())
    return 0;
  int32_t added = 0;
  for (const OutlineMark &m : styles.marks) {
    const auto at = std::find(below.begin(), below.end(), m.depth);
    if (at == below.end())
      continue;
    marks.push_back({deepest + 1 + int32_t(at - below.begin()), m.title, m.page});
    ++added;
  }
  std::stable_sort(marks.begin(), marks.end(),
                   [](const OutlineMark &a, const OutlineMark &b) { return a.page < b.page; });
  return added;
}

// Why rules learned from the printed table of contents are not worth using (nothing when
// they are): too few entries, too few of them found, no rule, or rules that make far more
// bookmarks than the contents list.
std::string contentsUnusable(const ContentsOutline &contents, const LearnResult &learned) {
  const size_t entries = contents.entries.size();
  const int32_t placed = contents.placed;
  if (entries == 0)
    return "no printed table of contents was found";
  if (entries < 3)
    return "the printed table of contents has only " + std::to_string(entries) +
           (entries == 1 ? " entry" : " entries");
  if (placed < 3 || size_t(placed) * 2 < entries)
    return "only " + std::to_string(placed) + " of the " + std::to_string(entries) +
           " entries of the printed table of contents were found on their pages";
  if (learned.settings.levels.empty())
    return "no entry of the printed table of contents gave a rule";
  const int32_t made = learned.reproduction.made, expected = learned.reproduction.expected;
  if (learned.runaway || made > 2 * expected)
    return "the rules learned from the printed table of contents would make " +
           std::to_string(made) + " bookmarks for its " + std::to_string(expected) + " entries";
  return {};
}

} // namespace

RuleSuggestion suggestRules(const KeptText &text, int32_t maxStyles) {
  RuleSuggestion out;
  out.contents = readContents(text);
  out.marks = out.contents.marks;
  if (out.contents.sectionsAdded)
    out.belowSections = addHeadingsBelowSections(text, out.marks);
  if (!out.marks.empty())
    out.learned = learnRules(text, out.marks);
  out.contentsUnusable = contentsUnusable(out.contents, out.learned);
  out.fromStyles = !out.contentsUnusable.empty();
  if (!out.fromStyles) {
    out.confidence = out.learned.reproduction.f1();
    return out;
  }
  out.styles = readStyleHeadings(text, std::clamp(maxStyles, 1, 10));
  out.marks = out.styles.marks;
  out.learned = out.marks.empty() ? LearnResult() : learnRules(text, out.marks);
  out.confidence = std::min(0.9, 0.9 * out.learned.reproduction.f1());
  return out;
}

std::vector<OutlineMark> outlineMarks(DocHandle doc, std::string &gaps) {
  PDModelTable &pd = hostTables().pdModel.must();
  const BookmarkHandle root = pd.docGetBookmarkRoot(doc);
  std::vector<OutlineMark> marks;
  std::vector<WalkGap> found;
  outlineWalk(
      root,
      [&](BookmarkHandle bm) {
        OutlineMark m;
        for (BookmarkHandle up = pd.bookmarkGetParent(bm);
             up && !(up == root) && m.depth <= kMaxWalkDepth; up = pd.bookmarkGetParent(up))
          ++m.depth;
        m.title = getCleanTitle(bm);
        const ActionPage page = resolveActionPage(doc, pd.bookmarkGetAction(bm));
        m.page = page.resolved ? page.page : -1;
        marks.push_back(std::move(m));
        return true;
      },
      true, &found);
  gaps = describeGaps(found);
  return marks;
}

} // namespace sorvane
