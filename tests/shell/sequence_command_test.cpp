// The batch command's procedures, as a host calls them.
#include "plugin/shell/sequence_command.h"

#include <gtest/gtest.h>

#include "host/base/atom_table.h"
#include "host/runtime/batch_sequence.h"
#include "host/runtime/cabinet_stream.h"
#include "host/runtime/object_store.h"
#include "host/runtime/view_services.h"
#include "plugin/engine/bookmark_builder.h"
#include "plugin/values/text_values.h"
#include "sdk/imported_tables.h"
#include "tests/support/open_doc.h"
#include "tests/support/pdf_builder.h"
#include "tests/support/temp_dir.h"

namespace sorvane {
namespace {

class BatchCommand : public ::testing::Test {
protected:
  void SetUp() override {
    buildCommand().setUp();
    ASSERT_TRUE(record().initialize());
  }
  void TearDown() override { record().terminate(); }
  const CommandHandlerRecord &record() { return *buildCommand().handlerRecord(); }
  host::AcroView &view() { return host.provider().acroView(); }
  ASExtraTable &cab() { return host.asExtra(); }
  CommandHandle newCommand() {
    CommandHandle c = view().commandNew(buildCommand().name);
    record().createCommand(c);
    return c;
  }

  test::TestHost host;
  test::TempDir dir;
};

TEST_F(BatchCommand, RegistersItsHandlerUnderItsName) {
  EXPECT_EQ(host.provider().core().atomGetString(buildCommand().name), "TAVO_SorvaneBuildCommand");
  EXPECT_EQ(view().handlerFor(buildCommand().name), &record());
  EXPECT_EQ(buildCommand().title, "Generate Bookmarks");
  // Registering readied the handler: its global command exists, once.
  EXPECT_TRUE(view().commandGlobalExists(buildCommand().name));
  EXPECT_EQ(view().globalCommandCount(), 1u);
  record().registerCommands();
  EXPECT_EQ(view().globalCommandCount(), 1u);
}

TEST_F(BatchCommand, ANewCommandHasEmptyParametersAndSettingThemAddsTheDefaults) {
  CommandHandle c = newCommand();
  EXPECT_EQ(cab().cabinetNumKeys(view().commandGetCab(c, "Params", false)), 0);
  CabinetHandle params = cab().cabinetNew();
  cab().cabinetPutInt(params, "FirstPage", 4);
  EXPECT_EQ(record().setParams(c, params), CommandStatus::Ready);
  CabinetHandle out = cab().cabinetNew();
  record().getParams(c, out);
  EXPECT_EQ(cab().cabinetGetInt(out, "FirstPage", 0), 4);                           // kept
  EXPECT_EQ(cab().cabinetGetType(out, "SkipDupBookmarks"), CabinetValueType::Bool); // added
  EXPECT_EQ(cab().cabinetGetInt(out, "NumLevels", -1), 0);
  // The defaults added are what a missing key reads as: a settings file does the same whether
  // a host reads it directly (the studio's dialog) or runs it as a command's parameters.
  BookmarkBuilder direct, asCommand;
  direct.read(params);
  asCommand.read(out);
  EXPECT_FALSE(asCommand.skipDupBookmarks);
  const auto keys = [this](const BookmarkBuilder &b) { // every key, as a file holds it
    CabinetHandle written = cab().cabinetNew();
    b.write(written);
    const std::string text = host::writeCabinetStream(
        host::ObjectStore::instance().cabinet(written), host::AtomTable::instance());
    cab().cabinetDestroy(written);
    return text;
  };
  EXPECT_EQ(keys(asCommand), keys(direct));
  cab().cabinetDestroy(params);
  cab().cabinetDestroy(out);
  view().commandDestroy(c);
}

TEST_F(BatchCommand, PropertiesAreThoseAskedFor) {
  CommandHandle c = newCommand();
  CabinetHandle props = cab().cabinetNew();
  writeTextValue("", "Title", props);
  record().getProps(c, props);
  EXPECT_EQ(cab().cabinetKeys(props), (std::vector<std::string>{"Title"}));
  EXPECT_EQ(readTextValue("Title", props), "Generate Bookmarks");
  cab().cabinetMakeEmpty(props);
  record().getProps(c, props);
  EXPECT_EQ(cab().cabinetKeys(props),
            (std::vector<std::string>{"GroupTitle", "CanBatch", "CanDescribeParams",
                                      "CanShowDialog", "GenericTitle", "Title", "ParamsDesc"}));
  EXPECT_EQ(readTextValue("GroupTitle", props), "Document");
  cab().cabinetDestroy(props);
  view().commandDestroy(c);
}

TEST_F(BatchCommand, WorkNeedsADocumentAndAnswersDoneEvenWithoutLevels) {
  test::writePdf(test::pages(2), dir.file("d.pdf"));
  test::OpenDoc doc(host, dir.file("d.pdf"));
  CommandHandle c = newCommand();
  EXPECT_EQ(record().work(c), CommandStatus::InError);
  view().commandSetRun(c, doc.handle(), nullptr, nullptr);
  EXPECT_EQ(record().work(c), CommandStatus::Done);
  // The report says that nothing was done.
  const auto report = view().commandLastReport(c);
  ASSERT_TRUE(report);
  EXPECT_FALSE(report->ran);
  EXPECT_FALSE(report->complete());
  EXPECT_FALSE(host.pdf().pdModel().bookmarkHasChildren(
      host.pdf().pdModel().docGetBookmarkRoot(doc.handle())));
  EXPECT_TRUE(view().commandGetCab(c, "CommandState", false));
  EXPECT_EQ(record().cancel(c), CommandStatus::Cancelled);
  EXPECT_FALSE(view().commandGetCab(c, "CommandState", false));
  EXPECT_EQ(record().reset(c), CommandStatus::Ready);
  view().commandDestroy(c);
}

TEST_F(BatchCommand, ShowingTheDialogWithoutOneLeavesTheParametersAlone) {
  CommandHandle c = newCommand();
  CabinetHandle params = cab().cabinetNew();
  cab().cabinetPutInt(params, "FirstPage", 2);
  record().setParams(c, params);
  cab().cabinetDestroy(params);
  EXPECT_EQ(record().showDialog(c), CommandStatus::Cancelled);
  EXPECT_EQ(cab().cabinetGetInt(view().commandGetCab(c, "Params", false), "FirstPage", 0), 2);
  view().commandDestroy(c);
}

TEST_F(BatchCommand, ASequenceRunsTheCommandOnEachDocument) {
  test::PdfSpec spec = test::pages(1);
  test::TextSpec heading;
  heading.text = "Only heading";
  heading.font = "Helvetica-Bold";
  spec.pages[0].texts = {heading};
  test::writePdf(spec, dir.file("a.pdf"));
  test::writePdf(spec, dir.file("b.pdf"));
  CabinetHandle params = cab().cabinetNew();
  cab().cabinetPutInt(params, "NumLevels", 1);
  cab().cabinetPutCabinet(params, "Level0", cab().cabinetNew());
  {
    host::BatchSequence sequence(view(), cab(), buildCommand().name, params);
    for (const char *name : {"a.pdf", "b.pdf"}) {
      test::OpenDoc doc(host, dir.file(name));
      EXPECT_EQ(sequence.runOn(doc.handle(), nullptr, nullptr), CommandStatus::Done);
      const auto outcome = sequence.lastOutcome();
      ASSERT_TRUE(outcome);
      EXPECT_TRUE(outcome->complete());
      EXPECT_EQ(outcome->pagesScanned, 1);
      EXPECT_EQ(outcome->bookmarksInserted, 1);
      PDModelTable &pd = host.pdf().pdModel();
      BookmarkHandle first = pd.bookmarkGetFirstChild(pd.docGetBookmarkRoot(doc.handle()));
      ASSERT_TRUE(first);
      EXPECT_EQ(pd.bookmarkGetTitle(first), "Only heading");
    }
  }
  cab().cabinetDestroy(params);
}

TEST_F(BatchCommand, AHostFailureThatEndsTheRunReachesTheHostAsAnErrorReport) {
  test::writePdf(test::pages(1), dir.file("a.pdf"));
  CabinetHandle params = cab().cabinetNew();
  cab().cabinetPutInt(params, "NumLevels", 1);
  cab().cabinetPutCabinet(params, "Level0", cab().cabinetNew());
  {
    host::BatchSequence sequence(view(), cab(), buildCommand().name, params);
    test::OpenDoc doc(host, dir.file("a.pdf"));
    // The document goes away under the run: every call about it fails.
    host.pdf().remove(doc.handle());
    EXPECT_EQ(sequence.runOn(doc.handle(), nullptr, nullptr), CommandStatus::Done);
    const auto outcome = sequence.lastOutcome();
    ASSERT_TRUE(outcome);
    EXPECT_TRUE(outcome->stopped());
    EXPECT_EQ(outcome->stopCode, ErrorCode::InvalidHandle);
    EXPECT_FALSE(outcome->complete());
  }
  cab().cabinetDestroy(params);
}

} // namespace
} // namespace sorvane
