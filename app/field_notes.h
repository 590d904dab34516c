// Why a field of the data dictionary cannot be exported: for `list fields`
// and for the note --all-fields gives.
#ifndef RECORDHAUL_APP_FIELD_NOTES_H_
#define RECORDHAUL_APP_FIELD_NOTES_H_

#include <string>
#include <vector>

#include "base/status.h"
#include "data/data_dictionary.h"

namespace rh {

struct FieldNote {
  const FieldDef* field;
  // A detail message of the catalog: the type letter is none of the seven
  // (the field has no value to export), or the length is not the one its
  // type takes (the field list leaves the field out).
  Status why;
};

// Every field of the layout that cannot be exported, in record order. A
// letter that is none of D F I J L T Y keeps the size of the last known
// one, as the field list is made.
std::vector<FieldNote> UnexportableFields(const FieldLayout& layout);

// The type letter as it can be shown: the letter, or its byte value.
std::string TypeLetterText(char type);

}  // namespace rh

#endif  // RECORDHAUL_APP_FIELD_NOTES_H_
