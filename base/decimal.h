// Decimal text of doubles for the table drivers and the export: the bytes
// std::to_chars and std::from_chars give, got faster for the numbers an
// export carries (a few digits before and after the point). Exact: where the
// fast way cannot be sure of the standard library's result it asks the
// standard library.
#ifndef RECORDHAUL_BASE_DECIMAL_H_
#define RECORDHAUL_BASE_DECIMAL_H_

#include <charconv>
#include <cstddef>
#include <bit>
#include <cstdint>

namespace rh {

// The most bytes FormatFixed writes for `decimals` decimals: a sign, the 309
// digits of the largest double, the point and the decimals.
constexpr size_t MaxFixedChars(int decimals) {
  return 311 + static_cast<size_t>(decimals < 0 ? 0 : decimals);
}

// The decimal digits of `value`, at most 20 bytes; returns the end. The
// caller makes room for 20 bytes whatever the value: up to eight digits are
// stored as one word, the bytes past them left to be written over.
char* FormatUnsigned(char* p, uint64_t value);
// "00" to "99", each number's two digits at twice its value.
inline constexpr char kDigitPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

// The eight ASCII digits of v < 10^8, leading zeros included, as the word
// whose little-endian store writes them in order: four pairs from the
// table, looked up side by side rather than worked out one after another.
inline uint64_t EightDigits(uint32_t v) {
  const uint32_t high = v / 10000;
  const uint32_t low = v % 10000;
  const auto pair = [](uint32_t two) {
    uint16_t bytes;
    __builtin_memcpy(&bytes, kDigitPairs + 2 * two, 2);
    return uint64_t{bytes};
  };
  return pair(high / 100) | (pair(high % 100) << 16) | (pair(low / 100) << 32) |
         (pair(low % 100) << 48);
}

// How many digits FormatUnsigned writes for `value`.
inline int DecimalDigits(uint64_t value) {
  // Static: a plain constant array is copied to the stack at every call.
  static constexpr uint64_t kPowers[20] = {1ull, 10ull, 100ull, 1000ull, 10000ull, 100000ull,
                                           1000000ull, 10000000ull, 100000000ull, 1000000000ull,
                                           10000000000ull, 100000000000ull, 1000000000000ull,
                                           10000000000000ull, 100000000000000ull,
                                           1000000000000000ull, 10000000000000000ull,
                                           100000000000000000ull, 1000000000000000000ull,
                                           10000000000000000000ull};
  // floor(log10(value)) is bit_width * log10(2), give or take one.
  const int guess = (std::bit_width(value) * 1233) >> 12;
  return guess + (value >= kPowers[guess] ? 1 : 0) + (value == 0 ? 1 : 0);
}

// The powers of ten a double holds exactly: a decimal of at most 15 digits
// is its digits divided by one of them, both exact, which one division
// rounds correctly.
inline constexpr double kExactPowersOfTen[23] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                                 1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                                 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// The end of the run of ASCII digits at p (p itself when there is none).
// Eight bytes at a time while eight are left: the numbers of an INSERT are
// read this way twice, by the statement parser and by the driver.
inline const char* DecimalDigitsEnd(const char* p, const char* end) {
  if constexpr (std::endian::native == std::endian::little) {
    constexpr uint64_t kZeros = 0x3030303030303030ull;
    constexpr uint64_t kLows = 0x7F7F7F7F7F7F7F7Full;
    constexpr uint64_t kHighs = 0x8080808080808080ull;
    while (end - p >= 8) {
      uint64_t word;
      __builtin_memcpy(&word, p, 8);
      // A digit is 0-9 after the XOR; 10 or more sets its byte's top bit
      // once 0x76 is added to its low seven bits (no carry leaves a byte),
      // and a byte with its own top bit set is no digit either.
      const uint64_t d = word ^ kZeros;
      const uint64_t other = (((d & kLows) + 0x7676767676767676ull) | d) & kHighs;
      if (other != 0) return p + std::countr_zero(other) / 8;
      p += 8;
    }
  }
  while (p != end && *p >= '0' && *p <= '9') ++p;
  return p;
}

// Writes `value` with `decimals` (>= 0) digits after the point, as
// std::to_chars(p, ..., value, std::chars_format::fixed, decimals) does (and
// printf's "%.*f" in the "C" locale): the exact binary value rounded half to
// even, "-" for a negative value or zero, no point when decimals is 0,
// "inf"/"nan" for what is not a number. Returns the end; the caller makes
// room for MaxFixedChars(decimals) bytes.
char* FormatFixed(char* p, double value, int decimals);

// std::from_chars(first, last, value) (std::chars_format::general), with the
// same result, end pointer and error in every case. Plain decimals of at most
// 19 digits whose digits make an integer up to 2^53 and that have at most 22
// of them after the point are divided out directly: both the integer and the
// power of ten are exact doubles, so one division rounds correctly.
std::from_chars_result DecimalFromChars(const char* first, const char* last, double& value);

}  // namespace rh

#endif  // RECORDHAUL_BASE_DECIMAL_H_
