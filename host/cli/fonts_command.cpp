#include "host/cli/fonts_command.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <map>
#include <ostream>

#include <nlohmann/json.hpp>

#include "host/cli/cli_support.h"
#include "host/cli/learn_command.h"

namespace sorvane::cli {
namespace {

constexpr size_t kSampleLength = 60;

// A text style: a font name and a size to the tenth of a point.
struct StyleKey {
  std::string font;
  int tenths = 0;
  bool operator<(const StyleKey &o) const {
    return tenths != o.tenths ? tenths > o.tenths : font < o.font; // largest first
  }
  bool operator==(const StyleKey &) const = default;
};

struct Style {
  int lines = 0;
  size_t characters = 0;
  int firstPage = 0;            // from 1
  std::map<int, int> leftEdges; // whole points -> lines starting there
  std::vector<std::string> samples;
};

// At most `n` bytes of `text`, cut at a character boundary, "..." added when cut.
std::string shortened(const std::string &text, size_t n) {
  if (text.size() <= n)
    return text;
  size_t cut = n;
  while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80)
    --cut;
  return text.substr(0, cut) + "...";
}

std::optional<std::pair<int, int>> parsePages(const std::string &text, int count) {
  const size_t dash = text.find('-');
  try {
    size_t used = 0;
    const int first = std::stoi(text.substr(0, dash), &used);
    if (used != (dash == std::string::npos ? text.size() : dash))
      return std::nullopt;
    int last = first;
    if (dash != std::string::npos) {
      const std::string rest = text.substr(dash + 1);
      last = rest.empty() ? count : std::stoi(rest, &used);
      if (!rest.empty() && used != rest.size())
        return std::nullopt;
    }
    if (first < 1 || last < first)
      return std::nullopt;
    return std::make_pair(first, std::min(last, count));
  } catch (const std::exception &) {
    return std::nullopt;
  }
}

std::string oneDecimal(double v) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f", v);
  return text;
}

} // namespace

ExitCode runFonts(const std::vector<std::string> &args, std::ostream &out, std::ostream &err) {
  const Arguments a(args, *findCommand("fonts"));
  if (a.error())
    return usageError(err, *a.error());
  if (a.positional().size() != 1)
    return usageError(err, "'fonts' takes one PDF file.");
  const std::string input = a.positional()[0];
  try {
    auto document = openDocument(input, password(a), err);
    const int count = document->pageCount();
    std::pair<int, int> range{1, count};
    if (const auto pages = a.value("--pages")) {
      const auto parsed = parsePages(*pages, count);
      if (const size_t dash = pages->find('-'); !parsed && dash != std::string::npos) {
        // "5-3": numbers the reader meant in the other order, said as such.
        int first = 0, last = 0;
        const auto [endFirst, e1] = std::from_chars(pages->data(), pages->data() + dash, first);
        const auto [endLast, e2] =
            std::from_chars(pages->data() + dash + 1, pages->data() + pages->size(), last);
        if (e1 == std::errc() && e2 == std::errc() && endFirst == pages->data() + dash &&
            endLast == pages->data() + pages->size() && dash + 1 < pages->size() && last < first)
          return usageError(err, "--pages " + *pages +
                                     " is reversed: the first page comes first (" +
                                     std::to_string(last) + "-" + std::to_string(first) + ").");
      }
      if (!parsed || parsed->first > count)
        return usageError(err, "--pages takes A-B (or A, or A-), pages counted from 1; " + input +
                                   " has " + std::to_string(count) + ".");
      range = *parsed;
    }
    // The styles as the plug-in reads rows: the lines a level's rules see.
    int unreadable = 0;
    const nlohmann::json counted =
        readTextStyles(std::move(document), input, range.first, range.second, unreadable, err);
    std::map<StyleKey, Style> styles;
    size_t totalCharacters = 0;
    for (const nlohmann::json &c : counted) {
      Style &style =
          styles[{c.value("font", std::string()), int(std::lround(c.value("size", 0.0) * 10))}];
      style.lines = c.value("lines", 0);
      style.characters = c.value("characters", size_t(0));
      style.firstPage = c.value("firstPage", 0);
      if (const auto edges = c.find("leftEdges"); edges != c.end() && edges->is_object())
        for (auto e = edges->begin(); e != edges->end(); ++e)
          style.leftEdges[std::stoi(e.key())] = e.value().get<int>();
      if (const auto samples = c.find("samples"); samples != c.end() && samples->is_array())
        for (const nlohmann::json &sample : *samples)
          style.samples.push_back(shortened(sample.get<std::string>(), kSampleLength));
      totalCharacters += style.characters;
    }
    if (unreadable)
      err << "sorvane: " << input << ": " << unreadable << (unreadable == 1 ? " page" : " pages")
          << " could not be read and are not counted\n";

    const StyleKey *body = nullptr;
    for (const auto &[key, style] : styles)
      if (!body || style.characters > styles.at(*body).characters)
        body = &key;
    auto share = [&](const Style &s) {
      return totalCharacters ? 100.0 * double(s.characters) / double(totalCharacters) : 0.0;
    };
    auto commonLeft = [](const Style &s) {
      int best = 0, lines = -1;
      for (const auto &[left, n] : s.leftEdges)
        if (n > lines)
          best = left, lines = n;
      return best;
    };

    if (a.flag("--json")) {
      nlohmann::ordered_json list = nlohmann::ordered_json::array();
      for (const auto &[key, style] : styles) {
        nlohmann::ordered_json item;
        item["font"] = key.font;
        item["size"] = key.tenths / 10.0;
        item["lines"] = style.lines;
        item["share"] = std::round(share(style) * 10) / 10;
        item["firstPage"] = style.firstPage;
        item["left"] = commonLeft(style);
        item["samples"] = style.samples;
        item["body"] = body && key.font == body->font && key.tenths == body->tenths;
        list.push_back(std::move(item));
      }
      out << list.dump(2) << "\n";
    } else {
      out << input << ", pages " << range.first << " to " << range.second << ": " << styles.size()
          << (styles.size() == 1 ? " text style" : " text styles") << ", largest first\n";
      out << "   size  font                            lines  share  page   left  samples\n";
      for (const auto &[key, style] : styles) {
        char row[200];
        std::snprintf(row, sizeof row, "%7s  %-30s %6d %5.1f%% %5d %6d  ",
                      oneDecimal(key.tenths / 10.0).c_str(), key.font.c_str(), style.lines,
                      share(style), style.firstPage, commonLeft(style));
        out << row;
        for (size_t i = 0; i < style.samples.size(); ++i)
          out << (i ? " | " : "") << style.samples[i];
        if (body && &key == body)
          out << "   <- body text";
        out << "\n";
      }
    }
    if (styles.empty()) {
      err << "sorvane: " << input << ": no text found in the pages read (a scanned document has "
          << "no text to find headings in)\n";
      return ExitCode::ProblemsFound;
    }
    return unreadable ? ExitCode::ProblemsFound : ExitCode::Success;
  } catch (const HostError &e) {
    return reportHostError(err, e);
  }
}

} // namespace sorvane::cli
