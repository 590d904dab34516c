// recordhaul list modules | files MODULE | companies MODULE | fields MODULE FILE | types
#include <CLI/CLI.hpp>

#include <algorithm>
#include <nlohmann/json.hpp>

#include "app/field_notes.h"
#include "base/cp1252.h"
#include "cli/choices.h"
#include "cli/command.h"
#include "cli/commands.h"
#include "data/catalog.h"
#include "data/companies.h"
#include "data/data_dictionary.h"
#include "export/export_types.h"

namespace rh::cli {

namespace {

using Json = nlohmann::ordered_json;

class ListCommand : public Command {
 public:
  std::string_view name() const override { return "list"; }
  std::string_view summary() const override {
    return "list modules, data files, companies, fields or export types";
  }
  std::string_view synopsis() const override {
    return "usage: recordhaul list modules [--json]\n"
           "       recordhaul list files MODULE [--json]\n"
           "       recordhaul list companies MODULE [--data DIR --system DIR --programs DIR] "
           "[--json]\n"
           "       recordhaul list fields MODULE FILE [--data DIR --system DIR --programs DIR] "
           "[--json]\n"
           "       recordhaul list types [--json]\n";
  }

  void Define(CLI::App& app) override {
    app.description(
        "MODULE is a four-letter module code such as QZGL (any letter case); FILE is a\n"
        "data file number as 'list files' shows it. The directories default to the\n"
        "saved ones (see 'recordhaul dirs').");
    app.add_option("WHAT", what_, "modules, files, companies, fields or types");
    app.add_option("ARGS", args_, "the module, and for fields the data file");
    DefineDirectoryOptions(app, &dirs_);
    app.add_flag("--json", json_, "print a JSON array of objects instead of lines");
    app.footer(
        "  modules    CODE<TAB>name, in list order\n"
        "  files      NUMBER<TAB>description, in list order\n"
        "  companies  NN<TAB>name, sorted\n"
        "  fields     name<TAB>type<TAB>length<TAB>offset for each dictionary field, then\n"
        "             the pseudo-fields and the record length; the fields that cannot be\n"
        "             exported, and why, on stderr (in JSON: \"exportable\" and \"why\")\n"
        "  types      INDEX<TAB>label of each export type\n"
        "\n"
        "Field type letters: D 8-byte real, F 4-byte fixed point (four decimals),\n"
        "I 2-byte integer, J 4-byte day number (a date), L 4-byte integer, T text of\n"
        "the field's length, Y 1-byte unsigned integer.");
  }

  int Run(Context& ctx) override {
    if (what_.empty()) {
      return PrintUsageError(ctx, name(),
                             "say what to list: modules, files, companies, fields or types");
    }
    size_t want = what_ == "modules" || what_ == "types" ? 0
                : what_ == "files" || what_ == "companies" ? 1
                : what_ == "fields" ? 2 : 9;
    if (want == 9) return PrintUsageError(ctx, name(), "cannot list '" + what_ + "'");
    if (args_.size() != want) {
      return PrintUsageError(ctx, name(),
                             "wrong number of arguments for 'list " + what_ + "'");
    }
    if (what_ == "modules") return Modules(ctx);
    if (what_ == "types") return Types(ctx);
    auto module = ModuleIndexByCode(args_[0]);
    if (!module) return PrintUsageError(ctx, name(), "unknown module '" + args_[0] + "'");
    const std::string code(rh::Modules()[*module].code);
    if (what_ == "files") return Files(ctx, *module);
    std::optional<int> file;
    if (what_ == "fields" && !(file = ParseFileNumber(args_[1], *module)))
      return PrintUsageError(ctx, name(), "module " + code + " has no data file '" + args_[1] + "'");
    auto dirs = ResolveDirectories(dirs_, ctx);
    if (!dirs.ok()) return PrintUsageError(ctx, name(), dirs.status().message());
    if (what_ == "companies") return Companies(ctx, dirs->data, code);
    return Fields(ctx, dirs->system, code, *file);
  }

 private:
  int Print(Context& ctx, const Json& rows, const std::vector<std::string>& lines) {
    if (json_) {
      PrintLine(ctx, rows.dump(2));
    } else {
      for (const std::string& line : lines) PrintLine(ctx, line);
    }
    return kExitOk;
  }

  int Modules(Context& ctx) {
    Json rows = Json::array();
    std::vector<std::string> lines;
    for (const ModuleInfo& m : rh::Modules()) {
      rows.push_back({{"code", m.code}, {"name", m.name}});
      lines.push_back(std::string(m.code) + "\t" + std::string(m.name));
    }
    return Print(ctx, rows, lines);
  }

  int Types(Context& ctx) {
    Json rows = Json::array();
    std::vector<std::string> lines;
    for (const ExportTypeInfo& t : ExportTypes()) {
      const bool text = t.family == ExportFamily::kText;
      rows.push_back({{"index", t.index}, {"label", t.label}, {"extension", t.extension},
                      {"family", text ? "text" : "table"}, {"titles", t.titles}});
      lines.push_back(std::to_string(t.index) + "\t" + std::string(t.label));
    }
    return Print(ctx, rows, lines);
  }

  int Files(Context& ctx, int module) {
    Json rows = Json::array();
    std::vector<std::string> lines;
    for (const DataFileInfo& f : DataFilesOf(module)) {
      rows.push_back({{"number", f.number}, {"description", f.description}});
      lines.push_back(std::to_string(f.number) + "\t" + std::string(f.description));
    }
    return Print(ctx, rows, lines);
  }

  int Companies(Context& ctx, const std::string& data_dir, const std::string& code) {
    auto companies = EnumerateCompanies(ctx.env, data_dir, code);
    std::sort(companies.begin(), companies.end(),
              [](const CompanyInfo& a, const CompanyInfo& b) {
                return std::tie(a.number, a.name) < std::tie(b.number, b.name);
              });
    Json rows = Json::array();
    std::vector<std::string> lines;
    for (const CompanyInfo& c : companies) {
      rows.push_back({{"number", c.number}, {"name", Cp1252ToUtf8(c.name)}});
      lines.push_back(c.number + "\t" + Cp1252ToUtf8(c.name));
    }
    return Print(ctx, rows, lines);
  }

  int Fields(Context& ctx, const std::string& system_dir, const std::string& code, int file) {
    auto layout = LoadFieldLayout(ctx.env, system_dir, code, file);
    if (!layout.ok()) return PrintError(ctx, layout.status());
    const std::vector<FieldNote> notes = UnexportableFields(*layout);
    Json rows = Json::array();
    std::vector<std::string> lines;
    std::string why_lines;
    for (const FieldDef& f : layout->fields()) {
      auto note = std::find_if(notes.begin(), notes.end(),
                               [&](const FieldNote& n) { return n.field == &f; });
      const char type = (f.type >= 0x21 && f.type < 0x7F) ? f.type : '?';
      Json row = {{"name", Cp1252ToUtf8(f.name)}, {"type", std::string(1, type)},
                  {"length", f.length}, {"offset", f.offset},
                  {"exportable", note == notes.end()}};
      if (note != notes.end()) {
        row["why"] = note->why.message();
        why_lines += (why_lines.empty() ? "  " : "\n  ") + note->why.message();
      }
      rows.push_back(std::move(row));
      lines.push_back(Cp1252ToUtf8(f.name) + "\t" + std::string(1, type) + "\t" +
                      std::to_string(f.length) + "\t" + std::to_string(f.offset));
    }
    for (std::string_view p : kPseudoFields) {
      rows.push_back({{"name", p}, {"type", nullptr}, {"length", nullptr}, {"offset", nullptr},
                      {"exportable", true}});
      lines.push_back(std::string(p) + "\t-\t-\t-");
    }
    lines.push_back("Record length: " + std::to_string(layout->record_length()));
    // The listing stays the same for scripts; what cannot be exported is
    // said beside it.
    if (!why_lines.empty() && !json_)
      PrintWarning(ctx, Status::Of(MessageId::kFieldsLeftOut, {why_lines}));
    return Print(ctx, rows, lines);
  }

  std::string what_;
  std::vector<std::string> args_;
  DirectoryOptions dirs_;
  bool json_ = false;
};

}  // namespace

std::unique_ptr<Command> MakeListCommand() { return std::make_unique<ListCommand>(); }

}  // namespace rh::cli
