#include "app/template_commands.h"

#include <gtest/gtest.h>

#include "app/choice_cascade.h"
#include "app/window_commands.h"
#include "tests/fake_platform.h"
#include "tests/fixture.h"

namespace rh {
namespace {

class TemplateTest : public ::testing::Test {
 protected:
  TemplateTest() {
    inst_.SetRecords(0, {});
    s_.dirs = {inst_.data(), inst_.system(), inst_.programs()};
    NewTemplate(s_, ui_);
  }
  // Module QZGL, its file 2, company 01, three rows, dBase, a destination.
  void Choose() {
    ChooseModule(s_, ui_, 0);
    ChooseDataFile(s_, ui_, 1);
    CompanyEntryChanged(s_, 0);
    ConfirmCompany(s_, ui_);
    ui_.answers = {Answer::kOk};
    ChooseExportType(s_, ui_, kDBase);
    auto sel = std::vector<bool>(s_.available.entries.size(), false);
    sel[0] = sel[9] = true;
    const auto again = [](const std::string&) { return true; };
    s_.selection.AddFields(s_.available.entries, sel, again, s_.NameRules());
    s_.selection.AddFields(s_.available.entries, sel, again, s_.NameRules());
    s_.destination_box = "/tmp/out.dbf";
  }
  std::string Path(const std::string& name) { return inst_.dir() / name; }

  test::Installation inst_;
  test::FakePlatform ui_;
  ExportState s_;
};

TEST_F(TemplateTest, NewTemplateIsUntitledAndEmpty) {
  EXPECT_EQ(s_.window_title, "Quillmont Software Tallyvane Data Export - untitled");
  EXPECT_EQ(s_.template_path, inst_.data() + "/untitled.xdf");
  EXPECT_FALSE(s_.module_list.HasCurrent());
  EXPECT_EQ(s_.export_type_list.current, 0);
  EXPECT_FALSE(s_.modified);
  // Save with nothing chosen: the message, nothing written, no dialog.
  EXPECT_FALSE(SaveTemplate(s_, ui_));
  ASSERT_EQ(ui_.messages.size(), 1u);
  EXPECT_EQ(ui_.messages[0].text, "Cannot save without selecting a Module, Company, and File");
  EXPECT_EQ(ui_.messages[0].caption, "recordhaul");
  EXPECT_TRUE(ui_.dialogs.empty());
}

TEST_F(TemplateTest, SaveAsThenOpenRestoresEverything) {
  Choose();
  ui_.save_paths = {Path("payroll.xdf")};
  ASSERT_TRUE(SaveTemplate(s_, ui_));  // untitled: goes through Save As
  ASSERT_EQ(ui_.dialogs.size(), 1u);
  EXPECT_EQ(ui_.dialogs[0].filter, "Tallyvane Export Files (*.xdf)|*.xdf|All Files|*.*||");
  EXPECT_EQ(ui_.dialogs[0].default_extension, "xdf");
  EXPECT_EQ(ui_.dialogs[0].initial_path, inst_.data() + "/untitled.xdf");
  EXPECT_TRUE(ui_.dialogs[0].confirm_overwrite);
  EXPECT_EQ(s_.window_title, "Quillmont Software Tallyvane Data Export - payroll.xdf");
  EXPECT_FALSE(s_.modified);
  const auto saved_rows = s_.selection.rows();

  NewTemplate(s_, ui_);
  ui_.open_paths = {Path("payroll.xdf")};
  ui_.messages.clear();
  OpenTemplate(s_, ui_);
  EXPECT_TRUE(ui_.messages.empty());
  EXPECT_EQ(s_.module_list.current, 0);
  EXPECT_EQ(s_.file_list.CurrentText(), "Chart of Accounts Totals");
  EXPECT_EQ(s_.file_number, 2);
  EXPECT_EQ(s_.company_list.CurrentText(), "01 - Test Co");
  EXPECT_EQ(s_.company_number, "01");
  EXPECT_EQ(s_.export_type(), kDBase);
  EXPECT_EQ(s_.default_extension(), "dbf");
  EXPECT_EQ(s_.destination_box, "/tmp/out.dbf");
  ASSERT_EQ(s_.selection.size(), 4u);
  for (size_t i = 0; i < 4; ++i) {
    EXPECT_EQ(s_.selection.rows()[i].field_name, saved_rows[i].field_name);
    EXPECT_EQ(s_.selection.rows()[i].export_name, saved_rows[i].export_name);
    EXPECT_EQ(s_.selection.rows()[i].source_position, saved_rows[i].source_position);
  }
  EXPECT_EQ(s_.selection.rows()[2].export_name, "NAM1");
  EXPECT_FALSE(s_.modified);
  EXPECT_FALSE(s_.loading);
  EXPECT_EQ(s_.window_title, "Quillmont Software Tallyvane Data Export - payroll.xdf");

  // Save again writes the same bytes, to the same path, with no dialog.
  const std::string before = test::ReadFile(Path("payroll.xdf"));
  ui_.dialogs.clear();
  ASSERT_TRUE(SaveTemplate(s_, ui_));
  EXPECT_TRUE(ui_.dialogs.empty());
  EXPECT_EQ(test::ReadFile(Path("payroll.xdf")), before);
}

TEST_F(TemplateTest, NoNormalisationOnOpenAndShortDestinations) {
  TemplateRecord r;
  r.module_index = 0;
  r.file_number = 1;
  r.company = "01";
  r.export_type = kDBase;
  r.destination = "ab";
  r.positions = {0, 0};
  r.names = {"a name longer than nine", "a name longer than nine"};
  ASSERT_TRUE(WriteTemplateFile(Env::Default(), Path("t.xdf"), r, false).ok());
  ASSERT_TRUE(OpenTemplateFile(s_, ui_, Path("t.xdf")).ok());
  EXPECT_EQ(s_.selection.rows()[1].export_name, "a name longer than nine");
  EXPECT_EQ(s_.destination_box, "");
}

TEST_F(TemplateTest, RefusedTemplatesChangeNothing) {
  Choose();
  const auto rows = s_.selection.rows();
  test::WriteFile(Path("short.xdf"), std::string(100, '\0'));
  TemplateRecord bad;
  bad.module_index = 17;
  ASSERT_TRUE(WriteTemplateFile(Env::Default(), Path("bad.xdf"), bad, false).ok());
  for (const char* name : {"short.xdf", "bad.xdf", "missing.xdf"}) {
    ui_.messages.clear();
    ui_.open_paths = {Path(name)};
    s_.modified = false;
    OpenTemplate(s_, ui_);
    ASSERT_EQ(ui_.messages.size(), 1u) << name;
    EXPECT_EQ(s_.selection.size(), rows.size()) << name;
    EXPECT_EQ(s_.export_type(), kDBase);
  }
  EXPECT_EQ(ui_.messages[0].text, Path("missing.xdf") + " was not found.");
}

TEST_F(TemplateTest, PositionsPastTheListAreLeftOutWithOneWarning) {
  TemplateRecord r;
  r.file_number = 1;
  r.company = "01";
  r.positions = {0, 500, 2, -7};
  r.names = {"A", "B", "C", "D"};
  ASSERT_TRUE(WriteTemplateFile(Env::Default(), Path("t.xdf"), r, false).ok());
  ASSERT_TRUE(OpenTemplateFile(s_, ui_, Path("t.xdf")).ok());
  ASSERT_EQ(s_.selection.size(), 2u);
  EXPECT_EQ(s_.selection.rows()[1].export_name, "C");
  ASSERT_EQ(ui_.messages.size(), 1u);
  EXPECT_EQ(ui_.messages[0].caption, "Warning");
  EXPECT_NE(ui_.messages[0].text.find("2 of the template's fields"), std::string::npos);
}

TEST_F(TemplateTest, PromptSaveChangesAnswers) {
  struct Case {
    Answer answer;
    bool chosen;   // module, company and file chosen
    bool written;
  } cases[] = {{Answer::kNo, true, false}, {Answer::kYes, true, true}, {Answer::kYes, false, false}};
  for (const auto& c : cases) {
    NewTemplate(s_, ui_);
    if (c.chosen) Choose();
    s_.template_path = Path("p.xdf");
    std::filesystem::remove(Path("p.xdf"));
    test::WriteFile(Path("p.xdf"), "");  // Save writes over an existing template only
    s_.modified = true;
    ui_.messages.clear();
    ui_.answers = {c.answer};
    PromptSaveChanges(s_, ui_);
    EXPECT_FALSE(s_.modified);
    ASSERT_FALSE(ui_.messages.empty());
    EXPECT_EQ(ui_.messages[0].text,
              "Template file not saved.\nAll data will be lost.\nDo you want to save changes?");
    EXPECT_EQ(ui_.messages[0].style, MessageStyle::kYesNoExclamation);
    EXPECT_EQ(test::ReadFile(Path("p.xdf")).size(), c.written ? 16348u : 0u);
  }
  // No question when nothing changed.
  ui_.messages.clear();
  PromptSaveChanges(s_, ui_);
  EXPECT_TRUE(ui_.messages.empty());
}

TEST_F(TemplateTest, SaveToAVanishedTemplateFails) {
  Choose();
  s_.template_path = Path("gone/t.xdf");
  s_.modified = true;
  EXPECT_FALSE(SaveTemplate(s_, ui_));
  EXPECT_TRUE(s_.modified);
  EXPECT_EQ(ui_.messages.back().text, Path("gone/t.xdf") + " was not found.");
}

TEST_F(TemplateTest, BrowseKeepsTheTypedFolderOrStartsInDocuments) {
  struct Case {
    std::string box;
    std::optional<std::string> chosen;
    std::string folder;  // the dialog's starting folder
    std::string after;
  } cases[] = {
      {"", "/d/a.csv.csv", "/docs", "/d/a.csv"},
      {"/out/x.txt", std::nullopt, "", "/out/x.txt"},
      {"ab", "/r/report.txt.txt.txt", "/docs", "/r/report.txt"},
      {"d:x", "/r/Report.TXT.txt", "", "/r/Report.TXT.txt"},
  };
  ui_.documents = "/docs";
  for (const auto& c : cases) {
    s_.destination_box = c.box;
    s_.modified = false;
    ui_.dialogs.clear();
    ui_.save_paths = {c.chosen};
    BrowseDestination(s_, ui_);
    EXPECT_TRUE(s_.modified);
    ASSERT_EQ(ui_.dialogs.size(), 1u);
    EXPECT_EQ(ui_.dialogs[0].initial_folder, c.folder) << c.box;
    EXPECT_EQ(ui_.dialogs[0].initial_path, c.box);
    EXPECT_FALSE(ui_.dialogs[0].confirm_overwrite);
    EXPECT_EQ(s_.destination_box, c.after);
  }
  // A path longer than the box holds is refused; the box keeps its text.
  s_.destination_box = "/keep.txt";
  ui_.save_paths = {"/" + std::string(80, 'p')};
  BrowseDestination(s_, ui_);
  EXPECT_EQ(s_.destination_box, "/keep.txt");
}

TEST(CollapseDoubledExtensions, Cases) {
  EXPECT_EQ(CollapseDoubledExtensions("report.txt.txt"), "report.txt");
  EXPECT_EQ(CollapseDoubledExtensions("report.txt.txt.txt"), "report.txt");
  EXPECT_EQ(CollapseDoubledExtensions("a.csv.txt"), "a.csv.txt");
  EXPECT_EQ(CollapseDoubledExtensions("a.TXT.txt"), "a.TXT.txt");
  EXPECT_EQ(CollapseDoubledExtensions(".txt.txt"), ".txt");
  EXPECT_EQ(CollapseDoubledExtensions("x"), "x");
}

}  // namespace
}  // namespace rh
