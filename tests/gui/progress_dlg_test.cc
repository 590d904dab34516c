#include "gui/progress_dlg.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QLabel>
#include <QScreen>
#include <QProgressBar>
#include <QtTest/QTest>

namespace rh {
namespace {

TEST(ProgressDialog, LooksLikeTheExportProgressWindow) {
  CProgressDlg dialog;
  EXPECT_EQ(dialog.windowTitle(), "Export Progress");
  EXPECT_EQ(dialog.PercentText(), "0%");
  Qt::WindowFlags flags = dialog.windowFlags();
  EXPECT_TRUE(flags.testFlag(Qt::WindowTitleHint));
  EXPECT_TRUE(flags.testFlag(Qt::WindowSystemMenuHint));
  EXPECT_FALSE(flags.testFlag(Qt::WindowCloseButtonHint));
  auto* bar = dialog.findChild<QProgressBar*>("progress_bar");
  ASSERT_NE(bar, nullptr);
  EXPECT_EQ(bar->minimum(), 0);
  EXPECT_EQ(bar->maximum(), 100);
  EXPECT_TRUE(dialog.findChildren<QAbstractButton*>().isEmpty());  // nothing to cancel with
}

TEST(ProgressDialog, ShowsThePercentage) {
  CProgressDlg dialog;
  dialog.Create();
  EXPECT_TRUE(dialog.isVisible());
  EXPECT_FALSE(dialog.isModal());
  dialog.SetRange(0, 100);
  const struct {
    int percent;
    const char* text;
  } cases[] = {{33, "33%"}, {37, "37%"}, {100, "100%"}, {0, "0%"}};
  for (const auto& c : cases) {
    dialog.SetPercent(c.percent);
    EXPECT_EQ(dialog.PercentText(), c.text);
    EXPECT_EQ(dialog.findChild<QLabel*>("percent_label")->text(), c.text);
    EXPECT_EQ(dialog.BarValue(), c.percent);
  }
  dialog.DestroyWindow();
  EXPECT_FALSE(dialog.isVisible());

  dialog.SetPercent(56);
  dialog.Create();  // a new run starts at 0%
  EXPECT_EQ(dialog.PercentText(), "0%");
  EXPECT_EQ(dialog.BarValue(), 0);
}

TEST(ProgressDialog, CannotBeClosedOrCancelled) {
  CProgressDlg dialog;
  dialog.Create();
  dialog.close();
  EXPECT_TRUE(dialog.isVisible());
  QTest::keyClick(&dialog, Qt::Key_Escape);
  EXPECT_TRUE(dialog.isVisible());
  dialog.DestroyWindow();
}

TEST(ProgressDialog, CentredOnTheScreen) {
  CProgressDlg dialog;
  dialog.Create();
  QRect screen = dialog.screen()->availableGeometry();
  QPoint centre = dialog.geometry().center();
  EXPECT_NEAR(centre.x(), screen.center().x(), 2);
  EXPECT_NEAR(centre.y(), screen.center().y(), 2);
  dialog.DestroyWindow();
}

}  // namespace
}  // namespace rh
