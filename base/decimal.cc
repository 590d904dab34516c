#include "base/decimal.h"

#include <bit>
#include <cstdint>
#include <cstring>
#include <cmath>

namespace rh {

namespace {

__extension__ typedef unsigned __int128 U128;

constexpr uint64_t kPowersOfTen[20] = {1ull,
                                       10ull,
                                       100ull,
                                       1000ull,
                                       10000ull,
                                       100000ull,
                                       1000000ull,
                                       10000000ull,
                                       100000000ull,
                                       1000000000ull,
                                       10000000000ull,
                                       100000000000ull,
                                       1000000000000ull,
                                       10000000000000ull,
                                       100000000000000ull,
                                       1000000000000000ull,
                                       10000000000000000ull,
                                       100000000000000000ull,
                                       1000000000000000000ull,
                                       10000000000000000000ull};

// |value| with `decimals` decimals as a whole part and the decimals' digits
// as an integer. False when the value is not finite, is 2^63 or more, or asks
// for more decimals than 64 bits hold: the integer arithmetic below is exact
// only within those bounds.
bool SplitFixed(double value, int decimals, uint64_t* whole, uint64_t* fraction) {
  if (decimals < 0 || decimals > 19) return false;
  const uint64_t bits = std::bit_cast<uint64_t>(value);
  const int biased = static_cast<int>((bits >> 52) & 0x7FF);
  if (biased == 0x7FF) return false;
  const uint64_t mantissa_bits = bits & ((uint64_t{1} << 52) - 1);
  // |value| = m * 2^e exactly.
  const uint64_t m = biased == 0 ? mantissa_bits : mantissa_bits | (uint64_t{1} << 52);
  const int e = biased == 0 ? -1074 : biased - 1075;
  if (e > 10) return false;
  if (m == 0) {
    *whole = *fraction = 0;
    return true;
  }
  const uint64_t unit = kPowersOfTen[decimals];
  if (e < 0 && e > -64 && decimals > 0) {
    // The usual case, 2^-11 <= |value| < 2^52: the whole part is m's top
    // bits, and only the fraction's bits f < 2^s are scaled. f * 10^d / 2^s
    // rounds to below 10^d or to it exactly (then carried into the whole
    // part); the whole part times 10^d is even, so its parity is the
    // rounded fraction's.
    const int s = -e;
    const uint64_t low_bits = (uint64_t{1} << s) - 1;
    const U128 scaled = static_cast<U128>(m & low_bits) * unit;
    const auto low = static_cast<uint64_t>(scaled);
    const auto high = static_cast<uint64_t>(scaled >> 64);
    uint64_t digits = (low >> s) | (high << (64 - s));
    const uint64_t rest = low & low_bits;
    const uint64_t half = uint64_t{1} << (s - 1);
    digits += (rest > half || (rest == half && (digits & 1))) ? 1 : 0;
    const uint64_t carry = digits == unit ? 1 : 0;
    *whole = (m >> s) + carry;
    *fraction = carry != 0 ? 0 : digits;
    return true;
  }
  // m * 10^decimals < 2^117; shifted left by at most 10 it still fits.
  U128 scaled = static_cast<U128>(m) * kPowersOfTen[decimals];
  if (e >= 0) {
    scaled <<= e;
  } else if (-e > 120) {
    scaled = 0;  // under half a unit of the last decimal
  } else {
    const int shift = -e;
    const U128 quotient = scaled >> shift;
    const U128 rest = scaled - (quotient << shift);
    const U128 half = static_cast<U128>(1) << (shift - 1);
    scaled = quotient + ((rest > half || (rest == half && (quotient & 1))) ? 1 : 0);
  }
  if ((scaled >> 64) == 0) {
    const auto small = static_cast<uint64_t>(scaled);
    if (decimals == 6) {  // "%.6f", by far the most used: a division by a constant
      *whole = small / 1000000;
      *fraction = small % 1000000;
      return true;
    }
    *whole = small / unit;
    *fraction = small % unit;
  } else {
    *whole = static_cast<uint64_t>(scaled / unit);
    *fraction = static_cast<uint64_t>(scaled % unit);
  }
  return true;
}

// Exactly `n` digits of v < 10^n, leading zeros included. Below 2^32 the
// divisions by 100 are 32-bit ones, which cost less.
char* PutDigits(char* p, uint64_t v, int n) {
  char* q = p + n;
  for (; v > UINT32_MAX && q - p >= 2; v /= 100) {
    const size_t pair = static_cast<size_t>(v % 100) * 2;
    *--q = kDigitPairs[pair + 1];
    *--q = kDigitPairs[pair];
  }
  auto w = static_cast<uint32_t>(v);
  for (; q - p >= 2; w /= 100) {
    const size_t pair = static_cast<size_t>(w % 100) * 2;
    *--q = kDigitPairs[pair + 1];
    *--q = kDigitPairs[pair];
  }
  if (q > p) *--q = static_cast<char>('0' + w % 10);
  return p + n;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

char* FormatUnsigned(char* p, uint64_t value) {
  if (value < 10) {
    *p = static_cast<char>('0' + value);
    return p + 1;
  }
  const int n = DecimalDigits(value);
  if (std::endian::native == std::endian::little && n <= 8) {
    // One store, whatever the length: a branch on the digits' count is
    // mispredicted as often as the values of a column vary in length. The
    // leading zeros are the word's low bytes, shifted out.
    const uint64_t digits = EightDigits(static_cast<uint32_t>(value)) >> (8 * (8 - n));
    std::memcpy(p, &digits, 8);
    return p + n;
  }
  return PutDigits(p, value, n);
}

char* FormatFixed(char* p, double value, int decimals) {
  uint64_t whole, fraction;
  if (!SplitFixed(value, decimals, &whole, &fraction)) {
    return std::to_chars(p, p + MaxFixedChars(decimals), value, std::chars_format::fixed,
                         decimals)
        .ptr;
  }
  if (std::signbit(value)) *p++ = '-';
  p = FormatUnsigned(p, whole);
  if (decimals == 0) return p;
  *p++ = '.';
  if (decimals == 6) {  // "%.6f": three pairs, no loop
    const auto f = static_cast<uint32_t>(fraction);
    const uint32_t low = f % 10000;
    std::memcpy(p, kDigitPairs + 2 * (f / 10000), 2);
    std::memcpy(p + 2, kDigitPairs + 2 * (low / 100), 2);
    std::memcpy(p + 4, kDigitPairs + 2 * (low % 100), 2);
    return p + 6;
  }
  return PutDigits(p, fraction, decimals);
}

std::from_chars_result DecimalFromChars(const char* first, const char* last, double& value) {
  const char* p = first;
  const bool negative = p != last && *p == '-';
  if (negative) ++p;
  uint64_t digits_value = 0;  // wraps past 19 digits, which then go the slow way
  int digits = 0;
  int decimals = 0;
  for (; p != last && IsDigit(*p); ++p, ++digits)
    digits_value = digits_value * 10 + static_cast<uint64_t>(*p - '0');
  if (p != last && *p == '.') {
    for (++p; p != last && IsDigit(*p); ++p, ++digits, ++decimals)
      digits_value = digits_value * 10 + static_cast<uint64_t>(*p - '0');
  }
  const bool exponent = p != last && (*p == 'e' || *p == 'E');
  if (digits == 0 || exponent || digits > 19 || decimals > 22 ||
      digits_value > (uint64_t{1} << 53)) {
    return std::from_chars(first, last, value, std::chars_format::general);
  }
  const double v = static_cast<double>(digits_value) / kExactPowersOfTen[decimals];
  value = negative ? -v : v;
  return {p, std::errc()};
}

}  // namespace rh
