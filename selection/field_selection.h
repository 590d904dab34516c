// FieldSelection: the ordered rows an export writes — which available field,
// in which column order, under which export name — with the rename state of
// the selection list and the new-name box.
//
// The operations take what they need from outside (the available list, the
// export-name rules of the export type) and return what happened; the
// caller asks the questions and shows the messages, and sets the template's
// modified flag first, as every selection operation does.
#ifndef RECORDHAUL_SELECTION_FIELD_SELECTION_H_
#define RECORDHAUL_SELECTION_FIELD_SELECTION_H_

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>


namespace rh {

inline constexpr size_t kMaxSelectedFields = 300;
inline constexpr size_t kMaxNameLength = 49;

// How the export type wants its column names: at most `width` characters,
// and for dBase in upper case with " @#$*()/'" turned into "_".
struct ExportNameRules {
  int width = 49;
  bool dbase = false;
};

struct SelectedField {
  std::string field_name;   // the available entry the row was added from
  int32_t source_position;  // that entry's position in the available list
  std::string export_name;  // the column's name in the export
};

class FieldSelection {
 public:
  // Whether an available entry that a row already has is added once more.
  using AddAgain = std::function<bool(const std::string& entry)>;

  const std::vector<SelectedField>& rows() const { return rows_; }
  size_t size() const { return rows_.size(); }
  bool empty() const { return rows_.empty(); }

  // Whether `count` more rows keep the selection within its 300 rows.
  bool HasRoomFor(size_t count) const { return rows_.size() + count <= kMaxSelectedFields; }
  // Appends the selected available entries in list order; an entry a row
  // already has only when `add_again` says so. Then normalises the names.
  void AddFields(const std::vector<std::string>& available,
                 const std::vector<bool>& selected, const AddAgain& add_again,
                 const ExportNameRules& rules);
  // Appends every available entry no row has yet, then normalises.
  void AddAllFields(const std::vector<std::string>& available, const ExportNameRules& rules);
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
  void ApplyRename(const ExportNameRules& rules);
  void EndRename();

  bool renaming() const { return rename_row_ >= 0; }
  int rename_row() const { return rename_row_; }
  const std::string& new_name() const { return new_name_; }
  // Typing in the new-name box; at most 49 characters are taken from it.
  void set_new_name(std::string text) { new_name_ = std::move(text); }
  void ClearNewName() { new_name_.clear(); }

  void NormaliseExportNames(const ExportNameRules& rules);

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

// Cuts, cleans and de-duplicates the export names by the rules.
void NormaliseExportNames(std::vector<SelectedField>* rows, const ExportNameRules& rules);

// The name with its last characters turned into a decimal counter one
// higher: SALARY -> SALAR1, NAME9 -> NAM10, X99 -> 100, A -> 1.
std::string MakeNameUnique(std::string_view name, int width);

}  // namespace rh

#endif  // RECORDHAUL_SELECTION_FIELD_SELECTION_H_
