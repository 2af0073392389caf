// Dialog models shown as Qt dialogs: what the user does reaches the model and its handlers,
// what the handlers change shows at once, and the layout follows the model.
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include "host/studio/qt_ui.h"
#include "tests/studio/studio_driver.h"

namespace sorvane {
namespace {

using ui::ControlKind;
using ui::Event;

enum : int {
  kUse = 10,
  kName,
  kLooks,
  kKind,
  kColour,
  kNotes,
  kList,
  kAdd,
  kWork,
  kTabs,
  kOnPage,
  kHelp
};

class SampleDialog final : public ui::Dialog {
public:
  explicit SampleDialog(ui::UiServices &ui) : Dialog("Sample"), m_ui(ui) {
    add(ControlKind::Tabs, kTabs, "pages", "").items = {"First", "Second"};
    add(ControlKind::CheckBox, kUse, "use", "Use a name:").page = 0;
    ui::Control &name = add(ControlKind::Edit, kName, "name", "");
    name.page = 0;
    name.sameRow = true;
    add(ControlKind::Group, kLooks, "looks", "Looks").page = 0;
    ui::Control &kind = add(ControlKind::DropDown, kKind, "kind", "Kind:");
    kind.page = 0;
    kind.items = {"Plain", "Bold"};
    kind.selected = 0;
    ui::Control &colour = add(ControlKind::OwnerDrawnList, kColour, "colour", "Colour:");
    colour.page = 0;
    colour.items = {"Red", "Blue"};
    colour.selected = 1;
    colour.sameRow = true;
    colour.endsGroup = true;
    add(ControlKind::Edit, kNotes, "notes", "notes, in a row of their own:").page = 0;
    ui::Control &list = add(ControlKind::List, kList, "list", "");
    list.page = 1;
    list.items = {"one", "two"};
    ui::Control &addButton = add(ControlKind::Button, kAdd, "", "Add...");
    addButton.page = 1;
    addButton.sameRow = true;
    addButton.opensMore = true;
    add(ControlKind::CheckBox, kOnPage, "on-page", "On the second page").page = 1;
    add(ControlKind::Button, kWork, "work", "Work");
    add(ControlKind::Button, kHelp, "", "Help");
    add(ControlKind::Button, ui::kIdOk, "", "OK").isDefault = true;
    add(ControlKind::Button, ui::kIdCancel, "", "Cancel");
  }
  void onInit() override { setEnabled(kName, false); }
  void onEvent(int id, Event event) override {
    events.push_back(id);
    if (id == kUse && event == Event::Clicked)
      setEnabled(kName, checked(kUse));
    if (id == kWork) {
      // Long work that looks for a click on its own button.
      control(kWork).text = "Stop";
      for (int round = 0; round < 200 && !stopped; ++round) {
        m_ui.pumpPaintMessages(11);
        stopped = m_ui.takeButtonClick(*this, kWork);
        QTest::qWait(5);
      }
      control(kWork).text = "Work";
    }
  }
  void onCancel() override {
    if (refuseCancel) {
      refuseCancel = false;
      return;
    }
    end(ui::DialogResult::Cancel);
  }
  void drawItem(int id, const ui::DrawItemState &state, ui::DrawContext &dc) override {
    ++drawn;
    EXPECT_EQ(id, kColour);
    dc.fillRect(state.rect, state.index == 0 ? ui::Rgb{255, 0, 0} : ui::Rgb{0, 0, 255});
  }

  std::vector<int> events;
  bool refuseCancel = false;
  bool stopped = false;
  int drawn = 0;

private:
  ui::UiServices &m_ui;
};

TEST(ModelDialog, WhatTheUserDoesReachesTheModelAndEnablingFollowsIt) {
  studio::QtUi qt;
  SampleDialog dialog(qt);
  test::DialogDriver driver;
  driver.on("Sample", [&](QWidget &d) {
    auto *name = qobject_cast<QLineEdit *>(test::control(d, "name"));
    ASSERT_TRUE(name);
    EXPECT_FALSE(name->isEnabled());
    test::click(d, "Use a name:");
    EXPECT_TRUE(name->isEnabled()) << "the handler's enabling shows at once";
    test::type(d, "name", "Chapter");
    test::choose(d, "kind", "Bold");
    test::click(d, "OK");
  });
  EXPECT_EQ(qt.runModal(dialog), ui::DialogResult::Ok);
  EXPECT_TRUE(driver.done());
  EXPECT_TRUE(dialog.checked(kUse));
  EXPECT_EQ(dialog.control(kName).value, "Chapter");
  EXPECT_EQ(dialog.control(kKind).selected, 1);
  EXPECT_EQ(std::count(dialog.events.begin(), dialog.events.end(), kName), 7); // one per key
}

TEST(ModelDialog, EscapeGoesThroughTheCancelHandler) {
  studio::QtUi qt;
  SampleDialog dialog(qt);
  dialog.refuseCancel = true;
  int escapes = 0;
  test::DialogDriver driver;
  driver.on("Sample", [&](QWidget &d) {
    QTest::keyClick(&d, Qt::Key_Escape);
    ++escapes;
    EXPECT_TRUE(d.isVisible()) << "the handler kept it open";
    QTest::keyClick(&d, Qt::Key_Escape);
    ++escapes;
  });
  EXPECT_EQ(qt.runModal(dialog), ui::DialogResult::Cancel);
  EXPECT_EQ(escapes, 2);
}

TEST(ModelDialog, AClickDuringAHandlersWorkIsTakenByIt) {
  studio::QtUi qt;
  SampleDialog dialog(qt);
  test::DialogDriver driver;
  driver.on("Sample", [&](QWidget &d) {
    auto *work = qobject_cast<QPushButton *>(test::control(d, "work"));
    ASSERT_TRUE(work);
    QTimer::singleShot(50, [work] {
      EXPECT_EQ(work->text(), "Stop") << "the handler's new text shows while it works";
      QTest::mouseClick(work, Qt::LeftButton);
    });
    test::click(d, "work");
    EXPECT_EQ(work->text(), "Work");
    test::click(d, "Cancel");
  });
  qt.runModal(dialog);
  EXPECT_TRUE(dialog.stopped);
  // The click went to the work, not to a second run of the handler.
  EXPECT_EQ(std::count(dialog.events.begin(), dialog.events.end(), kWork), 1);
}

TEST(ModelDialog, TheLayoutFollowsTheModel) {
  studio::QtUi qt;
  SampleDialog dialog(qt);
  test::DialogDriver driver;
  driver.on("Sample", [&](QWidget &d) {
    auto *tabs = qobject_cast<QTabWidget *>(test::control(d, "pages"));
    ASSERT_TRUE(tabs);
    EXPECT_EQ(tabs->count(), 2);
    // Controls of a page sit on it.
    EXPECT_TRUE(tabs->widget(1)->isAncestorOf(test::control(d, "list")));
    EXPECT_TRUE(tabs->widget(0)->isAncestorOf(test::control(d, "name")));
    // The closing buttons in one row at the bottom, Help on the left, OK before Cancel; the
    // button after a list stands beside it.
    QWidget *ok = test::control(d, "OK"), *cancel = test::control(d, "Cancel"),
            *help = test::control(d, "Help");
    EXPECT_FALSE(tabs->isAncestorOf(ok));
    EXPECT_EQ(ok->y(), cancel->y());
    EXPECT_LT(help->x(), ok->x());
    EXPECT_LT(ok->x(), cancel->x());
    EXPECT_GT(ok->mapTo(&d, QPoint()).y(), tabs->mapTo(&d, QPoint()).y() + tabs->height() - 1);
    tabs->setCurrentIndex(1);
    QWidget *list = test::control(d, "list"), *add = test::control(d, "Add...");
    EXPECT_GE(add->mapTo(&d, QPoint()).x(), list->mapTo(&d, QPoint()).x() + list->width());
    EXPECT_EQ(dialog.control(kTabs).selected, 1) << "the page shown is the model's";
    // Rows and groups are the model's, whatever the labels say.
    tabs->setCurrentIndex(0);
    const auto top = [&d](const char *name) {
      return test::control(d, name)->mapTo(&d, QPoint()).y();
    };
    EXPECT_EQ(top("use") / 10, top("name") / 10);
    EXPECT_EQ(top("kind") / 10, top("colour") / 10);
    QWidget *looks = test::control(d, "looks");
    ASSERT_TRUE(looks);
    EXPECT_TRUE(looks->isAncestorOf(test::control(d, "colour")));
    EXPECT_FALSE(looks->isAncestorOf(test::control(d, "notes")));
    EXPECT_GT(top("notes"), top("colour") + 10);
    test::click(d, "Cancel");
  });
  qt.runModal(dialog);
  EXPECT_TRUE(driver.done());
}

TEST(ModelDialog, AShortMessageStillShowsItsWholeTitle) {
  studio::QtUi qt;
  const QString title = "Sorvane Studio: a title longer than its message";
  test::DialogDriver driver;
  int width = 0;
  driver.on(title, [&](QWidget &box) {
    width = box.width();
    test::click(box, "OK");
  });
  EXPECT_EQ(qt.messageBox("Done.", title.toStdString(), ui::MessageButtons::Ok),
            ui::MessageAnswer::Ok);
  QFont bold = QApplication::font();
  bold.setBold(true);
  EXPECT_GT(width, QFontMetrics(bold).horizontalAdvance(title) + 100);
}

TEST(ModelDialog, OwnerDrawnEntriesAreDrawnByTheDialog) {
  studio::QtUi qt;
  SampleDialog dialog(qt);
  test::DialogDriver driver;
  driver.on("Sample", [&](QWidget &d) {
    auto *combo = qobject_cast<QComboBox *>(test::control(d, "colour"));
    ASSERT_TRUE(combo);
    const QImage shown = combo->grab().toImage();
    EXPECT_GT(dialog.drawn, 0);
    // The selected entry (blue) fills the middle of the box.
    EXPECT_EQ(shown.pixelColor(shown.width() / 3, shown.height() / 2), QColor(0, 0, 255));
    test::click(d, "Cancel");
  });
  qt.runModal(dialog);
}

} // namespace
} // namespace sorvane
