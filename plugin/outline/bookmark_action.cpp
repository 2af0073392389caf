#include "plugin/outline/bookmark_action.h"

#include <cstdint>
#include <limits>

#include "sdk/host_error.h"
#include "sdk/imported_tables.h"

namespace sorvane {
namespace {

bool isCSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

std::string_view atomName(Atom atom) { return hostTables().core->atomGetString(atom); }

ActionPage resolveScript(ActionHandle action) {
  CosTable &cos = hostTables().cos.must();
  CosObjHandle obj = hostTables().pdModel->actionGetCosObj(action);
  if (cos.cosObjGetType(obj) != CosType::Dict)
    return {};
  CosObjHandle js = cos.cosDictGet(obj, "JS");
  if (cos.cosObjIsNull(js))
    return {};
  std::string script;
  switch (cos.cosObjGetType(js)) {
  case CosType::Name: script = cos.cosNameValue(js); break;
  case CosType::String: script = cos.cosStringBytes(js); break;
  default: return {}; // a script in a stream is not read
  }
  if (auto page = parsePageNumScript(script))
    return {true, *page};
  return {};
}

} // namespace

void BookmarkAction::goToPage(int32_t page) {
  reset();
  actionType = int32_t(ActionType::GoToPage);
  dest.pageNum = page;
  dest.fitType = int32_t(FitType::Fit);
}

ActionHandle BookmarkAction::createHostAction(DocHandle doc) {
  const BookmarkDest::ViewDest view = dest.makeViewDest(doc);
  return hostTables().pdModel->actionNewFromDest(doc, view.dest, doc);
}

ActionPage resolveActionPage(DocHandle doc, ActionHandle action) {
  try {
    PDModelTable &pd = hostTables().pdModel.must();
    if (!pd.actionIsValid(action))
      return {};
    const std::string_view subtype = atomName(pd.actionGetSubtype(action));
    if (subtype == "GoTo") {
      ViewDestHandle dest = pd.actionGetDest(action);
      ViewDestHandle resolved = dest ? pd.viewDestResolve(dest, doc) : ViewDestHandle();
      if (!resolved || !pd.viewDestIsValid(resolved))
        return {};
      return {true, pd.viewDestGetPageIndex(resolved)};
    }
    if (subtype != "JavaScript")
      return {true, -1};
    return resolveScript(action);
  } catch (const HostError &) {
    return {};
  }
}

std::optional<int32_t> parsePageNumScript(std::string_view script) {
  constexpr std::string_view kProperty = "this.pageNum";
  const size_t at = script.find(kProperty);
  if (at == std::string_view::npos)
    return std::nullopt;
  const size_t eq = script.find('=', at + kProperty.size());
  if (eq == std::string_view::npos || eq + 1 >= script.size())
    return std::nullopt;
  size_t pos = eq + 1;
  while (pos < script.size() && isCSpace(script[pos]))
    ++pos;
  bool negative = false;
  if (pos < script.size() && (script[pos] == '+' || script[pos] == '-'))
    negative = script[pos++] == '-';
  int64_t value = 0;
  size_t digits = 0;
  for (; pos < script.size() && script[pos] >= '0' && script[pos] <= '9'; ++pos, ++digits) {
    value = value * 10 + (script[pos] - '0');
    if (value > int64_t(std::numeric_limits<int32_t>::max()) + 1)
      return std::nullopt; // no page number is that large
  }
  if (digits == 0)
    return std::nullopt;
  value = negative ? -value : value;
  if (value > std::numeric_limits<int32_t>::max())
    return std::nullopt;
  return static_cast<int32_t>(value);
}

} // namespace sorvane
