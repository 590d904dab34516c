#include "app/choice_cascade.h"

#include <algorithm>

#include "data/catalog.h"

namespace rh {

namespace {

void WarnIncompatible(Platform& ui) { ui.Show(MessageId::kIncompatibleVersions); }

// Whether the export type may change to `next`: a change to a type whose
// names are cut to dBase's nine characters asks first, unless a template is
// being loaded.
bool ConfirmExportType(const ExportState& s, Platform& ui, int next) {
  if (!FindExportType(next)->names.dbase || next == s.export_type() || s.loading) return true;
  return ui.Show(MessageId::kDBaseTitlesTruncated) != Answer::kCancel;
}

}  // namespace

bool RecordLayoutMatches(const ExportState& s) {
  if (!s.company_list.HasCurrent()) return true;
  return CheckRecordLayout(s.env, s.Location(), s.layout.record_length());
}

void FillCompanyList(ExportState& s) {
  s.company_list.Clear();
  for (const CompanyInfo& c : EnumerateCompanies(s.env, s.dirs.data, s.module_code))
    s.company_list.entries.push_back(CompanyListEntry(c));
  std::sort(s.company_list.entries.begin(), s.company_list.entries.end());
}

bool LoadFieldList(ExportState& s, Platform& ui) {
  if (!s.loading) {
    s.MarkModified();
    s.record.positions.clear();
    s.record.names.clear();
    s.selection.ClearNewName();
  }
  s.available.Clear();
  s.layout = FieldLayout();
  auto layout = LoadFieldLayout(s.env, s.dirs.system, s.module_code, s.file_number);
  if (!layout.ok()) {
    const Status& e = layout.status();
    ui.Show(e);
    if (e.fatal()) {
      s.modified = false;
      s.CloseMainWindow();
    }
    return false;
  }
  s.layout = std::move(layout).value();
  s.available.Assign(s.layout.available());
  return true;
}

void ChooseModule(ExportState& s, Platform& ui, int index) {
  s.MarkModified();
  s.module_list.current = index;
  if (!s.module_list.HasCurrent()) return;
  s.record.module_index = index;
  s.file_list.Clear();
  s.selection.Assign({});
  for (const DataFileInfo& f : DataFilesOf(index)) s.file_list.entries.emplace_back(f.description);
  s.module_code = std::string(Modules()[static_cast<size_t>(index)].code);
  s.file_list.current = s.file_list.entries.empty() ? -1 : 0;
  s.selection.EndRename();
  FillCompanyList(s);
  ChooseDataFile(s, ui, s.file_list.current);
}

void CompanyEntryChanged(ExportState& s, int index) {
  s.company_list.current = index;
  s.company_number = CompanyNumberOf(s.company_list.CurrentText());
  s.record.company = s.company_number;
}

void ConfirmCompany(ExportState& s, Platform& ui) {
  s.MarkModified();
  const std::string& text = s.company_list.CurrentText();
  if (text.find_first_not_of(' ') == std::string::npos) return;
  s.company_number = CompanyNumberOf(text);
  if (!RecordLayoutMatches(s)) WarnIncompatible(ui);
}

void ChooseDataFile(ExportState& s, Platform& ui, int index) {
  if (!s.module_list.HasCurrent()) return;
  s.MarkModified();
  s.file_list.current = index;
  s.file_number = s.record.file_number;
  if (!s.loading) {
    auto number = FileNumberByDescription(s.module_list.current, s.file_list.CurrentText());
    if (number) {
      s.file_number = *number;
      s.record.file_number = *number;
    }
  }
  s.available.Clear();
  s.selection.EndRename();
  if (LoadFieldList(s, ui) && !RecordLayoutMatches(s)) WarnIncompatible(ui);
  s.selection.Assign({});
}

void ChooseExportType(ExportState& s, Platform& ui, int type) {
  s.MarkModified();
  if (FindExportType(type) == nullptr || !ConfirmExportType(s, ui, type)) return;
  s.SetExportType(type);
  s.selection.NormaliseExportNames(s.NameRules());
  s.destination_box.clear();
}

}  // namespace rh
