#include "app/field_choices.h"

#include <algorithm>

#include "base/cp1252.h"

namespace rh {

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
    auto it = std::find(available.begin(), available.end(), choice.name);
    if (it == available.end())
      return Status::Of(MessageId::kUnknownField, {Cp1252ToUtf8(choice.name)});
    if (!selection.HasRoomFor(1)) return Status::Of(MessageId::kTooManyFieldsAdd);
    std::vector<bool> picked(available.size(), false);
    picked[static_cast<size_t>(it - available.begin())] = true;
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
