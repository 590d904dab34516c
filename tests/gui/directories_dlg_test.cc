#include "gui/directories_dlg.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest/QTest>

#include "platform/console_platform.h"
#include "gui/qt_platform.h"
#include "gui/scripted_responder.h"

namespace rh {
namespace {

struct Row {
  const char* box;
  const char* browse;
  const char* label;
  const char* prompt;
};

const Row kRows[] = {
    {"data_box", "data_browse", "&Data files:", "Please select your DATA folder."},
    {"system_box", "system_browse", "&System files:", "Please select your SYS folder."},
    {"programs_box", "programs_browse", "&Program files:", "Please select your PROGS folder."},
};

class DirectoriesDialogTest : public ::testing::Test {
 protected:
  DirectoriesDialogTest() : platform_(&settings_), dialog_(&platform_) {
    platform_.SetResponder(&responder_);
  }

  QLineEdit* Box(const Row& row) { return dialog_.findChild<QLineEdit*>(row.box); }
  QPushButton* Button(const char* name) { return dialog_.findChild<QPushButton*>(name); }

  MemorySettings settings_;
  QtPlatform platform_;
  ScriptedResponder responder_;
  CDirectoriesDlg dialog_;
};

TEST_F(DirectoriesDialogTest, LabelsBoxesAndButtons) {
  EXPECT_EQ(dialog_.windowTitle(), "Enter Your Tallyvane Directories");
  for (const Row& row : kRows) {
    QLineEdit* box = Box(row);
    ASSERT_NE(box, nullptr) << row.box;
    QLabel* label = nullptr;
    for (QLabel* l : dialog_.findChildren<QLabel*>())
      if (l->buddy() == box) label = l;
    ASSERT_NE(label, nullptr) << row.box;
    EXPECT_EQ(label->text(), row.label);
    ASSERT_NE(Button(row.browse), nullptr);
    EXPECT_EQ(Button(row.browse)->text(), "Browse");
  }
  // In that order, top to bottom.
  dialog_.adjustSize();
  EXPECT_LT(Box(kRows[0])->y(), Box(kRows[1])->y());
  EXPECT_LT(Box(kRows[1])->y(), Box(kRows[2])->y());
  EXPECT_EQ(Button("ok_button")->text(), "&OK");
  EXPECT_EQ(Button("cancel_button")->text(), "&Cancel");
}

TEST_F(DirectoriesDialogTest, BoxesShowTheDirectoriesAndOkTakesTheTypedTexts) {
  dialog_.Load({"/d", "/s", "/p"});
  EXPECT_EQ(Box(kRows[0])->text(), "/d");
  EXPECT_EQ(Box(kRows[1])->text(), "/s");
  EXPECT_EQ(Box(kRows[2])->text(), "/p");

  const std::string long_dir = "/" + std::string(200, 'x') + "/DATA";
  Box(kRows[0])->clear();
  QTest::keyClicks(Box(kRows[0]), QString::fromStdString(long_dir));
  QTest::keyClicks(Box(kRows[1]), "\\");  // a trailing separator stays
  Box(kRows[2])->setText("  spaced  ");
  QTest::mouseClick(Button("ok_button"), Qt::LeftButton);
  EXPECT_EQ(dialog_.result(), QDialog::Accepted);
  Directories entered = dialog_.Entered();
  EXPECT_EQ(entered.data, long_dir);
  EXPECT_EQ(entered.system, "/s\\");
  EXPECT_EQ(entered.programs, "  spaced  ");
}

TEST_F(DirectoriesDialogTest, EnterMeansOkAndEscapeCancel) {
  dialog_.show();
  QTest::keyClick(Box(kRows[0]), Qt::Key_Return);
  EXPECT_EQ(dialog_.result(), QDialog::Accepted);
  dialog_.show();
  QTest::keyClick(Box(kRows[0]), Qt::Key_Escape);
  EXPECT_EQ(dialog_.result(), QDialog::Rejected);
}

TEST_F(DirectoriesDialogTest, BrowseReplacesTheBoxWithThePickedFolder) {
  const struct {
    std::optional<std::string> picked;
    const char* box_after;
    bool error_shown;
  } cases[] = {
      {"/srv/acct/DATA", "/srv/acct/DATA", false},
      {std::nullopt, "", false},  // cancelled: the box is emptied
      {std::string(), "", true},  // no file-system path
  };
  for (const Row& row : kRows) {
    for (const auto& c : cases) {
      SCOPED_TRACE(std::string(row.box) + " <- " + c.picked.value_or("(cancel)"));
      Box(row)->setText("old text");
      responder_.ClearRequests();
      responder_.QueueFolder(c.picked);
      QTest::mouseClick(Button(row.browse), Qt::LeftButton);
      EXPECT_EQ(Box(row)->text(), c.box_after);
      ASSERT_GE(responder_.requests().size(), 1u);
      EXPECT_EQ(responder_.requests()[0].kind, ScriptedResponder::Kind::kPickFolder);
      EXPECT_EQ(responder_.requests()[0].text, row.prompt);
      std::vector<std::string> messages = responder_.Messages();
      if (c.error_shown) {
        EXPECT_EQ(messages, std::vector<std::string>{
                                "recordhaul: Error - Could not open Directory."});
        EXPECT_EQ(responder_.requests()[1].style, MessageStyle::kOk);
      } else {
        EXPECT_TRUE(messages.empty());
      }
    }
  }
  EXPECT_TRUE(dialog_.isHidden());  // Browse does not close the dialog
  EXPECT_EQ(dialog_.result(), QDialog::Rejected);
}

TEST_F(DirectoriesDialogTest, BrowseThenOkOnlyChangesThatBox) {
  dialog_.Load({"/d", "/s", "/p"});
  responder_.QueueFolder("/picked/SYS");
  Button("system_browse")->click();
  Button("ok_button")->click();
  Directories entered = dialog_.Entered();
  EXPECT_EQ(entered.data, "/d");
  EXPECT_EQ(entered.system, "/picked/SYS");
  EXPECT_EQ(entered.programs, "/p");
}

}  // namespace
}  // namespace rh
