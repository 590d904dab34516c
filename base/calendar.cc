#include "base/calendar.h"

#include <cstdio>

namespace rh {

namespace {

// Days from 1970-01-01, and back (the civil-date algorithms of the
// proleptic Gregorian calendar, in eras of 400 years).
int64_t DaysFromEpoch(int64_t y, int m, int d) {
  y -= m <= 2;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const int64_t yoe = y - era * 400;
  const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

CalendarDate DateFromEpoch(int64_t z) {
  z += 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const int64_t doe = z - era * 146097;
  const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int64_t mp = (5 * doy + 2) / 153;
  const int day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  const int month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  return {static_cast<int>(yoe + era * 400 + (month <= 2)), month, day};
}

constexpr int64_t kEpochFrom1899 = 25569;  // 1899-12-30 to 1970-01-01

bool IsLeap(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int MonthLength(int y, int m) {
  static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return m == 2 && IsLeap(y) ? 29 : kDays[m - 1];
}

bool Digits(std::string_view t, int* out) {
  int v = 0;
  for (char c : t) {
    if (c < '0' || c > '9') return false;
    v = v * 10 + (c - '0');
  }
  *out = v;
  return true;
}

}  // namespace

int64_t DaysFrom1899(const CalendarDate& date) {
  return DaysFromEpoch(date.year, date.month, date.day) + kEpochFrom1899;
}

CalendarDate DateFrom1899(int64_t days) { return DateFromEpoch(days - kEpochFrom1899); }

std::optional<CalendarDate> ParseIsoDate(std::string_view text) {
  CalendarDate d;
  if (text.size() != 10 || text[4] != '-' || text[7] != '-' ||
      !Digits(text.substr(0, 4), &d.year) || !Digits(text.substr(5, 2), &d.month) ||
      !Digits(text.substr(8, 2), &d.day))
    return std::nullopt;
  if (d.year < 1 || d.month < 1 || d.month > 12 || d.day < 1 ||
      d.day > MonthLength(d.year, d.month))
    return std::nullopt;
  return d;
}

std::string IsoDate(const CalendarDate& date) {
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d", date.year, date.month, date.day);
  return text;
}

std::string UsDate(const CalendarDate& date) {
  char text[32];
  std::snprintf(text, sizeof text, "%02d/%02d/%04d", date.month, date.day, date.year);
  return text;
}

}  // namespace rh
