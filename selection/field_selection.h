// FieldSelection: the ordered rows an export writes — which available field,
// in which column order, under which export name — with the rename state of
// the selection list and the new-name box.
//
// The operations take what they need from outside (the available list, the
// record-layout check, the Platform for questions); the caller sets the
// template's modified flag first, as every selection operation does.
#ifndef RECORDHAUL_SELECTION_FIELD_SELECTION_H_
#define RECORDHAUL_SELECTION_FIELD_SELECTION_H_

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/platform.h"

namespace rh {

inline constexpr size_t kMaxSelectedFields = 300;
inline constexpr size_t kMaxNameLength = 49;

struct SelectedField {
  std::string field_name;   // the available entry the row was added from
  int32_t source_position;  // that entry's position in the available list
  std::string export_name;  // the column's name in the export
};

class FieldSelection {
 public:
  using LayoutCheck = std::function<bool()>;

  const std::vector<SelectedField>& rows() const { return rows_; }
  size_t size() const { return rows_.size(); }
  bool empty() const { return rows_.empty(); }

  // Appends the selected available entries, asking before adding an entry a
  // row already has. Refused with "Error #1" past 300 rows.
  void AddFields(const std::vector<std::string>& available,
                 const std::vector<bool>& selected, const LayoutCheck& layout_ok,
                 Platform& ui, int width);
  // Appends every available entry no row has yet.
  void AddAllFields(const std::vector<std::string>& available,
                    const LayoutCheck& layout_ok, Platform& ui, int width);
  // Removes the selected row, if any.
  void RemoveField();
  void RemoveAllFields();

  // The selection list's selected row (-1: none) and its selection mark, the
  // row most recently selected.
  int selected_row() const { return selected_row_; }
  // A click on the list: on a row it selects and marks it; then BeginRename.
  void Click(int row);
  // Up (-1) or Down (+1) in the list: the row next to the mark becomes the
  // rename row, staying put at either end.
  void Step(int delta);
  // The marked row (row 0 when none is) becomes the rename row.
  void BeginRename();
  // The new-name box's text becomes the rename row's export name unless it
  // is empty or only spaces; then EndRename.
  void ApplyRename(int width);
  void EndRename();

  bool renaming() const { return rename_row_ >= 0; }
  int rename_row() const { return rename_row_; }
  const std::string& new_name() const { return new_name_; }
  // Typing in the new-name box; at most 49 characters are taken from it.
  void set_new_name(std::string text) { new_name_ = std::move(text); }
  void ClearNewName() { new_name_.clear(); }

  void NormaliseExportNames(int width);

  // Replaces the rows wholesale (opening a template).
  void Assign(std::vector<SelectedField> rows);

 private:
  void Append(const std::string& entry, int32_t position);

  std::vector<SelectedField> rows_;
  int selected_row_ = -1;
  int mark_row_ = -1;
  int rename_row_ = -1;
  std::string new_name_;
};

// Cuts, cleans and de-duplicates the export names for an export-name width
// (9 for dBase, 49 otherwise); dBase names also become upper case with
// " @#$*()/'" turned into "_".
void NormaliseExportNames(std::vector<SelectedField>* rows, int width);

// The name with its last characters turned into a decimal counter one
// higher: SALARY -> SALAR1, NAME9 -> NAM10, X99 -> 100, A -> 1.
std::string MakeNameUnique(std::string_view name, int width);

// Whether the export type may change from `current` to `next`: a change to
// dBase asks first (OK/Cancel), unless a template is being loaded.
bool ConfirmExportType(int next, int current, bool loading, Platform& ui);

}  // namespace rh

#endif  // RECORDHAUL_SELECTION_FIELD_SELECTION_H_
