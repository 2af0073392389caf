#include "host/cli/list_command.h"

#include <ostream>

#include <nlohmann/json.hpp>

#include "host/cli/cli_support.h"
#include "host/pdf/outline_listing.h"

namespace sorvane::cli {
namespace {

using Json = nlohmann::ordered_json;

// Entries from `index` on at `depth` and below, as a JSON array; `index` ends past them.
Json toJson(const std::vector<host::OutlineEntry> &entries, size_t &index, int depth) {
  Json list = Json::array();
  while (index < entries.size() && entries[index].depth == depth) {
    const host::OutlineEntry &e = entries[index++];
    Json item = Json::object();
    item["title"] = e.title;
    item["page"] = e.page ? Json(*e.page + 1) : Json(nullptr);
    item["open"] = e.open;
    item["action"] = e.action.empty() ? Json(nullptr) : Json(e.action);
    item["children"] = toJson(entries, index, depth + 1);
    list.push_back(std::move(item));
  }
  return list;
}

void printTree(const std::vector<host::OutlineEntry> &entries, std::ostream &out) {
  for (const host::OutlineEntry &e : entries) {
    out << std::string(size_t(e.depth - 1) * 4, ' ');
    out << (e.childCount == 0 ? "[ ] " : e.open ? "[-] " : "[+] ");
    out << e.title;
    if (e.page)
      out << "  (page " << *e.page + 1 << ")";
    else if (e.action.empty())
      out << "  (no action)";
    else
      out << "  (" << e.action << ")";
    out << "\n";
  }
}

} // namespace

ExitCode runList(const std::vector<std::string> &args, std::ostream &out, std::ostream &err) {
  const Arguments a(args, *findCommand("list"));
  if (a.error())
    return usageError(err, *a.error());
  if (a.positional().size() != 1)
    return usageError(err, "'list' takes one PDF file.");
  try {
    auto document = openDocument(a.positional()[0], password(a), err);
    host::PdfTables tables;
    const DocHandle doc = tables.add(*document);
    const host::OutlineListing listing = host::listOutline(tables, doc);
    for (const std::string &w : listing.warnings)
      err << "sorvane: warning: " << a.positional()[0] << ": " << w << "\n";
    if (a.flag("--json")) {
      size_t index = 0;
      out << toJson(listing.entries, index, 1).dump(2) << "\n";
    } else if (listing.entries.empty()) {
      err << "sorvane: " << a.positional()[0] << " has no bookmarks.\n";
    } else {
      printTree(listing.entries, out);
    }
    tables.remove(doc);
    return ExitCode::Success;
  } catch (const HostError &e) {
    return reportHostError(err, e);
  }
}

} // namespace sorvane::cli
