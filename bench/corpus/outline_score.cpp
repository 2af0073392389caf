#include "bench/corpus/outline_score.h"

#include <map>
#include <stdexcept>
#include <utility>

#include <nlohmann/json.hpp>

namespace sorvane::corpus {

std::string normalisedTitle(std::string_view title) {
  std::string out;
  bool blank = false;
  for (size_t i = 0; i < title.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(title[i]);
    if (c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == 0xA0) {
      blank = true;
      continue;
    }
    if (blank && !out.empty()) {
      // "hyphen- ated" at a line break reads as one word
      if (out.back() == '-' && out.size() > 1 && std::isalpha(static_cast<unsigned char>(out[out.size() - 2])) &&
          std::islower(c))
        out.pop_back();
      else
        out += ' ';
    }
    blank = false;
    out += char(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  }
  return out;
}

Score score(const std::vector<Entry> &expected, const std::vector<Entry> &found) {
  std::map<std::pair<std::string, int>, int> wanted;
  for (const Entry &e : expected)
    ++wanted[{normalisedTitle(e.title), e.page}];
  Score s;
  s.expected = int(expected.size());
  s.found = int(found.size());
  for (const Entry &f : found) {
    auto it = wanted.find({normalisedTitle(f.title), f.page});
    if (it != wanted.end() && it->second > 0) {
      --it->second;
      ++s.matched;
    }
  }
  return s;
}

namespace {

void collect(const nlohmann::json &list, std::vector<Entry> &out) {
  if (!list.is_array())
    throw std::runtime_error("an outline listing is a JSON array of bookmarks");
  for (const nlohmann::json &b : list) {
    if (!b.is_object() || !b.contains("title") || !b["title"].is_string())
      throw std::runtime_error("a bookmark of the listing has no title");
    Entry e;
    e.title = b["title"].get<std::string>();
    if (b.contains("page") && b["page"].is_number_integer())
      e.page = b["page"].get<int>();
    out.push_back(std::move(e));
    if (b.contains("children"))
      collect(b["children"], out);
  }
}

} // namespace

std::vector<Entry> entriesFromListing(std::string_view json) {
  nlohmann::json parsed;
  try {
    parsed = nlohmann::json::parse(json);
  } catch (const nlohmann::json::exception &e) {
    throw std::runtime_error(std::string("not JSON: ") + e.what());
  }
  std::vector<Entry> out;
  collect(parsed, out);
  return out;
}

} // namespace sorvane::corpus
