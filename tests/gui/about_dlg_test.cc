#include "gui/about_dlg.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>

namespace rh {
namespace {

TEST(AboutDialog, TitleIconLineAndOk) {
  CAboutDlg dialog;
  EXPECT_EQ(dialog.windowTitle(), "About Data Export Tool");
  EXPECT_TRUE(dialog.isModal());
  auto* text = dialog.findChild<QLabel*>("about_text");
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(text->text(), "KVT Tallyvane Data Export Tool ");
  auto* icon = dialog.findChild<QLabel*>("about_icon");
  ASSERT_NE(icon, nullptr);
  EXPECT_FALSE(icon->pixmap().isNull());
  auto* ok = dialog.findChild<QPushButton*>("ok_button");
  ASSERT_NE(ok, nullptr);
  EXPECT_EQ(ok->text(), "&OK");
  ok->click();
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
}

}  // namespace
}  // namespace rh
