// Export-name normalisation: the cut, the dBase rules, the trim, and the
// counter that makes duplicate names unique.
#include <cstring>

#include "selection/field_selection.h"

namespace rh {

namespace {

// Bytes 0 to 32 are blanks; 128 to 255 are Windows-1252 letters and stay.
bool IsBlank(char c) { return static_cast<unsigned char>(c) <= 32; }

std::string CleanName(std::string name, const ExportNameRules& rules) {
  if (name.size() > static_cast<size_t>(rules.width)) name.resize(static_cast<size_t>(rules.width));
  if (rules.dbase) {
    for (char& c : name) {
      if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
      if (c != '\0' && std::strchr(" @#$*()/'", c) != nullptr) c = '_';
    }
  }
  size_t begin = 0, end = name.size();
  while (begin < end && IsBlank(name[begin])) ++begin;
  while (end > begin && IsBlank(name[end - 1])) --end;
  return name.substr(begin, end - begin);
}

// The first row after `k` whose name equals row k's, or -1.
int FirstDuplicate(const std::vector<SelectedField>& rows, size_t k) {
  for (size_t m = k + 1; m < rows.size(); ++m)
    if (rows[m].export_name == rows[k].export_name) return static_cast<int>(m);
  return -1;
}

}  // namespace

std::string MakeNameUnique(std::string_view name, int width) {
  const size_t w = static_cast<size_t>(width);
  std::string text(name.substr(0, w));
  while (!text.empty() && text.back() == ' ') text.pop_back();
  std::string field(w - text.size(), ' ');
  field += text;
  for (size_t pos = w; pos-- > 0;) {
    char& c = field[pos];
    if (c < '0' || c > '9') c = '0';
    if (++c <= '9') break;
    c = '0';
    if (pos == 0) {  // the carry ran off the front: start again as "1"
      field.assign(w, ' ');
      field[w - 1] = '1';
    }
  }
  size_t begin = field.find_first_not_of(' ');
  if (begin == std::string::npos) return {};
  size_t end = field.find_last_not_of(' ');
  return field.substr(begin, end - begin + 1);
}

void NormaliseExportNames(std::vector<SelectedField>* rows_ptr, const ExportNameRules& rules) {
  auto& rows = *rows_ptr;
  for (SelectedField& row : rows) row.export_name = CleanName(row.export_name, rules);
  // The rule: find the first row k with a later duplicate m (the first such
  // m), make m unique, and start again from the top. Restarting is only
  // needed for rows before k whose name the new name of m may now equal;
  // every other row before k still has no later duplicate.
  size_t k = 0;
  while (k + 1 < rows.size()) {
    int m = FirstDuplicate(rows, k);
    if (m < 0) {
      ++k;
      continue;
    }
    std::string& renamed = rows[static_cast<size_t>(m)].export_name;
    renamed = MakeNameUnique(renamed, rules.width);
    for (size_t i = 0; i < k; ++i) {
      if (rows[i].export_name == renamed) {
        k = i;
        break;
      }
    }
  }
}

}  // namespace rh
