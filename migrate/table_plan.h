// What a migration makes of one data file: a table named after the module
// and the data file, with a column for the company, one for the record
// number and one for every field the data dictionary lists, each with the
// SQL type its field's type letter asks for.
#ifndef RECORDHAUL_MIGRATE_TABLE_PLAN_H_
#define RECORDHAUL_MIGRATE_TABLE_PLAN_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "data/catalog.h"
#include "data/data_dictionary.h"
#include "data/field_value.h"

namespace rh {

// Identifiers are cut to what every database we know keeps (PostgreSQL
// drops what follows its 63rd byte without a word).
inline constexpr size_t kMaxIdentifierLength = 63;

enum class ColumnType : uint8_t {
  kText,       // T, the company number
  kSmallInt,   // I, Y
  kInteger,    // L, the record number
  kDouble,     // D
  kDecimal4,   // F: numeric with four decimals
  kDate,       // J
  kTimestamp,  // when a source was loaded
};

struct ColumnPlan {
  std::string name;        // snake case, unique within its table
  ColumnType type = ColumnType::kText;
  int32_t length = 0;      // kText: the most characters a value holds
  BoundField field;        // where its value comes from
};

struct TablePlan {
  std::string name;
  std::string module_code;
  int file_number = 0;
  std::string description;  // the catalog's
  FieldLayout layout;
  std::vector<ColumnPlan> columns;  // company, record_number, then the fields
};

// Lower-case letters and digits, every run of anything else one "_", none
// at either end. Accented letters of Windows-1252 lose their accents
// ("Café" -> "cafe"); a name that starts with a digit gets a leading "_",
// so that it can be written without quotes; at most kMaxIdentifierLength.
std::string SnakeCase(std::string_view cp1252_text);

// "<module code>_<description>" in snake case: "qzar_customer_master".
std::string TableName(std::string_view module_code, std::string_view description);

// Makes every name unique, in order: a name met again becomes name_2, then
// name_3 and so on, skipping any already taken.
void MakeUnique(std::vector<std::string>* names);

// The table of one data file. Its fields are the dictionary's listed fields
// (without the pseudo-fields), read as the exports read them; a field the
// record cannot hold, or of an unknown type letter, gives NULLs.
TablePlan PlanTable(const DataFileInfo& file, std::string_view module_code,
                    FieldLayout layout);

}  // namespace rh

#endif  // RECORDHAUL_MIGRATE_TABLE_PLAN_H_
