#include "app/template_commands.h"

#include "app/choice_cascade.h"
#include "base/paths.h"
#include "data/catalog.h"

namespace rh {

namespace {

constexpr std::string_view kTitlePrefix = "Quillmont Software Tallyvane Data Export - ";

FileDialogOptions TemplateDialog(const ExportState& s) {
  FileDialogOptions o;
  o.default_extension = "xdf";
  o.filter = std::string(kTemplateFilter);
  o.initial_path = s.template_path;
  return o;
}

bool ChoicesComplete(const ExportState& s, Platform& ui) {
  if (s.company_list.HasCurrent() && s.module_list.HasCurrent() && s.file_list.HasCurrent())
    return true;
  ui.Show(MessageId::kSaveNeedsChoices);
  return false;
}

bool WriteRecord(ExportState& s, Platform& ui, const std::string& path, bool must_exist) {
  Status st = WriteTemplateFile(s.env, path, CurrentTemplateRecord(s), must_exist);
  if (!st.ok()) {
    ui.Show(st);
    return false;
  }
  return true;
}

}  // namespace

std::string UntitledTemplatePath(const ExportState& s) { return JoinPath(s.dirs.data, "untitled.xdf"); }

std::string WindowTitle(std::string_view template_name) {
  return std::string(kTitlePrefix) + std::string(template_name);
}

TemplateRecord CurrentTemplateRecord(const ExportState& s) {
  TemplateRecord r = s.record;
  r.company = CompanyNumberOf(s.company_list.CurrentText());
  r.export_type = s.export_type();
  r.destination = s.destination_box.substr(0, kTemplateDestinationLength);
  StoreRows(s.selection.rows(), &r);
  return r;
}

void PromptSaveChanges(ExportState& s, Platform& ui) {
  if (s.modified &&
      ui.Show(MessageId::kSaveChangesQuestion) != Answer::kNo) {
    SaveTemplate(s, ui);
  }
  s.modified = false;
}

void NewTemplate(ExportState& s, Platform& ui) {
  PromptSaveChanges(s, ui);
  s.selection.EndRename();
  s.module_list.current = -1;
  s.SetExportType(kCommaWithTitles);
  s.record.positions.clear();
  s.record.names.clear();
  s.record.destination.clear();
  s.template_path = UntitledTemplatePath(s);
  s.file_list.Clear();
  s.company_list.Clear();
  s.company_number.clear();
  s.available.Clear();
  s.layout = FieldLayout();
  s.selection.Assign({});
  s.destination_box.clear();
  ChooseExportType(s, ui, kCommaWithTitles);
  s.window_title = WindowTitle("untitled");
  s.modified = false;
}

bool SaveTemplateAs(ExportState& s, Platform& ui) {
  auto path = ui.SaveFileDialog([&] {
    FileDialogOptions o = TemplateDialog(s);
    o.confirm_overwrite = true;
    return o;
  }());
  if (!ChoicesComplete(s, ui) || !path) return false;
  if (!WriteRecord(s, ui, *path, false)) return false;
  s.template_path = *path;
  s.window_title = WindowTitle(BaseName(*path));
  s.modified = false;
  return true;
}

bool SaveTemplate(ExportState& s, Platform& ui) {
  if (!ChoicesComplete(s, ui)) return false;
  if (s.template_path == UntitledTemplatePath(s)) return SaveTemplateAs(s, ui);
  if (!WriteRecord(s, ui, s.template_path, true)) return false;
  s.modified = false;
  return true;
}

void OpenTemplate(ExportState& s, Platform& ui) {
  PromptSaveChanges(s, ui);
  auto path = ui.OpenFileDialog(TemplateDialog(s));
  if (!path) return;
  if (Status st = OpenTemplateFile(s, ui, *path); !st.ok())
    ui.Show(st);
}

Status OpenTemplateFile(ExportState& s, Platform& ui, const std::string& path) {
  auto read = ReadTemplateFile(s.env, path);
  if (!read.ok()) return read.status();
  const TemplateRecord& r = *read;
  if (r.module_index < 0 || r.module_index >= kModuleCount ||
      FindExportType(r.export_type) == nullptr) {
    return Status::Of(MessageId::kNotATemplate, {path});
  }
  s.selection.Assign({});
  s.template_path = path;
  s.record = r;
  s.window_title = WindowTitle(BaseName(path));
  s.loading = true;
  s.modified = false;
  s.selection.ClearNewName();

  s.company_list.Clear();
  ChooseModule(s, ui, r.module_index);
  FillCompanyList(s);
  s.company_number.clear();
  s.company_list.current = FindCompanyEntry(s.company_list.entries, r.company);
  if (s.company_list.HasCurrent()) s.company_number = r.company;
  s.SetExportType(r.export_type);
  s.destination_box = r.destination.size() >= 3 ? r.destination : std::string();
  s.file_list.current = -1;
  if (const DataFileInfo* f = FindDataFile(r.module_index, r.file_number)) {
    for (size_t i = 0; i < s.file_list.entries.size(); ++i)
      if (s.file_list.entries[i] == f->description) s.file_list.current = static_cast<int>(i);
  }

  std::vector<SelectedField> rows;
  size_t left_out = 0;
  for (size_t i = 0; i < r.positions.size(); ++i) {
    const int32_t p = r.positions[i];
    if (p < 0 || static_cast<size_t>(p) >= s.available.entries.size()) {
      ++left_out;
      continue;
    }
    rows.push_back({s.available.entries[static_cast<size_t>(p)], p, r.names[i]});
  }
  s.selection.Assign(std::move(rows));
  s.loading = false;
  s.selection.EndRename();
  if (left_out > 0) {
    ui.Show(MessageId::kTemplateFieldsLeftOut, {std::to_string(left_out)});
  }
  return Status();
}

}  // namespace rh
