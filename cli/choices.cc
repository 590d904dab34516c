#include "cli/choices.h"

#include <unistd.h>

#include <cstdlib>

#include "app/choice_cascade.h"
#include "app/selection_commands.h"
#include "base/cp1252.h"
#include "base/paths.h"
#include "cli/commands.h"
#include "data/catalog.h"

namespace rh::cli {

namespace {

Status Usage(std::string message) { return Status::Error("Usage", std::move(message)); }

std::optional<int> ParseType(const std::string& text) {
  char* end = nullptr;
  long t = std::strtol(text.c_str(), &end, 10);
  if (text.empty() || *end != '\0' || !IsValidExportType(static_cast<int>(t))) return std::nullopt;
  return static_cast<int>(t);
}

// Adds the available entry named `name` (UTF-8) and gives its row an export
// name when one is asked for.
Status AddField(ExportState& s, ConsolePlatform& ui, const std::string& spec) {
  size_t eq = spec.find('=');
  std::string name = Utf8ToCp1252(spec.substr(0, eq));
  int index = -1;
  for (size_t i = 0; i < s.available.entries.size() && index < 0; ++i)
    if (s.available.entries[i] == name) index = static_cast<int>(i);
  if (index < 0) {
    return Usage("the data file has no field '" + spec.substr(0, eq) +
                 "' (see 'recordhaul list fields')");
  }
  if (s.selection.size() + 1 > kMaxSelectedFields)
    return Status::Error("Error #1", "You can only export 300 fields");
  s.available.ClearSelection();
  s.available.selected[static_cast<size_t>(index)] = true;
  AddFieldsCommand(s, ui);
  s.available.ClearSelection();
  if (eq != std::string::npos) {
    ClickSelectionRow(s, static_cast<int>(s.selection.size()) - 1);
    s.selection.set_new_name(Utf8ToCp1252(spec.substr(eq + 1)));
    ApplyRenameCommand(s);
  }
  return Status();
}

}  // namespace

std::vector<OptionSpec> ChoiceOptions() {
  return {{"module", true}, {"company", true}, {"file", true},       {"type", true},
          {"dest", true},   {"field", true},   {"all-fields", false}};
}

std::string AbsolutePath(const std::string& path) {
  if (path.empty() || path[0] == '/') return path;
  char* cwd = ::getcwd(nullptr, 0);
  std::string abs = cwd != nullptr ? JoinPath(cwd, path) : path;
  std::free(cwd);
  return abs;
}

void SetDestination(ExportState& s, const std::string& typed) {
  // Kept as typed, so that the run judges the name the user gave ("Error
  // #5"); the run puts a relative one into the current directory.
  s.destination_box = typed;
  char* cwd = ::getcwd(nullptr, 0);
  s.relative_destination_folder = cwd != nullptr ? cwd : ".";
  std::free(cwd);
}

Status ApplyChoices(const Args& args, ExportState& s, ConsolePlatform& ui) {
  for (const char* required : {"module", "company", "file"})
    if (!args.Has(required)) return Usage(std::string("--") + required + " is required");
  auto module = ModuleIndexByCode(*args.Value("module"));
  if (!module) return Usage("unknown module '" + *args.Value("module") + "'");
  auto file = ParseFileNumber(*args.Value("file"), *module);
  if (!file) return Usage("module has no data file '" + *args.Value("file") + "'");
  std::optional<int> type = args.Has("type") ? ParseType(*args.Value("type")) : 0;
  if (!type) return Usage("--type must be an export type from 0 to 10 (see 'recordhaul list types')");

  // Loading the module's first file only to replace it would report that
  // file's dictionary problems: open the module on the chosen file directly,
  // as opening a template does.
  s.record.file_number = *file;
  s.loading = true;
  ChooseModule(s, ui, *module);
  s.loading = false;
  if (s.window_closed) return Status::Error("Error", "The data dictionary cannot be used.");
  const std::string_view description = FindDataFile(*module, *file)->description;
  for (size_t i = 0; i < s.file_list.entries.size(); ++i)
    if (s.file_list.entries[i] == description) s.file_list.current = static_cast<int>(i);
  if (s.window_closed) return Status::Error("Error", "The data dictionary cannot be used.");

  std::string company = *args.Value("company");
  for (char& c : company) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  int entry = -1;
  for (size_t i = 0; i < s.company_list.entries.size() && entry < 0; ++i)
    if (s.company_list.entries[i].substr(0, 2) == company) entry = static_cast<int>(i);
  if (entry < 0) {
    return Status::Error("Error", "Company " + company + " has no register for module " +
                                      s.module_code + " in " + s.dirs.data + ".");
  }
  CompanyEntryChanged(s, entry);
  ConfirmCompany(s, ui);
  ChooseExportType(s, ui, *type);

  for (const auto& [name, value] : args.options()) {
    if (name == "all-fields") {
      if (s.available.entries.size() + s.selection.size() > kMaxSelectedFields)
        return Status::Error("Error #1", "You can export a maximum of 300 fields");
      AddAllFieldsCommand(s, ui);
    } else if (name == "field") {
      if (Status st = AddField(s, ui, value); !st.ok()) return st;
    }
  }
  if (auto dest = args.Value("dest")) SetDestination(s, *dest);
  return Status();
}

ConsolePlatform::Answerer BatchAnswers(bool overwrite, bool append) {
  return [=](std::string_view text, std::string_view, MessageStyle style) {
    if (text.rfind("Destination file already exists.", 0) == 0) {
      if (style == MessageStyle::kYesNoCancelQuestion)  // text: Yes appends, No overwrites
        return append ? Answer::kYes : overwrite ? Answer::kNo : Answer::kCancel;
      return overwrite ? Answer::kYes : Answer::kNo;  // tables: Ok to Overwrite?
    }
    if (style == MessageStyle::kOkCancel) return Answer::kOk;  // the dBase name rule
    return Answer::kYes;  // a field already in the selection is added again
  };
}

}  // namespace rh::cli
