#include "gui/qt_file_dialog.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QTimer>
#include <functional>

#include "export/export_types.h"
#include "tests/test_util.h"

namespace rh {
namespace {

TEST(NameFilters, EveryExportTypeGivesOneFilter) {
  const char* expected[] = {
      "Comma Delimited  with titles (*.txt)",
      "Comma Delimited without titles (*.txt)",
      "CSV - comma delimited  with titles (*.csv)",
      "CSV - comma delimited w/out titles (*.csv)",
      "Text - Tab delimited with titles (*.txt)",
      "Text - Tab delimited w/out titles (*.txt)",
      "Fixed Field Length with titles (*.txt)",
      "Fixed Field Length w/out titles (*.txt)",
      "Excel worksheet (*.xls)",
      "dBase (*.dbf)",
      "Access (*.mdb)",
      "Excel workbook (*.xlsx)",
  };
  for (int t = 0; t < static_cast<int>(ExportTypes().size()); ++t) {
    std::string filter = DestinationFilter(FindExportType(t)->label);
    EXPECT_EQ(NameFiltersFromFilter(filter), QStringList{expected[t]}) << filter;
  }
}

TEST(NameFilters, ConvertsPairsPatternsAndEnds) {
  const struct {
    const char* filter;
    QStringList expected;
  } cases[] = {
      {"Tallyvane Export Files (*.xdf)|*.xdf|All Files|*.*||",
       {"Tallyvane Export Files (*.xdf)", "All Files (*)"}},
      {"", {}},
      {"||", {}},
      {"Text and CSV|*.txt;*.csv||", {"Text and CSV (*.txt *.csv)"}},
      {"Text (*.txt;*.csv)|*.txt;*.csv||", {"Text (*.txt *.csv)"}},
      {"Text|*.txt; *.TXT||", {"Text (*.txt *.TXT)"}},
      {" |*.log||", {"*.log"}},
      {"|*.log||", {}},
      {"Files (old)|*.old||", {"Files (old) (*.old)"}},
      {"No closing bars|*.abc", {"No closing bars (*.abc)"}},
      {"No pattern|", {"No pattern (*)"}},
      {"A|*.a||B|*.b||", {"A (*.a)"}},  // nothing after the closing bars
  };
  for (const auto& c : cases) EXPECT_EQ(NameFiltersFromFilter(c.filter), c.expected) << c.filter;
}

TEST(DefaultExtension, AddedOnlyToANameWithout) {
  const struct {
    const char* path;
    const char* extension;
    const char* expected;
  } cases[] = {
      {"/out/report", "txt", "/out/report.txt"},
      {"/out/report.csv", "txt", "/out/report.csv"},
      {"/out.d/report", "txt", "/out.d/report.txt"},
      {"/out/report", "", "/out/report"},
      {"/out/", "txt", "/out/"},
      {"report", "xdf", "report.xdf"},
      {"/out/.hidden", "txt", "/out/.hidden"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(WithDefaultExtension(c.path, c.extension), c.expected) << c.path;
}

TEST(FileDialog, TakesTheOptions) {
  test::TempDir dir;
  FileDialogOptions options;
  options.default_extension = "xdf";
  options.filter = "Tallyvane Export Files (*.xdf)|*.xdf|All Files|*.*||";
  options.initial_folder = dir.path();
  options.initial_path = "payroll.xdf";

  for (bool confirm : {false, true}) {
    options.confirm_overwrite = confirm;
    QFileDialog save;
    save.setOption(QFileDialog::DontUseNativeDialog);
    ConfigureFileDialog(save, options, FileDialogMode::kSave);
    EXPECT_EQ(save.acceptMode(), QFileDialog::AcceptSave);
    EXPECT_EQ(save.defaultSuffix(), "xdf");
    EXPECT_EQ(save.nameFilters(),
              (QStringList{"Tallyvane Export Files (*.xdf)", "All Files (*)"}));
    EXPECT_EQ(save.directory().absolutePath(), QString::fromStdString(dir.path()));
    EXPECT_EQ(save.testOption(QFileDialog::DontConfirmOverwrite), !confirm);
  }

  QFileDialog open;
  open.setOption(QFileDialog::DontUseNativeDialog);
  ConfigureFileDialog(open, options, FileDialogMode::kOpen);
  EXPECT_EQ(open.acceptMode(), QFileDialog::AcceptOpen);
  EXPECT_EQ(open.fileMode(), QFileDialog::AnyFile);  // a missing file is reported on opening
}

// Runs `act` on the file dialog once it is up.
void WhenDialogShows(std::function<void(QFileDialog&)> act) {
  QTimer::singleShot(0, [act] {
    auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    act(*dialog);
  });
}

TEST(FileDialog, ReturnsTheChosenPathWithItsExtension) {
  test::TempDir dir;
  const QString before = QDir::currentPath();
  FileDialogOptions options;
  options.default_extension = "csv";
  options.filter = DestinationFilter(FindExportType(kCsvWithTitles)->label);
  options.initial_folder = dir.path();

  WhenDialogShows([&](QFileDialog& d) {
    d.selectFile(QString::fromStdString(dir / "report"));
    static_cast<QDialog&>(d).accept();  // the file dialog's own accept
  });
  EXPECT_EQ(RunFileDialog(nullptr, options, FileDialogMode::kSave), dir / "report.csv");
  EXPECT_EQ(QDir::currentPath(), before);

  WhenDialogShows([](QFileDialog& d) { d.reject(); });
  EXPECT_EQ(RunFileDialog(nullptr, options, FileDialogMode::kOpen), std::nullopt);
}

}  // namespace
}  // namespace rh
