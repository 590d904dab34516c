#include "app/field_choices.h"

#include <algorithm>
#include <numeric>

#include "base/cp1252.h"

namespace rh {

namespace {

// Windows-1252 text in lower case: the ASCII and Latin letters, and the
// four capitals the code page keeps among 0x80-0x9F.
std::string FoldCase(std::string_view text) {
  std::string folded(text);
  for (char& c : folded) {
    const auto b = static_cast<unsigned char>(c);
    if ((b >= 'A' && b <= 'Z') || (b >= 0xC0 && b <= 0xDE && b != 0xD7)) c = static_cast<char>(b + 0x20);
    else if (b == 0x8A || b == 0x8C || b == 0x8E) c = static_cast<char>(b + 0x10);
    else if (b == 0x9F) c = static_cast<char>(0xFF);
  }
  return folded;
}

// The edits (insert, delete, replace a byte) that turn one text into the other.
size_t EditDistance(std::string_view a, std::string_view b) {
  std::vector<size_t> row(b.size() + 1);
  std::iota(row.begin(), row.end(), size_t{0});
  for (size_t i = 1; i <= a.size(); ++i) {
    size_t diagonal = row[0];
    row[0] = i;
    for (size_t j = 1; j <= b.size(); ++j) {
      const size_t above = row[j];
      row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
      diagonal = above;
    }
  }
  return row[b.size()];
}

// "'A'", "'A' or 'B'", "'A', 'B' or 'C'", in UTF-8.
std::string QuotedList(const std::vector<std::string>& names) {
  std::string text;
  for (size_t i = 0; i < names.size(); ++i) {
    if (i > 0) text += i + 1 == names.size() ? " or " : ", ";
    text.append(1, '\'').append(Cp1252ToUtf8(names[i])).append(1, '\'');
  }
  return text;
}

// Up to three entries close to `name`: those that hold it or that it
// holds, and those a few edits away, the nearest first.
std::vector<std::string> ClosestNames(const std::vector<std::string>& available,
                                      std::string_view name) {
  const std::string wanted = FoldCase(name);
  const size_t allowed = std::max<size_t>(2, wanted.size() / 3);
  std::vector<std::pair<size_t, std::string>> close;
  for (const std::string& entry : available) {
    const std::string folded = FoldCase(entry);
    const bool part = !wanted.empty() && (folded.find(wanted) != std::string::npos ||
                                          (wanted.size() >= 3 && wanted.find(folded) != std::string::npos));
    const size_t distance = part ? 0 : EditDistance(wanted, folded);
    const bool seen = std::any_of(close.begin(), close.end(),
                                  [&](const auto& c) { return c.second == entry; });
    if ((part || distance <= allowed) && !seen) close.emplace_back(distance, entry);
  }
  std::stable_sort(close.begin(), close.end(),
                   [](const auto& x, const auto& y) { return x.first < y.first; });
  std::vector<std::string> names;
  for (size_t i = 0; i < close.size() && i < 3; ++i) names.push_back(close[i].second);
  return names;
}

}  // namespace

Result<size_t> FindAvailableField(const std::vector<std::string>& available,
                                  std::string_view name) {
  auto exact = std::find(available.begin(), available.end(), name);
  if (exact != available.end()) return static_cast<size_t>(exact - available.begin());
  const std::string folded = FoldCase(name);
  std::vector<std::string> matches;
  size_t first = 0;
  for (size_t i = 0; i < available.size(); ++i) {
    if (FoldCase(available[i]) != folded) continue;
    if (matches.empty()) first = i;
    if (std::find(matches.begin(), matches.end(), available[i]) == matches.end())
      matches.push_back(available[i]);
  }
  if (matches.size() == 1) return first;
  const std::string typed = Cp1252ToUtf8(name);
  if (matches.size() > 1) return Status::Of(MessageId::kAmbiguousField, {typed, QuotedList(matches)});
  std::vector<std::string> close = ClosestNames(available, name);
  if (!close.empty()) return Status::Of(MessageId::kUnknownFieldSuggest, {typed, QuotedList(close)});
  return Status::Of(MessageId::kUnknownField, {typed});
}

Result<std::vector<SelectedField>> SelectFields(const std::vector<std::string>& available,
                                                const std::vector<FieldChoice>& choices,
                                                const ExportNameRules& rules) {
  FieldSelection selection;
  const auto add_again = [](const std::string&) { return true; };
  for (const FieldChoice& choice : choices) {
    if (choice.all_fields) {
      if (!selection.HasRoomFor(available.size()))
        return Status::Of(MessageId::kTooManyFieldsAddAll);
      selection.AddAllFields(available, rules);
      continue;
    }
    auto at = FindAvailableField(available, choice.name);
    if (!at.ok()) return at.status();
    if (!selection.HasRoomFor(1)) return Status::Of(MessageId::kTooManyFieldsAdd);
    std::vector<bool> picked(available.size(), false);
    picked[*at] = true;
    selection.AddFields(available, picked, add_again, rules);
    if (choice.export_name) {
      selection.Click(static_cast<int>(selection.size()) - 1);
      selection.set_new_name(*choice.export_name);
      selection.ApplyRename(rules);
    }
  }
  return selection.rows();
}

}  // namespace rh
