// The selection that a list of named fields makes, for the command line and
// the sample templates: what the window's Add, Add All and Apply buttons
// would make with every question answered yes.
#ifndef RECORDHAUL_APP_FIELD_CHOICES_H_
#define RECORDHAUL_APP_FIELD_CHOICES_H_

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/status.h"
#include "selection/field_selection.h"

namespace rh {

// One field by name (Windows-1252, as the available list holds them),
// optionally under another export name; or every field not yet selected.
struct FieldChoice {
  bool all_fields = false;
  std::string name;
  std::optional<std::string> export_name;
};

// The position in `available` of the entry `name` names: the first entry
// equal to it, else the one entry equal to it regardless of letter case.
// Fails with a usage message: kAmbiguousField when several entries differ
// from it only in letter case, kUnknownFieldSuggest with the closest
// entries when some are close, else kUnknownField.
Result<size_t> FindAvailableField(const std::vector<std::string>& available,
                                  std::string_view name);

// The rows, in order: a field named twice is added twice; the export names
// are normalised by `rules` after each step and made unique. Fails with
// "Error #1" past 300 rows and as FindAvailableField for a name the
// available list does not hold.
Result<std::vector<SelectedField>> SelectFields(const std::vector<std::string>& available,
                                                const std::vector<FieldChoice>& choices,
                                                const ExportNameRules& rules);

}  // namespace rh

#endif  // RECORDHAUL_APP_FIELD_CHOICES_H_
