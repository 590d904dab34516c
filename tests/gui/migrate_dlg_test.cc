#include "gui/migrate_dlg.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <filesystem>

#include "tests/gui/window_fixture.h"

namespace rh {
namespace {

class MigrateDialogTest : public test::WindowTest {
 protected:
  std::unique_ptr<CMigrateDlg> Dialog() {
    return std::make_unique<CMigrateDlg>(Env::Default(), dirs_, &platform_);
  }
  template <class W>
  static W* In(QDialog& d, const char* name) {
    W* w = d.findChild<W*>(name);
    EXPECT_NE(w, nullptr) << name;
    return w;
  }
  // Leaves only the modules whose codes are given checked.
  static void CheckOnly(QDialog& d, const QStringList& codes) {
    QListWidget* list = In<QListWidget>(d, "module_list");
    for (int i = 0; i < list->count(); ++i) {
      QListWidgetItem* item = list->item(i);
      item->setCheckState(codes.contains(item->text().left(4)) ? Qt::Checked : Qt::Unchecked);
    }
  }
  std::string Db() const { return dir_ / "acct.sqlite"; }
};

TEST_F(MigrateDialogTest, MigratesTheCheckedModulesAndShowsTheSummary) {
  auto d = Dialog();
  QListWidget* modules = In<QListWidget>(*d, "module_list");
  ASSERT_EQ(modules->count(), 17);
  EXPECT_EQ(modules->item(3)->text(), "QZAR - Accounts Receivable");
  EXPECT_EQ(modules->item(16)->checkState(), Qt::Checked);
  EXPECT_FALSE(In<QPushButton>(*d, "stop_button")->isEnabled());
  In<QLineEdit>(*d, "target_box")->setText(QString::fromStdString(Db()));
  CheckOnly(*d, {"QZGL", "QZAR"});
  In<QLineEdit>(*d, "company_box")->setText("01, 0a");
  In<QPushButton>(*d, "migrate_button")->click();
  ASSERT_TRUE(d->outcome().error.ok()) << d->outcome().error.ToString();
  const QString summary = In<QPlainTextEdit>(*d, "summary_box")->toPlainText();
  EXPECT_TRUE(summary.startsWith("Migration Complete.\n\nTables loaded: 24\nRecords loaded: 576\n"))
      << summary.toStdString();
  EXPECT_TRUE(summary.contains("qzar_contract_prices: 24 records (companies 01, 0A)"));
  QProgressBar* files = In<QProgressBar>(*d, "files_bar");
  EXPECT_EQ(files->value(), 48);
  EXPECT_EQ(files->maximum(), 48);
  EXPECT_EQ(In<QLabel>(*d, "progress_label")->text(), "Migration Complete");
  EXPECT_TRUE(std::filesystem::exists(Db()));
  EXPECT_TRUE(responder_.Messages().empty());
  EXPECT_TRUE(In<QPushButton>(*d, "close_button")->isEnabled());
}

TEST_F(MigrateDialogTest, StopEndsTheRunAndTheDialogStaysOpenMeanwhile) {
  auto d = Dialog();
  In<QLineEdit>(*d, "target_box")->setText(QString::fromStdString(Db()));
  bool closed = false;
  QObject::connect(d.get(), &QDialog::finished, [&] { closed = true; });
  QTimer::singleShot(0, d.get(), [&] {
    EXPECT_TRUE(In<QPushButton>(*d, "stop_button")->isEnabled());
    EXPECT_FALSE(In<QPushButton>(*d, "close_button")->isEnabled());
    static_cast<QDialog*>(d.get())->reject();  // Escape during the run
    In<QPushButton>(*d, "stop_button")->click();
  });
  In<QPushButton>(*d, "migrate_button")->click();
  EXPECT_FALSE(closed);
  EXPECT_TRUE(d->outcome().error.Is(MessageId::kMigrateInterrupted));
  EXPECT_EQ(responder_.Messages(),
            std::vector<std::string>{
                "Error: The migration was interrupted. The database is as it was before the run."});
  EXPECT_FALSE(std::filesystem::exists(Db()));
  EXPECT_FALSE(In<QPushButton>(*d, "stop_button")->isEnabled());
}

TEST_F(MigrateDialogTest, ARefusalIsShownAndBrowsePicksASqliteFile) {
  auto d = Dialog();
  In<QPushButton>(*d, "migrate_button")->click();
  EXPECT_TRUE(d->outcome().error.Is(MessageId::kMigrateNoDestination));
  ASSERT_EQ(responder_.Messages().size(), 1u);
  responder_.QueuePath(Db());
  In<QPushButton>(*d, "browse_button")->click();
  EXPECT_EQ(In<QLineEdit>(*d, "target_box")->text().toStdString(), Db());
  const auto& request = responder_.requests().back();
  EXPECT_EQ(request.kind, ScriptedResponder::Kind::kSaveFile);
  EXPECT_EQ(request.options.default_extension, "sqlite");
  EXPECT_FALSE(request.options.confirm_overwrite);
}

TEST_F(MigrateDialogTest, TheWindowsFileMenuOpensItOnTheWindowsDirectories) {
  Open();
  responder_.QueueDialog([&](QDialog& d) {
    In<QLineEdit>(d, "target_box")->setText(QString::fromStdString(Db()));
    CheckOnly(d, {"QZAP"});
    In<QPushButton>(d, "migrate_button")->click();
    EXPECT_TRUE(In<QPlainTextEdit>(d, "summary_box")->toPlainText().contains("Tables loaded: 7"));
    In<QPushButton>(d, "close_button")->click();
  });
  QAction* action = Action("migrate_installation");
  EXPECT_EQ(action->text(), "&Migrate Installation\u2026");
  action->trigger();
  EXPECT_TRUE(responder_.AllUsed());
  EXPECT_EQ(responder_.requests().back().text, "Migrate Installation");
  EXPECT_TRUE(std::filesystem::exists(Db()));
}

}  // namespace
}  // namespace rh
