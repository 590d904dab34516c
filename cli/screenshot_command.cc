// recordhaul screenshot FILE.png [--data DIR --system DIR --programs DIR]
#include <CLI/CLI.hpp>
#include <stdlib.h>

#include <filesystem>

#include "cli/command.h"
#include "cli/commands.h"
#include "sample/sample_data.h"

namespace rh::cli {

namespace {

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

class ScreenshotCommand : public Command {
 public:
  explicit ScreenshotCommand(WindowPainter painter) : painter_(std::move(painter)) {}

  std::string_view name() const override { return "screenshot"; }
  std::string_view summary() const override { return "draw the window at work into a PNG file"; }
  std::string_view synopsis() const override {
    return "usage: recordhaul screenshot FILE.png [--data DIR --system DIR --programs DIR]\n";
  }

  void Define(CLI::App& app) override {
    app.description(
        "Draws the main window, with a module, company and data file chosen and a\n"
        "few fields selected and renamed, into FILE.png. Without the directories\n"
        "it uses a sample installation written to a temporary folder. Needs no\n"
        "display.");
    app.add_option("FILE", png_, "the PNG file to write")->required();
    DefineDirectoryOptions(app, &dirs_);
  }

  int Run(Context& ctx) override {
    const bool given = dirs_.any();
    SampleFolder sample_dir;
    Directories dirs;
    if (given) {
      // Only what the options say; the saved settings are left out.
      dirs = {dirs_.data.value_or(""), dirs_.system.value_or(""), dirs_.programs.value_or("")};
      if (!dirs.AllSet())
        return PrintUsageError(ctx, name(), "give all of --data, --system and --programs");
    } else {
      if (sample_dir.path().empty())
        return PrintError(ctx, Status::Of(MessageId::kCannotMakeTempFolder));
      sample::SampleOptions options;
      options.records = 20;
      if (Status s = sample::WriteSampleInstallation(ctx.env, sample_dir.path(), options); !s.ok())
        return PrintError(ctx, s);
      const std::string& root = sample_dir.path();
      dirs = {root + "/data", root + "/sys", root + "/progs"};
    }
    const std::string& path = png_;
    if (Status s = painter_(dirs, path); !s.ok()) return PrintError(ctx, s);
    PrintLine(ctx, "Window drawn to " + path);
    return kExitOk;
  }

 private:
  WindowPainter painter_;
  std::string png_;
  DirectoryOptions dirs_;
};

}  // namespace

std::unique_ptr<Command> MakeScreenshotCommand(WindowPainter painter) {
  return std::make_unique<ScreenshotCommand>(std::move(painter));
}

}  // namespace rh::cli
