// Learns level rules from a PDF's own outline with the engine's rule learning, times it, and
// writes the rules: bench_learn IN.pdf [OUT.svb]. Prints the reproduction of the outline.
#include <chrono>
#include <cstdio>
#include <exception>
#include <string>

#include "host/pdf/outline_listing.h"
#include "plugin/engine/contents_reading.h"
#include "plugin/engine/kept_text.h"
#include "plugin/engine/rule_learning.h"
#include "plugin/engine/settings_files.h"
#include "plugin/engine/style_headings.h"
#include "tests/support/open_doc.h"

int main(int argc, char **argv) {
  // --contents: learn from the printed table of contents instead of the outline; --styles: from
  // the rows whose text styles stand out as headings'
  const bool fromContents = argc > 1 && std::string(argv[1]) == "--contents";
  const bool fromStyles = argc > 1 && std::string(argv[1]) == "--styles";
  if (fromContents || fromStyles) {
    --argc;
    ++argv;
  }
  if (argc < 2 || argc > 3) {
    std::fprintf(stderr, "usage: bench_learn [--contents|--styles] IN.pdf [OUT.svb]\n");
    return 2;
  }
  try {
    using namespace sorvane;
    using Clock = std::chrono::steady_clock;
    test::TestHost host;
    test::OpenDoc doc(host, argv[1]);
    std::vector<OutlineMark> marks;
    for (const host::OutlineEntry &e : host::listOutline(host.pdf(), doc.handle()).entries)
      marks.push_back({e.depth, e.title, e.page ? *e.page : -1});
    const auto start = Clock::now();
    const KeptText text = KeptText::read(doc.handle());
    if (fromContents) {
      const ContentsOutline contents = readContents(text);
      std::printf("contents pages %zu, entries %zu, offset %d, placed %d, marks %zu\n",
                  contents.contentsPages.size(), contents.entries.size(), contents.offset,
                  contents.placed, contents.marks.size());
      for (size_t i = 0; i < contents.marks.size() && i < 8; ++i)
        std::printf("  d%d p%d %s\n", contents.marks[i].depth, contents.marks[i].page + 1,
                    contents.marks[i].title.c_str());
      marks = contents.marks;
    }
    if (fromStyles) {
      const StyleOutline styles = readStyleHeadings(text);
      std::printf("body %s %.1f; %zu heading styles, %zu rows; %d running heads, %d label rows\n",
                  styles.bodyFont.c_str(), styles.bodySize, styles.styles.size(),
                  styles.marks.size(), styles.runningHeads, styles.labelRows);
      for (const HeadingStyle &h : styles.styles)
        std::printf("  d%d %s %.2f %s: %d rows; %s\n", h.depth, h.font.c_str(), h.size,
                    h.numbering.c_str(), h.rows, h.samples.empty() ? "" : h.samples[0].c_str());
      marks = styles.marks;
    }
    const auto read = Clock::now();
    const LearnResult r = learnRules(text, marks);
    const auto end = Clock::now();
    const auto secs = [](auto a, auto b) { return std::chrono::duration<double>(b - a).count(); };
    std::printf(
        "%s: %zu marks, %d located; %zu levels; %d sets tried; read %.2f s, learned %.2f s\n",
        argv[1], marks.size(), r.located, r.settings.levels.size(), r.setsTried, secs(start, read),
        secs(read, end));
    for (const LearnedLevelReport &l : r.levels)
      std::printf("  depth %d: %d bookmarks, %d located (%d run-in), makes %d, %d right: %s\n",
                  l.depth, l.bookmarks, l.located, l.runIn, l.made, l.matched, l.takes.c_str());
    const Reproduction &q = r.reproduction;
    std::printf("  reproduces %d of %d, makes %d others; F1 %.3f; at depth %d%s\n", q.matched,
                q.expected, int(q.extra.size()), q.f1(), q.atDepth, r.runaway ? "; RUNAWAY" : "");
    for (size_t i = 0; i < q.missed.size() && i < 5; ++i)
      std::printf("  missed: p%d d%d %s\n", q.missed[i].page + 1, q.missed[i].depth,
                  q.missed[i].title.c_str());
    for (size_t i = 0; i < q.extra.size() && i < 5; ++i)
      std::printf("  extra:  p%d d%d %s\n", q.extra[i].page + 1, q.extra[i].depth,
                  q.extra[i].title.c_str());
    if (argc == 3 && !r.settings.levels.empty() && !saveSettingsFile(r.settings, argv[2])) {
      std::fprintf(stderr, "bench_learn: %s could not be written\n", argv[2]);
      return 1;
    }
    return 0;
  } catch (const std::exception &e) {
    std::fprintf(stderr, "bench_learn: %s\n", e.what());
    return 1;
  }
}
