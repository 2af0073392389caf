// Reading a PDF back with QPDF, independently of the host's engine.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace sorvane::test {

struct InspectedBookmark {
  std::string title;      // UTF-8
  std::string titleBytes; // as stored
  int page = -1;          // zero-based page of an explicit go-to destination, else -1
  std::optional<int> count;
  std::vector<double> color;
  int flags = 0;
  std::string actionType; // "/GoTo", ... or "" (a plain /Dest reads as "Dest")
  std::string fit;        // the destination's fit name, e.g. "/Fit"
  std::vector<double> fitParams;
  std::vector<InspectedBookmark> children;
};

struct InspectedPdf {
  int pageCount = 0;
  std::optional<int> rootCount;
  std::vector<InspectedBookmark> outline;
};

// Reads `path` with QPDF (`password` for encrypted files).
InspectedPdf inspectPdf(const std::string &path, const std::string &password = {});

// The bookmark titles of `path` as QPDF reads them, in outline order, each indented by two
// blanks a level.
std::vector<std::string> outlineTitles(const std::string &path);

// Runs `qpdf --check` on the file; the exit status (0 or 3 for warnings only) and output.
int qpdfCheck(const std::string &path, std::string *output = nullptr);

} // namespace sorvane::test
