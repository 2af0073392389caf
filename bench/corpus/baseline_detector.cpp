#include "bench/corpus/baseline_detector.h"

#include <algorithm>
#include <cmath>
#include <map>

#include <nlohmann/json.hpp>

namespace sorvane::corpus {

namespace {

// Sizes are compared in tenths of a point.
int tenths(double size) { return int(std::lround(size * 10)); }

int characters(const std::string &text) {
  int n = 0;
  for (unsigned char c : text)
    if ((c & 0xC0) != 0x80 && c != ' ' && c != '\t')
      ++n;
  return n;
}

struct Line {
  std::vector<const BaselineRun *> runs;
  double top = 0, bottom = 0;
};

bool sameRow(const Line &line, const BaselineRun &run) {
  const double overlap = std::min(line.top, run.top) - std::max(line.bottom, run.bottom);
  const double smaller = std::min(line.top - line.bottom, run.top - run.bottom);
  return overlap > 0.5 * smaller;
}

std::vector<Line> linesOf(const std::vector<BaselineRun> &runs) {
  std::vector<Line> lines;
  for (const BaselineRun &run : runs) {
    if (characters(run.text) == 0)
      continue;
    if (lines.empty() || !sameRow(lines.back(), run))
      lines.push_back({{}, run.top, run.bottom});
    Line &line = lines.back();
    line.runs.push_back(&run);
    line.top = std::max(line.top, run.top);
    line.bottom = std::min(line.bottom, run.bottom);
  }
  return lines;
}

std::string lineText(const Line &line) {
  std::string text;
  const BaselineRun *previous = nullptr;
  for (const BaselineRun *run : line.runs) {
    if (previous && run->left - previous->right > 0.15 * run->size)
      text += ' ';
    text += run->text;
    previous = run;
  }
  return text;
}

std::string collapsed(const std::string &text) {
  std::string out;
  for (char c : text) {
    const bool blank = c == ' ' || c == '\t' || c == '\n';
    if (blank && (out.empty() || out.back() == ' '))
      continue;
    out += blank ? ' ' : c;
  }
  while (!out.empty() && out.back() == ' ')
    out.pop_back();
  return out;
}

} // namespace

std::vector<BaselineHeading> baselineHeadings(const std::vector<std::vector<BaselineRun>> &pages) {
  std::map<int, long> bySize; // characters per size
  for (const auto &runs : pages)
    for (const BaselineRun &run : runs)
      bySize[tenths(run.size)] += characters(run.text);
  if (bySize.empty())
    return {};
  const int body = std::max_element(bySize.begin(), bySize.end(), [](const auto &a, const auto &b) {
                     return a.second < b.second;
                   })->first;
  std::map<int, int> depthOf; // heading size -> depth
  for (auto it = bySize.rbegin(); it != bySize.rend() && depthOf.size() < 4; ++it)
    if (it->first >= body + 5 && it->second >= 20)
      depthOf[it->first] = int(depthOf.size()) + 1;

  std::vector<BaselineHeading> out;
  for (size_t p = 0; p < pages.size(); ++p) {
    bool previousWasHeading = false;
    for (const Line &line : linesOf(pages[p])) {
      std::map<int, int> depths; // depth -> characters
      bool all = true;
      for (const BaselineRun *run : line.runs) {
        auto d = depthOf.find(tenths(run->size));
        if (d == depthOf.end()) {
          all = false;
          break;
        }
        depths[d->second] += characters(run->text);
      }
      if (!all) {
        previousWasHeading = false;
        continue;
      }
      const int depth =
          std::max_element(depths.begin(), depths.end(), [](const auto &a, const auto &b) {
            return a.second < b.second;
          })->first;
      const std::string text = collapsed(lineText(line));
      if (previousWasHeading && out.back().depth == depth)
        out.back().title += " " + text;
      else
        out.push_back({text, int(p) + 1, depth});
      previousWasHeading = true;
    }
  }
  return out;
}

std::string baselineListing(const std::vector<BaselineHeading> &headings) {
  nlohmann::json root = nlohmann::json::array();
  // the open chain: the children array at each depth of the last heading placed
  std::vector<std::pair<int, nlohmann::json *>> chain;
  for (const BaselineHeading &h : headings) {
    while (!chain.empty() && chain.back().first >= h.depth)
      chain.pop_back();
    nlohmann::json &into = chain.empty() ? root : *chain.back().second;
    into.push_back({{"title", h.title}, {"page", h.page}, {"children", nlohmann::json::array()}});
    chain.push_back({h.depth, &into.back()["children"]});
  }
  return root.dump(2) + "\n";
}

} // namespace sorvane::corpus
