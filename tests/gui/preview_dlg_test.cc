// The window's Preview and its encoding list, driven through the widgets.
#include <QTableWidget>
#include <cstdlib>

#include "cli/command.h"
#include "gui/preview_dlg.h"
#include "tests/gui/window_fixture.h"

namespace rh::test {
namespace {

class PreviewWindow : public WindowTest {};

// The cells of a table, row by row, with the headers first.
std::vector<std::vector<std::string>> Cells(const QTableWidget& table) {
  std::vector<std::vector<std::string>> cells(1);
  for (int c = 0; c < table.columnCount(); ++c)
    cells[0].push_back(table.horizontalHeaderItem(c)->text().toStdString());
  for (int r = 0; r < table.rowCount(); ++r) {
    cells.emplace_back();
    for (int c = 0; c < table.columnCount(); ++c) cells.back().push_back(table.item(r, c)->text().toStdString());
  }
  return cells;
}

// A comma-delimited file's rows: every value quoted, a quote inside doubled.
std::vector<std::vector<std::string>> CsvRows(const std::string& text) {
  std::vector<std::vector<std::string>> rows(1);
  bool quoted = false;
  std::string value;
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (quoted && c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
      value += '"';
      ++i;
    } else if (c == '"') {
      quoted = !quoted;
    } else if (!quoted && c == ',') {
      rows.back().push_back(std::move(value));
      value.clear();
    } else if (!quoted && c == '\r') {
      rows.back().push_back(std::move(value));
      value.clear();
      rows.emplace_back();
      ++i;  // the LF
    } else {
      value += c;
    }
  }
  rows.pop_back();  // after the last CR LF
  return rows;
}

TEST_F(PreviewWindow, ShowsWhatTheCsvExportWrites) {
  Open();
  ChooseBasics("Accounts Receivable", QString::fromUtf8("02 - Soci\u00e9t\u00e9 Lumi\u00e8re Lt\u00e9e"));
  AddFields({"Customer Name", "Balance", "Credit Limit"});
  Rename(0, QString::fromUtf8("Kunde \u00e4"));
  std::vector<std::vector<std::string>> shown;
  responder_.QueueDialog([&](QDialog& dialog) {
    auto* preview = dynamic_cast<CPreviewDlg*>(&dialog);
    ASSERT_NE(preview, nullptr);
    shown = Cells(*preview->table());
    EXPECT_TRUE(dialog.findChild<QLabel*>("preview_count")->text().startsWith("12 of 12"));
    if (const char* png = std::getenv("RECORDHAUL_PREVIEW_PNG")) dialog.grab().save(png);
  });
  Button("preview_button")->click();
  ASSERT_FALSE(shown.empty());

  const std::string csv = dir_ / "same.csv";
  std::FILE* sink = std::tmpfile();
  cli::Context ctx;
  ctx.out = ctx.err = sink;
  ASSERT_EQ(cli::RunCommandLine({"export", "--module", "QZAR", "--company", "02", "--file", "1",
                                 "--field", "Customer Name=Kunde \xc3\xa4", "--field", "credit limit",
                                 "--field", "Balance", "--dest", csv, "--encoding", "utf-8",
                                 "--data", dirs_.data, "--system", dirs_.system, "--programs",
                                 dirs_.programs},
                                ctx),
            0);
  std::fclose(sink);
  EXPECT_EQ(shown, CsvRows(ReadFile(csv)));
}

TEST_F(PreviewWindow, WithoutChoicesSaysWhyAndShowsNothing) {
  Open();
  Action("preview")->trigger();
  EXPECT_EQ(responder_.Messages(),
            std::vector<std::string>{
                "Error: Cannot Export Without Selecting A Module, Company, And File"});
  for (const auto& r : responder_.requests())
    EXPECT_NE(r.kind, ScriptedResponder::Kind::kModalDialog);
}

TEST_F(PreviewWindow, EncodingIsKeptInTheSettingsForTextTypes) {
  Open();
  QComboBox* encoding = Combo("encoding_list");
  EXPECT_EQ(encoding->currentText(), "Windows-1252");
  Choose(encoding, IndexOf(encoding, "UTF-8 with BOM"));
  EXPECT_EQ(state_.options.encoding, TextEncoding::kUtf8);
  EXPECT_TRUE(state_.options.byte_order_mark);
  EXPECT_EQ(settings_.Read("export", "Encoding"), "utf-8");
  Choose(Combo("export_type_list"), kExcel);
  EXPECT_FALSE(encoding->isEnabled());
  Choose(Combo("export_type_list"), kTabWithTitles);
  EXPECT_TRUE(encoding->isEnabled());

  // A new window starts with the saved choice.
  state_ = ExportState();
  Open();
  EXPECT_EQ(Combo("encoding_list")->currentText(), "UTF-8 with BOM");
}

}  // namespace
}  // namespace rh::test
