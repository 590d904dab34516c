#include "selection/field_selection.h"

#include <algorithm>


namespace rh {

namespace {

bool HasPosition(const std::vector<SelectedField>& rows, int32_t position) {
  return std::any_of(rows.begin(), rows.end(),
                     [&](const SelectedField& r) { return r.source_position == position; });
}

}  // namespace

void FieldSelection::Append(const std::string& entry, int32_t position) {
  std::string name = entry.substr(0, kMaxNameLength);
  rows_.push_back({name, position, name});
}

void FieldSelection::AddFields(const std::vector<std::string>& available,
                               const std::vector<bool>& selected, const AddAgain& add_again,
                               const ExportNameRules& rules) {
  for (size_t i = 0; i < available.size() && i < selected.size(); ++i) {
    if (!selected[i]) continue;
    const auto position = static_cast<int32_t>(i);
    if (HasPosition(rows_, position) && !add_again(available[i])) continue;
    Append(available[i], position);
  }
  NormaliseExportNames(rules);
}

void FieldSelection::AddAllFields(const std::vector<std::string>& available,
                                  const ExportNameRules& rules) {
  for (size_t i = 0; i < available.size(); ++i) {
    const auto position = static_cast<int32_t>(i);
    if (!HasPosition(rows_, position)) Append(available[i], position);
  }
  NormaliseExportNames(rules);
}

void FieldSelection::RemoveField() {
  if (selected_row_ < 0 || selected_row_ >= static_cast<int>(rows_.size())) return;
  rows_.erase(rows_.begin() + selected_row_);
  if (mark_row_ >= static_cast<int>(rows_.size())) mark_row_ = -1;
  EndRename();
}

void FieldSelection::RemoveAllFields() {
  rows_.clear();
  mark_row_ = -1;
  new_name_.clear();
  EndRename();
}

void FieldSelection::Click(int row) {
  if (row >= 0 && row < static_cast<int>(rows_.size())) mark_row_ = selected_row_ = row;
  BeginRename();
}

void FieldSelection::Step(int delta) {
  if (rows_.empty()) return;
  int row = std::clamp(std::max(mark_row_, 0) + delta, 0, static_cast<int>(rows_.size()) - 1);
  mark_row_ = selected_row_ = row;
  BeginRename();
}

void FieldSelection::BeginRename() {
  if (mark_row_ < 0) mark_row_ = 0;
  if (mark_row_ >= static_cast<int>(rows_.size())) {
    mark_row_ = -1;
    return;
  }
  rename_row_ = mark_row_;
  new_name_ = rows_[static_cast<size_t>(rename_row_)].export_name;
}

void FieldSelection::ApplyRename(const ExportNameRules& rules) {
  std::string text = new_name_.substr(0, kMaxNameLength);
  bool blank = text.find_first_not_of(' ') == std::string::npos;
  if (!blank && renaming()) {
    rows_[static_cast<size_t>(rename_row_)].export_name = text;
    NormaliseExportNames(rules);
  }
  EndRename();
}

void FieldSelection::EndRename() {
  new_name_.clear();
  rename_row_ = -1;
  selected_row_ = -1;
}

void FieldSelection::NormaliseExportNames(const ExportNameRules& rules) {
  rh::NormaliseExportNames(&rows_, rules);
}

void FieldSelection::Assign(std::vector<SelectedField> rows) {
  rows_ = std::move(rows);
  mark_row_ = -1;
  EndRename();
}

}  // namespace rh
