// What must hold for any field layout the dictionary reader returns, and for
// the values of any record of its record length.
#ifndef RECORDHAUL_TESTS_FUZZ_LAYOUT_CHECKS_H_
#define RECORDHAUL_TESTS_FUZZ_LAYOUT_CHECKS_H_

#include <string_view>

#include "data/data_dictionary.h"

namespace rh::fuzz {

// Offsets follow the lengths, the pseudo-fields come last, FindField gives
// the first field of a name, and every bound field lies inside the record.
// Converts every available field from a record filled with `filler`.
void CheckLayout(const FieldLayout& layout, std::string_view filler);

}  // namespace rh::fuzz

#endif  // RECORDHAUL_TESTS_FUZZ_LAYOUT_CHECKS_H_
