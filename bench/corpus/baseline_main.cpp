// corpus_baseline IN.pdf: the headings the simple size-ranking detector finds in IN.pdf
// (baseline_detector.h), printed as an outline listing like `sorvane list --json`. It reads the
// pages' text runs as generation reads them; the document's own outline is not looked at.
#include <cstdio>
#include <exception>
#include <iostream>

#include "bench/corpus/baseline_detector.h"
#include "plugin/rules/page_content.h"
#include "plugin/values/fixed_point.h"
#include "tests/support/open_doc.h"

int main(int argc, char **argv) {
  if (argc != 2) {
    std::cerr << "usage: corpus_baseline IN.pdf\n";
    return 2;
  }
  try {
    using namespace sorvane;
    test::TestHost host;
    test::OpenDoc doc(host, argv[1]);
    std::vector<std::vector<corpus::BaselineRun>> pages(size_t(doc.doc().pageCount()));
    for (size_t p = 0; p < pages.size(); ++p) {
      PageContent page(doc.handle(), int32_t(p));
      page.gatherRuns(std::nullopt);
      for (const RunRef &ref : page.runs()) {
        TextRun run;
        if (!page.buildTextRun(ref, true, run))
          continue;
        pages[p].push_back({cleanRunText(run.text), run.fontSize, fixedToDouble(run.box.left),
                            fixedToDouble(run.box.right), fixedToDouble(run.box.top),
                            fixedToDouble(run.box.bottom)});
      }
    }
    std::cout << corpus::baselineListing(corpus::baselineHeadings(pages));
    return 0;
  } catch (const std::exception &e) {
    std::cerr << "corpus_baseline: " << argv[1] << ": " << e.what() << "\n";
    return 1;
  }
}
