#include "gui/qt_platform.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>

#include "gui/progress_dlg.h"
#include "platform/console_platform.h"
#include "gui/scripted_responder.h"

namespace rh {
namespace {

class QtPlatformTest : public ::testing::Test {
 protected:
  QtPlatformTest() : platform_(&settings_) { platform_.SetResponder(&responder_); }

  MemorySettings settings_;
  QtPlatform platform_;
  ScriptedResponder responder_;
};

TEST_F(QtPlatformTest, MessagesGoToTheResponderWithTheirExactTexts) {
  responder_.QueueAnswer(Answer::kYes);
  EXPECT_EQ(platform_.Show(MessageId::kAlreadyExported, {"Salary"}), Answer::kYes);
  // Nothing queued: the answer that changes nothing.
  EXPECT_EQ(platform_.Message({MessageId::kNone, "q", "Warning", MessageStyle::kYesNoCancelQuestion, {}}), Answer::kCancel);
  EXPECT_EQ(platform_.Message({MessageId::kNone, "q", "Warning", MessageStyle::kYesNoExclamation, {}}), Answer::kNo);
  EXPECT_EQ(platform_.Message({MessageId::kNone, "q", "Warning", MessageStyle::kOkCancel, {}}), Answer::kCancel);
  EXPECT_EQ(platform_.Message({MessageId::kNone, "done", "Export Complete", MessageStyle::kOk, {}}), Answer::kOk);

  ASSERT_EQ(responder_.requests().size(), 5u);
  const auto& first = responder_.requests()[0];
  EXPECT_EQ(first.text, "Warning, Salary already exported\n\tExport Again?");
  EXPECT_EQ(first.caption, "recordhaul");
  EXPECT_EQ(first.style, MessageStyle::kYesNo);
  EXPECT_EQ(responder_.Messages().back(), "Export Complete: done");
}

TEST_F(QtPlatformTest, FileDialogsAndFolderPickerAreScripted) {
  FileDialogOptions options;
  options.default_extension = "xdf";
  options.filter = "Tallyvane Export Files (*.xdf)|*.xdf|All Files|*.*||";
  responder_.QueuePath("/t/a.xdf");
  responder_.QueuePath(std::nullopt);
  responder_.QueueFolder("/acct/data");
  responder_.QueueFolder(std::string());

  EXPECT_EQ(platform_.SaveFileDialog(options), "/t/a.xdf");
  EXPECT_EQ(platform_.OpenFileDialog(options), std::nullopt);
  EXPECT_EQ(platform_.PickFolder("Please select your DATA folder."), "/acct/data");
  EXPECT_EQ(platform_.PickFolder("p"), "");
  EXPECT_EQ(platform_.PickFolder("p"), std::nullopt);  // nothing queued: cancelled
  EXPECT_TRUE(responder_.AllUsed());

  const auto& r = responder_.requests();
  ASSERT_EQ(r.size(), 5u);
  EXPECT_EQ(r[0].kind, ScriptedResponder::Kind::kSaveFile);
  EXPECT_EQ(r[0].options.filter, options.filter);
  EXPECT_EQ(r[1].kind, ScriptedResponder::Kind::kOpenFile);
  EXPECT_EQ(r[2].kind, ScriptedResponder::Kind::kPickFolder);
  EXPECT_EQ(r[2].text, "Please select your DATA folder.");
}

TEST_F(QtPlatformTest, ModalDialogsAreHandedToTheResponder) {
  QDialog dialog;
  dialog.setWindowTitle("About Data Export Tool");
  EXPECT_EQ(platform_.RunModal(dialog), QDialog::Rejected);  // unscripted
  responder_.QueueDialog([](QDialog& d) { d.accept(); });
  EXPECT_EQ(platform_.RunModal(dialog), QDialog::Accepted);
  ASSERT_EQ(responder_.requests().size(), 2u);
  EXPECT_EQ(responder_.requests()[0].kind, ScriptedResponder::Kind::kModalDialog);
  EXPECT_EQ(responder_.requests()[0].text, "About Data Export Tool");
  EXPECT_FALSE(dialog.isVisible());
}

TEST_F(QtPlatformTest, EditDirectoriesShowsTheDirectoriesDialog) {
  Directories dirs{"/d", "/s", "/p"};
  // Cancelled: nothing changes.
  responder_.QueueDialog([](QDialog& d) {
    d.findChild<QLineEdit*>("data_box")->setText("/changed");
    d.findChild<QPushButton*>("cancel_button")->click();
  });
  EXPECT_FALSE(platform_.EditDirectories(&dirs));
  EXPECT_EQ(dirs.data, "/d");

  // OK: the boxes' texts, the program box emptied.
  responder_.QueueDialog([](QDialog& d) {
    EXPECT_EQ(d.windowTitle(), "Enter Your Tallyvane Directories");
    EXPECT_EQ(d.findChild<QLineEdit*>("system_box")->text(), "/s");
    d.findChild<QLineEdit*>("data_box")->setText("/new data\\");
    d.findChild<QLineEdit*>("programs_box")->clear();
    d.findChild<QPushButton*>("ok_button")->click();
  });
  EXPECT_TRUE(platform_.EditDirectories(&dirs));
  EXPECT_EQ(dirs.data, "/new data\\");
  EXPECT_EQ(dirs.system, "/s");
  EXPECT_EQ(dirs.programs, "");
}

TEST_F(QtPlatformTest, ProgressWindowLivesForOneRun) {
  EXPECT_EQ(platform_.ProgressWindow(), nullptr);
  platform_.ProgressCreate();
  CProgressDlg* window = platform_.ProgressWindow();
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(window->isVisible());
  EXPECT_FALSE(window->isModal());
  EXPECT_EQ(window->PercentText(), "0%");
  for (int p : {1, 20, 37}) platform_.ProgressSetPercent(p);
  EXPECT_EQ(window->PercentText(), "37%");
  EXPECT_EQ(window->BarValue(), 37);
  platform_.ProgressDestroy();
  EXPECT_EQ(platform_.ProgressWindow(), nullptr);
  platform_.ProgressSetPercent(50);  // between runs: ignored
  platform_.ProgressDestroy();
}

TEST_F(QtPlatformTest, WaitCursorIsBalanced) {
  ASSERT_EQ(QApplication::overrideCursor(), nullptr);
  platform_.BeginWaitCursor();
  ASSERT_NE(QApplication::overrideCursor(), nullptr);
  EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
  platform_.EndWaitCursor();
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
  platform_.EndWaitCursor();  // an extra end does not pop someone else's cursor
  EXPECT_FALSE(platform_.WaitCursorShown());

  {
    QtPlatform other(&settings_);
    other.BeginWaitCursor();
  }  // a platform going away drops the cursor it set
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(QtPlatformTest, SettingsAndDocumentsFolder) {
  ASSERT_TRUE(platform_.Settings().Write("dirs", "AUSER", "/x").ok());
  EXPECT_EQ(settings_.Read("dirs", "AUSER"), "/x");
  EXPECT_FALSE(platform_.DocumentsFolder().empty());
}

}  // namespace
}  // namespace rh
