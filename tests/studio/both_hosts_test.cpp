// The same file run through the command line and through the studio's batch window gets the
// same verdict, the same exit code and the same bookmarks.
#include <QTreeWidget>
#include <filesystem>
#include <gtest/gtest.h>

#include "host/studio/batch_window.h"
#include "host/studio/studio_host.h"
#include "tests/studio/studio_driver.h"
#include "tests/support/fixture_helpers.h"
#include "tests/support/pdf_builder.h"
#include "tests/support/pdf_inspect.h"
#include "tests/support/run_program.h"
#include "tests/support/temp_dir.h"

namespace sorvane {
namespace {

TEST(BothHosts, AFileGetsTheSameVerdictAndExitCodeFromEither) {
  test::TempDir dir;
  qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(dir.file("config")));
  const auto heading = [](const char *text, double size) {
    return test::textAt(text, 72, 700, size, "Helvetica-Bold");
  };
  // Done: a chapter and its section.
  test::PdfSpec good = test::pages(2);
  good.pages[0].texts = {heading("Chapter", 18)};
  good.pages[1].texts = {heading("Section", 12)};
  test::writePdf(good, dir.file("good.pdf"));
  // Done with problems: a section before any chapter is left out (the studio used to call
  // this done), and a file with no headings at all.
  test::PdfSpec orphan = test::pages(2);
  orphan.pages[0].texts = {heading("Early", 12)};
  orphan.pages[1].texts = {heading("Chapter", 18)};
  test::writePdf(orphan, dir.file("orphan.pdf"));
  test::writePdf(test::pages(1), dir.file("plain.pdf"));
  // Failed: changes are forbidden, or it is no PDF.
  test::PdfSpec locked = good;
  locked.encryption = test::EncryptionSpec{"", "owner", false};
  test::writePdf(locked, dir.file("locked.pdf"));
  test::writeFile(dir.file("broken.pdf"), "not a pdf");
  test::writeFile(dir.file("s.svb"), R"({"format": "sorvane-cabinet", "version": 1,
    "cabinet": {"BuildSettings": {"NumLevels": 2,
      "Level0": {"TextStyle": {"FontDesc": {"FontSize": 18.0,
        "Fonts": {"NumItems": 1, "0": "Helvetica-Bold"}}}},
      "Level1": {"TextStyle": {"FontDesc": {"FontSize": 12.0,
        "Fonts": {"NumItems": 1, "0": "Helvetica-Bold"}}}}}}})");
  const std::vector<std::string> names{"good", "orphan", "plain", "locked", "broken"};
  std::filesystem::create_directories(dir.file("cli"));
  std::filesystem::create_directories(dir.file("studio"));

  studio::StudioHost host;
  host.loadPlugIn(test::privatePlugInsFolder(dir.path().string()));
  studio::BatchWindow batch(host);
  for (const std::string &name : names)
    batch.addFiles({QString::fromStdString(dir.file(name + ".pdf"))});
  batch.setSettingsFile(QString::fromStdString(dir.file("s.svb")));
  batch.setOutputFolder(QString::fromStdString(dir.file("studio")));
  ASSERT_TRUE(batch.run());
  ASSERT_EQ(batch.exitCodes().size(), names.size());

  const std::vector<int> expected{0, 1, 1, 3, 3};
  for (size_t i = 0; i < names.size(); ++i) {
    SCOPED_TRACE(names[i]);
    const std::string out = dir.file("cli/" + names[i] + ".pdf");
    const test::ProgramResult cli = test::runSorvane(
        {"generate", dir.file(names[i] + ".pdf"), "-s", dir.file("s.svb"), "-o", out});
    EXPECT_EQ(cli.exitCode, expected[i]) << cli.err;
    EXPECT_EQ(int(batch.exitCodes()[i]), cli.exitCode);
    const QString status = batch.results().topLevelItem(int(i))->text(1);
    EXPECT_EQ(status, cli.exitCode == 0   ? "Done"
                      : cli.exitCode == 1 ? "Done with problems"
                                          : "Failed");
    const std::string studioOut = dir.file("studio/" + names[i] + ".pdf");
    ASSERT_EQ(std::filesystem::exists(studioOut), std::filesystem::exists(out));
    if (std::filesystem::exists(out)) {
      EXPECT_EQ(test::outlineTitles(studioOut), test::outlineTitles(out));
    }
  }
  EXPECT_EQ(batch.results().topLevelItem(int(names.size()))->text(1),
            "1 done, 2 done with problems, 2 failed");
}

} // namespace
} // namespace sorvane
