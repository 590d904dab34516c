#include "data/field_value.h"

#include <array>
#include <cstdio>
#include <cstring>

#include "base/bytes.h"
#include "base/decimal.h"

namespace rh {

namespace {

FieldSource SourceOfType(char type) {
  switch (type) {
    case 'D': return FieldSource::kD;
    case 'F': return FieldSource::kF;
    case 'I': return FieldSource::kI;
    case 'J': return FieldSource::kJ;
    case 'L': return FieldSource::kL;
    case 'T': return FieldSource::kT;
    case 'Y': return FieldSource::kY;
    default: return FieldSource::kNone;
  }
}

int ValueSize(FieldSource s) {
  switch (s) {
    case FieldSource::kD: return 8;
    case FieldSource::kF: case FieldSource::kJ: case FieldSource::kL: return 4;
    case FieldSource::kI: return 2;
    case FieldSource::kY: return 1;
    default: return 0;
  }
}

// The last two decimal digits of v >= 0.
void TwoDigits(char* out, int v) { std::memcpy(out, kDigitPairs + 2 * (v % 100), 2); }

// The month and day of each day of a common and of a leap year, worked out
// once so that a date costs a few divisions and one lookup.
struct MonthDay {
  uint8_t month;
  uint8_t day;
};
using YearDays = std::array<std::array<MonthDay, 366>, 2>;
constexpr YearDays kMonthDays = [] {
  YearDays t{};
  for (int leap = 0; leap < 2; ++leap) {
    const int lengths[12] = {31, leap ? 29 : 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    int i = 0;
    for (int m = 0; m < 12; ++m)
      for (int d = 1; d <= lengths[m]; ++d)
        t[leap][i++] = {static_cast<uint8_t>(m + 1), static_cast<uint8_t>(d)};
  }
  return t;
}();

}  // namespace

BoundField BindField(const FieldLayout& layout, std::string_view field_name) {
  BoundField b;
  for (size_t i = 0; i < kPseudoFields.size(); ++i) {
    if (field_name == kPseudoFields[i]) {
      b.source = static_cast<FieldSource>(static_cast<int>(FieldSource::kCurrentRecord) + i);
      b.found = true;
      return b;
    }
  }
  return BindDictionaryField(layout, field_name);
}

BoundField BindDictionaryField(const FieldLayout& layout, std::string_view field_name) {
  BoundField b;
  const FieldDef* def = layout.FindField(field_name);
  if (def == nullptr) return b;
  b.found = true;
  b.type = def->type;
  b.length = def->length;
  b.offset = def->offset;
  FieldSource source = SourceOfType(def->type);
  const int64_t record = layout.record_length();
  const int64_t begin = def->offset;
  if (begin < 0 || begin >= record) return b;
  if (source == FieldSource::kT) {
    int64_t end = begin + (def->length > 0 ? def->length : 0);
    b.text_size = static_cast<int32_t>((end < record ? end : record) - begin);
  } else if (begin + ValueSize(source) > record) {
    return b;
  }
  b.source = source;
  return b;
}

TodayClock::TodayClock(NowFunction now) : now_(now) {}

void TodayClock::Update() {
  std::time_t t = now_ != nullptr ? now_() : std::time(nullptr);
  if (t == last_) return;
  last_ = t;
  std::string s = TodayText(t);
  std::memcpy(text_, s.data(), s.size());
  text_[s.size()] = '\0';
  std::tm tm{};
  localtime_r(&t, &tm);
  date_ = {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday};
}

std::string_view TodayClock::Text() {
  Update();
  return std::string_view(text_, 8);
}

CalendarDate TodayClock::Date() {
  Update();
  return date_;
}

std::string TodayText(std::time_t now) {
  std::tm tm{};
  localtime_r(&now, &tm);
  char out[9];
  TwoDigits(out, tm.tm_mon + 1);
  out[2] = '/';
  TwoDigits(out + 3, tm.tm_mday);
  out[5] = '/';
  TwoDigits(out + 6, tm.tm_year % 100);
  return std::string(out, 8);
}

namespace {

// A day number from 1 to 73049 as the year since 1900 and the day of that
// year, counted from 0.
struct YearDay {
  unsigned year;  // 0 to 199
  unsigned day;
  bool leap;
};

YearDay SplitDayNumber(int32_t day) {
  auto d = static_cast<unsigned>(day - 1);
  unsigned year = 0;
  if (d >= 36525) {
    d -= 36525;
    year = 100;
  }
  // Every fourth year of the century, its first included, is a leap year,
  // so the days fall into four-year cycles of 1461 that start with one.
  const unsigned cycle_day = d % 1461;
  year += d / 1461 * 4;
  if (cycle_day < 366) return {year, cycle_day, true};
  return {year + 1 + (cycle_day - 366) / 365, (cycle_day - 366) % 365, false};
}

// "MM/DD/" for each day of a four-year cycle, and the year of the cycle it
// falls in, and the years 1900 to 2099: a date is two copies once its
// cycle and the day in it are known, with no test of which year it is.
struct CycleDay {
  std::array<char, 6> month_day;
  uint8_t year;  // 0 to 3
};
using CycleDays = std::array<CycleDay, 1461>;
constexpr CycleDays kCycleDays = [] {
  CycleDays t{};
  for (size_t i = 0; i < t.size(); ++i) {
    const bool leap = i < 366;
    const size_t year = leap ? 0 : 1 + (i - 366) / 365;
    const MonthDay md = kMonthDays[leap ? 1 : 0][leap ? i : (i - 366) % 365];
    t[i].month_day = {static_cast<char>('0' + md.month / 10),
                      static_cast<char>('0' + md.month % 10), '/',
                      static_cast<char>('0' + md.day / 10),
                      static_cast<char>('0' + md.day % 10), '/'};
    t[i].year = static_cast<uint8_t>(year);
  }
  return t;
}();
using YearTexts = std::array<std::array<char, 4>, 200>;
constexpr YearTexts kYearTexts = [] {
  YearTexts t{};
  for (int i = 0; i < 200; ++i) {
    const int y = 1900 + i;
    t[static_cast<size_t>(i)] = {static_cast<char>('0' + y / 1000), static_cast<char>('0' + y / 100 % 10),
                                 static_cast<char>('0' + y / 10 % 10), static_cast<char>('0' + y % 10)};
  }
  return t;
}();

}  // namespace

DateParts DayNumberToParts(int32_t day) {
  if (day >= 73050) return {2099, 12, 31};
  if (day <= 0) return {1900, 0, 0};
  const YearDay yd = SplitDayNumber(day);
  const MonthDay md = kMonthDays[yd.leap ? 1 : 0][yd.day];
  return {1900 + static_cast<int>(yd.year), md.month, md.day};
}

void DayNumberToDate(int32_t day, char out[11]) {
  if (day >= 73050 || day <= 0) {
    std::memcpy(out, day > 0 ? "12/31/2099" : "00/00/1900", 11);
    return;
  }
  // As SplitDayNumber counts: 1900 and 2000 each start a century of
  // four-year cycles that begin with a leap year.
  auto d = static_cast<unsigned>(day - 1);
  const unsigned century = d >= 36525 ? 1 : 0;
  d -= century * 36525;
  const CycleDay& c = kCycleDays[d % 1461];
  std::memcpy(out, c.month_day.data(), 6);
  std::memcpy(out + 6, kYearTexts[century * 100 + d / 1461 * 4 + c.year].data(), 4);
  out[10] = '\0';
}

std::optional<CalendarDate> DayNumberDate(int32_t day) {
  if (day <= 0 || day >= 73050 || day == 60) return std::nullopt;
  // Before 03/01/1900 the day numbers count a 02/29/1900 the calendar has
  // not: one day more lies between them and 1899-12-30.
  return DateFrom1899(day < 60 ? int64_t{day} + 1 : int64_t{day});
}

std::string DayNumberToDate(int32_t day) {
  char out[11];
  DayNumberToDate(day, out);
  return out;
}

}  // namespace rh
