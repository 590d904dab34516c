#include "gui/screenshot.h"

#include <stdlib.h>

#include <QApplication>
#include <QFont>
#include <QPainter>
#include <QPixmap>
#include <cstdlib>
#include <filesystem>

#include "app/choice_cascade.h"
#include "app/selection_commands.h"
#include "app/window_commands.h"
#include "cli/args.h"
#include "data/catalog.h"
#include "gui/main_window.h"
#include "gui/program_icon.h"
#include "platform/console_platform.h"
#include "platform/scripted_responder.h"
#include "sample/sample_data.h"

namespace rh {

namespace {

constexpr int kTitleBarHeight = 30;

// A sample installation in a temporary folder, removed at the end.
class SampleFolder {
 public:
  SampleFolder() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "recordhaul-sample-XXXXXX").string();
    if (::mkdtemp(pattern.data()) != nullptr) path_ = pattern;
  }
  ~SampleFolder() {
    std::error_code ec;
    if (!path_.empty()) std::filesystem::remove_all(path_, ec);
  }
  SampleFolder(const SampleFolder&) = delete;
  SampleFolder& operator=(const SampleFolder&) = delete;

  // Empty when no folder could be made.
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

// The choices a user makes on the way to an export of the chart of
// accounts, stopped while a field is being renamed.
void MakeChoices(ExportState& s, Platform& ui) {
  ChooseModule(s, ui, ModuleIndexByCode("QZGL").value_or(0));
  CompanyEntryChanged(s, 0);
  ConfirmCompany(s, ui);
  ChooseExportType(s, ui, kCsvWithTitles);
  s.available.ClearSelection();
  for (size_t i : {0, 1, 2, 4, 6})
    if (i < s.available.selected.size()) s.available.selected[i] = true;
  AddFieldsCommand(s, ui);
  ClickSelectionRow(s, 1);
  s.selection.set_new_name("Account Name");
  ApplyRenameCommand(s);
  ClickSelectionRow(s, 3);
  s.selection.set_new_name("Balance");
  s.destination_box = "chart-of-accounts.csv";
}

// The window's content under a plain title bar with its icon and title, as
// a desktop would frame it.
QImage Framed(const QPixmap& content, const QString& title) {
  QImage picture(content.width(), content.height() + kTitleBarHeight,
                 QImage::Format_ARGB32_Premultiplied);
  picture.fill(QColor(0x2f, 0x4f, 0x6f));
  QPainter p(&picture);
  p.drawImage(QRect(8, (kTitleBarHeight - 20) / 2, 20, 20), ProgramIconImage(20));
  QFont font = QApplication::font();
  font.setBold(true);
  p.setFont(font);
  p.setPen(Qt::white);
  p.drawText(QRect(36, 0, content.width() - 44, kTitleBarHeight), Qt::AlignVCenter, title);
  p.drawPixmap(0, kTitleBarHeight, content);
  return picture;
}

class ScreenshotCommand : public cli::Command {
 public:
  std::string_view name() const override { return "screenshot"; }
  std::string_view summary() const override { return "draw the window at work into a PNG file"; }
  std::string_view usage() const override {
    return "usage: recordhaul screenshot FILE.png [--data DIR --system DIR --programs DIR]\n"
           "\n"
           "Draws the main window, with a module, company and data file chosen and a\n"
           "few fields selected and renamed, into FILE.png. Without the directories\n"
           "it uses a sample installation written to a temporary folder. Needs no\n"
           "display.\n";
  }

  int Run(const std::vector<std::string>& argv, cli::Context& ctx) override {
    int code = 0;
    auto args = cli::ParseArgs(ctx, *this, argv, cli::kDirectoryOptions, &code);
    if (!args) return code;
    if (args->positionals().size() != 1)
      return cli::PrintUsageError(ctx, *this, "give one PNG file");
    const bool given = args->Has("data") || args->Has("system") || args->Has("programs");
    SampleFolder sample_dir;
    Directories dirs;
    if (given) {
      // Only what the options say; the saved settings are left out.
      dirs = {args->Value("data").value_or(""), args->Value("system").value_or(""),
              args->Value("programs").value_or("")};
      if (!dirs.AllSet())
        return cli::PrintUsageError(ctx, *this, "give all of --data, --system and --programs");
    } else {
      if (sample_dir.path().empty())
        return cli::PrintError(ctx, Status::Error("Error", "Cannot make a temporary folder"));
      sample::SampleOptions options;
      options.records = 20;
      if (Status s = sample::WriteSampleInstallation(ctx.env, sample_dir.path(), options); !s.ok())
        return cli::PrintError(ctx, s);
      const std::string& root = sample_dir.path();
      dirs = {root + "/data", root + "/sys", root + "/progs"};
    }

    // Draw in memory unless a platform was asked for.
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    int qt_argc = 1;
    char qt_name[] = "recordhaul";
    char* qt_argv[] = {qt_name, nullptr};
    std::unique_ptr<QApplication> application;
    if (QApplication::instance() == nullptr)
      application = std::make_unique<QApplication>(qt_argc, qt_argv);

    auto picture = RenderWindowPicture(dirs);
    if (!picture.ok()) return cli::PrintError(ctx, picture.status());
    const std::string& path = args->positionals()[0];
    if (!picture->save(QString::fromStdString(path), "PNG"))
      return cli::PrintError(ctx, Status::Error("Error", "Cannot write " + path));
    cli::PrintLine(ctx, "Window drawn to " + path);
    return cli::kExitOk;
  }
};

}  // namespace

Result<QImage> RenderWindowPicture(const Directories& dirs) {
  MemorySettings settings;
  if (Status s = WriteDirectories(settings, dirs); !s.ok()) return s;
  QtPlatform platform(&settings);
  ScriptedResponder responder;  // no dialog may appear on the way
  platform.SetResponder(&responder);
  ExportState state;
  CExportDlg window(&state, &platform);
  if (!window.Initialise())
    return Status::Error("Error", "The window could not start on these directories.");
  MakeChoices(state, platform);
  window.Refresh();
  window.resize(860, 560);
  window.show();
  QApplication::processEvents();
  QImage picture = Framed(window.grab(), window.windowTitle());
  window.hide();
  return picture;
}

std::unique_ptr<cli::Command> MakeScreenshotCommand() {
  return std::make_unique<ScreenshotCommand>();
}

}  // namespace rh
