#include "plugin/values/text_values.h"

#include <algorithm>
#include <charconv>
#include <utility>

#include "plugin/values/cabinet_io.h"

namespace sorvane {
namespace {

HostEncoding platformEncoding() { return hostTables().pdModel->scriptToHostEncoding(0); }

// The index a list item key stands for, when the key is one that "%d" writes.
std::optional<int32_t> itemIndex(std::string_view key) {
  if (key.empty() || (key.size() > 1 && key.front() == '0'))
    return std::nullopt;
  int32_t index = 0;
  auto [end, ec] = std::from_chars(key.data(), key.data() + key.size(), index);
  if (ec != std::errc() || end != key.data() + key.size() || index < 0)
    return std::nullopt;
  return index;
}

} // namespace

void writeTextValue(std::string_view value, std::string_view key, CabinetHandle parent) {
  ASExtraTable &host = cabinets();
  TextHandle text = host.textFromEncoded(value, platformEncoding());
  try {
    host.cabinetPutText(parent, key, text);
  } catch (...) {
    host.textDestroy(text);
    throw;
  }
}

std::optional<std::string> findTextValue(std::string_view key, CabinetHandle parent) {
  TextHandle text = cabinets().cabinetGetText(parent, key);
  if (!text)
    return std::nullopt;
  return cabinets().textGetEncoded(text, platformEncoding());
}

std::string readTextValue(std::string_view key, CabinetHandle parent,
                          std::string_view defaultValue) {
  if (auto text = findTextValue(key, parent))
    return std::move(*text);
  return std::string(defaultValue);
}

bool writeStringList(const StringList &list, std::string_view key, CabinetHandle parent) {
  return writeChildCabinet(key, parent, [&](CabinetHandle items) {
    cabinets().cabinetPutInt(items, "NumItems", static_cast<int32_t>(list.size()));
    for (size_t i = 0; i < list.size(); ++i)
      writeTextValue(list[i], std::to_string(i), items);
  });
}

bool readStringList(StringList &list, std::string_view key, CabinetHandle parent) {
  list.clear();
  CabinetHandle items = cabinets().cabinetGetCabinet(parent, key);
  if (!items)
    return false;
  const int32_t count = cabinets().cabinetGetInt(items, "NumItems", 0);
  // Walk the keys that are there rather than every index up to the count, so that a file
  // claiming two billion items costs no more than the items it holds.
  std::vector<std::pair<int32_t, std::string>> found;
  for (const std::string &itemKey : cabinets().cabinetKeys(items)) {
    const auto index = itemIndex(itemKey);
    if (!index || *index >= count)
      continue;
    if (auto text = findTextValue(itemKey, items))
      found.emplace_back(*index, std::move(*text));
  }
  std::sort(found.begin(), found.end(),
            [](const auto &a, const auto &b) { return a.first < b.first; });
  for (auto &item : found)
    list.push_back(std::move(item.second));
  return true;
}

} // namespace sorvane
