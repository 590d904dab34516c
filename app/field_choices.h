// The selection that a list of named fields makes, for the command line and
// the sample templates: what the window's Add, Add All and Apply buttons
// would make with every question answered yes.
#ifndef RECORDHAUL_APP_FIELD_CHOICES_H_
#define RECORDHAUL_APP_FIELD_CHOICES_H_

#include <optional>
#include <string>
#include <vector>

#include "base/status.h"
#include "selection/field_selection.h"

namespace rh {

// One field by name (an entry of the available list, in Windows-1252),
// optionally under another export name; or every field not yet selected.
struct FieldChoice {
  bool all_fields = false;
  std::string name;
  std::optional<std::string> export_name;
};

// The rows, in order: a field named twice is added twice; the export names
// are normalised by `rules` after each step and made unique. Fails with
// "Error #1" past 300 rows and with kUnknownField for a name the available
// list does not hold.
Result<std::vector<SelectedField>> SelectFields(const std::vector<std::string>& available,
                                                const std::vector<FieldChoice>& choices,
                                                const ExportNameRules& rules);

}  // namespace rh

#endif  // RECORDHAUL_APP_FIELD_CHOICES_H_
