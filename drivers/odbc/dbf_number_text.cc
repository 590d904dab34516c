#include "drivers/odbc/dbf_number_text.h"

#include <cstdint>
#include <cstring>

namespace rh::odbc {

namespace {

// A double keeps 15 significant decimal digits: a decimal of at most 15
// digits, read to the nearest double, is off by less than a tenth of its
// last place (2^-53 of the value), so formatting the double with as many
// decimals rounds back to the very same digits.
constexpr size_t kExactDigits = 15;

// A byte at a time: the runs here are short, and the parser has already
// found where the literal ends.
const char* DigitsEnd(const char* p, const char* end) {
  while (p != end && *p >= '0' && *p <= '9') ++p;
  return p;
}

bool IsIntegerType(sql::ColumnType type) {
  return type == sql::ColumnType::kLong || type == sql::ColumnType::kShort ||
         type == sql::ColumnType::kByte;
}

// The column's range, as ConvertValue checks it, for the digits of a whole
// number with no leading zeros. Up to two digits are within every range
// but a BYTE's negative one; the others are read.
bool InRange(sql::ColumnType type, bool negative, const char* digits, size_t count) {
  if (count <= 2 && type != sql::ColumnType::kByte) return true;
  uint64_t magnitude = 0;
  for (size_t i = 0; i < count; ++i) magnitude = magnitude * 10 + static_cast<uint64_t>(digits[i] - '0');
  const uint64_t limit = type == sql::ColumnType::kLong    ? (negative ? 2147483648u : 2147483647u)
                         : type == sql::ColumnType::kShort ? (negative ? 32768u : 32767u)
                                                           : (negative ? 0u : 255u);
  return magnitude <= limit;
}

}  // namespace

size_t DbfNumberText(std::string_view literal, sql::ColumnType type, const dbf::Field& field,
                     char* field_bytes) {
  const bool integer_column = IsIntegerType(type);
  const bool real_column = type == sql::ColumnType::kDouble || type == sql::ColumnType::kSingle;
  if (field.type != 'N' || !(integer_column || real_column)) return 0;
  if (integer_column && field.decimals != 0) return 0;
  const char* p = literal.data();
  const char* const end = p + literal.size();
  const bool negative = p != end && *p == '-';
  if (negative) ++p;
  const char* const whole = p;
  p = DigitsEnd(p, end);
  const char* const whole_end = p;
  const char* fraction = p;
  const char* fraction_end = p;
  const bool has_point = p != end && *p == '.';
  if (has_point) {
    fraction = p + 1;
    fraction_end = p = DigitsEnd(fraction, end);
  }
  // One digit at least on each side of a point; anything else ("+", an
  // exponent, ".5") takes the long way.
  if (p != end || whole == whole_end || (has_point && fraction == fraction_end)) return 0;
  if (integer_column && has_point) return 0;
  const char* significant = whole;
  while (significant != whole_end - 1 && *significant == '0') ++significant;
  const size_t whole_digits = static_cast<size_t>(whole_end - significant);
  const size_t fraction_digits = static_cast<size_t>(fraction_end - fraction);
  const size_t decimals = static_cast<size_t>(field.decimals);
  if (fraction_digits > decimals || whole_digits + decimals > kExactDigits) return 0;
  if (integer_column && !InRange(type, negative, significant, whole_digits)) return 0;
  // An integer literal is read as an integer, which has no negative zero; a
  // decimal one as a double, which has.
  const bool zero = whole_digits == 1 && *significant == '0';
  const bool sign = negative && (has_point || !zero);
  const size_t size = (sign ? 1 : 0) + whole_digits + (decimals > 0 ? 1 + decimals : 0);
  if (size > static_cast<size_t>(field.width)) return 0;
  char* const out = field_bytes + field.width - static_cast<int>(size);
  if (significant == whole && fraction_digits == decimals && sign == negative) {
    // What an export sends: the literal as the field shows it.
    std::memcpy(out, literal.data(), size);
    return size;
  }
  char* o = out;
  if (sign) *o++ = '-';
  std::memcpy(o, significant, whole_digits);
  o += whole_digits;
  if (decimals > 0) {
    *o++ = '.';
    std::memcpy(o, fraction, fraction_digits);
    for (size_t i = fraction_digits; i < decimals; ++i) o[i] = '0';
  }
  return size;
}

}  // namespace rh::odbc
