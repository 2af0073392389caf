#include "host/cli/fonts_command.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <ostream>

#include <nlohmann/json.hpp>

#include "host/cli/cli_support.h"
#include "host/pdf/page_text.h"

namespace sorvane::cli {
namespace {

constexpr size_t kSamples = 3;
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

std::string trimmed(const std::string &s) {
  size_t a = 0, b = s.size();
  while (a < b && (s[a] == ' ' || s[a] == '\t'))
    ++a;
  while (b > a && (s[b - 1] == ' ' || s[b - 1] == '\t'))
    --b;
  return s.substr(a, b - a);
}

// At most `n` bytes of `text`, cut at a character boundary, "..." added when cut.
std::string shortened(const std::string &text, size_t n) {
  if (text.size() <= n)
    return text;
  size_t cut = n;
  while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80)
    --cut;
  return text.substr(0, cut) + "...";
}

// The lines of one page in one style: runs of the same style that follow each other on one row.
struct OpenLine {
  const StyleKey *key = nullptr;
  std::string text;
  double left = 0;
  HostRect box;
};

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
      if (!parsed || parsed->first > count)
        return usageError(err, "--pages takes A-B (or A, or A-), pages counted from 1; " + input +
                                   " has " + std::to_string(count) + ".");
      range = *parsed;
    }
    std::map<StyleKey, Style> styles;
    size_t totalCharacters = 0;
    int unreadable = 0;
    for (int page = range.first; page <= range.second && count > 0; ++page) {
      std::unique_ptr<host::PageText> text;
      try {
        text = host::extractPageText(*document, page - 1);
      } catch (const HostError &e) {
        if (e.code() == ErrorCode::Cancelled)
          throw;
        ++unreadable;
        continue;
      }
      OpenLine line;
      auto finish = [&] {
        if (!line.key)
          return;
        Style &style = styles[*line.key];
        ++style.lines;
        ++style.leftEdges[int(std::lround(line.left))];
        const std::string sample = trimmed(line.text);
        if (style.samples.size() < kSamples && !sample.empty() &&
            std::find(style.samples.begin(), style.samples.end(), sample) == style.samples.end())
          style.samples.push_back(shortened(sample, kSampleLength));
        line = OpenLine();
      };
      for (const host::ExtractedRun *run : host::runsInContentOrder(*text)) {
        const StyleKey key{run->font >= 0 ? text->fonts[size_t(run->font)].name : std::string(),
                           int(std::lround(run->size * 10))};
        auto [it, added] = styles.try_emplace(key);
        if (added)
          it->second.firstPage = page;
        it->second.characters += size_t(run->charCount);
        totalCharacters += size_t(run->charCount);
        if (line.key && *line.key == key && host::onOneRow(line.box, run->box)) {
          line.text += (line.text.empty() || line.text.back() == ' ' ? "" : " ") + run->text;
          line.box.right = run->box.right;
          continue;
        }
        finish();
        line.key = &it->first;
        line.text = run->text;
        line.left = run->box.left;
        line.box = run->box;
      }
      finish();
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
