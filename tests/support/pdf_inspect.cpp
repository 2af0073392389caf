#include "tests/support/pdf_inspect.h"

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFObjectHandle.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>

#include <array>
#include <cstdio>
#include <map>
#include <set>
#include <sys/wait.h>

namespace sorvane::test {
namespace {

using OH = QPDFObjectHandle;

struct Reader {
  std::map<QPDFObjGen, int> pageIndex;

  void readDest(OH dest, InspectedBookmark &b) {
    if (dest.isDictionary())
      dest = dest.getKey("/D");
    if (!dest.isArray() || dest.getArrayNItems() < 2)
      return;
    OH page = dest.getArrayItem(0);
    if (auto it = pageIndex.find(page.getObjGen()); page.isIndirect() && it != pageIndex.end())
      b.page = it->second;
    b.fit = dest.getArrayItem(1).isName() ? dest.getArrayItem(1).getName() : "";
    for (int i = 2; i < dest.getArrayNItems(); ++i)
      b.fitParams.push_back(dest.getArrayItem(i).isNumber() ? dest.getArrayItem(i).getNumericValue()
                                                            : -1.0);
  }

  void readItems(OH parent, std::vector<InspectedBookmark> &out, std::set<QPDFObjGen> &seen) {
    for (OH item = parent.getKey("/First"); item.isDictionary(); item = item.getKey("/Next")) {
      if (!seen.insert(item.getObjGen()).second)
        return;
      InspectedBookmark b;
      OH title = item.getKey("/Title");
      if (title.isString()) {
        b.title = title.getUTF8Value();
        b.titleBytes = title.getStringValue();
      }
      if (item.getKey("/Count").isInteger())
        b.count = item.getKey("/Count").getIntValueAsInt();
      if (item.getKey("/C").isArray())
        for (auto &v : item.getKey("/C").getArrayAsVector())
          b.color.push_back(v.getNumericValue());
      if (item.getKey("/F").isInteger())
        b.flags = item.getKey("/F").getIntValueAsInt();
      OH action = item.getKey("/A");
      if (action.isDictionary()) {
        b.actionType = action.getKey("/S").isName() ? action.getKey("/S").getName() : "";
        if (b.actionType == "/GoTo")
          readDest(action.getKey("/D"), b);
      } else if (!item.getKey("/Dest").isNull()) {
        b.actionType = "Dest";
        readDest(item.getKey("/Dest"), b);
      }
      readItems(item, b.children, seen);
      out.push_back(std::move(b));
    }
  }
};

} // namespace

namespace {

void flattenTitles(const std::vector<InspectedBookmark> &list, int depth,
                   std::vector<std::string> &out) {
  for (const InspectedBookmark &b : list) {
    out.push_back(std::string(size_t(2 * depth), ' ') + b.title);
    flattenTitles(b.children, depth + 1, out);
  }
}

} // namespace

std::vector<std::string> outlineTitles(const std::string &path) {
  std::vector<std::string> out;
  flattenTitles(inspectPdf(path).outline, 0, out);
  return out;
}

InspectedPdf inspectPdf(const std::string &path, const std::string &password) {
  QPDF pdf;
  pdf.processFile(path.c_str(), password.empty() ? nullptr : password.c_str());
  InspectedPdf result;
  Reader reader;
  auto pages = QPDFPageDocumentHelper(pdf).getAllPages();
  result.pageCount = static_cast<int>(pages.size());
  for (size_t i = 0; i < pages.size(); ++i)
    reader.pageIndex[pages[i].getObjectHandle().getObjGen()] = static_cast<int>(i);
  OH root = pdf.getRoot().getKey("/Outlines");
  if (root.isDictionary()) {
    if (root.getKey("/Count").isInteger())
      result.rootCount = root.getKey("/Count").getIntValueAsInt();
    std::set<QPDFObjGen> seen;
    reader.readItems(root, result.outline, seen);
  }
  return result;
}

int qpdfCheck(const std::string &path, std::string *output) {
  const std::string command = "qpdf --check '" + path + "' 2>&1";
  FILE *pipe = popen(command.c_str(), "r");
  if (!pipe)
    return -1;
  std::string text;
  std::array<char, 4096> buffer;
  while (size_t n = fread(buffer.data(), 1, buffer.size(), pipe))
    text.append(buffer.data(), n);
  const int status = pclose(pipe);
  if (output)
    *output = text;
  return WEXITSTATUS(status);
}

} // namespace sorvane::test
