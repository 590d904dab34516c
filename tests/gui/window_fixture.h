// The main window over a sample installation in a temporary folder, with
// its settings in a file there and every message and dialog answered by a
// ScriptedResponder. Helpers act on the window through its widgets, as a
// user would.
#ifndef RECORDHAUL_TESTS_GUI_WINDOW_FIXTURE_H_
#define RECORDHAUL_TESTS_GUI_WINDOW_FIXTURE_H_

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>
#include <memory>
#include <string>

#include "app/settings.h"
#include "app/window_commands.h"
#include "gui/export_dlg.h"
#include "gui/qt_settings_store.h"
#include "gui/scripted_responder.h"
#include "sample/sample_data.h"
#include "tests/test_util.h"

namespace rh::test {

class WindowTest : public ::testing::Test {
 protected:
  WindowTest() : settings_(dir_ / "config/recordhaul.ini"), platform_(&settings_) {
    sample::SampleOptions options;
    options.records = 12;
    EXPECT_TRUE(sample::WriteSampleInstallation(Env::Default(), dir_ / "acct", options).ok());
    dirs_ = {dir_ / "acct/data", dir_ / "acct/sys", dir_ / "acct/progs"};
    platform_.SetResponder(&responder_);
  }

  void SaveDirectories() { ASSERT_TRUE(WriteDirectories(settings_, dirs_).ok()); }

  // The window after its start-up with the directories saved, on screen.
  CExportDlg& Open() {
    SaveDirectories();
    owned_window_ = std::make_unique<CExportDlg>(&state_, &platform_);
    window_ = owned_window_.get();
    EXPECT_TRUE(window_->Initialise());
    window_->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(window_));
    return *window_;
  }

  template <class W>
  W* Find(const char* name) const {
    W* widget = window_->findChild<W*>(name);
    EXPECT_NE(widget, nullptr) << name;
    return widget;
  }
  QComboBox* Combo(const char* name) const { return Find<QComboBox>(name); }
  QPushButton* Button(const char* name) const { return Find<QPushButton>(name); }
  QLineEdit* Edit(const char* name) const { return Find<QLineEdit>(name); }
  QAction* Action(const char* name) const { return Find<QAction>(name); }
  QListWidget* Available() const { return Find<QListWidget>("available_list"); }
  QTreeWidget* Selection() const { return Find<QTreeWidget>("selection_list"); }

  // Opens the drop-down list, moves to `index` and presses Enter.
  static void Choose(QComboBox* box, int index) {
    box->showPopup();
    QAbstractItemView* view = box->view();
    view->setCurrentIndex(view->model()->index(index, 0));
    QTest::keyClick(view, Qt::Key_Return);
  }
  static int IndexOf(QComboBox* box, const QString& text) {
    const int i = box->findText(text);
    EXPECT_GE(i, 0) << text.toStdString();
    return i;
  }

  // Module, company and (through the module) the first data file.
  void ChooseBasics(const QString& module = "General Ledger",
                    const QString& company = "01 - Quillmont Hardware Inc.") {
    Choose(Combo("module_list"), IndexOf(Combo("module_list"), module));
    Choose(Combo("company_list"), IndexOf(Combo("company_list"), company));
  }

  void ClickAvailable(const QString& text, Qt::KeyboardModifiers modifiers = Qt::ControlModifier) {
    QListWidget* list = Available();
    auto found = list->findItems(text, Qt::MatchExactly);
    ASSERT_FALSE(found.isEmpty()) << text.toStdString();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, modifiers,
                      list->visualItemRect(found.front()).center());
  }
  // Selects the entries in the available list and presses "&Add  >".
  void AddFields(const QStringList& fields) {
    for (const QString& f : fields) ClickAvailable(f);
    Button("add_button")->click();
  }
  void ClickRow(int row) {
    QTreeWidget* list = Selection();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier,
                      list->visualItemRect(list->topLevelItem(row)).center());
  }
  // Renames a row as a user does: click, type over the name, Enter.
  void Rename(int row, const QString& name) {
    ClickRow(row);
    QLineEdit* box = Edit("new_name_box");
    box->setFocus();
    QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
    // keyClicks knows ASCII keys only; other letters arrive as typed text.
    for (QChar c : name) {
      if (c.unicode() < 0x80)
        QTest::keyClick(box, c.toLatin1());
      else
        QTest::sendKeyEvent(QTest::Click, box, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
    QTest::keyClick(box, Qt::Key_Return);
  }
  QStringList Column(int column) const {
    QStringList texts;
    QTreeWidget* list = Selection();
    for (int i = 0; i < list->topLevelItemCount(); ++i)
      texts << list->topLevelItem(i)->text(column);
    return texts;
  }

  TempDir dir_;
  Directories dirs_;
  QtSettingsStore settings_;
  ScriptedResponder responder_;
  QtPlatform platform_;
  ExportState state_;
  std::unique_ptr<CExportDlg> owned_window_;
  CExportDlg* window_ = nullptr;  // the window the helpers act on
};

}  // namespace rh::test

#endif  // RECORDHAUL_TESTS_GUI_WINDOW_FIXTURE_H_
