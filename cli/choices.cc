#include "cli/choices.h"

#include <unistd.h>

#include <cctype>
#include <charconv>
#include <cstdlib>

#include "app/field_choices.h"
#include "base/cp1252.h"
#include "base/paths.h"
#include "cli/commands.h"
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

// --field NAME[=EXPORTNAME] and --all-fields, in command-line order; names
// are typed in UTF-8 and kept in Windows-1252.
std::vector<FieldChoice> FieldChoices(const Args& args) {
  std::vector<FieldChoice> choices;
  for (const auto& [name, value] : args.options()) {
    if (name == "all-fields") {
      choices.push_back({true, {}, std::nullopt});
    } else if (name == "field") {
      const size_t eq = value.find('=');
      FieldChoice c{false, Utf8ToCp1252(value.substr(0, eq)), std::nullopt};
      if (eq != std::string::npos) c.export_name = Utf8ToCp1252(value.substr(eq + 1));
      choices.push_back(std::move(c));
    }
  }
  return choices;
}

}  // namespace

std::vector<OptionSpec> ChoiceOptions() {
  return {{"module", true}, {"company", true}, {"file", true},       {"type", true},
          {"dest", true},   {"field", true},   {"all-fields", false}};
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
  return status.Is(MessageId::kUsage) || status.Is(MessageId::kUnknownField);
}

Result<int> ThreadsOption(const Args& args) {
  auto text = args.Value("threads");
  if (!text) return 0;
  int n = 0;
  auto [end, ec] = std::from_chars(text->data(), text->data() + text->size(), n);
  if (ec != std::errc() || end != text->data() + text->size() || n < 1 || n > 256)
    return Usage("--threads takes a number from 1 to 256");
  return n;
}

int ModuleIndexOf(const ExportRequest& request) {
  return ModuleIndexByCode(request.module_code).value_or(-1);
}

Result<ExportRequest> RequestFromChoices(const Args& args, const Directories& dirs, Env* env) {
  for (const char* required : {"module", "company", "file"})
    if (!args.Has(required)) return Usage(std::string("--") + required + " is required");
  auto module = ModuleIndexByCode(*args.Value("module"));
  if (!module) return Usage("unknown module '" + *args.Value("module") + "'");
  auto file = ParseFileNumber(*args.Value("file"), *module);
  if (!file) return Usage("module has no data file '" + *args.Value("file") + "'");
  std::optional<int> type = args.Has("type") ? ParseType(*args.Value("type")) : 0;
  if (!type) {
    return Usage("--type must be an export type from 0 to " +
                 std::to_string(ExportTypes().size() - 1) + " (see 'recordhaul list types')");
  }

  ExportRequest r;
  r.dirs = dirs;
  r.module_code = std::string(Modules()[static_cast<size_t>(*module)].code);
  r.file_number = *file;
  r.export_type = *type;
  auto layout = LoadFieldLayout(env, dirs.system, r.module_code, *file);
  if (!layout.ok()) return layout.status();
  r.layout = std::move(layout).value();

  std::string company = *args.Value("company");
  for (char& c : company) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  std::vector<std::string> entries;
  for (const CompanyInfo& c : EnumerateCompanies(env, dirs.data, r.module_code))
    entries.push_back(CompanyListEntry(c));
  if (FindCompanyEntry(entries, company) < 0)
    return Status::Of(MessageId::kCompanyHasNoRegister, {company, r.module_code, dirs.data});
  r.company = company;

  auto rows = SelectFields(r.layout.available(), FieldChoices(args),
                           FindExportType(*type)->names);
  if (!rows.ok()) return rows.status();
  r.rows = std::move(rows).value();
  // Kept as typed, so that the run judges the name the user gave ("Error
  // #5"); a relative one goes into the current directory.
  if (auto dest = args.Value("dest")) r.destination = *dest;
  r.relative_to = CurrentFolder();
  return r;
}

ConsolePlatform::Answerer BatchAnswers(bool overwrite, bool append) {
  return [=](const MessageBox& question) {
    switch (question.id) {
      case MessageId::kTextDestinationExists:  // Yes appends, No overwrites
        return append ? Answer::kYes : overwrite ? Answer::kNo : Answer::kCancel;
      case MessageId::kTableDestinationExists:  // Ok to Overwrite?
        return overwrite ? Answer::kYes : Answer::kNo;
      case MessageId::kDBaseTitlesTruncated:
        return Answer::kOk;
      default:
        return Answer::kYes;  // a field already in the selection is added again
    }
  };
}

}  // namespace rh::cli
