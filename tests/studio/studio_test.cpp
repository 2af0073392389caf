// The studio driven through its window and the plug-in's real dialogs, as a user would: open a
// file, select a heading, make levels in the Generate dialog, run it, save; validate and sort;
// stop a long run from the status bar. The saved files are read back with QPDF.
#include <QAction>
#include <QApplication>
#include <QDropEvent>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>
#include <QSettings>
#include <QTabBar>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QTreeWidget>
#include <QUrl>
#include <QWidgetAction>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>

#include "host/base/file_io.h"
#include "host/studio/batch_window.h"
#include "host/studio/document_tab.h"
#include "host/studio/main_window.h"
#include "host/studio/studio_host.h"
#include "tests/studio/studio_driver.h"
#include "tests/support/fixture_helpers.h"
#include "tests/support/pdf_inspect.h"
#include "tests/support/temp_dir.h"

namespace sorvane {
namespace {

using studio::DocumentTab;
using studio::MainWindow;
using test::click;
using test::DialogDriver;

const QString kGenerate = "Generate Bookmarks (Sorvane Plug-in)";
const QString kLevel = "Bookmark Level Description";

// The titles the bookmarks pane shows, indented by depth.
std::vector<std::string> titlesShown(QTreeWidget &tree) {
  std::vector<std::string> out;
  std::function<void(QTreeWidgetItem *, int)> walk = [&](QTreeWidgetItem *item, int depth) {
    out.push_back(std::string(size_t(2 * depth), ' ') + item->text(0).toStdString());
    for (int i = 0; i < item->childCount(); ++i)
      walk(item->child(i), depth + 1);
  };
  for (int i = 0; i < tree.topLevelItemCount(); ++i)
    walk(tree.topLevelItem(i), 0);
  return out;
}

// The point of the page view's viewport where user-space point (x, y) of `page` is shown.
QPoint shownAt(studio::PageView &view, int page, double x, double y) {
  const QRect r = view.pageRect(page);
  const double ppp = r.width() / view.frame(page).width;
  const auto p = view.frame(page).shownPoint(x, y);
  return QPoint(r.left() + int(p[0] * ppp), r.top() + int(p[1] * ppp));
}

void answerMessage(QWidget &box, const QString &button, QString *text = nullptr) {
  if (text)
    if (auto *message = qobject_cast<QMessageBox *>(&box))
      *text = message->text();
  click(box, button);
}

class Studio : public ::testing::Test {
protected:
  void SetUp() override {
    // What the plug-in remembers (its dialogs' choices, in the profile folder) stays with the
    // test, also when all the tests run in one process.
    qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(dir.file("config")));
    host.loadPlugIn(test::privatePlugInsFolder(dir.path().string()));
    window = std::make_unique<MainWindow>(host);
    window->show();
  }
  void TearDown() override {
    // Changes left unsaved are not asked about when the test ends.
    for (int i = 0; i < window->tabCount(); ++i)
      window->tab(i)->setModified(false);
    window.reset();
  }
  DocumentTab &open(const std::string &path) {
    EXPECT_TRUE(window->openFile(QString::fromStdString(path)));
    return *window->currentTab();
  }
  // Triggers a menu action and waits until `driver` ran every step.
  void run(const QString &action, DialogDriver &driver) {
    QAction *a = window->action(action);
    ASSERT_TRUE(a) << action.toStdString();
    ASSERT_TRUE(a->isEnabled()) << action.toStdString() << " is disabled";
    a->trigger();
    EXPECT_TRUE(test::waitFor([&] { return driver.done(); }, 5000))
        << "still waiting for " << driver.waitingFor().toStdString();
  }

  test::TempDir dir;
  studio::StudioHost host;
  std::unique_ptr<MainWindow> window;
};

TEST_F(Studio, GenerateThroughTheDialogsAndSaveAs) {
  test::PdfSpec spec = test::pages(3);
  spec.pages[0].texts = {test::textAt("Chapter One", 72, 700, 18, "Helvetica-Bold"),
                         test::textAt("1.1 Start", 72, 650, 12, "Times-Bold"),
                         test::textAt("Body text", 72, 600, 10, "Times-Roman")};
  spec.pages[1].texts = {test::textAt("1.2 Next", 72, 700, 12, "Times-Bold")};
  spec.pages[2].texts = {test::textAt("Chapter Two", 72, 700, 18, "Helvetica-Bold")};
  const std::string in = dir.file("in.pdf");
  test::writePdf(spec, in);
  const std::string before = test::readFile(in);
  DocumentTab &tab = open(in);
  EXPECT_FALSE(window->action("TAVO:BookmarkValidate")->isEnabled()) << "no bookmarks yet";

  // The first heading, selected with the text tool: what the style capture reads.
  window->action("view-select-text")->trigger();
  studio::PageView &pages = tab.pages();
  QWidget *viewport = pages.viewport();
  QTest::mousePress(viewport, Qt::LeftButton, {}, shownAt(pages, 0, 70, 722));
  QTest::mouseMove(viewport, shownAt(pages, 0, 300, 695));
  QTest::mouseRelease(viewport, Qt::LeftButton, {}, shownAt(pages, 0, 300, 695));
  // The heading shows selected: its run under the selection colour, nothing else.
  ASSERT_EQ(pages.highlightedPage(), 0);
  ASSERT_EQ(pages.highlight().size(), 1u);
  const HostRect heading = pages.highlight().front();
  EXPECT_TRUE(heading.left < 80 && heading.right > 150 && heading.bottom < 705 &&
              heading.top > 710);
  const auto tinted = [&] { // pixels of the heading's box in the selection colour
    const QImage shown = viewport->grab().toImage();
    const QRect box(shownAt(pages, 0, heading.left, heading.top),
                    shownAt(pages, 0, heading.right, heading.bottom));
    int count = 0;
    for (int y = box.top(); y <= box.bottom(); ++y)
      for (int x = box.left(); x <= box.right(); ++x)
        count += shown.pixelColor(x, y).blue() > shown.pixelColor(x, y).red() + 20;
    return count;
  };
  EXPECT_GT(tinted(), 100);
  pages.setHighlight(0, {});
  EXPECT_EQ(tinted(), 0);

  QString summary;
  DialogDriver driver;
  driver.on(kGenerate, [](QWidget &d) { click(d, "Add..."); })
      .on(kLevel,
          [](QWidget &d) {
            click(d, "Set Font Style From Selected Text");
            click(d, "OK");
          })
      .on(kGenerate, [](QWidget &d) { click(d, "Add..."); })
      .on(kLevel,
          [](QWidget &d) {
            test::choose(d, "fonts", "Helvetica-Bold");
            click(d, "Remove");
            click(d, "<< Add...");
          })
      .on("Font Name",
          [](QWidget &d) {
            // Update Fonts belongs to the list, not to the closing buttons.
            const auto at = [&d](const char *name) {
              return QRect(test::control(d, name)->mapTo(&d, QPoint()),
                           test::control(d, name)->size());
            };
            EXPECT_GE(at("Update Fonts").left(), at("fonts").right());
            EXPECT_LT(at("Update Fonts").bottom(), at("OK").top());
            test::choose(d, "fonts", "Times-Bold");
            click(d, "OK");
          })
      .on(kLevel,
          [](QWidget &d) {
            test::type(d, "size", "12");
            click(d, "OK");
          })
      .on(kGenerate,
          [](QWidget &d) {
            auto *levels = qobject_cast<QTreeWidget *>(test::control(d, "levels"));
            ASSERT_TRUE(levels);
            EXPECT_EQ(levels->topLevelItemCount(), 1);
            if (levels->topLevelItemCount() == 1) { // a long row can be read whole
              EXPECT_EQ(levels->topLevelItem(0)->toolTip(0), levels->topLevelItem(0)->text(0));
            }
            click(d, "OK");
          })
      .on(studio::kAppName, [&](QWidget &box) { answerMessage(box, "OK", &summary); });
  run("TAVO:BookmarkGenerate", driver);
  EXPECT_TRUE(summary.startsWith("Total number of bookmarks created: 4")) << summary.toStdString();

  const std::vector<std::string> expected{"Chapter One", "  1.1 Start", "  1.2 Next",
                                          "Chapter Two"};
  EXPECT_EQ(titlesShown(tab.bookmarks()), expected);
  EXPECT_TRUE(tab.bookmarks().isVisible());
  EXPECT_TRUE(tab.modified());
  EXPECT_TRUE(window->action("TAVO:BookmarkValidate")->isEnabled());

  // Save As writes the new file; the input stays as it was.
  const std::string out = dir.file("out.pdf");
  DialogDriver saving;
  saving.on("Save As", [&](QWidget &d) { test::chooseFile(d, QString::fromStdString(out)); });
  window->action("file-save-as")->trigger();
  EXPECT_TRUE(saving.done());
  EXPECT_FALSE(tab.modified());
  EXPECT_EQ(test::outlineTitles(out), expected);
  EXPECT_EQ(test::readFile(in), before);
  EXPECT_LE(test::qpdfCheck(out), 3);
}

TEST_F(Studio, ThePreviewMarksWhatTheRulesFindWhileTheyAreEdited) {
  test::PdfSpec spec = test::pages(2);
  spec.pages[0].texts = {test::textAt("Chapter One", 72, 700, 18, "Helvetica-Bold"),
                         test::textAt("Body text", 72, 600, 10, "Times-Roman")};
  const std::string in = dir.file("in.pdf");
  test::writePdf(spec, in);
  DocumentTab &tab = open(in);
  studio::PageView &pages = tab.pages();
  auto marksOnFirstPage = [&] { return pages.marks(0).size(); };

  DialogDriver driver;
  driver.on(kGenerate, [](QWidget &d) { click(d, "Add..."); })
      .on(kLevel, [](QWidget &d) { click(d, "OK"); }) // 12 pt: the 18 pt heading is not one
      .on(kGenerate,
          [&](QWidget &d) {
            test::waitFor([] { return false; }, 200);
            EXPECT_EQ(marksOnFirstPage(), 0u);
            click(d, "Edit...");
          })
      .on(kLevel,
          [](QWidget &d) {
            test::type(d, "size", "18");
            click(d, "OK");
          })
      .on(kGenerate, [&](QWidget &d) {
        EXPECT_TRUE(test::waitFor([&] { return marksOnFirstPage() == 1; }, 3000))
            << "the edited level shows at once";
        const auto marks = pages.marks(0);
        if (!marks.empty()) {
          EXPECT_EQ(marks[0].label, "1");
          EXPECT_NEAR(marks[0].box.left, 72, 1);
          EXPECT_GT(marks[0].box.top, 700);
          EXPECT_LT(marks[0].box.bottom, 701);
        }
        click(d, "Close");
      });
  run("TAVO:BookmarkGenerate", driver);
  EXPECT_TRUE(test::waitFor([&] { return marksOnFirstPage() == 0; }, 3000))
      << "closing the dialog takes the preview away";
  // The View menu's preview shows what the remembered rules find.
  window->action("view-preview")->trigger();
  EXPECT_TRUE(test::waitFor([&] { return marksOnFirstPage() == 1; }, 3000));
  EXPECT_TRUE(pages.marks(1).empty());
  window->action("view-preview")->trigger();
  EXPECT_EQ(marksOnFirstPage(), 0u);
  EXPECT_TRUE(tab.bookmarks().topLevelItemCount() == 0) << "a preview writes nothing";
}

// While the Generate dialog edits the rules, it stands beside the window: the pages can be
// turned and the preview follows them; nothing else in the window can be used.
TEST_F(Studio, ThePagesCanBeTurnedWhileTheRulesAreEdited) {
  test::PdfSpec spec = test::pages(3);
  for (int i = 0; i < 3; ++i)
    spec.pages[size_t(i)].texts = {
        test::textAt("Heading " + std::to_string(i + 1), 72, 700, 12, "Helvetica-Bold"),
        test::textAt("Body text", 72, 600, 10, "Times-Roman")};
  test::writePdf(spec, dir.file("in.pdf"));
  DocumentTab &tab = open(dir.file("in.pdf"));
  studio::PageView &pages = tab.pages();
  auto *tabBar = window->findChild<QTabBar *>();
  ASSERT_TRUE(tabBar);
  DialogDriver driver;
  driver.on(kGenerate, [](QWidget &d) { click(d, "Add..."); })
      .on(kLevel,
          [&](QWidget &d) {
            EXPECT_TRUE(window->action("go-next")->isEnabled()) << "also beside a level's sheet";
            click(d, "OK"); // Helvetica-Bold, 12 pt
          })
      .on(kGenerate, [&](QWidget &d) {
        EXPECT_FALSE(d.isModal());
        EXPECT_TRUE(pages.isEnabled());
        EXPECT_TRUE(window->action("go-next")->isEnabled());
        EXPECT_FALSE(window->action("file-open")->isEnabled());
        EXPECT_FALSE(window->action("file-close")->isEnabled());
        EXPECT_FALSE(tabBar->isEnabled());
        window->action("go-next")->trigger();
        EXPECT_EQ(pages.currentPage(), 1);
        EXPECT_TRUE(test::waitFor([&] { return pages.marks(1).size() == 1; }, 3000))
            << "the preview follows the page turned to";
        window->action("go-last")->trigger();
        EXPECT_TRUE(test::waitFor([&] { return pages.marks(2).size() == 1; }, 3000));
        click(d, "Close");
      });
  run("TAVO:BookmarkGenerate", driver);
  EXPECT_FALSE(window->busy());
  EXPECT_TRUE(window->action("file-open")->isEnabled());
  EXPECT_TRUE(tabBar->isEnabled());
  EXPECT_EQ(tab.bookmarks().topLevelItemCount(), 0) << "closing the dialog generates nothing";
}

TEST_F(Studio, ValidateAndSortThroughTheDialogs) {
  test::PdfSpec spec = test::pages(2);
  auto item = [](std::string title, int page) {
    test::OutlineSpec b;
    b.title = std::move(title);
    b.action = test::ActionSpec::goTo(page);
    return b;
  };
  spec.outline = {item("b", 1), item("c", 7), item("a", 0)};
  const std::string in = dir.file("in.pdf");
  test::writePdf(spec, in);
  DocumentTab &tab = open(in);
  EXPECT_EQ(titlesShown(tab.bookmarks()), (std::vector<std::string>{"b", "c", "a"}));

  std::vector<std::string> report;
  DialogDriver validating;
  validating.on("Validate Bookmarks", [&](QWidget &d) {
    click(d, "Validate");
    auto *tree = qobject_cast<QTreeWidget *>(test::control(d, "report"));
    ASSERT_TRUE(tree);
    report = titlesShown(*tree);
    click(d, "Close");
  });
  run("TAVO:BookmarkValidate", validating);
  ASSERT_FALSE(report.empty());
  EXPECT_NE(report.front().find(">c\""), std::string::npos) << report.front();
  EXPECT_FALSE(tab.modified()) << "validating changes nothing";

  DialogDriver sorting;
  sorting.on("Sort Bookmarks", [](QWidget &d) {
    test::choose(d, "level", "Level 1");
    click(d, "Ascending");
    click(d, "OK");
  });
  run("TAVO:BookmarkSort", sorting);
  EXPECT_EQ(titlesShown(tab.bookmarks()), (std::vector<std::string>{"a", "b", "c"}));
  EXPECT_TRUE(tab.modified());
  window->save();
  EXPECT_EQ(test::outlineTitles(in), (std::vector<std::string>{"a", "b", "c"}));
  EXPECT_FALSE(tab.modified());
}

// Each dialog shows every text whole at the default text size and with the desktop's text
// scaled to 125 % and 150 %: no cut label, button, box, group or level row.
TEST_F(Studio, NoDialogCutsItsTextsWhenTheTextIsLarger) {
  test::PdfSpec spec = test::pages(2);
  test::OutlineSpec broken;
  broken.title = "Appendix: where a long bookmark title goes";
  broken.action = test::ActionSpec::goTo(7);
  spec.outline = {broken};
  const std::string in = dir.file("in.pdf");
  test::writePdf(spec, in);
  const std::string settings = dir.file("long.svb");
  test::writeFile(settings, R"({"format": "sorvane-cabinet", "version": 1, "cabinet": {
    "BuildSettings": {"IgnoreStopWords": true, "NumLevels": 2,
      "Level0": {"TextStyle": {"Tolerance": 0.5, "FontDesc": {"FontSize": 14.3,
        "Fonts": {"NumItems": 2, "0": "TeXGyreHeros-BoldCondensed", "1": "LMRoman10-Bold"}}},
        "TextMatch": {"UsePattern": true, "Pattern": "^(Chapter|Appendix) [0-9A-Z]+ .*$"}},
      "Level1": {"TextStyle": {"Tolerance": 0.5, "FontDesc": {"FontSize": 12.0,
        "Fonts": {"NumItems": 1, "0": "TeXGyreHeros-Bold"}}}}}}})");
  open(in);

  const QFont before = QApplication::font();
  struct Restore {
    QFont font;
    ~Restore() { QApplication::setFont(font); }
  } restore{before};
  for (double scale : {1.0, 1.25, 1.5}) {
    QFont larger = before;
    larger.setPointSizeF(before.pointSizeF() * scale);
    QApplication::setFont(larger);
    QStringList cut;
    const auto look = [&cut, scale](QWidget &d, const QString &what) {
      // Given the time to lay itself out again (a loaded machine answers a resize late).
      test::waitFor([&d] { return test::cutControls(d).isEmpty(); }, 2000);
      for (const QString &part : test::cutControls(d))
        cut << QString("%1 % %2: %3").arg(int(scale * 100)).arg(what, part);
    };
    DialogDriver generating;
    generating.on(kGenerate, [](QWidget &d) { click(d, "Load..."); })
        .on("Load Settings",
            [&](QWidget &d) { test::chooseFile(d, QString::fromStdString(settings)); })
        .on(kGenerate,
            [&](QWidget &d) {
              look(d, "Generate");
              auto *levels = qobject_cast<QTreeWidget *>(test::control(d, "levels"));
              ASSERT_TRUE(levels && levels->topLevelItemCount() == 1);
              levels->setCurrentItem(levels->topLevelItem(0));
              click(d, "Edit...");
            })
        .on(kLevel,
            [&](QWidget &d) {
              for (const QString page : {"Text Matching", "Appearance", "Content"}) {
                test::choose(d, "pages", page);
                look(d, page);
              }
              click(d, "Cancel");
            })
        .on(kGenerate, [](QWidget &d) { click(d, "Edit Stop Words..."); })
        .on("Edit Stop Words",
            [&](QWidget &d) {
              look(d, "Stop Words");
              click(d, "Cancel");
            })
        .on(kGenerate, [](QWidget &d) { click(d, "Close"); });
    run("TAVO:BookmarkGenerate", generating);

    DialogDriver sorting;
    sorting
        .on("Sort Bookmarks",
            [&](QWidget &d) {
              auto *filter = qobject_cast<QAbstractButton *>(test::control(d, "filter"));
              ASSERT_TRUE(filter);
              if (!filter->isChecked()) // remembered from the round before
                click(d, "filter");
              look(d, "Sort");
              click(d, "Select...");
            })
        .on("Select Bookmark",
            [&](QWidget &d) {
              look(d, "Select Bookmark");
              click(d, "Cancel");
            })
        .on("Sort Bookmarks", [](QWidget &d) { click(d, "Cancel"); });
    run("TAVO:BookmarkSort", sorting);

    DialogDriver validating;
    validating
        .on("Validate Bookmarks",
            [&](QWidget &d) {
              click(d, "Validate");
              look(d, "Validate");
              auto *report = qobject_cast<QTreeWidget *>(test::control(d, "report"));
              ASSERT_TRUE(report && report->topLevelItemCount() > 0);
              report->setCurrentItem(report->topLevelItem(0));
              emit report->itemDoubleClicked(report->topLevelItem(0), 0);
            })
        .on("Edit Bookmark Action",
            [&](QWidget &d) {
              look(d, "Edit Bookmark Action");
              click(d, "Cancel");
            })
        .on("Validate Bookmarks", [](QWidget &d) { click(d, "Close"); });
    run("TAVO:BookmarkValidate", validating);

    DialogDriver about;
    about.on("Sorvane Plug-in", [&](QWidget &d) {
      look(d, "About");
      click(d, "OK");
    });
    run("TAVO:AboutSorvane", about);
    EXPECT_TRUE(cut.isEmpty()) << cut.join("\n").toStdString();
  }
}

TEST_F(Studio, TheBatchWindowRunsEachFileAndSaysWhatBecameOfIt) {
  test::PdfSpec spec = test::pages(2);
  spec.pages[0].texts = {test::textAt("First", 72, 700, 12, "Helvetica-Bold")};
  spec.pages[1].texts = {test::textAt("Second", 72, 700, 12, "Helvetica-Bold")};
  test::writePdf(spec, dir.file("a.pdf"));
  test::writePdf(test::pages(1), dir.file("plain.pdf"));
  test::writeFile(dir.file("broken.pdf"), "not a pdf");
  const std::string before = test::readFile(dir.file("a.pdf"));

  studio::BatchWindow *batch = nullptr;
  QObject::connect(window.get(), &MainWindow::batchWindowOpened,
                   [&](studio::BatchWindow *w) { batch = w; });
  std::vector<std::vector<std::string>> rows;
  DialogDriver driver;
  driver
      .on("Batch Generate",
          [&](QWidget &d) {
            batch->addFiles({QString::fromStdString(dir.file("a.pdf")),
                             QString::fromStdString(dir.file("plain.pdf")),
                             QString::fromStdString(dir.file("broken.pdf"))});
            batch->setOutputSuffix("-out");
            EXPECT_FALSE(test::control(d, "Run")->isEnabled()) << "no settings yet";
            click(d, "edit-settings");
          })
      .on(kGenerate, [](QWidget &d) { click(d, "Add..."); })
      .on(kLevel, [](QWidget &d) { click(d, "OK"); }) // Helvetica-Bold, 12 pt
      .on(kGenerate, [](QWidget &d) { click(d, "OK"); })
      .on("Batch Generate", [&](QWidget &d) {
        click(d, "Run");
        QTreeWidget &results = batch->results();
        for (int i = 0; i < results.topLevelItemCount(); ++i)
          rows.push_back({results.topLevelItem(i)->text(0).toStdString(),
                          results.topLevelItem(i)->text(1).toStdString(),
                          results.topLevelItem(i)->text(2).toStdString()});
        click(d, "Close");
      });
  window->action("file-batch")->trigger();
  EXPECT_TRUE(driver.done()) << driver.waitingFor().toStdString();
  const std::vector<std::vector<std::string>> expected{
      {"a.pdf", "Done", "2"},
      {"plain.pdf", "Done with problems", ""},
      {"broken.pdf", "Failed", ""},
      {"3 files", "1 done, 1 done with problems, 1 failed", ""}};
  EXPECT_EQ(rows, expected);
  EXPECT_EQ(test::outlineTitles(dir.file("a-out.pdf")),
            (std::vector<std::string>{"First", "Second"}));
  EXPECT_EQ(test::readFile(dir.file("a.pdf")), before);
  EXPECT_FALSE(std::filesystem::exists(dir.file("plain-out.pdf")));
  EXPECT_FALSE(std::filesystem::exists(dir.file("broken-out.pdf")));
}

TEST_F(Studio, ABatchNeverWritesOverItsInput) {
  test::writePdf(test::pages(1), dir.file("a.pdf"));
  const std::string before = test::readFile(dir.file("a.pdf"));
  studio::BatchWindow batch(host);
  batch.addFiles({QString::fromStdString(dir.file("a.pdf"))});
  batch.setSettingsFile(SORVANE_EXAMPLE_SETTINGS);
  batch.setOutputFolder(QString::fromStdString(dir.path().string()));
  EXPECT_EQ(batch.outputFor(QString::fromStdString(dir.file("a.pdf"))),
            QString::fromStdString(dir.file("a.pdf")));
  ASSERT_TRUE(batch.run());
  EXPECT_EQ(batch.results().topLevelItem(0)->text(1), "Skipped");
  EXPECT_EQ(test::readFile(dir.file("a.pdf")), before);
}

TEST_F(Studio, PrintWritesTheBookmarkedPagesAndDeleteAllAsksFirst) {
  test::PdfSpec spec = test::pages(4);
  auto item = [](std::string title, int page) {
    test::OutlineSpec b;
    b.title = std::move(title);
    b.action = test::ActionSpec::goTo(page);
    return b;
  };
  spec.outline = {item("Three", 2), item("One", 0)};
  const std::string in = dir.file("in.pdf");
  test::writePdf(spec, in);
  DocumentTab &tab = open(in);

  const std::string printed = dir.file("printed.pdf");
  QString note;
  DialogDriver printing;
  printing.on(studio::kAppName, [](QWidget &box) { answerMessage(box, "Yes"); })
      .on(studio::kAppName, [&](QWidget &box) { answerMessage(box, "OK", &note); })
      .on("Print Bookmarked Pages To",
          [&](QWidget &d) { test::chooseFile(d, QString::fromStdString(printed)); });
  run("TAVO:BookmarkSPrint", printing);
  EXPECT_EQ(note, "Total numbers of pages printed: 2");
  EXPECT_EQ(test::inspectPdf(printed).pageCount, 2);
  EXPECT_FALSE(tab.modified()) << "printing changes nothing";

  DialogDriver refusing;
  refusing.on(studio::kAppName, [](QWidget &box) { answerMessage(box, "No"); });
  run("TAVO:BookmarkDeleteAll", refusing);
  EXPECT_EQ(tab.bookmarks().topLevelItemCount(), 2);
  DialogDriver deleting;
  deleting.on(studio::kAppName, [](QWidget &box) { answerMessage(box, "Yes"); });
  run("TAVO:BookmarkDeleteAll", deleting);
  EXPECT_EQ(tab.bookmarks().topLevelItemCount(), 0);
  EXPECT_TRUE(tab.modified());
  EXPECT_FALSE(window->action("TAVO:BookmarkDeleteAll")->isEnabled());
}

TEST_F(Studio, ALongGenerationStopsFromTheStatusBar) {
  test::PdfSpec spec = test::pages(800);
  for (int i = 0; i < 800; ++i)
    spec.pages[size_t(i)].texts = {
        test::textAt("Heading " + std::to_string(i + 1), 72, 700, 12, "Helvetica-Bold")};
  const std::string in = dir.file("long.pdf");
  test::writePdf(spec, in);
  DocumentTab &tab = open(in);

  bool sawProgress = false;
  QTimer stopper;
  QObject::connect(&stopper, &QTimer::timeout, [&] {
    if (window->cancelButton()->isVisible() && window->cancelButton()->isEnabled()) {
      sawProgress = window->progressBar()->isVisible();
      QTest::mouseClick(window->cancelButton(), Qt::LeftButton);
      stopper.stop();
    }
  });
  QString summary;
  DialogDriver driver;
  driver.on(kGenerate, [](QWidget &d) { click(d, "Add..."); })
      .on(kLevel, [](QWidget &d) { click(d, "OK"); })
      .on(kGenerate,
          [&](QWidget &d) {
            stopper.start(5);
            click(d, "OK");
          })
      .on(studio::kAppName, [&](QWidget &box) { answerMessage(box, "OK", &summary); });
  run("TAVO:BookmarkGenerate", driver);
  EXPECT_TRUE(sawProgress);
  EXPECT_TRUE(summary.startsWith("Total number of bookmarks created: 0")) << summary.toStdString();
  EXPECT_EQ(tab.bookmarks().topLevelItemCount(), 0);
  EXPECT_FALSE(tab.modified());
  EXPECT_FALSE(window->busy());
  EXPECT_FALSE(window->cancelButton()->isVisible());
}

// While a command works, the window takes nothing that would start another: a drop opens no
// file, and Escape or the close button on a running batch stops it instead of closing it.
TEST_F(Studio, NothingStartsWhileACommandWorks) {
  test::PdfSpec spec = test::pages(800);
  for (int i = 0; i < 800; ++i)
    spec.pages[size_t(i)].texts = {
        test::textAt("Heading " + std::to_string(i + 1), 72, 700, 12, "Helvetica-Bold")};
  test::writePdf(spec, dir.file("long.pdf"));
  test::writePdf(test::pages(2), dir.file("other.pdf"));
  open(dir.file("long.pdf"));
  int tabsWhileWorking = -1;
  QTimer dropper;
  QMimeData data;
  data.setUrls({QUrl::fromLocalFile(QString::fromStdString(dir.file("other.pdf")))});
  QObject::connect(&dropper, &QTimer::timeout, [&] {
    if (window->cancelButton()->isVisible() && window->cancelButton()->isEnabled()) {
      QDropEvent drop(QPointF(100, 100), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
      static_cast<QObject *>(window.get())->event(&drop);
      tabsWhileWorking = window->tabCount();
      QTest::mouseClick(window->cancelButton(), Qt::LeftButton);
      dropper.stop();
    }
  });
  DialogDriver driver;
  driver.on(kGenerate, [](QWidget &d) { click(d, "Add..."); })
      .on(kLevel, [](QWidget &d) { click(d, "OK"); })
      .on(kGenerate,
          [&](QWidget &d) {
            dropper.start(5);
            click(d, "OK");
          })
      .on(studio::kAppName, [&](QWidget &box) { answerMessage(box, "OK"); });
  run("TAVO:BookmarkGenerate", driver);
  EXPECT_EQ(tabsWhileWorking, 1);
  EXPECT_EQ(window->tabCount(), 1);

  // A batch: Escape stops it, and the window stays until the run has ended.
  for (const char *name : {"a.pdf", "b.pdf", "c.pdf"})
    test::writePdf(test::pages(1), dir.file(name));
  studio::BatchWindow batch(host);
  batch.addFiles({QString::fromStdString(dir.file("a.pdf")),
                  QString::fromStdString(dir.file("b.pdf")),
                  QString::fromStdString(dir.file("c.pdf"))});
  batch.setSettingsFile(SORVANE_EXAMPLE_SETTINGS);
  batch.setOutputSuffix("-out");
  batch.show();
  QTimer::singleShot(0, &batch, [&] { QTest::keyClick(&batch, Qt::Key_Escape); });
  ASSERT_TRUE(batch.run());
  EXPECT_TRUE(batch.isVisible());
  EXPECT_EQ(batch.results().topLevelItem(2)->text(1), "Stopped");
  EXPECT_FALSE(std::filesystem::exists(dir.file("c-out.pdf")));
}

// A command that fails with an error it does not handle leaves the window usable and says so.
// The tool bar shows icons (the desktop theme's, else the studio's own), and the bookmarks
// pane says what it is.
TEST_F(Studio, TheToolBarHasIconsAndTheBookmarksPaneAHeader) {
  auto *bar = window->findChild<QToolBar *>("toolbar");
  ASSERT_TRUE(bar);
  int actions = 0;
  for (QAction *a : bar->actions())
    if (!a->isSeparator() && !a->text().isEmpty() && !qobject_cast<QWidgetAction *>(a)) {
      ++actions;
      EXPECT_FALSE(a->icon().isNull()) << a->objectName().toStdString();
    }
  EXPECT_GE(actions, 9);
  test::writePdf(test::pages(1), dir.file("a.pdf"));
  DocumentTab &t = open(dir.file("a.pdf"));
  EXPECT_FALSE(t.bookmarks().isHeaderHidden());
  EXPECT_EQ(t.bookmarks().headerItem()->text(0), "Bookmarks");
}

TEST_F(Studio, ACommandThatFailsLeavesTheWindowUsable) {
  test::writePdf(test::pages(2), dir.file("a.pdf"));
  open(dir.file("a.pdf"));
  host::AcroView &view = host.view();
  const MenuHandle menu = view.menuNew("Tests", "TEST:Menu", 0);
  const MenuItemHandle item = view.menuItemNew("Fail", "TEST:Fail", MenuHandle(), 0);
  view.menuItemSetExecuteProc(
      item, [](void *) { throw std::runtime_error("the test's command gave up"); }, nullptr);
  view.menuAddMenuItem(menu, item, -1);
  QString told;
  DialogDriver driver;
  driver.on(studio::kAppName, [&](QWidget &box) { answerMessage(box, "OK", &told); });
  EXPECT_TRUE(window->runMenuItem("TEST:Fail"));
  EXPECT_TRUE(test::waitFor([&] { return driver.done(); }, 5000));
  EXPECT_TRUE(told.contains("the test's command gave up")) << told.toStdString();
  EXPECT_FALSE(window->busy());
  EXPECT_TRUE(window->action("file-close")->isEnabled());
  EXPECT_FALSE(window->currentTab()->modified());
}

TEST_F(Studio, AGenerationStoppedWhileAddingBookmarksLeavesTheDocumentAsItWas) {
  test::PdfSpec spec = test::pages(4);
  for (int i = 0; i < 4; ++i)
    spec.pages[size_t(i)].texts = {
        test::textAt("Heading " + std::to_string(i + 1), 72, 700, 12, "Helvetica-Bold")};
  spec.outline = {{"X", {}, test::ActionSpec::goTo(0), false, {}, 0, {}},
                  {"Y", {}, test::ActionSpec::goTo(1), false, {}, 0, {}}};
  const std::string in = dir.file("in.pdf");
  test::writePdf(spec, in);
  DocumentTab &tab = open(in);
  // Stopped once the second bookmark's destination is made: the pages are all read by then.
  int made = 0;
  host.pdf().setFaultHook([&](std::string_view op) {
    if (op == "viewDestCreate" && ++made == 2)
      qobject_cast<QPushButton *>(test::control(*window, "cancel"))->click();
  });
  DialogDriver driver;
  driver.on(kGenerate, [](QWidget &d) { click(d, "Add..."); })
      .on(kLevel, [](QWidget &d) { click(d, "OK"); })
      .on(kGenerate, [](QWidget &d) { click(d, "OK"); })
      .on(studio::kAppName, [&](QWidget &box) { answerMessage(box, "OK"); });
  run("TAVO:BookmarkGenerate", driver);
  host.pdf().setFaultHook({});
  EXPECT_GE(made, 2);
  EXPECT_EQ(titlesShown(tab.bookmarks()), (std::vector<std::string>{"X", "Y"}));
  EXPECT_FALSE(tab.modified());
  EXPECT_FALSE(window->busy());

  // What is saved is the outline as it was, and the document still takes a whole run.
  const std::string out = dir.file("out.pdf");
  tab.saveTo(QString::fromStdString(out));
  EXPECT_EQ(test::outlineTitles(out), (std::vector<std::string>{"X", "Y"}));
  DialogDriver again;
  again.on(kGenerate, [](QWidget &d) { click(d, "OK"); }).on(studio::kAppName, [&](QWidget &box) {
    answerMessage(box, "OK");
  });
  run("TAVO:BookmarkGenerate", again);
  EXPECT_EQ(titlesShown(tab.bookmarks()).size(), 6u) << "the four headings and X, Y";
  EXPECT_TRUE(tab.modified());
}

TEST_F(Studio, ABookmarkClickShowsItsPage) {
  test::PdfSpec spec = test::pages(5);
  test::OutlineSpec b;
  b.title = "Four";
  b.action = test::ActionSpec::goTo(3, "XYZ", {0, 400, 0});
  b.color = std::array<double, 3>{1, 0, 0};
  b.flags = 2;
  spec.outline = {b};
  const std::string in = dir.file("in.pdf");
  test::writePdf(spec, in);
  DocumentTab &tab = open(in);
  QTreeWidgetItem *item = tab.bookmarks().topLevelItem(0);
  ASSERT_TRUE(item);
  EXPECT_EQ(item->foreground(0).color(), QColor(255, 0, 0));
  EXPECT_TRUE(item->font(0).bold());
  EXPECT_FALSE(item->font(0).italic());
  EXPECT_EQ(tab.pages().currentPage(), 0);
  const QRect r = tab.bookmarks().visualItemRect(item);
  QTest::mouseClick(tab.bookmarks().viewport(), Qt::LeftButton, {}, r.center());
  EXPECT_EQ(tab.pages().currentPage(), 3);
  // The destination's height of the page is at the top of the view.
  const QRect page = tab.pages().pageRect(3);
  const double ppp = page.width() / tab.pages().frame(3).width;
  EXPECT_NEAR(page.top() + (792 - 400) * ppp, 0, 20);
}

TEST_F(Studio, FilesOpenByDropAndJoinTheRecentList) {
  test::writePdf(test::pages(2), dir.file("a.pdf"));
  test::writePdf(test::pages(3), dir.file("b.pdf"));
  QMimeData data;
  data.setUrls({QUrl::fromLocalFile(QString::fromStdString(dir.file("a.pdf"))),
                QUrl::fromLocalFile(QString::fromStdString(dir.file("b.pdf")))});
  QDropEvent drop(QPointF(100, 100), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  // Straight to the window's handler: the application routes drops only during a real drag.
  static_cast<QObject *>(window.get())->event(&drop);
  ASSERT_EQ(window->tabCount(), 2);
  EXPECT_EQ(window->currentTab()->pages().pageCount(), 3);
  const QStringList recent = QSettings().value("recentFiles").toStringList();
  ASSERT_GE(recent.size(), 2);
  EXPECT_EQ(recent[0], QString::fromStdString(dir.file("b.pdf")));
  EXPECT_EQ(recent[1], QString::fromStdString(dir.file("a.pdf")));
  // A file open already is shown, not opened twice.
  EXPECT_TRUE(window->openFile(QString::fromStdString(dir.file("a.pdf"))));
  EXPECT_EQ(window->tabCount(), 2);
  EXPECT_EQ(window->currentTab()->pages().pageCount(), 2);
}

TEST_F(Studio, AnEncryptedFileAsksForItsPassword) {
  test::PdfSpec spec = test::pages(1);
  spec.encryption = test::EncryptionSpec{"secret"};
  test::writePdf(spec, dir.file("locked.pdf"));
  int asked = 0;
  DialogDriver driver;
  auto answer = [&](const QString &password) {
    return [&, password](QWidget &d) {
      ++asked;
      auto *field = d.findChild<QLineEdit *>();
      ASSERT_TRUE(field);
      QTest::keyClicks(field, password);
      click(d, "OK");
    };
  };
  driver.on(studio::kAppName, answer("wrong")).on(studio::kAppName, answer("secret"));
  EXPECT_TRUE(window->openFile(QString::fromStdString(dir.file("locked.pdf"))));
  EXPECT_EQ(asked, 2) << "asked again after a wrong password";
  EXPECT_EQ(window->tabCount(), 1);

  // Given up: nothing opens, and no error follows the user's own Cancel.
  ASSERT_TRUE(window->closeTab(0));
  DialogDriver refusing;
  refusing.on(studio::kAppName, [](QWidget &d) { click(d, "Cancel"); });
  EXPECT_FALSE(window->openFile(QString::fromStdString(dir.file("locked.pdf"))));
  EXPECT_TRUE(refusing.done());
  EXPECT_TRUE(refusing.strays().isEmpty());
  EXPECT_EQ(window->tabCount(), 0);
}

TEST_F(Studio, ClosingAChangedDocumentAsksFirst) {
  test::PdfSpec spec = test::pages(1);
  test::OutlineSpec b, a;
  b.title = "b";
  a.title = "a";
  spec.outline = {b, a};
  const std::string in = dir.file("in.pdf");
  test::writePdf(spec, in);
  const std::string before = test::readFile(in);
  DocumentTab &tab = open(in);
  DialogDriver sorting;
  sorting.on("Sort Bookmarks", [](QWidget &d) { click(d, "OK"); });
  run("TAVO:BookmarkSort", sorting);
  ASSERT_TRUE(tab.modified());

  DialogDriver keep;
  keep.on(studio::kAppName, [](QWidget &d) { click(d, "Cancel"); });
  EXPECT_FALSE(window->closeTab(0));
  EXPECT_EQ(window->tabCount(), 1);
  DialogDriver discard;
  discard.on(studio::kAppName, [](QWidget &d) { click(d, "Discard"); });
  EXPECT_TRUE(window->closeTab(0));
  EXPECT_EQ(window->tabCount(), 0);
  EXPECT_EQ(test::readFile(in), before) << "discarded changes are not written";
}

TEST_F(Studio, AFileThatIsNoPdfIsRefusedWithAMessage) {
  const std::string bad = dir.file("bad.pdf");
  test::writeFile(bad, "not a pdf");
  QString text;
  DialogDriver driver;
  driver.on(studio::kAppName, [&](QWidget &box) { answerMessage(box, "OK", &text); });
  EXPECT_FALSE(window->openFile(QString::fromStdString(bad)));
  EXPECT_TRUE(driver.done());
  EXPECT_TRUE(text.contains("cannot be opened")) << text.toStdString();
  EXPECT_EQ(window->tabCount(), 0);
}

} // namespace
} // namespace sorvane
