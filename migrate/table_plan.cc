#include "migrate/table_plan.h"

#include <set>

namespace rh {

namespace {

// The ASCII letters a Windows-1252 letter from 0x80 up is written with;
// nullptr for a byte that is no letter.
const char* LetterOf(unsigned char byte) {
  static const char* const kHigh[128] = {
      // 0x80
      nullptr, nullptr, nullptr, "f", nullptr, nullptr, nullptr, nullptr,
      nullptr, nullptr, "s", nullptr, "oe", nullptr, "z", nullptr,
      // 0x90
      nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
      nullptr, nullptr, "s", nullptr, "oe", nullptr, "z", "y",
      // 0xA0
      nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
      nullptr, nullptr, "a", nullptr, nullptr, nullptr, nullptr, nullptr,
      // 0xB0
      nullptr, nullptr, nullptr, nullptr, nullptr, "u", nullptr, nullptr,
      nullptr, nullptr, "o", nullptr, nullptr, nullptr, nullptr, nullptr,
      // 0xC0
      "a", "a", "a", "a", "a", "a", "ae", "c", "e", "e", "e", "e", "i", "i", "i", "i",
      // 0xD0
      "d", "n", "o", "o", "o", "o", "o", nullptr, "o", "u", "u", "u", "u", "y", "th", "ss",
      // 0xE0
      "a", "a", "a", "a", "a", "a", "ae", "c", "e", "e", "e", "e", "i", "i", "i", "i",
      // 0xF0
      "d", "n", "o", "o", "o", "o", "o", nullptr, "o", "u", "u", "u", "u", "y", "th", "y",
  };
  return byte >= 0x80 ? kHigh[byte - 0x80] : nullptr;
}

// A name cut to `limit` bytes, with no "_" left at its end.
std::string Cut(std::string name, size_t limit) {
  if (name.size() > limit) name.resize(limit);
  while (!name.empty() && name.back() == '_') name.pop_back();
  return name;
}

ColumnType TypeOfLetter(char type) {
  switch (type) {
    case 'D': return ColumnType::kDouble;
    case 'F': return ColumnType::kDecimal4;
    case 'I': case 'Y': return ColumnType::kSmallInt;
    case 'J': return ColumnType::kDate;
    case 'L': return ColumnType::kInteger;
    default: return ColumnType::kText;
  }
}

}  // namespace

std::string SnakeCase(std::string_view cp1252_text) {
  std::string out;
  bool gap = false;  // a run of other characters since the last letter or digit
  for (char c : cp1252_text) {
    const auto byte = static_cast<unsigned char>(c);
    std::string_view letters;
    char single = 0;
    if ((byte >= 'a' && byte <= 'z') || (byte >= '0' && byte <= '9')) {
      single = c;
    } else if (byte >= 'A' && byte <= 'Z') {
      single = static_cast<char>(byte - 'A' + 'a');
    } else if (const char* mapped = LetterOf(byte)) {
      letters = mapped;
    }
    if (single == 0 && letters.empty()) {
      gap = true;
      continue;
    }
    if (gap && !out.empty()) out.push_back('_');
    gap = false;
    if (single != 0) out.push_back(single);
    out.append(letters);
  }
  if (!out.empty() && out[0] >= '0' && out[0] <= '9') {
    std::string prefixed(1, '_');
    prefixed += out;
    out = std::move(prefixed);
  }
  return Cut(std::move(out), kMaxIdentifierLength);
}

std::string TableName(std::string_view module_code, std::string_view description) {
  std::string text(module_code);
  text += ' ';
  text += description;
  return SnakeCase(text);
}

void MakeUnique(std::vector<std::string>* names) {
  std::set<std::string> taken(names->begin(), names->end());
  std::set<std::string> seen;
  for (std::string& name : *names) {
    if (seen.insert(name).second) continue;
    for (int n = 2;; ++n) {
      std::string suffix(1, '_');
      suffix += std::to_string(n);
      std::string candidate = Cut(name, kMaxIdentifierLength - suffix.size()) + suffix;
      if (taken.contains(candidate)) continue;
      name = candidate;
      break;
    }
    taken.insert(name);
    seen.insert(name);
  }
}

TablePlan PlanTable(const DataFileInfo& file, std::string_view module_code,
                    FieldLayout layout) {
  TablePlan plan;
  plan.name = TableName(module_code, file.description);
  plan.module_code = std::string(module_code);
  plan.file_number = file.number;
  plan.description = std::string(file.description);
  plan.columns.push_back(
      {"company", ColumnType::kText, 2, BindField(layout, kPseudoFields[4])});
  plan.columns.push_back(
      {"record_number", ColumnType::kInteger, 0, BindField(layout, kPseudoFields[0])});
  // The names offered for export end with the pseudo-fields.
  const std::vector<std::string>& available = layout.available();
  const size_t listed =
      available.size() >= kPseudoFields.size() ? available.size() - kPseudoFields.size() : 0;
  for (size_t i = 0; i < listed; ++i) {
    ColumnPlan column;
    column.field = BindDictionaryField(layout, available[i]);
    column.type = TypeOfLetter(column.field.type);
    column.length = column.field.length > 0 ? column.field.length : 1;
    column.name = SnakeCase(available[i]);
    if (column.name.empty()) column.name = "field";
    plan.columns.push_back(std::move(column));
  }
  std::vector<std::string> names;
  for (const ColumnPlan& c : plan.columns) names.push_back(c.name);
  MakeUnique(&names);
  for (size_t i = 0; i < names.size(); ++i) plan.columns[i].name = std::move(names[i]);
  plan.layout = std::move(layout);
  return plan;
}

}  // namespace rh
