// The program in window mode: start-up, closing with the save question,
// templates through the File menu, help and About, and the screenshot.
#include "gui/export_app.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QImage>
#include <QTextBrowser>
#include <QTimer>
#include <filesystem>
#include <functional>

#include "gui/help_viewer.h"
#include "gui/export_dlg.h"
#include "gui/progress_dlg.h"
#include "cli/commands.h"
#include "gui/screenshot.h"
#include "tests/gui/window_fixture.h"

namespace rh::test {
namespace {

constexpr char kSaveQuestion[] =
    "Warning: Template file not saved.\nAll data will be lost.\nDo you want to save changes?";

class ExportApp : public WindowTest {
 protected:
  // Runs the program with `user` acting once the window is up; the window
  // is closed afterwards if `user` left it open, so a failure cannot hang.
  // Whether `user` ran, that is, whether the window opened.
  bool RunApp(const std::function<void(CExportDlg&)>& user) {
    CExportApp app(&platform_);
    bool ran = false;
    QTimer timer;  // goes with the app, fired or not
    timer.setSingleShot(true);
    QObject::connect(&timer, &QTimer::timeout, [&] {
      if (app.window() == nullptr) return;
      ran = true;
      window_ = app.window();
      user(*app.window());
      if (app.window()->isVisible()) {
        ADD_FAILURE() << "the window stayed open";
        app.window()->done(QDialog::Rejected);
      }
    });
    timer.start(0);
    EXPECT_EQ(app.Run(), 0);
    EXPECT_EQ(app.window(), nullptr);
    window_ = nullptr;
    return ran;
  }
};

TEST_F(ExportApp, CancellingTheDirectoriesEndsTheProgramWithoutSettings) {
  const std::string ini = dir_ / "config/recordhaul.ini";
  EXPECT_FALSE(RunApp([](CExportDlg&) {}));
  ASSERT_EQ(responder_.requests().size(), 1u);
  EXPECT_EQ(responder_.requests()[0].kind, ScriptedResponder::Kind::kModalDialog);
  EXPECT_EQ(responder_.requests()[0].text, "Enter Your Tallyvane Directories");
  EXPECT_FALSE(std::filesystem::exists(ini));
}

TEST_F(ExportApp, AsksForTheDirectoriesThenOpensTheWindow) {
  responder_.QueueDialog([&](QDialog& d) {
    d.findChild<QLineEdit*>("data_box")->setText(QString::fromStdString(dirs_.data));
    d.findChild<QLineEdit*>("system_box")->setText(QString::fromStdString(dirs_.system));
    d.findChild<QLineEdit*>("programs_box")->setText(QString::fromStdString(dirs_.programs));
    d.findChild<QPushButton*>("ok_button")->click();
  });
  EXPECT_TRUE(RunApp([&](CExportDlg& w) {
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(w.windowTitle(), "Quillmont Software Tallyvane Data Export - untitled");
    Action("exit")->trigger();
  }));
  EXPECT_EQ(settings_.Read("dirs", "AUSER"), dirs_.data);
  EXPECT_EQ(settings_.Read("dirs", "APROGS"), dirs_.programs);
  EXPECT_TRUE(responder_.AllUsed());
}

TEST_F(ExportApp, ClosingAsksOnceWhenChangedThenEnds) {
  struct Case {
    const char* how;
    std::function<void(CExportDlg&)> close;
  };
  const Case cases[] = {
      {"Exit", [this](CExportDlg&) { Action("exit")->trigger(); }},
      {"Escape", [](CExportDlg& w) { QTest::keyClick(&w, Qt::Key_Escape); }},
      {"close box", [](CExportDlg& w) { w.close(); }},
  };
  for (const Case& c : cases) {
    for (bool changed : {false, true}) {
      SCOPED_TRACE(std::string(c.how) + (changed ? ", changed" : ", unchanged"));
      SaveDirectories();
      responder_.ClearRequests();
      if (changed) responder_.QueueAnswer(Answer::kNo);
      EXPECT_TRUE(RunApp([&](CExportDlg& w) {
        if (changed) ChooseBasics();
        c.close(w);
        EXPECT_FALSE(w.isVisible());
      }));
      std::vector<std::string> asked;
      if (changed) asked.push_back(kSaveQuestion);
      EXPECT_EQ(responder_.Messages(), asked);
      EXPECT_TRUE(responder_.AllUsed());
    }
  }
}

TEST_F(ExportApp, SavingOnExitWritesTheTemplateOrNot) {
  struct Case {
    std::optional<std::string> path;  // the Save As dialog's answer
    bool written;
  };
  for (const Case& c : {Case{std::nullopt, false}, Case{dir_ / "on-exit.xdf", true}}) {
    SCOPED_TRACE(c.written ? "saved" : "dialog cancelled");
    SaveDirectories();
    responder_.ClearRequests();
    responder_.QueueAnswer(Answer::kYes);
    responder_.QueuePath(c.path);
    EXPECT_TRUE(RunApp([&](CExportDlg&) {
      ChooseBasics();
      Action("exit")->trigger();
    }));
    EXPECT_EQ(std::filesystem::exists(dir_ / "on-exit.xdf"), c.written);
    EXPECT_EQ(responder_.Messages(), std::vector<std::string>{kSaveQuestion});
  }
}

TEST_F(ExportApp, TemplatesGoThroughTheFileDialogs) {
  Open();
  ChooseBasics();
  AddFields({"Account Number", "Description"});
  Rename(0, "Acct");
  Choose(Combo("export_type_list"), kTabWithTitles);
  QTest::keyClicks(Edit("destination_box"), "/out/chart.txt");

  const std::string path = dir_ / "chart.xdf";
  responder_.QueuePath(path);
  Action("save_template")->trigger();  // untitled: asks where
  ASSERT_TRUE(std::filesystem::exists(path));
  EXPECT_EQ(responder_.requests().back().kind, ScriptedResponder::Kind::kSaveFile);
  EXPECT_EQ(window_->windowTitle(), "Quillmont Software Tallyvane Data Export - chart.xdf");
  EXPECT_FALSE(state_.modified);

  Action("new_template")->trigger();
  EXPECT_EQ(window_->windowTitle(), "Quillmont Software Tallyvane Data Export - untitled");
  EXPECT_EQ(Combo("module_list")->currentIndex(), -1);
  EXPECT_EQ(Selection()->topLevelItemCount(), 0);

  responder_.QueuePath(path);
  Action("open_template")->trigger();
  EXPECT_EQ(window_->windowTitle(), "Quillmont Software Tallyvane Data Export - chart.xdf");
  EXPECT_EQ(Combo("module_list")->currentText(), "General Ledger");
  EXPECT_EQ(Combo("company_list")->currentText(), "01 - Quillmont Hardware Inc.");
  EXPECT_EQ(Combo("file_list")->currentText(), "Chart of Accounts Master");
  EXPECT_EQ(Combo("export_type_list")->currentIndex(), kTabWithTitles);
  EXPECT_EQ(Edit("destination_box")->text(), "/out/chart.txt");
  EXPECT_EQ(Column(0), QStringList({"Account Number", "Description"}));
  EXPECT_EQ(Column(1), QStringList({"Acct", "Description"}));
  EXPECT_FALSE(state_.modified);
  EXPECT_TRUE(responder_.AllUsed());
  for (const std::string& m : responder_.Messages()) ADD_FAILURE() << m;
}

TEST_F(ExportApp, HelpAndAboutOpenF1DoesNothing) {
  Open();
  QTest::keyClick(window_, Qt::Key_F1);
  EXPECT_FALSE(window_->help().IsOpen());
  EXPECT_TRUE(responder_.requests().empty());

  Action("help_contents")->trigger();
  ASSERT_TRUE(window_->help().IsOpen());
  EXPECT_TRUE(window_->help().viewer()->browser()->source().toString().endsWith("/index.html"));

  Action("about")->trigger();
  ASSERT_EQ(responder_.requests().size(), 1u);
  EXPECT_EQ(responder_.requests()[0].kind, ScriptedResponder::Kind::kModalDialog);
  EXPECT_EQ(responder_.requests()[0].text, "About Data Export Tool");

  // The viewer closes with the window.
  Action("exit")->trigger();
  EXPECT_FALSE(window_->isVisible());
  EXPECT_FALSE(window_->help().IsOpen());
}

TEST_F(ExportApp, CloseIsIgnoredWhileAnExportRuns) {
  Open();
  platform_.ProgressCreate();  // as the run does before the first record
  window_->close();
  QTest::keyClick(window_, Qt::Key_Escape);
  EXPECT_TRUE(window_->isVisible());
  EXPECT_FALSE(state_.window_closed);
  platform_.ProgressDestroy();
  window_->close();
  EXPECT_FALSE(window_->isVisible());
  EXPECT_TRUE(state_.window_closed);
}

TEST_F(ExportApp, FatalErrorClosesTheWindowWithoutQuestion) {
  Open();
  ChooseBasics();
  AddFields({"Account Number"});
  // The company's register now describes the data file with another length.
  WriteFile(dirs_.data + "/QZGL01FR.dat", sample::BuildRegister("Quillmont Hardware Inc.",
                                                                {{1, 3, 1}}));
  QTest::keyClicks(Edit("destination_box"), QString::fromStdString(dir_ / "x.txt"));
  responder_.ClearRequests();
  Button("export_button")->click();
  ASSERT_FALSE(responder_.Messages().empty());
  EXPECT_EQ(responder_.Messages().back().rfind("Error #4: ", 0), 0u) << responder_.Messages().back();
  EXPECT_FALSE(window_->isVisible());
  EXPECT_EQ(responder_.Messages().size(), 1u);  // no save question
}

TEST(Screenshot, DrawsTheWindowAtWork) {
  TempDir dir;
  sample::SampleOptions options;
  options.records = 3;
  ASSERT_TRUE(sample::WriteSampleInstallation(Env::Default(), dir.path(), options).ok());
  auto picture = RenderWindowPicture({dir / "data", dir / "sys", dir / "progs"});
  ASSERT_TRUE(picture.ok()) << picture.status().ToString();
  EXPECT_GE(picture->width(), 700);
  EXPECT_GE(picture->height(), 450);
  // Not one flat colour: the controls were drawn.
  QImage small = picture->scaled(32, 32);
  int colours = 0;
  QRgb last = 0;
  for (int y = 0; y < small.height(); ++y)
    for (int x = 0; x < small.width(); ++x)
      if (small.pixel(x, y) != last) ++colours, last = small.pixel(x, y);
  EXPECT_GT(colours, 50);
}

TEST(Screenshot, CommandWritesThePng) {
  TempDir dir;
  const std::string png = dir / "window.png";
  std::FILE* sink = std::tmpfile();
  cli::Context ctx;
  ctx.out = ctx.err = sink;
  auto run = [&](std::vector<std::string> args) {
    std::vector<std::unique_ptr<cli::Command>> screenshot;
    screenshot.push_back(cli::MakeScreenshotCommand(&DrawWindowPicture));
    args.insert(args.begin(), "screenshot");
    return cli::RunCommandLine(args, ctx, std::move(screenshot));
  };
  EXPECT_EQ(run({png}), 0);
  EXPECT_EQ(run({}), 2);
  EXPECT_EQ(run({png, "--data", "/d"}), 2);
  std::fclose(sink);
  QImage image(QString::fromStdString(png));
  EXPECT_FALSE(image.isNull());
}

}  // namespace
}  // namespace rh::test
