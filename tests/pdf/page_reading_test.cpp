// Reading pages the fast way: fonts found from resources alone, and page text read ahead in
// threads. Both must give exactly what reading each page in turn gives.
#include <gtest/gtest.h>

#include <pthread.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <numeric>
#include <set>
#include <thread>

#include "host/base/file_io.h"
#include "host/pdf/page_fonts.h"
#include "host/pdf/page_text.h"
#include "host/pdf/pdf_document.h"
#include "sdk/host_error.h"
#include "tests/support/fixture_helpers.h"
#include "tests/support/pdf_builder.h"
#include "tests/support/raw_pdf.h"
#include "tests/support/temp_dir.h"

namespace sorvane {
namespace {

// A page whose content draws "Title" in /F1 and, through the form /X1, "In a form" in /F2.
// `extraResources` goes into the page's resource dictionary, `extraObjects` after the others
// (object 8 onward).
std::string formPage(const std::string &extraResources = {},
                     const std::vector<std::string> &extraObjects = {}) {
  std::vector<std::string> objects = {
      "<< /Type /Catalog /Pages 2 0 R >>", "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
      "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 612 792] /Resources << /Font << /F1 4 0 R "
      ">> /XObject << /X1 5 0 R >> " +
          extraResources + " >> /Contents 6 0 R >>",
      "<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica-Bold >>",
      // The form draws itself again: a walk must not go round for ever.
      "<< /Type /XObject /Subtype /Form /BBox [0 0 612 792] /Resources << /Font << /F2 7 0 R >> "
      "/XObject << /X1 5 0 R >> >> /Length 37 >>\nstream\nBT /F2 10 Tf 72 600 Td (In a form) Tj "
      "ET\nendstream",
      test::rawStream("BT /F1 18 Tf 72 700 Td (Title) Tj ET /X1 Do"),
      "<< /Type /Font /Subtype /Type1 /BaseFont /Times-Roman >>"};
  objects.insert(objects.end(), extraObjects.begin(), extraObjects.end());
  return test::rawPdf(objects);
}

std::set<std::string> runFonts(const host::PageText &text) {
  std::set<std::string> names;
  for (const host::ExtractedRun *run : host::runsInContentOrder(text))
    names.insert(text.fonts[size_t(run->font)].name);
  return names;
}

// Everything of a page's text a scan can see, as one string.
std::string describe(const host::PageText &text) {
  std::string out;
  for (const host::ExtractedRun *run : host::runsInContentOrder(text)) {
    char facts[200];
    std::snprintf(facts, sizeof facts, " [%s %.4f %.4f %.4f %.4f %.4f %d %d]\n",
                  text.fonts[size_t(run->font)].name.c_str(), run->size, run->box.left,
                  run->box.bottom, run->box.right, run->box.top, run->firstChar, run->charCount);
    out += run->text + facts;
  }
  out += std::to_string(text.elements.size()) + " elements, " + std::to_string(text.lists.size()) +
         " lists\n";
  for (const std::string &w : text.warnings)
    out += w + "\n";
  return out;
}

class PageReading : public ::testing::Test {
protected:
  std::unique_ptr<host::PdfDocument> openRaw(const std::string &bytes) {
    test::writeFile(dir.file("raw.pdf"), bytes);
    return host::PdfDocument::open(dir.file("raw.pdf"));
  }
  // A document of `n` pages, each with headings and body in fonts of its own mix.
  std::unique_ptr<host::PdfDocument> openMixed(int n, const std::string &name = "mixed.pdf") {
    test::PdfSpec spec = test::pages(n);
    for (int i = 0; i < n; ++i) {
      auto &texts = spec.pages[size_t(i)].texts;
      texts.push_back(
          test::textAt("Body of page " + std::to_string(i + 1), 72, 600, 10, "Times-Roman"));
      if (i % 3 == 0)
        texts.push_back(
            test::textAt("Chapter " + std::to_string(i), 72, 700, 18, "Helvetica-Bold"));
      if (i % 4 == 1) {
        texts.push_back(test::textAt("Drawn by a form", 72, 650, 12, "Courier"));
        texts.back().inForm = true;
      }
      if (i % 5 == 2) {
        texts.push_back(test::textAt("Type0 text", 72, 500, 11, "Helvetica"));
        texts.back().type0 = true;
      }
    }
    test::writePdf(spec, dir.file(name));
    return host::PdfDocument::open(dir.file(name));
  }
  test::TempDir dir;
};

TEST_F(PageReading, PageFontsHoldEveryFontTheTextIsDrawnIn) {
  auto doc = openMixed(12);
  for (int i = 0; i < doc->pageCount(); ++i) {
    const auto fonts = host::pageFontNames(*doc, i);
    ASSERT_TRUE(fonts.has_value()) << "page " << i + 1;
    for (const std::string &name : runFonts(*host::extractPageText(*doc, i)))
      EXPECT_TRUE(std::binary_search(fonts->begin(), fonts->end(), name))
          << name << " on page " << i + 1;
  }
  // A font only a form uses is found through the form; one no resource offers is not there.
  const auto page2 = host::pageFontNames(*doc, 1);
  EXPECT_TRUE(std::binary_search(page2->begin(), page2->end(), "Courier"));
  EXPECT_FALSE(std::binary_search(page2->begin(), page2->end(), "Helvetica-Bold"));
}

TEST_F(PageReading, PageFontsFollowFormsOnceAndNameTypeThreeFontsByName) {
  auto doc = openRaw(formPage());
  EXPECT_EQ(host::pageFontNames(*doc, 0),
            (std::vector<std::string>{"Helvetica-Bold", "Times-Roman"}));
  EXPECT_EQ(runFonts(*host::extractPageText(*doc, 0)),
            (std::set<std::string>{"Helvetica-Bold", "Times-Roman"}));

  std::string withName = formPage();
  withName.replace(withName.find("/BaseFont /Times-Roman"),
                   std::string("/BaseFont /Times-Roman").size(), "/Subtype /Type3 /Name /OwnName");
  auto named = openRaw(withName);
  EXPECT_EQ(host::pageFontNames(*named, 0),
            (std::vector<std::string>{"Helvetica-Bold", "OwnName"}));
}

TEST_F(PageReading, PageFontsPromiseNothingWhereResourcesCannotTell) {
  const std::string patternWithFonts = "/Pattern << /P1 8 0 R >>";
  const std::string pattern =
      "<< /PatternType 1 /PaintType 1 /TilingType 1 /BBox [0 0 10 10] /XStep 10 /YStep 10 "
      "/Resources << /Font << /F9 9 0 R >> >> /Length 0 >>\nstream\n\nendstream";
  const std::string font = "<< /Type /Font /Subtype /Type1 /BaseFont /Courier >>";
  auto withPattern = openRaw(formPage(patternWithFonts, {pattern, font}));
  EXPECT_FALSE(host::pageFontNames(*withPattern, 0).has_value());

  auto withMask = openRaw(formPage(
      "/ExtGState << /G1 << /SMask << /S /Luminosity /G 8 0 R >> >> >>",
      {"<< /Type /XObject /Subtype /Form /BBox [0 0 1 1] /Resources << /Font << /F9 9 0 R >> "
       ">> /Length 0 >>\nstream\n\nendstream",
       font}));
  EXPECT_FALSE(host::pageFontNames(*withMask, 0).has_value());

  // A font without a name: only loading it would tell what the text says it is.
  std::string nameless = formPage();
  nameless.replace(nameless.find("/BaseFont /Times-Roman"),
                   std::string("/BaseFont /Times-Roman").size(), "");
  auto unnamed = openRaw(nameless);
  EXPECT_FALSE(host::pageFontNames(*unnamed, 0).has_value());

  // Type 3 glyphs drawing with fonts of their own.
  std::string glyphFonts = formPage();
  glyphFonts.replace(glyphFonts.find("/BaseFont /Times-Roman"),
                     std::string("/BaseFont /Times-Roman").size(),
                     "/Subtype /Type3 /Name /G /Resources << /Font << /F9 8 0 R >> >>");
  auto type3 = openRaw(glyphFonts);
  EXPECT_FALSE(host::pageFontNames(*type3, 0).has_value());

  auto plain = openRaw(formPage());
  EXPECT_THROW(host::pageFontNames(*plain, 1), HostError);
}

TEST_F(PageReading, AFilterShortensOnlyTheRunsOfOtherFonts) {
  test::PdfSpec spec = test::pages(1);
  spec.pages[0].texts = {test::textAt("Heading", 72, 700, 18, "Helvetica-Bold"),
                         test::textAt("", 72, 680, 10, "Times-Roman"),
                         test::textAt("  spaced", 72, 660, 10, "Times-Roman"),
                         test::textAt("Type0 heading", 72, 640, 12, "Helvetica-Bold")};
  spec.pages[0].texts[1].showOperation = "[(body) -3000 (text ) -3000 (ends in a blank)] TJ";
  spec.pages[0].texts[3].type0 = true;
  test::writePdf(spec, dir.file("filtered.pdf"));
  auto doc = host::PdfDocument::open(dir.file("filtered.pdf"));
  const auto whole = host::extractPageText(*doc, 0);
  RunFontFilter filter;
  filter.anyPrefix = {"Helvetica-Bold"};
  const auto shortened = host::extractPageText(*doc, 0, &filter);
  const auto a = host::runsInContentOrder(*whole);
  const auto b = host::runsInContentOrder(*shortened);
  ASSERT_EQ(a.size(), b.size());
  ASSERT_GE(a.size(), 4u);
  for (size_t i = 0; i < a.size(); ++i) {
    const std::string &font = whole->fonts[size_t(a[i]->font)].name;
    SCOPED_TRACE(a[i]->text + " in " + font);
    EXPECT_EQ(shortened->fonts[size_t(b[i]->font)].name, font);
    EXPECT_EQ(b[i]->box, a[i]->box);
    EXPECT_EQ(b[i]->size, a[i]->size);
    if (filter.keeps(font)) {
      EXPECT_EQ(b[i]->text, a[i]->text);
      EXPECT_EQ(b[i]->charCount, a[i]->charCount);
    } else {
      // The first character, with its box: what there is to know of a run no reader needs.
      EXPECT_EQ(b[i]->charCount, 1);
      EXPECT_EQ(b[i]->text, a[i]->text.substr(0, 1));
    }
  }
  EXPECT_FALSE(filter.keeps("Times-Roman"));
  EXPECT_TRUE(filter.keeps("ABCDEF+Helvetica-Bold"));
  EXPECT_FALSE((RunFontFilter{{"Helvetica-Bold"}, {}}.keeps("ABCDEF+Helvetica-Bold")));
}

TEST_F(PageReading, ReadAheadGivesEachPageAsReadAlone) {
  auto doc = openMixed(40);
  std::vector<std::string> alone;
  for (int i = 0; i < doc->pageCount(); ++i)
    alone.push_back(describe(*host::extractPageText(*doc, i)));

  for (int readers : {1, 3}) {
    doc->setReadAhead(readers);
    // In plan order, skipping some pages as a scan that rules pages out does.
    std::vector<int32_t> plan;
    for (int i = 0; i < doc->pageCount(); ++i)
      if (i % 7 != 3)
        plan.push_back(i);
    doc->planPageReads(plan);
    for (int32_t page : plan)
      EXPECT_EQ(describe(*doc->pageText(page)), alone[size_t(page)])
          << readers << " readers, page " << page + 1;
    // Out of the plan's order, and pages it does not hold: still the same text.
    doc->planPageReads({5, 6, 7, 8, 9, 10});
    for (int32_t page : {5, 9, 6, 30, 10})
      EXPECT_EQ(describe(*doc->pageText(page)), alone[size_t(page)])
          << readers << " readers, page " << page + 1;
  }
  doc->setReadAhead(0);
  EXPECT_EQ(describe(*doc->pageText(2)), alone[2]);
}

TEST_F(PageReading, ReadAheadPassesOnAPageThatFailsAndAFileThatChanged) {
  auto doc = openMixed(6);
  doc->setReadAhead(2);
  doc->planPageReads({0, 1, 2, 3, 4, 5, 6}); // page 7 is not in the document
  for (int32_t page = 0; page < 6; ++page)
    EXPECT_NO_THROW(doc->pageText(page));
  EXPECT_THROW(doc->pageText(6), HostError);

  // The file on disk replaced by another: readers must not read pages of a different file.
  auto changing = openMixed(8, "changing.pdf");
  const std::string expected = describe(*host::extractPageText(*changing, 4));
  // (Renamed over it, as a careful writer does: the open document keeps reading its own file.)
  test::writePdf(test::pages(8), dir.file("other.pdf"));
  std::filesystem::rename(dir.file("other.pdf"), dir.file("changing.pdf"));
  EXPECT_THROW(changing->reopen(), HostError);
  changing->setReadAhead(2);
  changing->planPageReads({0, 1, 2, 3, 4, 5, 6, 7});
  for (int32_t page = 0; page < 4; ++page)
    changing->pageText(page);
  EXPECT_EQ(describe(*changing->pageText(4)), expected);
}

TEST_F(PageReading, WhatTheEngineWarnsOfWhileAReaderReadsReachesTheDocument) {
  // 24 pages; the content of page 13 claims a compression it does not have, which the engine
  // warns of as it reads it.
  std::vector<std::string> objects = {"<< /Type /Catalog /Pages 2 0 R >>", "",
                                      "<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica >>"};
  std::string kids;
  for (int i = 0; i < 24; ++i) {
    const std::string garbage = "no compressed data here";
    objects.push_back(i == 12 ? "<< /Length " + std::to_string(garbage.size()) +
                                    " /Filter /FlateDecode >>\nstream\n" + garbage + "\nendstream"
                              : test::rawStream("BT /F1 10 Tf 72 700 Td (Page) Tj ET"));
    objects.push_back("<< /Type /Page /Parent 2 0 R /MediaBox [0 0 612 792] /Resources << /Font "
                      "<< /F1 3 0 R >> >> /Contents " +
                      std::to_string(objects.size()) + " 0 R >>");
    kids += std::to_string(objects.size()) + " 0 R ";
  }
  objects[1] = "<< /Type /Pages /Kids [" + kids + "] /Count 24 >>";
  test::writeFile(dir.file("warns.pdf"), test::rawPdf(objects));
  for (int readers : {0, 2}) {
    auto doc = host::PdfDocument::open(dir.file("warns.pdf"));
    const size_t before = doc->warnings().size();
    doc->setReadAhead(readers);
    std::vector<int32_t> plan(24);
    std::iota(plan.begin(), plan.end(), 0);
    doc->planPageReads(plan);
    // The first pages are the asking thread's to read; by the time they are taken the readers
    // have the next ones (page 13 among them), and are given the time to read them.
    for (int32_t page = 0; page < 8; ++page)
      doc->pageText(page);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    for (int32_t page = 8; page < 24; ++page)
      doc->pageText(page);
    doc->setReadAhead(0);
    EXPECT_GT(doc->warnings().size(), before)
        << readers << " readers: " << ::testing::PrintToString(doc->warnings());
  }
}

TEST_F(PageReading, AStopThatLandsOnAnotherThreadReachesTheThreadThatReads) {
  // A signal goes to any thread of the process that does not block it: a reader's as likely as
  // the one that asks for pages. The stop it asks for must reach the asking thread all the same.
  host::takeForwardedStops();
  auto doc = openMixed(12);
  doc->setReadAhead(2);
  std::vector<int32_t> plan(12);
  std::iota(plan.begin(), plan.end(), 0);
  doc->planPageReads(plan);
  std::atomic<bool> running{false};
  std::atomic<bool> done{false};
  std::thread other([&] {
    running = true;
    while (!done.load())
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
  });
  while (!running.load()) // (a signal sent to a thread still starting may be lost)
    std::this_thread::yield();
  // Sent again now and then: the sanitizer's runtime may hold a signal back until the thread's
  // next call it watches, and a stop asked twice is still one stop.
  using Clock = std::chrono::steady_clock;
  const auto deadline = Clock::now() + std::chrono::seconds(20);
  auto sent = Clock::time_point();
  int32_t page = 0;
  while (!host::interruptRequested() && Clock::now() < deadline) {
    if (Clock::now() - sent > std::chrono::milliseconds(100)) {
      EXPECT_EQ(pthread_kill(other.native_handle(), host::kForwardedStop), 0);
      sent = Clock::now();
    }
    doc->pageText(page++ % 12);
  }
  EXPECT_TRUE(host::interruptRequested());
  done = true;
  other.join();
  host::clearInterrupt();
}

} // namespace
} // namespace sorvane
