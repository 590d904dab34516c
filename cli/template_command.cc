// recordhaul template create FILE.xdf ... | template show FILE.xdf [dirs]
#include <CLI/CLI.hpp>

#include "base/cp1252.h"
#include "base/paths.h"
#include "cli/choices.h"
#include "cli/command.h"
#include "cli/commands.h"
#include "data/catalog.h"
#include "export/export_types.h"
#include "selection/export_template.h"

namespace rh::cli {

namespace {

class TemplateCommand : public Command {
 public:
  std::string_view name() const override { return "template"; }
  std::string_view summary() const override { return "create or show an .xdf export template"; }
  std::string_view synopsis() const override {
    return "usage: recordhaul template create FILE.xdf --module CODE --company NN --file N\n"
           "                         [--type T] [--dest PATH] [--field NAME[=EXPORTNAME]]...\n"
           "                         [--all-fields] [--data DIR --system DIR --programs DIR]\n"
           "                         [--overwrite]\n"
           "       recordhaul template show FILE.xdf [--data DIR --system DIR --programs DIR]\n";
  }

  void Define(CLI::App& app) override {
    app.description(
        "create  writes a template with the choices of 'recordhaul export' without\n"
        "        running it; an existing FILE is replaced only with --overwrite.\n"
        "show    prints the template's module, data file, company, export type,\n"
        "        destination and fields (field name, then export name). With the\n"
        "        directories, fields the data dictionary no longer lists are flagged.");
    app.add_option("ACTION", action_, "create or show");
    app.add_option("FILE", file_, "the .xdf template");
    DefineChoiceOptions(app, &choices_);
    DefineDirectoryOptions(app, &dirs_);
    app.add_flag("--overwrite", overwrite_, "create: replace an existing template");
  }

  int Run(Context& ctx) override {
    if ((action_ != "create" && action_ != "show") || file_.empty())
      return PrintUsageError(ctx, name(), "say 'create FILE.xdf' or 'show FILE.xdf'");
    const std::string path = AbsolutePath(file_);
    return action_ == "create" ? Create(ctx, path) : Show(ctx, path);
  }

 private:
  int Create(Context& ctx, const std::string& path) {
    if (!overwrite_ && ctx.env->Exists(path))
      return PrintError(ctx, Status::Of(MessageId::kTemplateExists, {path}));
    auto dirs = ResolveDirectories(dirs_, ctx);
    if (!dirs.ok()) return PrintUsageError(ctx, name(), dirs.status().message());
    std::vector<Status> notes;
    auto request = RequestFromChoices(choices_, *dirs, ctx.env, &notes);
    if (!request.ok()) return PrintRequestFailure(ctx, name(), request.status());
    for (const Status& note : notes) PrintWarning(ctx, note);
    // A template keeps the destination absolute: it runs from anywhere.
    request->destination = AbsolutePath(request->destination);
    if (request->destination.size() > kTemplateDestinationLength)
      return PrintError(ctx, Status::Of(MessageId::kTemplateDestinationTooLong));
    Status s = WriteTemplateFile(ctx.env, path, TemplateRecordOf(*request), false);
    if (!s.ok()) return PrintError(ctx, s);
    PrintLine(ctx, "Template written: " + path);
    return kExitOk;
  }

  // The record a request is saved as: its rows by their available positions.
  static TemplateRecord TemplateRecordOf(const ExportRequest& request) {
    TemplateRecord r;
    r.module_index = ModuleIndexOf(request);
    r.file_number = request.file_number.value_or(0);
    r.company = request.company;
    r.export_type = request.export_type;
    r.destination = request.destination;
    StoreRows(request.rows, &r);
    return r;
  }

  int Show(Context& ctx, const std::string& path) {
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
                       (FindExportType(r.export_type) != nullptr
                            ? std::string(FindExportType(r.export_type)->label)
                            : "(unknown)"));
    // Paths are kept as they were given (UTF-8), not in the accounting texts'
    // code page.
    PrintLine(ctx, "Destination:  " + r.destination);

    // The field names come from the dictionary, when the directories are known.
    std::vector<std::string> available;
    bool have_fields = false;
    if (auto dirs = ResolveDirectories(dirs_, ctx); dirs.ok() && module) {
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

  std::string action_;
  std::string file_;
  ChoiceOptions choices_;
  DirectoryOptions dirs_;
  bool overwrite_ = false;
};

}  // namespace

std::unique_ptr<Command> MakeTemplateCommand() { return std::make_unique<TemplateCommand>(); }

}  // namespace rh::cli
