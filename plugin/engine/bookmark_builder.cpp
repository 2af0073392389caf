#include "plugin/engine/bookmark_builder.h"

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "plugin/engine/generation_run.h"
#include "plugin/rules/cabinet_io.h"
#include "sdk/host_error.h"

namespace sorvane {

void BookmarkBuilder::reset() {
  BookmarkBuilder fresh;
  fresh.margins = margins; // a reset leaves the margins alone
  *this = fresh;
}

bool BookmarkBuilder::write(CabinetHandle cab) const {
  if (!cab)
    return false;
  ASExtraTable &x = cabinets();
  x.cabinetPutBool(cab, "IgnoreStopWords", ignoreStopWords);
  writeStringList(stopWords, "StopWords", cab);
  x.cabinetPutBool(cab, "StopWordsMatchCase", stopWordsMatchCase);
  x.cabinetPutBool(cab, "StopWordsMatchWholeWords", stopWordsMatchWholeWords);
  x.cabinetPutBool(cab, "StopWordsUseRegExp", stopWordsUseRegExp);
  x.cabinetPutBool(cab, "SortText", sortText);
  x.cabinetPutBool(cab, "SkipDupBookmarks", skipDupBookmarks);
  x.cabinetPutInt(cab, "FirstPage", firstPage);
  x.cabinetPutInt(cab, "LastPage", lastPage);
  x.cabinetPutBool(cab, "UseMargins", useMargins);
  x.cabinetPutInt(cab, "InsertType", insertType);
  margins.write("Margins", cab);
  x.cabinetPutInt(cab, "NumLevels", static_cast<int32_t>(levels.size()));
  for (size_t i = 0; i < levels.size(); ++i)
    levels[i].write("Level" + std::to_string(i), cab);
  return true;
}

bool BookmarkBuilder::read(CabinetHandle cab) {
  if (!cab) {
    reset();
    return false;
  }
  ASExtraTable &x = cabinets();
  ignoreStopWords = x.cabinetGetBool(cab, "IgnoreStopWords", false);
  readStringList(stopWords, "StopWords", cab);
  stopWordsMatchCase = x.cabinetGetBool(cab, "StopWordsMatchCase", true);
  stopWordsMatchWholeWords = x.cabinetGetBool(cab, "StopWordsMatchWholeWords", true);
  stopWordsUseRegExp = x.cabinetGetBool(cab, "StopWordsUseRegExp", false);
  sortText = x.cabinetGetBool(cab, "SortText", false);
  skipDupBookmarks = x.cabinetGetBool(cab, "SkipDupBookmarks", false);
  firstPage = x.cabinetGetInt(cab, "FirstPage", 0);
  lastPage = x.cabinetGetInt(cab, "LastPage", -1);
  useMargins = x.cabinetGetBool(cab, "UseMargins", false);
  insertType = x.cabinetGetInt(cab, "InsertType", 1);
  margins.read("Margins", cab);
  const int32_t count = x.cabinetGetInt(cab, "NumLevels", 0);
  // The entries "Level0" to "Level<count - 1>" that are present, in index order. Going by the
  // keys there are, a hand-edited count of two billion costs no more than the levels it has.
  std::vector<std::pair<int32_t, std::string>> present;
  for (const std::string &key : x.cabinetKeys(cab)) {
    if (key.rfind("Level", 0) != 0 || x.cabinetGetType(cab, key) != CabinetValueType::Cabinet)
      continue;
    const std::string digits = key.substr(5);
    if (digits.empty() || digits.size() > 10 || (digits.size() > 1 && digits[0] == '0') ||
        digits.find_first_not_of("0123456789") != std::string::npos)
      continue;
    const int64_t index = std::stoll(digits);
    if (index < count)
      present.emplace_back(static_cast<int32_t>(index), key);
  }
  std::sort(present.begin(), present.end());
  levels.clear();
  for (const auto &[index, key] : present) {
    LevelRule rule;
    rule.read(key, cab);
    levels.push_back(std::move(rule));
  }
  return true;
}

bool BookmarkBuilder::writeNamed(std::string_view name, CabinetHandle parent) const {
  return writeChildCabinet(name, parent, [this](CabinetHandle cab) {
    if (!write(cab))
      throw HostError(ErrorCode::Generic, "The build settings could not be written.");
  });
}

bool BookmarkBuilder::readNamed(std::string_view name, CabinetHandle parent) {
  return read(cabinets().cabinetGetCabinet(parent, name));
}

RunOutcome BookmarkBuilder::generate(DocHandle doc, const ProgressMonitor *monitor,
                                     void *monitorData) const {
  return GenerationRun(*this, monitor, monitorData).run(doc);
}

} // namespace sorvane
