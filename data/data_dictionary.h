// The data dictionary "QZFMDATA.DAT": the record layout of every data file
// of every module, in fixed 40-byte records.
//
// LoadFieldLayout() reads the section of one data file into a FieldLayout:
// the fields in record order with their offsets, the record length, and the
// names offered for export (the listed fields followed by the five
// pseudo-fields). FieldLayout::FindField() answers from that section as a
// scan from the section start would: the first field whose name matches,
// with the offset the preceding records give it.
#ifndef RECORDHAUL_DATA_DATA_DICTIONARY_H_
#define RECORDHAUL_DATA_DATA_DICTIONARY_H_

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/env.h"
#include "base/status.h"

namespace rh {

inline constexpr std::string_view kDictionaryFileName = "QZFMDATA.DAT";
inline constexpr std::string_view kMinimumDictionaryVersion = "3a02";

// Names listed after every data file's own fields and valued from the
// export's context instead of the record, in this order.
inline constexpr std::array<std::string_view, 5> kPseudoFields = {
    "Current Record", "Module Code", "File Number", "Today's Date",
    "Company Number"};

struct FieldDef {
  std::string name;     // Windows-1252, at most 29 bytes
  char type = 0;        // the type letter in upper case (any byte if unknown)
  int16_t length = 0;   // bytes in the data record
  int32_t offset = 0;   // first byte in the data record
};

// Whether `type` is one of D F I J L T Y.
bool IsKnownFieldType(char type);

// The byte size a field of this type letter occupies; 0 for a letter that is
// none of D F I J L T Y, and the field's own length for T.
int ExpectedFieldSize(char type, int16_t length);

class FieldLayout {
 public:
  FieldLayout() = default;
  FieldLayout(std::vector<FieldDef> fields, std::vector<std::string> available,
              int32_t record_length);

  // The first field of the section whose name equals `name` exactly.
  const FieldDef* FindField(std::string_view name) const;

  // Listed dictionary fields, then the five pseudo-fields.
  const std::vector<std::string>& available() const { return available_; }
  // Sum of the lengths of every field record of the section.
  int32_t record_length() const { return record_length_; }
  const std::vector<FieldDef>& fields() const { return fields_; }

 private:
  std::vector<FieldDef> fields_;  // the records from the section start on
  std::vector<std::string> available_;
  int32_t record_length_ = 0;
};

// Reads the section of data file `file_number` of module `module_code` from
// the dictionary in `system_dir`. Failures:
//   cannot be opened or read: "Error #2" "Error - File could not be opened."
//   version before 3a02: fatal "Error #9" (the program ends after it)
//   no module record or no section for the file: "Error" with a clear text.
Result<FieldLayout> LoadFieldLayout(Env* env, std::string_view system_dir,
                                    std::string_view module_code,
                                    int file_number);

// The dictionary's path: "%s/QZFMDATA.DAT", matched ignoring letter case.
std::string DictionaryPath(Env* env, std::string_view system_dir);

}  // namespace rh

#endif  // RECORDHAUL_DATA_DATA_DICTIONARY_H_
