#include "app/choice_cascade.h"

#include <algorithm>

#include "data/catalog.h"

namespace rh {

namespace {

void WarnIncompatible(Platform& ui) {
  ui.Message("Incompatible Versions", "Warning", MessageStyle::kOkExclamation);
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
    if (e.fatal()) {
      ui.Message(e.message(), e.caption(), MessageStyle::kOkExclamation);
      s.modified = false;
      s.CloseMainWindow();
    } else {
      ui.Message(e.message(), e.caption(), MessageStyle::kOk);
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
  s.company_number = s.company_list.CurrentText().substr(0, 2);
  s.record.company = s.company_number;
}

void ConfirmCompany(ExportState& s, Platform& ui) {
  s.MarkModified();
  const std::string& text = s.company_list.CurrentText();
  if (text.find_first_not_of(' ') == std::string::npos) return;
  s.company_number = text.substr(0, 2);
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
  if (!IsValidExportType(type) || !ConfirmExportType(type, s.export_type, s.loading, ui)) {
    s.export_type_list.current = s.export_type;
    return;
  }
  s.export_type = type;
  s.export_type_list.current = type;
  s.selection.NormaliseExportNames(s.NameWidth());
  s.destination_box.clear();
  s.default_extension = DefaultExtension(kExportTypeLabels[static_cast<size_t>(type)]);
  s.destination_filter = DestinationFilter(kExportTypeLabels[static_cast<size_t>(type)]);
}

}  // namespace rh
