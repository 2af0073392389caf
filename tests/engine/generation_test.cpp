// Generation from end to end on fixture documents: scan, assembly, insertion, saving.
#include "plugin/engine/bookmark_builder.h"

#include <gtest/gtest.h>

#include <memory>

#include "host/base/file_io.h"
#include "host/runtime/view_services.h"
#include "plugin/engine/heading_preview.h"
#include "plugin/outline/bookmark_dest.h"
#include "sdk/host_error.h"
#include "sdk/imported_tables.h"
#include "tests/support/fixture_helpers.h"
#include "tests/support/open_doc.h"
#include "tests/support/pdf_builder.h"
#include "tests/support/pdf_inspect.h"
#include "tests/support/temp_dir.h"

namespace sorvane {
namespace {

using test::fontLevel;

test::TextSpec text(std::string t, double x, double y, double size, std::string font) {
  return test::textAt(std::move(t), x, y, size, std::move(font));
}

std::vector<std::string> titles(const std::vector<test::InspectedBookmark> &list) {
  std::vector<std::string> out;
  for (const auto &b : list)
    out.push_back(b.title);
  return out;
}

class Generation : public ::testing::Test {
protected:
  void open(const test::PdfSpec &spec) {
    test::writePdf(spec, dir.file("in.pdf"));
    doc = std::make_unique<test::OpenDoc>(host, dir.file("in.pdf"));
  }
  test::InspectedPdf saveAndInspect() {
    doc->doc().save(dir.file("out.pdf"));
    std::string report;
    EXPECT_EQ(test::qpdfCheck(dir.file("out.pdf"), &report), 0) << report;
    return test::inspectPdf(dir.file("out.pdf"));
  }
  // A three-level manual: chapters, sections, notes found by a pattern; body text between.
  test::PdfSpec manual() {
    test::PdfSpec spec = test::pages(3);
    const char *bold = "Helvetica-Bold";
    spec.pages[0].texts = {text("Contents", 72, 740, 18, bold),
                           text("(the table of contents)", 72, 720, 10, "Times-Roman"),
                           text("Chapter 1 Introduction", 72, 700, 18, bold),
                           text("Body text of the chapter.", 72, 680, 10, "Times-Roman"),
                           text("1.1 Scope", 72, 650, 14, bold),
                           text("Note: read this first", 90, 630, 10, "Helvetica-Oblique"),
                           text("More body text.", 72, 615, 10, "Times-Roman"),
                           text("Also oblique, but no note", 90, 600, 10, "Helvetica-Oblique")};
    spec.pages[1].texts = {text("1.2 A section title that", 72, 700, 14, bold),
                           text("wraps onto a second row", 72, 684, 14, bold),
                           text("Body.", 72, 660, 10, "Times-Roman")};
    spec.pages[2].texts = {text("Chap", 72, 700, 18, bold), text("ter 2", 110.0, 700, 18, bold),
                           text("2.1 Results", 72, 660, 14, bold)};
    return spec;
  }
  BookmarkBuilder manualSettings() {
    BookmarkBuilder b;
    b.levels = {fontLevel("Helvetica-Bold", 18), fontLevel("Helvetica-Bold", 14),
                fontLevel("Helvetica-Oblique", 10)};
    b.levels[0].contentFormat.leadingNumbers = int32_t(LeadingNumbers::NoChange);
    b.levels[0].dispAttribs.isBold = true;
    b.levels[0].dispAttribs.showOpen = true;
    b.levels[0].dispAttribs.color.setRgb(0, 0, 1);
    b.levels[0].fitType = int32_t(FitType::FitH);
    b.levels[2].textMatchRule.query.pattern = "^Note";
    b.levels[2].textMatchRule.query.useRegExp = true;
    b.ignoreStopWords = true;
    b.stopWords = {"Contents"};
    return b;
  }

  test::TestHost host;
  test::TempDir dir;
  std::unique_ptr<test::OpenDoc> doc;
};

TEST_F(Generation, FindsThreeLevelsAndWritesThemAsATree) {
  open(manual());
  BookmarkBuilder b = manualSettings();
  const RunOutcome outcome = b.generate(doc->handle());
  ASSERT_TRUE(outcome.ran);
  EXPECT_TRUE(outcome.complete());
  EXPECT_EQ(outcome.pagesScanned, 3);
  EXPECT_EQ(outcome.headingsFound, 7); // "Contents" too, dropped for its stop word
  ASSERT_EQ(outcome.droppedFor(DropReason::StopWord), 1);
  EXPECT_EQ(outcome.dropped[0].title, "Contents");
  EXPECT_EQ(outcome.bookmarksInserted, 6);
  const test::InspectedPdf back = saveAndInspect();
  ASSERT_EQ(titles(back.outline),
            (std::vector<std::string>{"Chapter 1 Introduction", "Chapter 2"}));
  const auto &ch1 = back.outline[0];
  EXPECT_EQ(ch1.page, 0);
  EXPECT_EQ(ch1.fit, "/FitH");
  EXPECT_EQ(ch1.flags, 2);
  EXPECT_EQ(ch1.color, (std::vector<double>{0, 0, 1}));
  EXPECT_EQ(ch1.count, 2); // open; its sections are closed, so their notes do not show
  ASSERT_EQ(
      titles(ch1.children),
      (std::vector<std::string>{"1.1 Scope", "1.2 A section title that wraps onto a second row"}));
  EXPECT_EQ(ch1.children[0].page, 0);
  EXPECT_EQ(ch1.children[1].page, 1);
  ASSERT_EQ(titles(ch1.children[0].children), (std::vector<std::string>{"Note: read this first"}));
  EXPECT_EQ(titles(back.outline[1].children), (std::vector<std::string>{"2.1 Results"}));
  EXPECT_EQ(back.outline[1].page, 2);
}

TEST_F(Generation, APreviewFindsWhatARunWouldOnOnePageAndWritesNothing) {
  open(manual());
  BookmarkBuilder b = manualSettings();
  const std::vector<HeadingPreview> first = previewHeadings(b, doc->handle(), 0);
  std::vector<std::pair<int32_t, std::string>> found;
  for (const HeadingPreview &h : first)
    found.emplace_back(h.level, h.title);
  // "Contents" is a stop word: a run would drop it, so the preview does not show it.
  EXPECT_EQ(found,
            (std::vector<std::pair<int32_t, std::string>>{
                {0, "Chapter 1 Introduction"}, {1, "1.1 Scope"}, {2, "Note: read this first"}}));
  ASSERT_FALSE(first.empty());
  EXPECT_NEAR(first[0].box.left, 72, 0.5);
  EXPECT_LT(first[0].box.bottom, 700.5);
  EXPECT_GT(first[0].box.top, 710);
  // A heading set in two runs is one line, as in a run.
  const std::vector<HeadingPreview> third = previewHeadings(b, doc->handle(), 2);
  ASSERT_EQ(third.size(), 2u);
  EXPECT_EQ(third[0].level, 0);
  EXPECT_GT(third[0].box.right, 130);
  // Outside the page range, or without levels, nothing is found.
  b.firstPage = 1;
  EXPECT_TRUE(previewHeadings(b, doc->handle(), 0).empty());
  EXPECT_EQ(previewHeadings(b, doc->handle(), 1).size(), 1u);
  b.lastPage = 1;
  EXPECT_TRUE(previewHeadings(b, doc->handle(), 2).empty());
  EXPECT_TRUE(previewHeadings(BookmarkBuilder(), doc->handle(), 0).empty());
  EXPECT_TRUE(test::inspectPdf(dir.file("in.pdf")).outline.empty());
  EXPECT_FALSE(host.pdf().pdModel().bookmarkHasChildren(
      host.pdf().pdModel().docGetBookmarkRoot(doc->handle())));
}

TEST_F(Generation, AStopWordKeepsALineOutUnlessStopWordsAreIgnoredOff) {
  open(manual());
  BookmarkBuilder b = manualSettings();
  b.ignoreStopWords = false;
  b.generate(doc->handle());
  EXPECT_EQ(titles(saveAndInspect().outline),
            (std::vector<std::string>{"Contents", "Chapter 1 Introduction", "Chapter 2"}));
}

TEST_F(Generation, WithoutMultilineTitlesAWrappedHeadingBecomesTwo) {
  open(manual());
  BookmarkBuilder b = manualSettings();
  b.levels[1].textMatchRule.multilineTitles = false;
  b.generate(doc->handle());
  EXPECT_EQ(titles(saveAndInspect().outline[0].children),
            (std::vector<std::string>{"1.1 Scope", "1.2 A section title that",
                                      "wraps onto a second row"}));
}

TEST_F(Generation, NumbersRunOnAcrossPagesAndRestartBelow) {
  open(manual());
  BookmarkBuilder b = manualSettings();
  for (int i = 0; i < 2; ++i) {
    b.levels[i].contentFormat.leadingNumbers = int32_t(LeadingNumbers::Add);
    b.levels[i].contentFormat.leadingType =
        int32_t(i == 0 ? LeadingType::RomanNumerals : LeadingType::Numbers);
  }
  b.generate(doc->handle());
  const auto back = saveAndInspect();
  EXPECT_EQ(titles(back.outline),
            (std::vector<std::string>{"I Chapter 1 Introduction", "II Chapter 2"}));
  EXPECT_EQ(back.outline[0].children[1].title.substr(0, 11), "I.2 1.2 A s");
  EXPECT_EQ(back.outline[1].children[0].title, "II.1 2.1 Results");
}

class Placement : public Generation, public ::testing::WithParamInterface<int> {};

TEST_P(Placement, GoesBeforeAfterOrInsteadOfTheExistingOutline) {
  test::PdfSpec spec = manual();
  spec.outline = {{"X", {}, test::ActionSpec::goTo(0), false, {}, 0, {}},
                  {"Y", {}, test::ActionSpec::goTo(1), false, {}, 0, {}}};
  open(spec);
  BookmarkBuilder b = manualSettings();
  b.insertType = GetParam();
  b.generate(doc->handle());
  const auto got = titles(saveAndInspect().outline);
  const std::vector<std::vector<std::string>> expected = {
      {"Chapter 1 Introduction", "Chapter 2", "X", "Y"},
      {"X", "Y", "Chapter 1 Introduction", "Chapter 2"},
      {"Chapter 1 Introduction", "Chapter 2"}};
  EXPECT_EQ(got, expected[size_t(GetParam())]);
}

INSTANTIATE_TEST_SUITE_P(InsertTypes, Placement, ::testing::Values(0, 1, 2));

TEST_F(Generation, LinesAPatternGaveUpOnAreCounted) {
  test::PdfSpec spec = test::pages(1);
  spec.pages[0].texts = {text(std::string(40, 'a') + "!", 72, 700, 18, "Helvetica-Bold"),
                         text("aaaa", 72, 650, 18, "Helvetica-Bold")};
  open(spec);
  BookmarkBuilder b;
  b.levels = {fontLevel("Helvetica-Bold", 18)};
  b.levels[0].textMatchRule.query.pattern = "(a+)+$";
  b.levels[0].textMatchRule.query.useRegExp = true;
  const RunOutcome outcome = b.generate(doc->handle());
  EXPECT_EQ(outcome.patternTestsGivenUp, 1);
  EXPECT_EQ(outcome.bookmarksInserted, 1); // "aaaa" matched
}

TEST_F(Generation, RunsBeyondWhatTheRulesCanMeasureAreCountedNotLostInSilence) {
  test::PdfSpec spec = test::pages(2);
  spec.pages[1].height = 40000; // a very tall page: its top is past 32,767 points
  spec.pages[1].texts = {text("Chapter High", 72, 39000, 18, "Helvetica-Bold"),
                         text("Chapter Low", 72, 100, 18, "Helvetica-Bold")};
  spec.pages[0].texts = {text("Chapter First", 72, 700, 18, "Helvetica-Bold")};
  open(spec);
  BookmarkBuilder b;
  b.levels = {fontLevel("Helvetica-Bold", 18)};
  const RunOutcome outcome = b.generate(doc->handle());
  EXPECT_EQ(outcome.runsOutOfReach, 1);
  EXPECT_EQ(outcome.firstPageOutOfReach, 1);
  EXPECT_EQ(outcome.bookmarksInserted, 2); // the first page's and the low one
  const auto back = saveAndInspect();
  EXPECT_EQ(titles(back.outline), (std::vector<std::string>{"Chapter First", "Chapter Low"}));
}

TEST_F(Generation, WithoutLevelsNothingHappens) {
  open(manual());
  BookmarkBuilder b;
  const RunOutcome outcome = b.generate(doc->handle());
  EXPECT_FALSE(outcome.ran);
  EXPECT_FALSE(outcome.complete());
  EXPECT_EQ(outcome.bookmarksInserted, 0);
  EXPECT_TRUE(saveAndInspect().outline.empty());
}

// ---- what a run reports when the host fails in the middle of it

// Makes the host fail at the `nth` call (from 1) of `operation`.
void failAt(test::TestHost &host, std::string operation, int nth) {
  auto calls = std::make_shared<int>(0);
  host.pdf().setFaultHook([operation, nth, calls](std::string_view op) {
    if (op == operation && ++*calls == nth)
      throw HostError(ErrorCode::PdfDamaged, "injected failure in " + operation);
  });
}

TEST_F(Generation, APageThatFailsIsSkippedAndReportedAndTheRunGoesOn) {
  open(manual());
  failAt(host, "docAcquirePage", 2); // the second page
  const RunOutcome outcome = manualSettings().generate(doc->handle());
  host.pdf().setFaultHook({});
  EXPECT_TRUE(outcome.ran);
  EXPECT_FALSE(outcome.stopped());
  EXPECT_FALSE(outcome.complete());
  EXPECT_EQ(outcome.pagesScanned, 2);
  ASSERT_EQ(outcome.failedPages.size(), 1u);
  EXPECT_EQ(outcome.failedPages[0].page, 1);
  EXPECT_NE(outcome.failedPages[0].reason.find("injected"), std::string::npos);
  EXPECT_EQ(outcome.bookmarksInserted, 5); // all but the section on the failed page
  const auto back = saveAndInspect();
  EXPECT_EQ(titles(back.outline[0].children), (std::vector<std::string>{"1.1 Scope"}));
  EXPECT_EQ(titles(back.outline[1].children), (std::vector<std::string>{"2.1 Results"}));
  EXPECT_EQ(host.notes().size(), 1u); // the user was told at once too
}

TEST_F(Generation, AnOutlineThatCannotBeReachedChangesNothingAndIsTold) {
  open(manual());
  failAt(host, "docGetBookmarkRoot", 1);
  RunOutcome outcome;
  try {
    outcome = manualSettings().generate(doc->handle());
  } catch (const HostError &e) { // the caller hears of it either way
    EXPECT_NE(std::string(e.what()).find("injected"), std::string::npos);
  }
  host.pdf().setFaultHook({});
  EXPECT_EQ(outcome.bookmarksInserted, 0);
  EXPECT_FALSE(outcome.complete());
  EXPECT_TRUE(saveAndInspect().outline.empty());
}

TEST_F(Generation, HeadingsWithoutTheirParentLevelAreKeptOnRequest) {
  // The section level matches nothing: the notes have no parent level.
  open(manual());
  BookmarkBuilder b = manualSettings();
  b.levels[1].textStyleRule.fontDesc.fontSize = 40;
  const RunOutcome dropped = b.generate(doc->handle());
  EXPECT_EQ(dropped.droppedFor(DropReason::NoParentLevel), 1);
  EXPECT_EQ(dropped.bookmarksInserted, 2);

  doc.reset();
  open(manual());
  b.keepOrphanHeadings = true;
  const RunOutcome kept = b.generate(doc->handle());
  EXPECT_EQ(kept.droppedFor(DropReason::NoParentLevel), 0);
  EXPECT_EQ(kept.bookmarksInserted, 3);
  const test::InspectedPdf back = saveAndInspect();
  ASSERT_EQ(titles(back.outline),
            (std::vector<std::string>{"Chapter 1 Introduction", "Chapter 2"}));
  // Under the nearest earlier heading of a higher level.
  EXPECT_EQ(titles(back.outline[0].children), (std::vector<std::string>{"Note: read this first"}));
}

TEST_F(Generation, OrphansBeforeTheFirstTopLevelHeadingGoAtTheTop) {
  test::PdfSpec spec = test::pages(1);
  spec.pages[0].texts = {text("1.1 Early", 72, 700, 14, "Helvetica-Bold"),
                         text("x", 72, 680, 10, "Times-Roman"),
                         text("Note: early", 72, 660, 10, "Helvetica-Oblique"),
                         text("Chapter 1", 72, 600, 18, "Helvetica-Bold"),
                         text("1.1 Scope", 72, 560, 14, "Helvetica-Bold")};
  open(spec);
  BookmarkBuilder b = manualSettings();
  b.keepOrphanHeadings = true;
  EXPECT_EQ(b.generate(doc->handle()).bookmarksInserted, 4);
  const test::InspectedPdf back = saveAndInspect();
  ASSERT_EQ(titles(back.outline), (std::vector<std::string>{"1.1 Early", "Chapter 1"}));
  EXPECT_EQ(titles(back.outline[0].children), (std::vector<std::string>{"Note: early"}));
  EXPECT_EQ(titles(back.outline[1].children), (std::vector<std::string>{"1.1 Scope"}));
}

TEST_F(Generation, AnActionThatCannotBeMadeLosesOnlyItsBookmark) {
  open(manual());
  failAt(host, "viewDestCreate", 3); // the note under 1.1 Scope
  const RunOutcome outcome = manualSettings().generate(doc->handle());
  host.pdf().setFaultHook({});
  EXPECT_FALSE(outcome.stopped());
  EXPECT_FALSE(outcome.complete());
  EXPECT_EQ(outcome.bookmarksInserted, 5);
  ASSERT_EQ(outcome.droppedFor(DropReason::NotInserted), 1);
  ASSERT_EQ(outcome.dropped.size(), 2u); // after "Contents", a stop word
  EXPECT_EQ(outcome.dropped[1].title, "Note: read this first");
  EXPECT_EQ(outcome.dropped[1].page, 0);
  EXPECT_EQ(outcome.dropped[1].level, 2);
}

// A progress monitor whose user asks to stop at the `nth` call of `operation`.
struct StoppingMonitor {
  ProgressMonitor monitor;
  bool asked = false;
  StoppingMonitor(test::TestHost &host, std::string operation, int nth) {
    monitor.cancelRequested = [](void *self) {
      return static_cast<StoppingMonitor *>(self)->asked;
    };
    auto calls = std::make_shared<int>(0);
    host.pdf().setFaultHook([this, operation, nth, calls](std::string_view op) {
      if (op == operation && ++*calls == nth)
        asked = true;
    });
  }
};

class StoppedWhileInserting : public Generation, public ::testing::WithParamInterface<int> {
protected:
  void TearDown() override { host.pdf().setFaultHook({}); }
};

TEST_P(StoppedWhileInserting, IsCancelledNotCountedAsLostHeadingsAndTakenBackWhole) {
  test::PdfSpec spec = manual();
  spec.outline = {{"X", {}, test::ActionSpec::goTo(0), false, {}, 0, {}},
                  {"Y", {}, test::ActionSpec::goTo(1), false, {}, 0, {}}};
  open(spec);
  BookmarkBuilder b = manualSettings();
  b.insertType = GetParam(); // before, after, instead of the existing bookmarks
  doc->doc().beginChanges();
  StoppingMonitor stopping(host, "viewDestCreate", 3); // three bookmarks in
  const RunOutcome outcome = b.generate(doc->handle(), &stopping.monitor, &stopping);
  host.pdf().setFaultHook({});
  EXPECT_TRUE(outcome.cancelled);
  EXPECT_FALSE(outcome.complete());
  EXPECT_EQ(outcome.droppedFor(DropReason::NotInserted), 0);
  doc->doc().takeBackChanges();
  const auto back = saveAndInspect();
  ASSERT_EQ(titles(back.outline), (std::vector<std::string>{"X", "Y"}));
  EXPECT_EQ(back.outline[1].page, 1);
  // The document still takes changes, and handles made after reach it.
  doc->doc().beginChanges();
  EXPECT_EQ(b.generate(doc->handle()).bookmarksInserted, 6);
  doc->doc().keepChanges();
  const auto again = saveAndInspect();
  EXPECT_EQ(again.outline.size(), GetParam() == 2 ? 2u : 4u);
}

INSTANTIATE_TEST_SUITE_P(InsertTypes, StoppedWhileInserting, ::testing::Values(0, 1, 2));

TEST_F(Generation, AChildThatCannotBeInsertedIsNotCountedAndTakesItsSubtreeAlong) {
  open(manual());
  failAt(host, "bookmarkAddNewChild", 2); // 1.1 Scope, whose note is then lost with it
  const RunOutcome outcome = manualSettings().generate(doc->handle());
  host.pdf().setFaultHook({});
  EXPECT_EQ(outcome.bookmarksInserted, 4);
  EXPECT_EQ(outcome.droppedFor(DropReason::NotInserted), 2);
  const auto back = saveAndInspect();
  EXPECT_EQ(titles(back.outline),
            (std::vector<std::string>{"Chapter 1 Introduction", "Chapter 2"}));
  EXPECT_EQ(titles(back.outline[0].children),
            (std::vector<std::string>{"1.2 A section title that wraps onto a second row"}));
}

TEST_F(Generation, ReplacingWithNothingFoundKeepsTheExistingOutline) {
  test::PdfSpec spec = manual();
  spec.outline = {{"X", {}, test::ActionSpec::goTo(0), false, {}, 0, {}}};
  open(spec);
  BookmarkBuilder b;
  b.levels = {fontLevel("Courier", 30)}; // nothing in the document
  b.insertType = int32_t(InsertType::Replace);
  const RunOutcome outcome = b.generate(doc->handle());
  EXPECT_EQ(outcome.headingsFound, 0);
  EXPECT_EQ(titles(saveAndInspect().outline), (std::vector<std::string>{"X"}));
}

// ---- the progress a run reports

struct Recorder {
  std::vector<std::string> calls;
};

const ProgressMonitor kRecordingMonitor = {
    [](void *d) { static_cast<Recorder *>(d)->calls.push_back("begin"); },
    [](void *d) { static_cast<Recorder *>(d)->calls.push_back("end"); },
    [](int32_t total, void *d) {
      static_cast<Recorder *>(d)->calls.push_back("duration " + std::to_string(total));
    },
    [](int32_t value, void *d) {
      static_cast<Recorder *>(d)->calls.push_back("value " + std::to_string(value));
    },
    [](TextHandle t, void *d) {
      static_cast<Recorder *>(d)->calls.push_back(
          "text " + hostTables().asExtra->textGetEncoded(t, HostEncoding::Utf8));
    },
};

TEST_F(Generation, ReportsProgressEveryTenthPageOfTheRange) {
  open(test::pages(25));
  BookmarkBuilder b;
  b.levels = {fontLevel("Helvetica-Bold", 18)};
  b.firstPage = 3;
  Recorder r;
  EXPECT_TRUE(b.generate(doc->handle(), &kRecordingMonitor, &r).ran);
  const std::vector<std::string> expected = {"begin",
                                             "duration 22",
                                             "text Scanning for bookmarks...",
                                             "value 7",
                                             "text Scanning for bookmarks: 7 out of 22 pages ",
                                             "value 17",
                                             "text Scanning for bookmarks: 17 out of 22 pages ",
                                             "text Adding bookmarks...",
                                             "end"};
  EXPECT_EQ(r.calls, expected);
}

TEST_F(Generation, AnEmptyRangeScansNothingButStillFinishes) {
  open(test::pages(25));
  BookmarkBuilder b;
  b.levels = {fontLevel("Helvetica-Bold", 18)};
  b.firstPage = 5;
  b.lastPage = 2;
  Recorder r;
  const RunOutcome outcome = b.generate(doc->handle(), &kRecordingMonitor, &r);
  EXPECT_TRUE(outcome.ran);
  EXPECT_EQ(r.calls,
            (std::vector<std::string>{"begin", "duration 1", "text Scanning for bookmarks...",
                                      "text Adding bookmarks...", "end"}));
  EXPECT_EQ(outcome.pagesScanned, 0);
  EXPECT_EQ(outcome.bookmarksInserted, 0);
}

TEST_F(Generation, ALastPageBeyondTheDocumentStopsAtItsEnd) {
  test::PdfSpec spec = test::pages(3);
  spec.pages[2].texts = {text("Last page heading", 72, 700, 18, "Helvetica-Bold")};
  open(spec);
  BookmarkBuilder b;
  b.levels = {fontLevel("Helvetica-Bold", 18)};
  b.lastPage = 100;
  EXPECT_EQ(b.generate(doc->handle()).bookmarksInserted, 1);
  EXPECT_TRUE(host.notes().empty());
}

// Everything of an outline a reader sees, as one string.
std::string describeOutline(const std::vector<test::InspectedBookmark> &list, int depth = 0) {
  std::string out;
  for (const auto &b : list) {
    out += std::string(size_t(2 * depth), ' ') + b.title + " p" + std::to_string(b.page) + " " +
           b.fit + " f" + std::to_string(b.flags) + " c" + std::to_string(b.count.value_or(-99)) +
           " n" + std::to_string(b.color.size()) + "\n";
    for (double p : b.fitParams)
      out += " " + std::to_string(p);
    out += describeOutline(b.children, depth + 1);
  }
  return out;
}

TEST_F(Generation, TheOutlineIsTheSameHoweverThePagesAreRead) {
  // The manual's pages among pages of body text alone, and a page whose only heading is
  // drawn by a form: pages a run may leave unread, and pages it must not.
  test::PdfSpec spec = manual();
  for (int i = 0; i < 24; ++i) {
    test::PageSpec page;
    page.texts = {text("Body text only, page " + std::to_string(i), 72, 600, 10, "Times-Roman")};
    if (i % 6 == 5) {
      page.texts.push_back(
          text("1." + std::to_string(i) + " In a form", 72, 700, 14, "Helvetica-Bold"));
      page.texts.back().inForm = true;
    }
    if (i == 8) {
      // Body text between headings on one row, and one that begins with a blank: lines a
      // run of no level's font ends.
      page.texts.push_back(text("1.8 Bold start", 72, 500, 14, "Helvetica-Bold"));
      page.texts.push_back(text("then body ", 190, 500, 14, "Times-Roman"));
      page.texts.push_back(text("bold again", 260, 500, 14, "Helvetica-Bold"));
      page.texts.push_back(text(" body first", 72, 480, 14, "Times-Roman"));
      page.texts.push_back(text("and bold", 150, 480, 14, "Helvetica-Bold"));
    }
    spec.pages.insert(spec.pages.begin() + 1 + i % 3, page);
  }
  struct Way {
    bool shortcuts;
    int readers;
  };
  std::string expected;
  for (const Way way : {Way{false, 0}, Way{true, 0}, Way{true, 2}, Way{false, 3}}) {
    SCOPED_TRACE("shortcuts " + std::to_string(way.shortcuts) + ", readers " +
                 std::to_string(way.readers));
    open(spec);
    host.pdf().setShortcuts(way.shortcuts);
    doc->doc().setReadAhead(way.readers);
    const RunOutcome outcome = manualSettings().generate(doc->handle());
    host.pdf().setShortcuts(true);
    EXPECT_TRUE(outcome.complete());
    EXPECT_EQ(outcome.pagesScanned + outcome.pagesSkipped, 27);
    // Pages with body text alone cannot hold a heading: left unread when fonts can tell.
    EXPECT_EQ(outcome.pagesSkipped, way.shortcuts ? 19 : 0);
    const std::string outline = describeOutline(saveAndInspect().outline);
    if (expected.empty())
      expected = outline;
    EXPECT_EQ(outline, expected);
    doc.reset();
  }
  EXPECT_NE(expected.find("1.5 In a form"), std::string::npos) << expected;
  EXPECT_NE(expected.find("1.8 Bold start"), std::string::npos) << expected;
  EXPECT_NE(expected.find("and bold"), std::string::npos) << expected;
}

TEST_F(Generation, EveryPageIsReadWhenALevelNamesNoFont) {
  open(manual());
  BookmarkBuilder b = manualSettings();
  b.levels[2].textStyleRule.matchName = false; // notes in any font
  const RunOutcome outcome = b.generate(doc->handle());
  EXPECT_EQ(outcome.pagesScanned, 3);
  EXPECT_EQ(outcome.pagesSkipped, 0);
}

} // namespace
} // namespace sorvane
