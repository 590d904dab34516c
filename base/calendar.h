// Calendar dates as the typed exports store them: the day count from
// 1899-12-30 that Access dates and the 1900 date system of spreadsheets
// share (from 1900-03-01 on), and the 'YYYY-MM-DD' text our drivers accept.
#ifndef RECORDHAUL_BASE_CALENDAR_H_
#define RECORDHAUL_BASE_CALENDAR_H_

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace rh {

struct CalendarDate {
  int year = 0;
  int month = 0;  // 1 to 12
  int day = 0;    // 1 to the month's length

  bool operator==(const CalendarDate&) const = default;
};

// Days from 1899-12-30 (day 0) to `date`, in the Gregorian calendar.
int64_t DaysFrom1899(const CalendarDate& date);
CalendarDate DateFrom1899(int64_t days);

// The smallest day count a 1900-system spreadsheet numbers as every reader
// does: 61 is 1900-03-01. Below it, spreadsheet programs disagree, since
// some count a 1900-02-29 that never was.
inline constexpr int64_t kFirstSharedSpreadsheetDay = 61;

// 'YYYY-MM-DD' with a real date (years 1 to 9999); nothing otherwise.
std::optional<CalendarDate> ParseIsoDate(std::string_view text);
std::string IsoDate(const CalendarDate& date);
// MM/DD/YYYY.
std::string UsDate(const CalendarDate& date);

}  // namespace rh

#endif  // RECORDHAUL_BASE_CALENDAR_H_
