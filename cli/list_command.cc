// recordhaul list modules | files MODULE | companies MODULE | fields MODULE FILE | types
#include <algorithm>
#include <cstdlib>

#include "base/cp1252.h"
#include "cli/command.h"
#include "cli/commands.h"
#include "data/catalog.h"
#include "data/companies.h"
#include "data/data_dictionary.h"
#include "export/export_types.h"

namespace rh::cli {

namespace {

class ListCommand : public Command {
 public:
  std::string_view name() const override { return "list"; }
  std::string_view summary() const override {
    return "list modules, data files, companies, fields or export types";
  }
  std::string_view usage() const override {
    return "usage: recordhaul list modules\n"
           "       recordhaul list files MODULE\n"
           "       recordhaul list companies MODULE [--data DIR --system DIR --programs DIR]\n"
           "       recordhaul list fields MODULE FILE [--data DIR --system DIR --programs DIR]\n"
           "       recordhaul list types\n"
           "\n"
           "MODULE is a four-letter module code such as QZGL (any letter case);\n"
           "FILE is a data file number as 'list files' shows it. The directories\n"
           "default to the saved ones (see 'recordhaul dirs').\n"
           "\n"
           "  modules    CODE<TAB>name, in list order\n"
           "  files      NUMBER<TAB>description, in list order\n"
           "  companies  NN<TAB>name, sorted\n"
           "  fields     name<TAB>type<TAB>length<TAB>offset for each dictionary\n"
           "             field, then the pseudo-fields and the record length\n"
           "  types      INDEX<TAB>label of each export type\n";
  }

  int Run(const std::vector<std::string>& argv, Context& ctx) override {
    int code = 0;
    auto args = ParseArgs(ctx, *this, argv, kDirectoryOptions, &code);
    if (!args) return code;
    const auto& pos = args->positionals();
    if (pos.empty()) return PrintUsageError(ctx, *this, "say what to list");
    const std::string& what = pos[0];
    size_t want = what == "modules" || what == "types" ? 1
                : what == "files" || what == "companies" ? 2
                : what == "fields" ? 3 : 0;
    if (want == 0) return PrintUsageError(ctx, *this, "cannot list '" + what + "'");
    if (pos.size() != want) return PrintUsageError(ctx, *this, "wrong number of arguments");

    if (what == "modules") {
      for (const ModuleInfo& m : Modules())
        PrintLine(ctx, std::string(m.code) + "\t" + std::string(m.name));
      return kExitOk;
    }
    if (what == "types") {
      for (const ExportTypeInfo& t : ExportTypes())
        PrintLine(ctx, std::to_string(t.index) + "\t" + std::string(t.label));
      return kExitOk;
    }
    auto module = ModuleIndexByCode(pos[1]);
    if (!module) return PrintUsageError(ctx, *this, "unknown module '" + pos[1] + "'");
    const std::string code_text(Modules()[*module].code);
    if (what == "files") {
      for (const DataFileInfo& f : DataFilesOf(*module))
        PrintLine(ctx, std::to_string(f.number) + "\t" + std::string(f.description));
      return kExitOk;
    }
    std::optional<int> file;
    if (what == "fields" && !(file = ParseFileNumber(pos[2], *module)))
      return PrintUsageError(ctx, *this, "module " + code_text + " has no data file '" + pos[2] + "'");
    auto dirs = ResolveDirectories(*args, ctx);
    if (!dirs.ok()) return PrintUsageError(ctx, *this, dirs.status().message());
    if (what == "companies") return ListCompanies(ctx, dirs->data, code_text);
    return ListFields(ctx, dirs->system, code_text, *file);
  }

 private:
  static int ListCompanies(Context& ctx, const std::string& data_dir, const std::string& code) {
    auto companies = EnumerateCompanies(ctx.env, data_dir, code);
    std::vector<std::string> lines;
    for (const CompanyInfo& c : companies) lines.push_back(c.number + "\t" + Cp1252ToUtf8(c.name));
    std::sort(lines.begin(), lines.end());
    for (const std::string& line : lines) PrintLine(ctx, line);
    return kExitOk;
  }

  static int ListFields(Context& ctx, const std::string& system_dir, const std::string& code,
                        int file) {
    auto layout = LoadFieldLayout(ctx.env, system_dir, code, file);
    if (!layout.ok()) return PrintError(ctx, layout.status());
    for (const FieldDef& f : layout->fields()) {
      char type = (f.type >= 0x21 && f.type < 0x7F) ? f.type : '?';
      PrintLine(ctx, Cp1252ToUtf8(f.name) + "\t" + std::string(1, type) + "\t" +
                         std::to_string(f.length) + "\t" + std::to_string(f.offset));
    }
    for (std::string_view p : kPseudoFields) PrintLine(ctx, std::string(p) + "\t-\t-\t-");
    PrintLine(ctx, "Record length: " + std::to_string(layout->record_length()));
    return kExitOk;
  }
};

}  // namespace

std::optional<int> ParseFileNumber(const std::string& text, int module) {
  char* end = nullptr;
  long n = std::strtol(text.c_str(), &end, 10);
  if (text.empty() || *end != '\0' || FindDataFile(module, static_cast<int>(n)) == nullptr)
    return std::nullopt;
  return static_cast<int>(n);
}

std::unique_ptr<Command> MakeListCommand() { return std::make_unique<ListCommand>(); }

}  // namespace rh::cli
