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

std::string_view TodayClock::Text() {
  std::time_t t = now_ != nullptr ? now_() : std::time(nullptr);
  if (t != last_) {
    last_ = t;
    std::string s = TodayText(t);
    std::memcpy(text_, s.data(), s.size());
    text_[s.size()] = '\0';
  }
  return std::string_view(text_, 8);
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
  int year = 0;
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

std::string DayNumberToDate(int32_t day) {
  char out[11];
  DayNumberToDate(day, out);
  return out;
}

FieldValue GetValue(const uint8_t* record, int32_t record_number,
                    const BoundField& field, const ValueContext& context) {
  FieldValue v;
  v.source = field.source;
  // Bound fields lie inside the record; kNone and pseudo-fields read nothing.
  const uint8_t* p = record + (field.source >= FieldSource::kD ? field.offset : 0);
  switch (field.source) {
    case FieldSource::kNone: break;
    case FieldSource::kCurrentRecord: v.integer = record_number; break;
    case FieldSource::kModuleCode: v.SetText(context.module_code); break;
    case FieldSource::kFileNumber: v.integer = context.file_number; break;
    case FieldSource::kTodaysDate:
      v.SetText(context.today != nullptr ? context.today->Text() : std::string_view());
      break;
    case FieldSource::kCompanyNumber: v.SetText(context.company); break;
    case FieldSource::kD: v.real = LoadLittleDouble(p); break;
    case FieldSource::kF:
      // v / 10000 rounded once is the nearest double to the four-decimal
      // value, the same as printing v * 0.01 twice with "%.4f" and reading
      // it back.
      v.integer = LoadBigI32(p);
      v.real = static_cast<double>(v.integer) / 10000.0;
      break;
    case FieldSource::kI: v.integer = LoadBigI16(p); break;
    case FieldSource::kJ:
      DayNumberToDate(LoadBigI32(p), v.OwnBuffer());
      v.SetOwnSize(10);
      break;
    case FieldSource::kL: v.integer = LoadBigI32(p); break;
    case FieldSource::kT: {
      const void* nul = std::memchr(p, 0, static_cast<size_t>(field.text_size));
      size_t n = nul != nullptr ? static_cast<size_t>(static_cast<const uint8_t*>(nul) - p)
                                : static_cast<size_t>(field.text_size);
      v.SetText(std::string_view(reinterpret_cast<const char*>(p), n));
      break;
    }
    case FieldSource::kY: v.integer = *p; break;
  }
  return v;
}

}  // namespace rh
