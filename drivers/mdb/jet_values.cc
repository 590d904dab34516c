#include "drivers/mdb/jet_values.h"

#include <charconv>
#include <cmath>
#include <limits>

#include "base/calendar.h"
#include "base/decimal.h"

namespace rh::mdb {

namespace {

std::string_view TrimBlanks(std::string_view t) {
  while (!t.empty() && (t.front() == ' ' || t.front() == '\t')) t.remove_prefix(1);
  while (!t.empty() && (t.back() == ' ' || t.back() == '\t')) t.remove_suffix(1);
  return t;
}

// Strips one sign; from_chars takes "-" but not "+".
std::string_view Unsigned(std::string_view t, bool* negative) {
  *negative = false;
  if (!t.empty() && (t.front() == '+' || t.front() == '-')) {
    *negative = t.front() == '-';
    t.remove_prefix(1);
  }
  return t;
}

// The failures are built out of line: inlined, their strings would make
// every call of ToCell save and restore registers it otherwise need not.
[[gnu::cold, gnu::noinline]] Status OutOfRange(const ColumnSpec& col) {
  return sql::SqlError(sql::kOutOfRange,
                       "Numeric value out of range for column of type " +
                           std::string(col.type == JetType::kSingle ? "SINGLE"
                                       : col.type == JetType::kDouble ? "DOUBLE"
                                       : col.type == JetType::kByte   ? "BYTE"
                                       : col.type == JetType::kInteger ? "SHORT"
                                                                       : "LONG"));
}

[[gnu::cold, gnu::noinline]] Status NotANumber(std::string_view text) {
  return sql::SqlError(kInvalidCast, "Data type mismatch: '" +
                                         std::string(text) +
                                         "' is not a number");
}

bool IntegerRange(JetType type, int64_t* lo, int64_t* hi) {
  switch (type) {
    case JetType::kByte: *lo = 0; *hi = 255; return true;
    case JetType::kInteger: *lo = -32768; *hi = 32767; return true;
    case JetType::kLong: *lo = INT32_MIN; *hi = INT32_MAX; return true;
    default: return false;
  }
}

// An integer column's value: exact for integer literals, otherwise the
// number rounded half to even as Jet converts fractions.
Status ToInteger(std::string_view text, const ColumnSpec& col, Cell* cell) {
  int64_t lo = 0, hi = 0;
  IntegerRange(col.type, &lo, &hi);
  bool negative;
  std::string_view digits = Unsigned(text, &negative);
  uint64_t magnitude = 0;
  auto [end, ec] =
      std::from_chars(digits.data(), digits.data() + digits.size(), magnitude);
  if (!digits.empty() && end == digits.data() + digits.size()) {
    if (ec != std::errc() || magnitude > uint64_t{1} << 32) return OutOfRange(col);
    const int64_t v = negative ? -static_cast<int64_t>(magnitude)
                               : static_cast<int64_t>(magnitude);
    if (v < lo || v > hi) return OutOfRange(col);
    cell->kind = Cell::Kind::kInteger;
    cell->integer = v;
    return Status();
  }
  double d;
  switch (ReadNumber(text, &d)) {
    case NumberText::kNotANumber: return NotANumber(text);
    case NumberText::kOutOfRange: return OutOfRange(col);
    case NumberText::kOk: break;
  }
  d = std::nearbyint(d);  // the default rounding mode: half to even
  if (!(d >= static_cast<double>(lo) && d <= static_cast<double>(hi)))
    return OutOfRange(col);
  cell->kind = Cell::Kind::kInteger;
  cell->integer = static_cast<int64_t>(d);
  return Status();
}

Status ToReal(std::string_view text, const ColumnSpec& col, Cell* cell) {
  double d;
  switch (ReadNumber(text, &d)) {
    case NumberText::kNotANumber: return NotANumber(text);
    case NumberText::kOutOfRange: return OutOfRange(col);
    case NumberText::kOk: break;
  }
  if (col.type == JetType::kSingle && std::isinf(static_cast<float>(d)))
    return OutOfRange(col);
  cell->kind = Cell::Kind::kDouble;
  cell->real = d;
  return Status();
}

[[gnu::cold, gnu::noinline]] Status TooLong(size_t size, const char* what, size_t most) {
  return sql::SqlError(sql::kStringTooLong, "String data, right truncated: " +
                                                std::to_string(size) + " characters for " +
                                                what + std::to_string(most));
}

}  // namespace

NumberText ReadNumber(std::string_view text, double* out) {
  bool negative;
  std::string_view digits = Unsigned(TrimBlanks(text), &negative);
  // from_chars would also take "inf", "nan" and the like: require a digit
  // or a point first.
  if (digits.empty() ||
      !((digits.front() >= '0' && digits.front() <= '9') || digits.front() == '.'))
    return NumberText::kNotANumber;
  double d;
  auto [end, ec] = DecimalFromChars(digits.data(), digits.data() + digits.size(), d);
  if (end != digits.data() + digits.size()) return NumberText::kNotANumber;
  if (ec != std::errc()) return NumberText::kOutOfRange;
  *out = negative ? -d : d;
  return NumberText::kOk;
}

namespace {

// A date column's value: 'YYYY-MM-DD' as days from 1899-12-30, Jet's
// date; an empty or blank string is no value.
Status ToDate(const sql::Value& value, Cell* cell) {
  if (value.kind == sql::Value::Kind::kNumber)
    return sql::SqlError(kInvalidCast, "Data type mismatch: " + std::string(value.text) + " is not a date");
  std::string_view text = TrimBlanks(value.text);
  if (text.empty()) return Status();
  auto date = ParseIsoDate(text);
  if (!date) {
    return sql::SqlError(sql::kInvalidDate,
                         "Invalid date '" + std::string(text) + "': dates are written YYYY-MM-DD");
  }
  cell->kind = Cell::Kind::kDouble;
  cell->real = static_cast<double>(DaysFrom1899(*date));
  return Status();
}

// A plain number's digits (Value::plain) as one integer, and how many of
// them follow the point: what ToInteger and ReadNumber would read, without
// reading the text for its form again. False when there are more than 15,
// which a double may not hold exactly.
bool PlainDigits(const sql::Value& value, uint64_t* digits, int* decimals) {
  const std::string_view text = value.text;
  const size_t point = value.whole_end;
  const size_t first = text[0] == '-' ? 1 : 0;
  const size_t count = text.size() - first - (point != text.size() ? 1 : 0);
  if (count > 15) return false;
  uint64_t v = 0;
  const auto add = [&v](char digit) { v = v * 10 + static_cast<uint64_t>(digit - '0'); };
  for (size_t i = first; i < point; ++i) add(text[i]);
  for (size_t i = point + 1; i < text.size(); ++i) add(text[i]);
  *digits = v;
  *decimals = point != text.size() ? static_cast<int>(text.size() - point - 1) : 0;
  return true;
}

}  // namespace

// The cell of a plain number in a number column, or false where the long
// way decides: a fraction for an integer column (rounded there), more
// digits than a double holds, or a value out of range. Both give what the
// long way gives: an integer is exact, and a decimal of at most 15 digits
// is its digits divided by a power of ten, both exact doubles, which one
// division rounds correctly, as reading the text does.
bool PlainNumberCell(const sql::Value& value, const ColumnSpec& col, Cell* cell) {
  uint64_t digits;
  int decimals;
  if (value.kind != sql::Value::Kind::kNumber || !value.plain ||
      !PlainDigits(value, &digits, &decimals))
    return false;
  const bool negative = value.text[0] == '-';
  int64_t lo = 0, hi = 0;
  if (IntegerRange(col.type, &lo, &hi)) {
    if (decimals != 0) return false;
    const int64_t v = negative ? -static_cast<int64_t>(digits) : static_cast<int64_t>(digits);
    if (v < lo || v > hi) return false;
    cell->kind = Cell::Kind::kInteger;
    cell->integer = v;
    return true;
  }
  if (col.type != JetType::kSingle && col.type != JetType::kDouble) return false;
  // At most 15 digits: within a SINGLE's range too.
  const double d = static_cast<double>(digits) / kExactPowersOfTen[decimals];
  cell->kind = Cell::Kind::kDouble;
  cell->real = negative ? -d : d;
  return true;
}

Status ToCell(const sql::Value& value, const ColumnSpec& col, Cell* cell) {
  // A text or a number sets its kind and its member, which are all that is
  // read of it; a memo's cell starts afresh, as more of it is used later.
  // (Copied from a constant: a Cell() built on the stack and copied cost a
  // stalled load.)
  static const Cell kNullCell;
  cell->kind = Cell::Kind::kNull;
  if (value.kind == sql::Value::Kind::kNull) return Status();  // a null cell
  std::string_view text = value.text;
  switch (col.type) {
    case JetType::kText: {
      const size_t max_chars = col.length / 2;
      if (text.size() > max_chars) return TooLong(text.size(), "a column of ", max_chars);
      cell->kind = Cell::Kind::kText;
      cell->text = text;
      return Status();
    }
    case JetType::kMemo: {
      if (text.size() > kMaxMemoLength)
        return TooLong(text.size(), "a memo of at most ", kMaxMemoLength);
      *cell = kNullCell;
      cell->kind = Cell::Kind::kText;
      cell->text = text;
      return Status();
    }
    case JetType::kByte:
    case JetType::kInteger:
    case JetType::kLong:
      if (PlainNumberCell(value, col, cell)) return Status();
      return ToInteger(value.kind == sql::Value::Kind::kString ? TrimBlanks(text)
                                                                : text,
                       col, cell);
    case JetType::kSingle:
    case JetType::kDouble:
      if (PlainNumberCell(value, col, cell)) return Status();
      return ToReal(text, col, cell);
    case JetType::kDateTime:
      return ToDate(value, cell);
    default:
      return sql::SqlError(sql::kGeneralError, "Column type not writable");
  }
}

}  // namespace rh::mdb
