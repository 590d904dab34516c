#include "cli/choices.h"

#include <CLI/CLI.hpp>
#include <unistd.h>

#include <cctype>
#include <charconv>
#include <cstdlib>

#include "app/field_notes.h"
#include "base/cp1252.h"
#include "base/paths.h"
#include "data/catalog.h"
#include "data/companies.h"

namespace rh::cli {

namespace {

Status Usage(std::string message) { return Status::Of(MessageId::kUsage, {message}); }

std::optional<int> ParseType(const std::string& text) {
  char* end = nullptr;
  long t = std::strtol(text.c_str(), &end, 10);
  if (text.empty() || *end != '\0' || FindExportType(static_cast<int>(t)) == nullptr)
    return std::nullopt;
  return static_cast<int>(t);
}

// --type, else the type the destination's extension names, else 0. A --type
// whose extension is not the destination's, where that one is some type's,
// gets a warning: the file would open in the wrong program.
Result<const ExportTypeInfo*> ChooseType(const ChoiceOptions& choices,
                                         std::vector<Status>* notes) {
  const std::string dest = choices.dest.value_or("");
  const ExportTypeInfo* by_extension = FindExportTypeForPath(dest);
  if (!choices.type) return by_extension != nullptr ? by_extension : FindExportType(0);
  auto type = ParseType(*choices.type);
  if (!type) {
    return Usage("--type must be an export type from 0 to " +
                 std::to_string(ExportTypes().size() - 1) + " (see 'recordhaul list types')");
  }
  const ExportTypeInfo* chosen = FindExportType(*type);
  if (by_extension != nullptr && by_extension->extension != chosen->extension) {
    notes->push_back(Status::Of(MessageId::kTypeExtensionMismatch,
                                {std::to_string(*type), chosen->label, by_extension->extension}));
  }
  return chosen;
}

// Fields --all-fields adds no value for, or leaves out.
void NoteUnexportable(const ChoiceOptions& choices, const FieldLayout& layout,
                      std::vector<Status>* notes) {
  const bool all = std::any_of(choices.fields.begin(), choices.fields.end(),
                               [](const FieldChoice& c) { return c.all_fields; });
  if (!all) return;
  std::string lines;
  for (const FieldNote& note : UnexportableFields(layout))
    lines += (lines.empty() ? "  " : "\n  ") + note.why.message();
  if (!lines.empty()) notes->push_back(Status::Of(MessageId::kFieldsLeftOut, {lines}));
}

}  // namespace

void DefineChoiceOptions(CLI::App& app, ChoiceOptions* choices, bool export_options) {
  auto text = [&app](const char* name, std::optional<std::string>* target, const char* what,
                     const char* type_name) {
    app.add_option_function<std::string>(
           name, [target](const std::string& v) { *target = v; }, what)
        ->type_name(type_name);
  };
  text("--module", &choices->module, "module code, e.g. QZGL ('recordhaul list modules')",
       "CODE");
  text("--company", &choices->company, "company number ('recordhaul list companies CODE')",
       "NN");
  text("--file", &choices->file, "data file number ('recordhaul list files CODE')", "N");
  if (export_options) {
    text("--type", &choices->type,
         "export type ('recordhaul list types'); default: the one the destination's "
         "extension names (.txt 0, .csv 2, .xls 8, .dbf 9, .mdb 10, .xlsx 11), else 0",
         "T");
    text("--dest", &choices->dest,
         "destination; relative to the current directory; '-' is standard output (text "
         "types)",
         "PATH");
  }
  // Names are typed in UTF-8 and kept in Windows-1252, as the field list.
  app.add_option_function<std::string>(
         "--field",
         [choices](const std::string& value) {
           const size_t eq = value.find('=');
           FieldChoice c{false, Utf8ToCp1252(value.substr(0, eq)), std::nullopt};
           if (eq != std::string::npos) c.export_name = Utf8ToCp1252(value.substr(eq + 1));
           choices->fields.push_back(std::move(c));
         },
         "add a field, optionally under another export name (repeatable; letter case "
         "may differ when that is unambiguous)")
      ->type_name("NAME[=EXPORTNAME]")
      ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll)
      ->trigger_on_parse();
  app.add_flag_callback(
         "--all-fields",
         [choices] { choices->fields.push_back({true, {}, std::nullopt}); },
         "add every field not yet added")
      ->trigger_on_parse();
}

void DefineFormatOptions(CLI::App& app, FormatOptions* format) {
  app.add_option_function<std::string>(
         "--encoding", [format](const std::string& v) { format->encoding = v; },
         "text types: windows-1252 (the stored bytes, the default) or utf-8")
      ->type_name("ENC");
  app.add_flag("--bom", format->byte_order_mark,
               "with --encoding utf-8: start the file with a byte-order mark");
  app.add_flag("--typed", format->typed,
               "types 8-10: dates as date columns (empty where a day number has no date) "
               "and texts without trailing blanks");
  app.add_option_function<std::string>(
         "--threads", [format](const std::string& v) { format->threads = v; },
         "types 0-10: format on N threads (default one per core; 1 formats every record "
         "in turn); the output is the same")
      ->type_name("N");
}

Result<ExportOptions> ExportOptionsOf(const FormatOptions& format, const ExportTypeInfo& type) {
  ExportOptions options;
  options.typed = format.typed;
  if (format.threads) {
    int n = 0;
    const std::string& text = *format.threads;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), n);
    if (ec != std::errc() || end != text.data() + text.size() || n < 1 || n > 256)
      return Usage("--threads takes a number from 1 to 256");
    options.threads = n;
  }
  if (format.encoding) {
    auto encoding = ParseTextEncoding(*format.encoding);
    if (!encoding) return Usage("--encoding must be windows-1252 or utf-8");
    options.encoding = *encoding;
  }
  if ((format.encoding || format.byte_order_mark) && type.family != ExportFamily::kText) {
    return Usage("--encoding and --bom apply to the text types 0 to 7, not to type " +
                 std::to_string(type.index));
  }
  if (format.byte_order_mark && options.encoding != TextEncoding::kUtf8)
    return Usage("--bom needs --encoding utf-8");
  options.byte_order_mark = format.byte_order_mark;
  return options;
}

std::string CurrentFolder() {
  char* cwd = ::getcwd(nullptr, 0);
  std::string folder = cwd != nullptr ? cwd : ".";
  std::free(cwd);
  return folder;
}

std::string AbsolutePath(const std::string& path) {
  if (path.empty() || path[0] == '/') return path;
  return JoinPath(CurrentFolder(), path);
}

bool IsUsageError(const Status& status) {
  return status.Is(MessageId::kUsage) || status.Is(MessageId::kUnknownField) ||
         status.Is(MessageId::kUnknownFieldSuggest) || status.Is(MessageId::kAmbiguousField);
}

int PrintRequestFailure(Context& ctx, std::string_view verb, const Status& status) {
  if (IsUsageError(status)) return PrintUsageError(ctx, verb, status.message());
  return PrintError(ctx, status);
}

int ModuleIndexOf(const ExportRequest& request) {
  return ModuleIndexByCode(request.module_code).value_or(-1);
}

std::optional<int> ParseFileNumber(const std::string& text, int module) {
  char* end = nullptr;
  long n = std::strtol(text.c_str(), &end, 10);
  if (text.empty() || *end != '\0' || FindDataFile(module, static_cast<int>(n)) == nullptr)
    return std::nullopt;
  return static_cast<int>(n);
}

Result<ExportRequest> RequestFromChoices(const ChoiceOptions& choices, const Directories& dirs,
                                         Env* env, std::vector<Status>* notes) {
  for (const auto& [name, value] : {std::pair{"--module", &choices.module},
                                    std::pair{"--company", &choices.company},
                                    std::pair{"--file", &choices.file}}) {
    if (!*value) return Usage(std::string(name) + " is required");
  }
  auto module = ModuleIndexByCode(*choices.module);
  if (!module) return Usage("unknown module '" + *choices.module + "' (see 'recordhaul list modules')");
  auto file = ParseFileNumber(*choices.file, *module);
  if (!file) {
    return Usage("module " + std::string(Modules()[static_cast<size_t>(*module)].code) +
                 " has no data file '" + *choices.file + "' (see 'recordhaul list files')");
  }
  auto type = ChooseType(choices, notes);
  if (!type.ok()) return type.status();

  ExportRequest r;
  r.dirs = dirs;
  r.module_code = std::string(Modules()[static_cast<size_t>(*module)].code);
  r.file_number = *file;
  r.export_type = (*type)->index;
  auto layout = LoadFieldLayout(env, dirs.system, r.module_code, *file);
  if (!layout.ok()) return layout.status();
  r.layout = std::move(layout).value();

  std::string company = *choices.company;
  for (char& c : company) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  std::vector<std::string> entries;
  for (const CompanyInfo& c : EnumerateCompanies(env, dirs.data, r.module_code))
    entries.push_back(CompanyListEntry(c));
  if (FindCompanyEntry(entries, company) < 0)
    return Status::Of(MessageId::kCompanyHasNoRegister, {company, r.module_code, dirs.data});
  r.company = company;

  auto rows = SelectFields(r.layout.available(), choices.fields, (*type)->names);
  if (!rows.ok()) return rows.status();
  r.rows = std::move(rows).value();
  NoteUnexportable(choices, r.layout, notes);
  // Kept as typed, so that the run judges the name the user gave ("Error
  // #5"); a relative one goes into the current directory.
  if (choices.dest) r.destination = *choices.dest;
  r.relative_to = CurrentFolder();
  return r;
}

}  // namespace rh::cli
