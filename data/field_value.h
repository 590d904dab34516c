// Field values: what one selected field of one record exports.
//
// A selection row is bound once per export (BindField) to a pseudo-field or a
// dictionary field with its offset; GetValue then converts the record's bytes
// without allocating. Stored integers are big-endian; the 8-byte real D alone
// is stored least significant byte first.
#ifndef RECORDHAUL_DATA_FIELD_VALUE_H_
#define RECORDHAUL_DATA_FIELD_VALUE_H_

#include <cstdint>
#include <cstring>
#include <ctime>
#include <optional>
#include <string>
#include <string_view>

#include "base/bytes.h"
#include "base/calendar.h"
#include "data/data_dictionary.h"

namespace rh {

enum class FieldSource : uint8_t {
  kNone,  // unknown type letter, no such field, or outside the record
  kCurrentRecord,
  kModuleCode,
  kFileNumber,
  kTodaysDate,
  kCompanyNumber,
  kD,  // 8-byte real
  kF,  // 32-bit ten-thousandths
  kI,  // 16-bit integer
  kJ,  // 32-bit day number, as a date
  kL,  // 32-bit integer
  kT,  // text
  kY,  // unsigned byte
};

struct BoundField {
  FieldSource source = FieldSource::kNone;
  char type = 0;         // the dictionary's type letter (0 for pseudo-fields)
  bool found = false;    // a pseudo-field, or a field the dictionary has
  int16_t length = 0;    // the dictionary's length
  int32_t offset = 0;    // first byte in the record
  int32_t text_size = 0; // T: the bytes of the field inside the record
};

// Pseudo-field names first, in their fixed order, then FindField. A field
// that does not lie wholly inside the record (text: starts outside it) gets
// no value rather than bytes from beyond the record.
BoundField BindField(const FieldLayout& layout, std::string_view field_name);

// "Today's Date": the local date as MM/DD/YY, taken afresh for every value.
// The text is rebuilt only when the clock's second changes.
class TodayClock {
 public:
  using NowFunction = std::time_t (*)();
  explicit TodayClock(NowFunction now = nullptr);
  std::string_view Text();
  // The same local date as a calendar date.
  CalendarDate Date();

 private:
  void Update();

  NowFunction now_;
  std::time_t last_ = -1;
  char text_[16] = {};
  CalendarDate date_;
};

// What GetValue needs besides the record.
struct ValueContext {
  std::string_view module_code;
  std::string_view company;
  int file_number = 0;
  TodayClock* today = nullptr;
};

class FieldValue {
 public:
  FieldSource source = FieldSource::kNone;
  int32_t integer = 0;  // I, L, Y, Current Record, File Number; F's stored v; J's day
  double real = 0;      // D, and F as v / 10000
  std::string_view text() const {
    return own_text_ ? std::string_view(buffer_, size_) : text_;
  }

  void SetText(std::string_view t) { text_ = t; own_text_ = false; }
  char* OwnBuffer() { own_text_ = true; return buffer_; }
  void SetOwnSize(size_t n) { size_ = n; }

 private:
  std::string_view text_;
  bool own_text_ = false;
  size_t size_ = 0;
  char buffer_[16];  // J dates; valid only while own_text_ is set
};

// Defined in the header: the writers call it for every field of every
// record, and inlined it folds into their own switch.
inline FieldValue GetValue(const uint8_t* record, int32_t record_number,
                           const BoundField& field, const ValueContext& context);

// The day number as MM/DD/YYYY: day 1 is 01/01/1900, every year of the
// century divisible by 4 a leap year; day 0 or less is 00/00/1900 and day
// 73050 or more 12/31/2099. Writes 10 characters and a NUL.
void DayNumberToDate(int32_t day, char out[11]);
std::string DayNumberToDate(int32_t day);

// The calendar date DayNumberToDate shows for a day number (day 1 is
// 1900-01-01), or nothing where it shows none: day 0 or less, day 73050 or
// more, and day 60, the 02/29/1900 that the calendar never had. From day 61
// on the day number is the day count from 1899-12-30 (DaysFrom1899).
std::optional<CalendarDate> DayNumberDate(int32_t day);

// The local date as MM/DD/YY.
std::string TodayText(std::time_t now);

inline FieldValue GetValue(const uint8_t* record, int32_t record_number,
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
      v.integer = LoadBigI32(p);
      DayNumberToDate(v.integer, v.OwnBuffer());
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

#endif  // RECORDHAUL_DATA_FIELD_VALUE_H_
