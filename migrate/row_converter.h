// Values as a migration stores them: one record's fields turned into typed
// cells — texts in UTF-8 without their trailing blanks, numbers as numbers,
// day numbers as calendar dates or NULL.
#ifndef RECORDHAUL_MIGRATE_ROW_CONVERTER_H_
#define RECORDHAUL_MIGRATE_ROW_CONVERTER_H_

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "migrate/table_plan.h"

namespace rh {

// A calendar date; every one the migration stores is a real one.
using CivilDate = DateParts;

// The date a day number stands for, the one the exports show: day 1 is
// 1900-01-01, day 61 1900-03-01, day 36526 2000-01-01. Nothing for the day
// numbers that stand for no date: 0 and below, 73050 and above (the
// exports' fixed texts 00/00/1900 and 12/31/2099), and 60, the 02/29/1900
// of a calendar that takes 1900 for a leap year.
std::optional<CivilDate> DayNumberToCivil(int32_t day);

// "YYYY-MM-DD" and a NUL.
void FormatIsoDate(const CivilDate& date, char out[11]);

// A stored ten-thousandths value as exact decimal text, "-12.3456"; writes
// at most 12 characters and a NUL, returns the characters written.
size_t FormatDecimal4(int32_t ten_thousandths, char out[13]);

struct CellValue {
  enum class Kind : uint8_t { kNull, kInteger, kReal, kDecimal4, kText, kDate, kTimestamp };
  Kind kind = Kind::kNull;
  int32_t integer = 0;    // kInteger; kDecimal4: the stored ten-thousandths
  double real = 0;        // kReal; kDecimal4: the nearest double
  std::string_view text;  // kText, UTF-8
  CivilDate date;         // kDate
  int64_t seconds = 0;    // kTimestamp: since 1970-01-01 00:00:00 UTC
};

// Turns the records of one company's data file into rows of a table.
class RowConverter {
 public:
  // `plan` must outlive the converter.
  RowConverter(const TablePlan& plan, std::string company);

  // The cells of one record, in the plan's column order; its texts stay
  // valid until the next call or the record's bytes change.
  const std::vector<CellValue>& Convert(const uint8_t* record, int32_t record_number);

 private:
  void SetText(size_t column, std::string_view cp1252);

  const TablePlan& plan_;
  std::string company_;
  ValueContext context_;
  std::vector<CellValue> cells_;
  std::vector<std::string> texts_;  // a buffer per column for converted text
};

}  // namespace rh

#endif  // RECORDHAUL_MIGRATE_ROW_CONVERTER_H_
