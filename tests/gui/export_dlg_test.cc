// The main window driven through its widgets: its controls, the road of
// one export, the dBase question, rename mode and the destination box.
#include "gui/export_dlg.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QHeaderView>
#include <QWheelEvent>
#include <QMenu>
#include <QMenuBar>
#include <cstdio>

#include "cli/command.h"
#include "data/catalog.h"
#include "export/export_types.h"
#include "tests/gui/window_fixture.h"

namespace rh::test {
namespace {

using MainWindow = WindowTest;

TEST_F(MainWindow, ControlsCarryTheirTextsAndMnemonics) {
  Open();
  struct Labelled {
    const char* label;
    const char* control;
  };
  for (const Labelled& l : std::initializer_list<Labelled>{
           {"&Module name", "module_list"},
           {"Current &company", "company_list"},
           {"F&ile name", "file_list"},
           {"Export to:", "export_type_list"},
           {"Export &destination", "destination_box"},
           {"Fields a&vailable for export", "available_list"},
           {"Ne&w name", "new_name_box"}}) {
    QLabel* found = nullptr;
    for (QLabel* label : window_->findChildren<QLabel*>())
      if (label->text() == l.label) found = label;
    ASSERT_NE(found, nullptr) << l.label;
    ASSERT_NE(found->buddy(), nullptr) << l.label;
    EXPECT_EQ(found->buddy()->objectName(), l.control) << l.label;
  }
  struct Text {
    const char* control;
    const char* text;
  };
  for (const Text& b : std::initializer_list<Text>{{"browse_button", "&Browse"},
                                                   {"add_button", "&Add  >"},
                                                   {"add_all_button", "Add All &>>"},
                                                   {"remove_button", "< &Remove"},
                                                   {"remove_all_button", "<< Remove A&ll"},
                                                   {"apply_button", "Apply"},
                                                   {"export_button", "E&xport"}}) {
    EXPECT_EQ(Button(b.control)->text(), b.text) << b.control;
  }
  EXPECT_TRUE(Button("apply_button")->isDefault());

  QMenuBar* bar = window_->findChild<QMenuBar*>();
  ASSERT_NE(bar, nullptr);
  QStringList menus;
  for (QAction* menu : bar->actions()) {
    menus << menu->text();
    for (QAction* entry : menu->menu()->actions())
      menus << (entry->isSeparator() ? QString("-") : "  " + entry->text());
  }
  EXPECT_EQ(menus, QStringList({"&File", "  &New Template", "  &Open Template", "  Save Template",
                                "  &Save Template As", "-", "  T&allyvane Directories", "-",
                                "  E&xit", "&Help", "  Help...", "  &About"}));

  QTreeWidget* selection = Selection();
  EXPECT_EQ(selection->headerItem()->text(0), "Fields to be exported");
  EXPECT_EQ(selection->headerItem()->text(1), "Your name for fields to be exported");
  EXPECT_EQ(selection->columnWidth(0), 140);
  EXPECT_EQ(selection->header()->sectionSize(1), selection->columnWidth(1));
  EXPECT_GE(selection->columnWidth(1), 200);
  EXPECT_FALSE(selection->header()->sectionsClickable());
  EXPECT_EQ(selection->selectionMode(), QAbstractItemView::SingleSelection);
  EXPECT_EQ(Available()->selectionMode(), QAbstractItemView::ExtendedSelection);
  for (const char* list : {"module_list", "company_list", "file_list", "export_type_list"})
    EXPECT_FALSE(Combo(list)->isEditable()) << list;
  EXPECT_EQ(Edit("new_name_box")->maxLength(), 49);
}

TEST_F(MainWindow, StartsWithNothingChosen) {
  Open();
  EXPECT_EQ(window_->windowTitle(), "Quillmont Software Tallyvane Data Export - untitled");
  EXPECT_EQ(Combo("module_list")->count(), kModuleCount);
  EXPECT_EQ(Combo("module_list")->currentIndex(), -1);
  EXPECT_EQ(Combo("company_list")->count(), 0);
  EXPECT_EQ(Combo("file_list")->count(), 0);
  EXPECT_EQ(Combo("export_type_list")->count(), static_cast<int>(ExportTypes().size()));
  EXPECT_EQ(Combo("export_type_list")->currentText(), "Comma Delimited  with titles (*.txt)");
  EXPECT_EQ(Available()->count(), 0);
  EXPECT_EQ(Selection()->topLevelItemCount(), 0);
  EXPECT_EQ(Edit("destination_box")->text(), "");
  for (QWidget* w : {static_cast<QWidget*>(Find<QLabel>("new_name_label")),
                     static_cast<QWidget*>(Edit("new_name_box")),
                     static_cast<QWidget*>(Button("apply_button"))})
    EXPECT_FALSE(w->isEnabled()) << w->objectName().toStdString();
  EXPECT_FALSE(state_.modified);
}

// The typed-columns box serves the types that create tables through a
// connection; its state goes to the settings and comes back with the next
// window.
TEST_F(MainWindow, TypedColumnsBoxFollowsTheTypeAndIsKept) {
  Open();
  QCheckBox* box = Find<QCheckBox>("typed_box");
  EXPECT_FALSE(box->isChecked());
  struct Case {
    int type;
    bool enabled;
  } cases[] = {{kCsvWithTitles, false}, {kExcel, true}, {kDBase, true},
               {kAccess, true},         {kExcelWorkbook, false}};
  for (const Case& c : cases) {
    if (c.type == kDBase) responder_.QueueAnswer(Answer::kOk);  // names cut to 9
    Choose(Combo("export_type_list"), c.type);
    EXPECT_EQ(box->isEnabled(), c.enabled) << c.type;
  }
  Choose(Combo("export_type_list"), kAccess);
  box->click();
  EXPECT_TRUE(box->isChecked());
  EXPECT_TRUE(state_.options.typed);
  EXPECT_EQ(settings_.Read("export", "TypedColumns"), "1");
  state_ = ExportState();
  Open();
  EXPECT_TRUE(Find<QCheckBox>("typed_box")->isChecked());
}

TEST_F(MainWindow, WheelOverAListNotInUseChoosesNothing) {
  Open();
  ChooseBasics();
  AddFields({"Account Number"});
  Edit("destination_box")->setFocus();
  QComboBox* modules = Combo("module_list");
  QWheelEvent wheel(QPointF(5, 5), modules->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, -120),
                    Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(modules, &wheel);
  EXPECT_EQ(modules->currentText(), "General Ledger");
  EXPECT_EQ(Column(0), QStringList({"Account Number"}));
}

TEST_F(MainWindow, ExportsWhatTheWidgetsChose) {
  Open();
  ASSERT_EQ(Modules()[0].code, "QZGL");
  // The module with the keyboard, in the closed list.
  QComboBox* modules = Combo("module_list");
  modules->setFocus();
  QTest::keyClick(modules, Qt::Key_Down);
  EXPECT_EQ(modules->currentText(), "General Ledger");
  EXPECT_EQ(Combo("file_list")->currentText(), "Chart of Accounts Master");
  EXPECT_EQ(Combo("company_list")->currentIndex(), -1);
  EXPECT_GT(Available()->count(), 5);

  // Sorted, and the accounting texts shown in their own letters.
  QComboBox* companies = Combo("company_list");
  QStringList names;
  for (int i = 0; i < companies->count(); ++i) names << companies->itemText(i);
  EXPECT_EQ(names, QStringList({"01 - Quillmont Hardware Inc.",
                                QString::fromUtf8("02 - Soci\u00e9t\u00e9 Lumi\u00e8re Lt\u00e9e"),
                                "0A - Test Company (do not use)"}));
  Choose(companies, 1);
  EXPECT_EQ(state_.company_number, "02");

  AddFields({"Account Number", "Description", "Current Balance"});
  EXPECT_EQ(Column(0), QStringList({"Account Number", "Description", "Current Balance"}));
  Rename(1, "Acct Name");
  EXPECT_EQ(Column(1), QStringList({"Account Number", "Acct Name", "Current Balance"}));
  Choose(Combo("export_type_list"), kCsvWithTitles);
  const std::string dest = dir_ / "chart.csv";
  QLineEdit* destination = Edit("destination_box");
  destination->setFocus();
  QTest::keyClicks(destination, QString::fromStdString(dest));
  responder_.ClearRequests();
  Button("export_button")->click();

  ASSERT_EQ(responder_.Messages(),
            std::vector<std::string>{"Export Complete: Export Complete.\n\nRecords Exported:  12"});
  // The same export from the command line, which names the choices by code.
  const std::string reference = dir_ / "reference.csv";
  std::FILE* sink = std::tmpfile();
  cli::Context ctx;
  ctx.out = ctx.err = sink;
  EXPECT_EQ(cli::RunCommandLine({"export", "--module", "QZGL", "--company", "02", "--file", "1",
                                 "--type", "2", "--field", "Account Number", "--field",
                                 "Description=Acct Name", "--field", "Current Balance", "--dest",
                                 reference, "--data", dirs_.data, "--system", dirs_.system,
                                 "--programs", dirs_.programs, "--quiet"},
                                ctx),
            0);
  std::fclose(sink);
  const std::string written = ReadFile(dest);
  EXPECT_EQ(written, ReadFile(reference));
  EXPECT_EQ(written.substr(0, written.find('\n')),
            "\"Account Number\",\"Acct Name\",\"Current Balance\"\r");
  EXPECT_EQ(std::count(written.begin(), written.end(), '\n'), 13);
}

TEST_F(MainWindow, DBaseQuestionDecidesTheTypeAndNames) {
  struct Case {
    Answer answer;
    int type_shown;
    const char* destination;
    QStringList names;
  };
  for (const Case& c : {Case{Answer::kCancel, kCommaWithTitles, "chart.txt",
                             {"Account Number", "Current Balance"}},
                        Case{Answer::kOk, kDBase, "", {"ACCOUNT_N", "CURRENT_B"}}}) {
    SCOPED_TRACE(c.answer == Answer::kOk ? "OK" : "Cancel");
    state_ = ExportState();
    Open();
    ChooseBasics();
    AddFields({"Account Number", "Current Balance"});
    QTest::keyClicks(Edit("destination_box"), "chart.txt");
    responder_.ClearRequests();
    responder_.QueueAnswer(c.answer);
    Choose(Combo("export_type_list"), kDBase);
    ASSERT_EQ(responder_.requests().size(), 1u);
    EXPECT_EQ(responder_.requests()[0].style, MessageStyle::kOkCancel);
    EXPECT_EQ(responder_.Messages()[0],
              "Warning: All titles will be truncated to 9 characters in dBase format.");
    EXPECT_EQ(Combo("export_type_list")->currentIndex(), c.type_shown);
    EXPECT_EQ(Edit("destination_box")->text(), c.destination);
    EXPECT_EQ(Column(1), c.names);
  }
}

TEST_F(MainWindow, NewNameControlsFollowRenameMode) {
  Open();
  ChooseBasics();
  AddFields({"Account Number", "Description", "Account Type"});
  auto expect = [&](const char* step, bool renaming, const QString& text, int selected) {
    SCOPED_TRACE(step);
    EXPECT_EQ(Find<QLabel>("new_name_label")->isEnabled(), renaming);
    EXPECT_EQ(Edit("new_name_box")->isEnabled(), renaming);
    EXPECT_EQ(Button("apply_button")->isEnabled(), renaming);
    EXPECT_EQ(Edit("new_name_box")->text(), text);
    auto items = Selection()->selectedItems();
    EXPECT_EQ(items.isEmpty() ? -1 : Selection()->indexOfTopLevelItem(items.front()), selected);
  };
  expect("added", false, "", -1);
  ClickRow(1);
  expect("clicked", true, "Description", 1);
  QTest::keyClick(Selection(), Qt::Key_Down);
  expect("down", true, "Account Type", 2);
  QTest::keyClick(Selection(), Qt::Key_Down);
  expect("down on the last row", true, "Account Type", 2);
  QTest::keyClick(Selection(), Qt::Key_Up);
  expect("up", true, "Description", 1);
  QTest::keyClick(Selection(), Qt::Key_End);
  expect("other keys", true, "Description", 1);
  ClickAvailable("Department", Qt::NoModifier);
  expect("available list focused", false, "", -1);
  EXPECT_TRUE(Available()->item(3)->isSelected());

  ClickRow(0);
  EXPECT_FALSE(Available()->item(3)->isSelected());
  Button("remove_button")->click();
  expect("removed", false, "", -1);
  EXPECT_EQ(Column(0), QStringList({"Description", "Account Type"}));

  Rename(1, "Kind");
  expect("applied", false, "", -1);
  EXPECT_EQ(Column(1), QStringList({"Description", "Kind"}));
  // A click beside the rows renames the row most recently selected.
  QTest::mouseClick(Selection()->viewport(), Qt::LeftButton, Qt::NoModifier,
                    QPoint(10, Selection()->viewport()->height() - 5));
  expect("beside the rows", true, "Kind", -1);
  Button("remove_all_button")->click();
  expect("all removed", false, "", -1);
}

TEST_F(MainWindow, DestinationBoxHoldsWhatATemplateCanStore) {
  struct Case {
    QString typed;
    int shown;  // characters left in the box
  };
  for (const Case& c : {Case{QString(80, 'a'), 74}, Case{QString(40, QChar(0xe9)), 37},
                        Case{"/out/report.csv", 15}}) {
    SCOPED_TRACE(c.typed.toStdString());
    state_ = ExportState();
    Open();
    QLineEdit* box = Edit("destination_box");
    // One key per character; QTest::keyClicks knows ASCII keys only.
    for (QChar ch : c.typed) QTest::sendKeyEvent(QTest::Click, box, Qt::Key_unknown, QString(ch), {});
    EXPECT_EQ(box->text(), c.typed.left(c.shown));
    EXPECT_EQ(state_.destination_box, c.typed.left(c.shown).toStdString());
    EXPECT_LE(state_.destination_box.size(), kDestinationBoxLength);
    EXPECT_FALSE(state_.modified);  // typing changes no template
  }
  // Browse puts the chosen path in, doubled extension collapsed.
  responder_.QueuePath("/out/a.csv.csv");
  Button("browse_button")->click();
  EXPECT_EQ(Edit("destination_box")->text(), "/out/a.csv");
  EXPECT_TRUE(state_.modified);
}

}  // namespace
}  // namespace rh::test
