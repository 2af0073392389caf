#include "host/cli/inspect_command.h"

#include <cmath>
#include <cstdio>
#include <optional>
#include <ostream>

#include <nlohmann/json.hpp>

#include "host/cli/cli_support.h"
#include "host/pdf/page_text.h"
#include "host/pdf/pdf_tables.h"

namespace sorvane::cli {
namespace {

struct RunLine {
  const host::ExtractedRun *run;
  const host::RunFont *font;
};

void collect(const host::PageText &page, std::vector<RunLine> &out) {
  for (const host::ExtractedRun *r : host::runsInContentOrder(page))
    out.push_back({r, &page.fonts[size_t(r->font)]});
}

std::string number(double v) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%.1f", v);
  return buffer;
}

std::optional<int> parsePage(const std::string &text) {
  try {
    size_t used = 0;
    const int page = std::stoi(text, &used);
    if (used == text.size() && page >= 1)
      return page;
  } catch (const std::exception &) {
  }
  return std::nullopt;
}

} // namespace

ExitCode runInspect(const std::vector<std::string> &args, std::ostream &out, std::ostream &err) {
  const Arguments a(args, *findCommand("inspect"));
  if (a.error())
    return usageError(err, *a.error());
  if (a.positional().size() != 1)
    return usageError(err, "'inspect' takes one PDF file.");
  const std::optional<int> page = parsePage(a.value("--page").value_or("1"));
  if (!page)
    return usageError(err, "'--page' takes a page number from 1.");
  try {
    auto document = openDocument(a.positional()[0], password(a), err);
    if (*page > document->pageCount()) {
      err << "sorvane: " << a.positional()[0] << " has " << document->pageCount()
          << " pages; there is no page " << *page << ".\n";
      return ExitCode::Usage;
    }
    const auto text = host::extractPageText(*document, *page - 1);
    std::vector<RunLine> runs;
    collect(*text, runs);
    for (const std::string &warning : text->warnings)
      err << "sorvane: warning: " << warning << "\n";
    if (a.flag("--json")) {
      // One run a line: easy to read and to grep, and still plain JSON.
      auto round2 = [](double v) { return std::round(v * 100) / 100; };
      out << "[";
      for (size_t i = 0; i < runs.size(); ++i) {
        const HostRect &b = runs[i].run->box;
        const nlohmann::ordered_json item = {
            {"text", runs[i].run->text},
            {"font", runs[i].font->name},
            {"size", round2(runs[i].run->size)},
            {"box", {round2(b.left), round2(b.bottom), round2(b.right), round2(b.top)}}};
        out << (i ? ",\n  " : "\n  ") << item.dump();
      }
      out << (runs.empty() ? "]\n" : "\n]\n");
      return ExitCode::Success;
    }
    out << "Page " << *page << " of " << document->pageCount() << ": " << runs.size()
        << " text runs\n";
    out << "   size  font                            box (left bottom right top)   text\n";
    for (const RunLine &r : runs) {
      const HostRect &b = r.run->box;
      char line[256];
      std::snprintf(line, sizeof line, "%7s  %-30s  %6s %6s %6s %6s  ", number(r.run->size).c_str(),
                    r.font->name.c_str(), number(b.left).c_str(), number(b.bottom).c_str(),
                    number(b.right).c_str(), number(b.top).c_str());
      out << line << r.run->text << "\n";
    }
    return ExitCode::Success;
  } catch (const HostError &e) {
    return reportHostError(err, e);
  }
}

} // namespace sorvane::cli
