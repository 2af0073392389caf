// Opening, protecting and saving PDF documents in the host.
#include "host/pdf/pdf_document.h"
#include "sdk/document_tables.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

#include "sdk/host_error.h"
#include "tests/support/open_doc.h"
#include "tests/support/pdf_builder.h"
#include "tests/support/pdf_inspect.h"
#include "tests/support/raw_pdf.h"
#include "tests/support/temp_dir.h"

namespace sorvane::host {
namespace {

using test::PdfSpec;

ErrorCode openError(const std::string &path, const std::string &password = {}) {
  try {
    PdfDocument::open(path, password);
  } catch (const HostError &e) {
    EXPECT_NE(e.text().find(path), std::string::npos) << e.text();
    return e.code();
  }
  return ErrorCode::None;
}

class PdfDocumentTest : public ::testing::Test {
protected:
  std::string make(const PdfSpec &spec, const std::string &name = "doc.pdf") {
    const std::string path = dir.file(name);
    test::writePdf(spec, path);
    return path;
  }
  test::TempDir dir;
};

TEST_F(PdfDocumentTest, OpensAndCountsPages) {
  auto doc = PdfDocument::open(make(test::pages(5)));
  EXPECT_EQ(doc->pageCount(), 5);
  EXPECT_FALSE(doc->wasRepaired());
  EXPECT_FALSE(doc->permissions().has_value());
}

TEST_F(PdfDocumentTest, RefusesWhatIsNotAReadablePdf) {
  EXPECT_EQ(openError(dir.file("missing.pdf")), ErrorCode::FileNotFound);
  EXPECT_EQ(openError(dir.path().string()), ErrorCode::FileAccess);
  test::writeFile(dir.file("notes.pdf"), "Just some notes, not a PDF.\n");
  EXPECT_EQ(openError(dir.file("notes.pdf")), ErrorCode::PdfDamaged);
  const std::string whole = test::readFile(make(test::pages(3)));
  test::writeFile(dir.file("cut.pdf"), whole.substr(0, 400));
  EXPECT_EQ(openError(dir.file("cut.pdf")), ErrorCode::PdfDamaged);
}

TEST_F(PdfDocumentTest, EncryptedFilesNeedTheirPassword) {
  PdfSpec spec = test::pages(2);
  spec.encryption = test::EncryptionSpec{"user", "owner", true};
  const std::string path = make(spec);
  EXPECT_EQ(openError(path), ErrorCode::PdfPassword);
  EXPECT_EQ(openError(path, "wrong"), ErrorCode::PdfPassword);
  auto asUser = PdfDocument::open(path, "user");
  EXPECT_EQ(asUser->pageCount(), 2);
  ASSERT_TRUE(asUser->permissions().has_value());
  EXPECT_TRUE(*asUser->permissions() & kPermissionModify);
}

TEST_F(PdfDocumentTest, PermissionsComeFromTheSecurityDataUnlessTheOwnerOpens) {
  PdfSpec spec = test::pages(1);
  spec.encryption = test::EncryptionSpec{"", "owner", false};
  const std::string path = make(spec);
  auto asUser = PdfDocument::open(path);
  ASSERT_TRUE(asUser->permissions().has_value());
  EXPECT_FALSE(*asUser->permissions() & kPermissionModify);
  auto asOwner = PdfDocument::open(path, "owner");
  EXPECT_EQ(asOwner->permissions(), 0xFFFFFFFFu);
}

TEST_F(PdfDocumentTest, SavesIncrementallyKeepingTheOriginalBytes) {
  const std::string path = make(test::pages(2));
  const std::string original = test::readFile(path);
  auto doc = PdfDocument::open(path);
  const std::string out = dir.file("out.pdf");
  doc->save(out);
  const std::string saved = test::readFile(out);
  ASSERT_GE(saved.size(), original.size());
  EXPECT_EQ(saved.substr(0, original.size()), original);
  EXPECT_EQ(test::readFile(path), original); // the input is untouched
  EXPECT_EQ(test::qpdfCheck(out), 0);
}

TEST_F(PdfDocumentTest, SavingOverTheInputReplacesItWhole) {
  const std::string path = make(test::pages(2));
  ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
  {
    auto doc = PdfDocument::open(path);
    doc->save(path);
  }
  EXPECT_EQ(test::qpdfCheck(path), 0);
  struct stat st {};
  ASSERT_EQ(::stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
  EXPECT_EQ(test::inspectPdf(path).pageCount, 2);
}

TEST_F(PdfDocumentTest, ARepairedFileIsRewrittenWhole) {
  std::string bytes = test::readFile(make(test::pages(3)));
  // Break the cross-reference offset so that the file has to be repaired.
  const auto pos = bytes.rfind("startxref");
  ASSERT_NE(pos, std::string::npos);
  bytes = bytes.substr(0, pos) + "startxref\n999999\n%%EOF\n";
  test::writeFile(dir.file("broken.pdf"), bytes);
  auto doc = PdfDocument::open(dir.file("broken.pdf"));
  EXPECT_TRUE(doc->wasRepaired());
  EXPECT_EQ(doc->pageCount(), 3);
  EXPECT_FALSE(doc->warnings().empty());
  doc->save(dir.file("fixed.pdf"));
  EXPECT_EQ(test::qpdfCheck(dir.file("fixed.pdf")), 0);
  EXPECT_EQ(test::inspectPdf(dir.file("fixed.pdf")).pageCount, 3);
}

TEST_F(PdfDocumentTest, AFailedSaveLeavesNoTrace) {
  auto doc = PdfDocument::open(make(test::pages(1)));
  EXPECT_THROW(doc->save(dir.file("no/such/folder/out.pdf")), HostError);
  if (::geteuid() != 0) {
    const auto locked = dir.path() / "locked";
    std::filesystem::create_directory(locked);
    ::chmod(locked.c_str(), 0500);
    EXPECT_THROW(doc->save((locked / "out.pdf").string()), HostError);
  }
  size_t files = 0;
  for ([[maybe_unused]] const auto &e : std::filesystem::directory_iterator(dir.path()))
    ++files;
  EXPECT_EQ(files, ::geteuid() != 0 ? 2u : 1u);
}

// Writes `bytes` into the file at `path` in place: the same file, other contents.
void overwriteInPlace(const std::string &path, const std::string &bytes) {
  FILE *f = std::fopen(path.c_str(), "r+b");
  ASSERT_NE(f, nullptr);
  std::fwrite(bytes.data(), 1, bytes.size(), f);
  std::fclose(f);
  ASSERT_EQ(::truncate(path.c_str(), off_t(bytes.size())), 0);
}

TEST_F(PdfDocumentTest, ReaderThreadsAreCappedByTheMemoryTheyWouldTake) {
  constexpr uint64_t MB = 1 << 20;
  EXPECT_EQ(PdfDocument::affordableReaders(7, 100 * MB, 1024 * MB), 5); // half of 1 GB
  EXPECT_EQ(PdfDocument::affordableReaders(3, 20 * MB, 1024 * MB), 3);  // all fit
  EXPECT_EQ(PdfDocument::affordableReaders(63, 200 * MB, 300 * MB), 0); // not one
  EXPECT_EQ(PdfDocument::affordableReaders(0, 20 * MB, 1024 * MB), 0);
  // What a reader takes grows with the file.
  const std::string small = make(test::pages(1), "small.pdf");
  const std::string large = make(test::pages(400), "large.pdf");
  const auto a = PdfDocument::open(small);
  const auto b = PdfDocument::open(large);
  EXPECT_GT(b->readerBytes() - a->readerBytes(),
            std::filesystem::file_size(large) - std::filesystem::file_size(small) - 1);
}

TEST(ReaderThreads, AreOnlyStartedForFilesWithWorkForThem) {
  EXPECT_EQ(PdfDocument::worthwhileReaders(3, 10), 0); // a short file is read by one thread
  EXPECT_EQ(PdfDocument::worthwhileReaders(3, 16), 1); // two runs of pages for the second
  EXPECT_EQ(PdfDocument::worthwhileReaders(5, 930), 5);
  EXPECT_EQ(PdfDocument::worthwhileReaders(63, 930), PdfDocument::kMaxReaders); // many cores
  EXPECT_EQ(PdfDocument::worthwhileReaders(63, 100), 6); // not one per core on a short file
  EXPECT_EQ(PdfDocument::worthwhileReaders(1, 2415), 1);
  EXPECT_EQ(PdfDocument::worthwhileReaders(-1, 2415), 0);
  EXPECT_EQ(PdfDocument::worthwhileReaders(4, 0), 0);
}

TEST_F(PdfDocumentTest, AFileChangedWhileOpenIsNotSavedFrom) {
  const std::string path = make(test::pages(3));
  const std::string original = test::readFile(path);
  const std::string out = dir.file("out.pdf");
  auto expectRefused = [&](PdfDocument &doc, const std::string &target) {
    try {
      doc.save(target);
      ADD_FAILURE() << "saved from a changed file";
    } catch (const HostError &e) {
      EXPECT_EQ(e.code(), ErrorCode::FileChanged) << e.text();
      EXPECT_NE(e.text().find("nothing was written"), std::string::npos) << e.text();
    }
  };
  // Cut short under the open document.
  {
    auto doc = PdfDocument::open(path);
    overwriteInPlace(path, original.substr(0, original.size() / 2));
    expectRefused(*doc, out);
    expectRefused(*doc, path);
  }
  EXPECT_FALSE(std::filesystem::exists(out));
  EXPECT_EQ(test::readFile(path).size(), original.size() / 2);
  // Overwritten with other bytes of the same length.
  overwriteInPlace(path, original);
  {
    auto doc = PdfDocument::open(path);
    std::string other = original;
    other[other.size() / 2] = other[other.size() / 2] == ' ' ? '\n' : ' ';
    ::usleep(10000); // a later modification time on file systems with coarse clocks
    overwriteInPlace(path, other);
    expectRefused(*doc, out);
  }
  // Replaced by another file under the same name: an in-place save would undo that change.
  overwriteInPlace(path, original);
  {
    auto doc = PdfDocument::open(path);
    test::writePdf(test::pages(1), dir.file("other.pdf"));
    std::filesystem::rename(dir.file("other.pdf"), path);
    expectRefused(*doc, path);
    EXPECT_EQ(test::inspectPdf(path).pageCount, 1);
  }
  EXPECT_FALSE(std::filesystem::exists(out));
  // Unchanged, it saves, more than once and over itself.
  overwriteInPlace(path, original);
  auto doc = PdfDocument::open(path);
  doc->save(path);
  doc->save(out);
  EXPECT_EQ(test::qpdfCheck(out), 0);
}

} // namespace
} // namespace sorvane::host

namespace sorvane::host {
namespace {

// The fixture builder's page content forms are what the text-run tests rely on; they must make
// files that both QPDF and the host read.
TEST(FixturePages, TextInFormsMarkedContentAndBothEncodingsMakeAValidFile) {
  test::TempDir dir;
  test::PdfSpec spec = test::pages(2);
  auto text = [](std::string t, double y, std::string font) {
    test::TextSpec made;
    made.text = std::move(t);
    made.y = y;
    made.font = std::move(font);
    return made;
  };
  test::TextSpec macRoman = text("Caf\x8E", 680, "Times-Roman");
  macRoman.encoding = "MacRomanEncoding";
  test::TextSpec spaced = text("", 660, "Courier");
  spaced.showOperation = "[(Chap) -250 (ter) 2000 (2)] TJ";
  test::TextSpec inForm = text("In a form", 640, "Helvetica");
  inForm.inForm = true;
  test::TextSpec marked = text("Marked", 620, "Helvetica");
  marked.markedContent = "Span";
  spec.pages[0].texts = {text("Chapter 1", 700, "Helvetica-Bold"), macRoman, spaced, inForm,
                         marked};
  const std::string path = dir.file("text.pdf");
  test::writePdf(spec, path);
  std::string report;
  EXPECT_EQ(test::qpdfCheck(path, &report), 0) << report;
  EXPECT_EQ(PdfDocument::open(path)->pageCount(), 2);
  const std::string bytes = test::readFile(path);
  EXPECT_NE(bytes.find("/MacRomanEncoding"), std::string::npos);
  EXPECT_NE(bytes.find("/Subtype /Form"), std::string::npos);
}

} // namespace
} // namespace sorvane::host

namespace sorvane::host {
namespace {

TEST(PdfDocumentSaving, ASecondSaveOfTheSameDocumentIsStillAValidFile) {
  test::TempDir dir;
  test::writePdf(test::pages(2), dir.file("in.pdf"));
  auto doc = PdfDocument::open(dir.file("in.pdf"));
  doc->save(dir.file("out.pdf"));
  doc->save(dir.file("out.pdf"));
  doc->save(dir.file("other.pdf"));
  EXPECT_EQ(test::qpdfCheck(dir.file("out.pdf")), 0);
  EXPECT_EQ(test::qpdfCheck(dir.file("other.pdf")), 0);
}

} // namespace
} // namespace sorvane::host

namespace sorvane::host {
namespace {

TEST(PdfDocumentSaving, SavingThroughASymbolicLinkKeepsTheLink) {
  test::TempDir dir;
  test::writePdf(test::pages(1), dir.file("real.pdf"));
  std::filesystem::create_symlink(dir.file("real.pdf"), dir.file("link.pdf"));
  const std::string before = test::readFile(dir.file("real.pdf"));
  auto doc = PdfDocument::open(dir.file("link.pdf"));
  doc->save(dir.file("link.pdf"));
  EXPECT_TRUE(std::filesystem::is_symlink(dir.file("link.pdf")));
  EXPECT_GT(test::readFile(dir.file("real.pdf")).size(), before.size() - 1);
  EXPECT_EQ(test::qpdfCheck(dir.file("real.pdf")), 0);
}

} // namespace
} // namespace sorvane::host

namespace sorvane {
namespace {

// The page tree is read as it is: what /Count claims sizes nothing.
TEST(PageTree, ACountThatLiesGivesAWarningAndThePagesThatExist) {
  test::TempDir dir;
  for (const char *count : {"2147483647", "100000000000", "0", "-5"}) {
    test::writeFile(dir.file("lie.pdf"), test::pageTreePdf(count, 2));
    auto doc = host::PdfDocument::open(dir.file("lie.pdf"));
    EXPECT_EQ(doc->pageCount(), 2) << count;
    bool warned = false;
    for (const std::string &w : doc->warnings())
      warned = warned || w.find("holds 2") != std::string::npos;
    EXPECT_TRUE(warned) << count;
  }
}

TEST(PageTree, APageListedThousandsOfTimesCountsEachTime) {
  test::TempDir dir;
  test::writeFile(dir.file("rep.pdf"), test::pageTreePdf("10000", 10000));
  test::TestHost host;
  test::OpenDoc doc(host, dir.file("rep.pdf"));
  EXPECT_EQ(doc.doc().pageCount(), 10000);
  EXPECT_TRUE(doc.doc().warnings().empty());
  PDModelTable &pd = host.pdf().pdModel();
  // Every index reaches the one page object, which knows its first index.
  EXPECT_EQ(pd.pageGetIndex(pd.docAcquirePage(doc.handle(), 9999)), 0);
}

TEST(PageTree, ATreeThatLeadsBackIntoItselfIsReadOnce) {
  test::TempDir dir;
  test::writeFile(
      dir.file("loop.pdf"),
      test::rawPdf({"<< /Type /Catalog /Pages 2 0 R >>",
                    "<< /Type /Pages /Kids [3 0 R 6 0 R] /Count 3 >>",
                    "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 612 792] >>", "<< >>", "<< >>",
                    "<< /Type /Pages /Parent 2 0 R /Kids [3 0 R 2 0 R] /Count 2 >>"}));
  auto doc = host::PdfDocument::open(dir.file("loop.pdf"));
  EXPECT_EQ(doc->pageCount(), 2);
}

} // namespace
} // namespace sorvane
