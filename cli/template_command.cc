// recordhaul template create FILE.xdf ... | template show FILE.xdf [dirs]
#include "app/template_commands.h"
#include "base/cp1252.h"
#include "base/paths.h"
#include "cli/choices.h"
#include "cli/command.h"
#include "cli/commands.h"
#include "data/catalog.h"
#include "selection/export_template.h"

namespace rh::cli {

namespace {

class TemplateVerb : public Command {
 public:
  std::string_view name() const override { return "template"; }
  std::string_view summary() const override { return "create or show an .xdf export template"; }
  std::string_view usage() const override {
    return "usage: recordhaul template create FILE.xdf --module CODE --company NN --file N\n"
           "                         [--type T] [--dest PATH] [--field NAME[=EXPORTNAME]]...\n"
           "                         [--all-fields] [--data DIR --system DIR --programs DIR]\n"
           "                         [--overwrite]\n"
           "       recordhaul template show FILE.xdf [--data DIR --system DIR --programs DIR]\n"
           "\n"
           "create  writes a template with the choices of 'recordhaul export' without\n"
           "        running it; an existing FILE is replaced only with --overwrite.\n"
           "show    prints the template's module, data file, company, export type,\n"
           "        destination and fields (field name, then export name). With the\n"
           "        directories, fields the data dictionary no longer lists are flagged.\n";
  }

  int Run(const std::vector<std::string>& argv, Context& ctx) override {
    std::vector<OptionSpec> options = ChoiceOptions();
    options.insert(options.end(), kDirectoryOptions.begin(), kDirectoryOptions.end());
    options.push_back({"overwrite", false});
    int code = 0;
    auto args = ParseArgs(ctx, *this, argv, options, &code);
    if (!args) return code;
    const auto& pos = args->positionals();
    if (pos.size() != 2 || (pos[0] != "create" && pos[0] != "show"))
      return PrintUsageError(ctx, *this, "say 'create FILE.xdf' or 'show FILE.xdf'");
    const std::string path = AbsolutePath(pos[1]);
    return pos[0] == "create" ? Create(*args, ctx, path) : Show(*args, ctx, path);
  }

 private:
  int Create(const Args& args, Context& ctx, const std::string& path) {
    if (!args.Has("overwrite") && ctx.env->Exists(path)) {
      return PrintError(ctx, Status::Error("Error", path + " already exists; give --overwrite "
                                                           "to replace it."));
    }
    auto dirs = ResolveDirectories(args, ctx);
    if (!dirs.ok()) return PrintUsageError(ctx, *this, dirs.status().message());
    ConsolePlatform ui(ctx.settings, ctx.err, false);
    ui.SetAnswerer(BatchAnswers(false, false));
    ExportState state;
    state.env = ctx.env;
    state.dirs = *dirs;
    if (Status s = ApplyChoices(args, state, ui); !s.ok()) {
      if (s.caption() == "Usage") return PrintUsageError(ctx, *this, s.message());
      return PrintError(ctx, s);
    }
    // A template keeps the destination absolute: it runs from anywhere.
    state.destination_box = AbsolutePath(state.destination_box);
    if (state.destination_box.size() > kTemplateDestinationLength) {
      return PrintError(ctx, Status::Error("Error", "A template holds a destination of at most 74 "
                                                    "characters; give a shorter --dest."));
    }
    Status s = WriteTemplateFile(ctx.env, path, CurrentTemplateRecord(state), false);
    if (!s.ok()) return PrintError(ctx, s);
    PrintLine(ctx, "Template written: " + path);
    return kExitOk;
  }

  int Show(const Args& args, Context& ctx, const std::string& path) {
    auto read = ReadTemplateFile(ctx.env, path);
    if (!read.ok()) return PrintError(ctx, read.status());
    const TemplateRecord& r = *read;
    const bool module_ok = r.module_index >= 0 && r.module_index < kModuleCount;
    const ModuleInfo* module = module_ok ? &Modules()[static_cast<size_t>(r.module_index)] : nullptr;
    const DataFileInfo* file = module_ok ? FindDataFile(r.module_index, r.file_number) : nullptr;
    PrintLine(ctx, "Module:       " + (module ? std::string(module->code) + "  " + std::string(module->name)
                                              : std::string("index ").append(std::to_string(r.module_index)).append(" (unknown)")));
    PrintLine(ctx, "Data file:    " + std::to_string(r.file_number) + "  " +
                       (file ? std::string(file->description) : "(not in the catalog)"));
    PrintLine(ctx, "Company:      " + Cp1252ToUtf8(r.company));
    PrintLine(ctx, "Export type:  " + std::to_string(r.export_type) + "  " +
                       (IsValidExportType(r.export_type)
                            ? std::string(kExportTypeLabels[static_cast<size_t>(r.export_type)])
                            : "(unknown)"));
    PrintLine(ctx, "Destination:  " + Cp1252ToUtf8(r.destination));

    // The field names come from the dictionary, when the directories are known.
    std::vector<std::string> available;
    bool have_fields = false;
    if (auto dirs = ResolveDirectories(args, ctx); dirs.ok() && module) {
      auto layout = LoadFieldLayout(ctx.env, dirs->system, module->code, r.file_number);
      if (layout.ok()) {
        available = layout->available();
        have_fields = true;
      } else {
        PrintError(ctx, layout.status());
      }
    }
    PrintLine(ctx, "Fields:       " + std::to_string(r.positions.size()));
    for (size_t i = 0; i < r.positions.size(); ++i) {
      const int32_t p = r.positions[i];
      std::string field = std::string("#").append(std::to_string(p));
      if (have_fields) {
        field = p >= 0 && static_cast<size_t>(p) < available.size()
                    ? Cp1252ToUtf8(available[static_cast<size_t>(p)])
                    : field + " (no longer in the field list)";
      }
      PrintLine(ctx, "  " + field + "\t" + Cp1252ToUtf8(r.names[i]));
    }
    return kExitOk;
  }
};

class DirsVerb : public Command {
 public:
  std::string_view name() const override { return "dirs"; }
  std::string_view summary() const override { return "show or save the Tallyvane directories"; }
  std::string_view usage() const override {
    return "usage: recordhaul dirs [--data DIR] [--system DIR] [--programs DIR] [--if-unset]\n"
           "\n"
           "Without options prints the saved directories; with them saves the given\n"
           "ones (the others stay) in the settings the window uses too.\n"
           "\n"
           "  --data DIR       data files directory (company registers and data files)\n"
           "  --system DIR     system files directory (data dictionary, path table)\n"
           "  --programs DIR   program files directory\n"
           "  --if-unset       save only when no directory is saved yet\n";
  }

  int Run(const std::vector<std::string>& argv, Context& ctx) override {
    std::vector<OptionSpec> options = kDirectoryOptions;
    options.push_back({"if-unset", false});
    int code = 0;
    auto args = ParseArgs(ctx, *this, argv, options, &code);
    if (!args) return code;
    if (!args->positionals().empty()) return PrintUsageError(ctx, *this, "unexpected arguments");
    SettingsStore& settings = *ctx.settings;
    Directories dirs{settings.Read("dirs", "AUSER"), settings.Read("dirs", "AFILES"),
                     settings.Read("dirs", "APROGS")};
    const bool any_saved = !dirs.data.empty() || !dirs.system.empty() || !dirs.programs.empty();
    const bool change = args->Has("data") || args->Has("system") || args->Has("programs");
    if (change && !(args->Has("if-unset") && any_saved)) {
      if (auto v = args->Value("data")) dirs.data = AbsolutePath(*v);
      if (auto v = args->Value("system")) dirs.system = AbsolutePath(*v);
      if (auto v = args->Value("programs")) dirs.programs = AbsolutePath(*v);
      Status s = settings.Write("dirs", "AFILES", dirs.system);
      if (s.ok()) s = settings.Write("dirs", "AUSER", dirs.data);
      if (s.ok()) s = settings.Write("dirs", "APROGS", dirs.programs);
      if (!s.ok()) return PrintError(ctx, s);
    }
    PrintLine(ctx, "Data files:     " + dirs.data);
    PrintLine(ctx, "System files:   " + dirs.system);
    PrintLine(ctx, "Program files:  " + dirs.programs);
    return kExitOk;
  }
};

}  // namespace

std::unique_ptr<Command> MakeTemplateCommand() { return std::make_unique<TemplateVerb>(); }
std::unique_ptr<Command> MakeDirsCommand() { return std::make_unique<DirsVerb>(); }

}  // namespace rh::cli
