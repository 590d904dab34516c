// recordhaul screenshot FILE.png [--data DIR --system DIR --programs DIR]
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
  std::string_view usage() const override {
    return "usage: recordhaul screenshot FILE.png [--data DIR --system DIR --programs DIR]\n"
           "\n"
           "Draws the main window, with a module, company and data file chosen and a\n"
           "few fields selected and renamed, into FILE.png. Without the directories\n"
           "it uses a sample installation written to a temporary folder. Needs no\n"
           "display.\n";
  }

  int Run(const std::vector<std::string>& argv, Context& ctx) override {
    int code = 0;
    auto args = ParseArgs(ctx, *this, argv, kDirectoryOptions, &code);
    if (!args) return code;
    if (args->positionals().size() != 1) return PrintUsageError(ctx, *this, "give one PNG file");
    const bool given = args->Has("data") || args->Has("system") || args->Has("programs");
    SampleFolder sample_dir;
    Directories dirs;
    if (given) {
      // Only what the options say; the saved settings are left out.
      dirs = {args->Value("data").value_or(""), args->Value("system").value_or(""),
              args->Value("programs").value_or("")};
      if (!dirs.AllSet())
        return PrintUsageError(ctx, *this, "give all of --data, --system and --programs");
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
    const std::string& path = args->positionals()[0];
    if (Status s = painter_(dirs, path); !s.ok()) return PrintError(ctx, s);
    PrintLine(ctx, "Window drawn to " + path);
    return kExitOk;
  }

 private:
  WindowPainter painter_;
};

}  // namespace

std::unique_ptr<Command> MakeScreenshotCommand(WindowPainter painter) {
  return std::make_unique<ScreenshotCommand>(std::move(painter));
}

}  // namespace rh::cli
