// studio_screenshots OUTDIR PDF SETTINGS: opens PDF in the studio, walks through every dialog
// (loading SETTINGS in the Generate dialog) and writes a PNG picture of each window to OUTDIR,
// as the studio's guide shows them. Exits 1 when a window did not show.
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>
#include <cstdio>

#include "host/studio/batch_window.h"
#include "host/studio/document_tab.h"
#include "host/studio/main_window.h"
#include "host/studio/studio_host.h"
#include "tests/studio/studio_driver.h"
#include "tests/support/pdf_builder.h"

namespace {

using sorvane::test::choose;
using sorvane::test::click;

QString g_out;
int g_shots = 0;

void shoot(QWidget &window, const QString &name) {
  QTest::qWait(150); // pages drawn in their thread, layouts settled
  QApplication::processEvents();
  const QString path = g_out + "/" + name + ".png";
  if (!window.grab().save(path)) {
    std::fprintf(stderr, "studio_screenshots: cannot write %s\n", qPrintable(path));
    return;
  }
  ++g_shots;
  std::printf("%s\n", qPrintable(path));
}

const QString kGenerate = "Generate Bookmarks (Sorvane Plug-in)";
const QString kLevel = "Bookmark Level Description";

bool run(sorvane::studio::MainWindow &window, const QString &item,
         sorvane::test::DialogDriver &driver) {
  QAction *a = window.action(item);
  if (!a || !a->isEnabled())
    return false;
  a->trigger();
  return sorvane::test::waitFor([&] { return driver.done(); }, 10000);
}

} // namespace

int main(int argc, char **argv) {
  QApplication app(argc, argv);
  QApplication::setOrganizationName("Sorvane");
  QApplication::setApplicationName("Sorvane Studio Screenshots");
  if (argc != 4) {
    std::fprintf(stderr, "usage: studio_screenshots OUTDIR PDF SETTINGS\n");
    return 2;
  }
  g_out = QString::fromLocal8Bit(argv[1]);
  QDir().mkpath(g_out);
  const QString pdf = QString::fromLocal8Bit(argv[2]);
  const QString settings = QString::fromLocal8Bit(argv[3]);

  // The plug-in remembers settings beside itself: a copy of it keeps them out of the build.
  QTemporaryDir scratch(QDir::tempPath() + "/sorvane-studio-XXXXXX");
  sorvane::studio::StudioHost host;
  host.loadPlugIn(sorvane::test::privatePlugInsFolder(scratch.path().toStdString()));
  host.ui().setHelpOpener([](const QString &) { return true; });
  sorvane::studio::MainWindow window(host);
  window.resize(1100, 760);
  window.show();
  if (!window.openFile(pdf))
    return 1;
  bool ok = true;

  bool stopWordsOff = false;
  sorvane::test::DialogDriver generate;
  generate
      .on(kGenerate,
          [](QWidget &d) {
            shoot(d, "generate-empty");
            click(d, "Load...");
          })
      .on("Load Settings", [&](QWidget &d) { sorvane::test::chooseFile(d, settings); })
      .on(kGenerate,
          [](QWidget &d) {
            shoot(d, "generate");
            auto *levels = qobject_cast<QTreeWidget *>(sorvane::test::control(d, "levels"));
            if (levels && levels->topLevelItemCount() > 0)
              levels->setCurrentItem(levels->topLevelItem(0));
            click(d, "Edit...");
          })
      .on(kLevel,
          [](QWidget &d) {
            shoot(d, "level-text-matching");
            choose(d, "pages", "Appearance");
            shoot(d, "level-appearance");
            choose(d, "pages", "Content");
            shoot(d, "level-content");
            choose(d, "pages", "Text Matching");
            click(d, "<< Add...");
          })
      .on("Font Name",
          [](QWidget &d) {
            shoot(d, "font-name");
            click(d, "Cancel");
          })
      .on(kLevel, [](QWidget &d) { click(d, "Cancel"); })
      .on(kGenerate,
          [&stopWordsOff](QWidget &d) {
            // The stop words' editor opens where they are on; the settings stay as loaded.
            auto *use = qobject_cast<QAbstractButton *>(sorvane::test::control(d, "stop-words"));
            stopWordsOff = use && !use->isChecked();
            if (stopWordsOff)
              click(d, "stop-words");
            click(d, "Edit Stop Words...");
          })
      .on("Edit Stop Words",
          [](QWidget &d) {
            shoot(d, "stop-words");
            click(d, "Cancel");
          })
      .on(kGenerate,
          [&stopWordsOff](QWidget &d) {
            if (stopWordsOff)
              click(d, "stop-words");
            click(d, "OK");
          })
      .on(sorvane::studio::kAppName, [](QWidget &box) {
        shoot(box, "generate-summary");
        click(box, "OK");
      });
  ok = run(window, "TAVO:BookmarkGenerate", generate) && ok;
  // A chapter's first page, shown by a click on its bookmark (the second chapter: the first
  // may be a title or contents page).
  if (auto *tab = window.currentTab()) {
    QTreeWidget &bookmarks = tab->bookmarks();
    const int chapters = bookmarks.topLevelItemCount();
    if (QTreeWidgetItem *chapter = bookmarks.topLevelItem(chapters > 1 ? 1 : 0)) {
      chapter->setExpanded(true);
      bookmarks.scrollToItem(chapter);
      QTest::mouseClick(bookmarks.viewport(), Qt::LeftButton, {},
                        bookmarks.visualItemRect(chapter).center());
    }
  }
  shoot(window, "main-window");

  // The headings the remembered rules find, marked on the pages.
  window.action("view-preview")->trigger();
  shoot(window, "preview");
  window.action("view-preview")->trigger();

  sorvane::test::DialogDriver validate;
  validate.on("Validate Bookmarks", [](QWidget &d) {
    click(d, "Validate");
    shoot(d, "validate");
    click(d, "Close");
  });
  ok = run(window, "TAVO:BookmarkValidate", validate) && ok;

  // A document whose bookmark leads nowhere: Validate finds it, and a double-click on the
  // problem opens the host's action dialog.
  {
    sorvane::test::PdfSpec spec = sorvane::test::pages(2);
    sorvane::test::OutlineSpec broken;
    broken.title = "Appendix";
    broken.action = sorvane::test::ActionSpec::goTo(7);
    spec.outline = {broken};
    const std::string path = scratch.filePath("broken-link.pdf").toStdString();
    sorvane::test::writePdf(spec, path);
    window.openFile(QString::fromStdString(path));
    sorvane::test::DialogDriver fix;
    fix.on("Validate Bookmarks",
           [](QWidget &d) {
             click(d, "Validate");
             auto *report = qobject_cast<QTreeWidget *>(sorvane::test::control(d, "report"));
             QTreeWidgetItem *problem = report->topLevelItem(0);
             report->setCurrentItem(problem);
             emit report->itemDoubleClicked(problem, 0);
           })
        .on("Edit Bookmark Action",
            [](QWidget &d) {
              shoot(d, "edit-action");
              click(d, "Cancel");
            })
        .on("Validate Bookmarks", [](QWidget &d) { click(d, "Close"); });
    ok = run(window, "TAVO:BookmarkValidate", fix) && ok;
    window.currentTab()->setModified(false);
    window.closeTab(window.tabCount() - 1);
  }

  sorvane::test::DialogDriver sort;
  sort.on("Sort Bookmarks",
          [](QWidget &d) {
            click(d, "Sort only bookmark(s) with the following title:");
            shoot(d, "sort");
            click(d, "Select...");
          })
      .on("Select Bookmark",
          [](QWidget &d) {
            shoot(d, "select-bookmark");
            click(d, "Cancel");
          })
      .on("Sort Bookmarks", [](QWidget &d) { click(d, "Cancel"); });
  ok = run(window, "TAVO:BookmarkSort", sort) && ok;

  sorvane::test::DialogDriver about;
  about.on("Sorvane Plug-in", [](QWidget &d) {
    shoot(d, "about");
    click(d, "OK");
  });
  ok = run(window, "TAVO:AboutSorvane", about) && ok;

  sorvane::test::DialogDriver remove;
  remove.on(sorvane::studio::kAppName, [](QWidget &box) {
    shoot(box, "delete-all");
    click(box, "No");
  });
  ok = run(window, "TAVO:BookmarkDeleteAll", remove) && ok;

  sorvane::studio::BatchWindow *batch = nullptr;
  QObject::connect(&window, &sorvane::studio::MainWindow::batchWindowOpened,
                   [&](sorvane::studio::BatchWindow *w) { batch = w; });
  sorvane::test::DialogDriver batchRun;
  batchRun.on("Batch Generate", [&](QWidget &d) {
    batch->setSettingsFile(settings);
    batch->setOutputFolder(scratch.path());
    click(d, "Run");
    shoot(d, "batch");
    click(d, "Close");
  });
  window.action("file-batch")->trigger();
  ok = batchRun.done() && ok;

  if (auto *tab = window.currentTab())
    tab->setModified(false);
  std::printf("%d pictures\n", g_shots);
  return ok ? 0 : 1;
}
