#include "data/field_value.h"

#include <cstdio>
#include <cstring>

#include "base/bytes.h"

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

void TwoDigits(char* out, int v) {
  out[0] = static_cast<char>('0' + v / 10 % 10);
  out[1] = static_cast<char>('0' + v % 10);
}

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

void DayNumberToDate(int32_t day, char out[11]) {
  if (day >= 73050) {
    std::memcpy(out, "12/31/2099", 11);
    return;
  }
  if (day <= 0) {
    std::memcpy(out, "00/00/1900", 11);
    return;
  }
  const char* century = "19";
  if (day > 36525) {
    day -= 36525;
    century = "20";
  }
  // Whole four-year cycles first (a leap year and three others), then
  // year by year.
  int year = (day - 1) / 1461 * 4;
  day -= year / 4 * 1461;
  for (;;) {
    int length = year % 4 == 0 ? 366 : 365;
    if (day <= length) break;
    day -= length;
    ++year;
  }
  const int months[12] = {31, year % 4 == 0 ? 29 : 28, 31, 30, 31, 30,
                          31, 31, 30, 31, 30, 31};
  int month = 0;
  while (month < 11 && day > months[month]) day -= months[month++];
  TwoDigits(out, month + 1);
  out[2] = '/';
  TwoDigits(out + 3, day);
  out[5] = '/';
  out[6] = century[0];
  out[7] = century[1];
  TwoDigits(out + 8, year);
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
