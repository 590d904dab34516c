#include "base/decimal.h"

#include <gtest/gtest.h>

#include <bit>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace rh {
namespace {

std::string Fixed(double v, int decimals) {
  std::vector<char> buf(MaxFixedChars(decimals));
  return std::string(buf.data(), FormatFixed(buf.data(), v, decimals));
}

std::string StdFixed(double v, int decimals) {
  std::vector<char> buf(MaxFixedChars(decimals));
  auto r = std::to_chars(buf.data(), buf.data() + buf.size(), v, std::chars_format::fixed,
                         decimals);
  EXPECT_EQ(r.ec, std::errc());
  return std::string(buf.data(), r.ptr);
}

// A fixed sequence of 64-bit values.
struct Random {
  uint64_t x = 88172645463325252ull;
  uint64_t operator()() {
    x ^= x << 13;
    x ^= x >> 7;
    x ^= x << 17;
    return x;
  }
};

TEST(FormatUnsigned, MatchesToChars) {
  std::vector<uint64_t> values = {0, UINT64_MAX};
  for (uint64_t p = 1; p <= UINT64_MAX / 10; p *= 10)
    for (uint64_t v : {p - 1, p, p + 1, p * 10 - 1}) values.push_back(v);
  for (uint64_t v = 0; v < 100000; ++v) values.push_back(v);  // every short length
  Random next;
  for (int i = 0; i < 10000; ++i) values.push_back(next() >> (next() % 64));
  for (uint64_t v : values) {
    char a[24], b[24];
    auto r = std::to_chars(b, b + sizeof b, v);
    ASSERT_EQ(std::string(a, FormatUnsigned(a, v)), std::string(b, r.ptr));
  }
}

TEST(FormatFixed, HardValuesAtEveryDecimalCountMatchToChars) {
  const double two53 = 9007199254740992.0;
  const double values[] = {
      0.0, -0.0, 0.5, 1.5, 2.5, -2.5, 0.125, 0.375, -0.625,  // ties
      0.05, 0.15, 0.25, 0.35, 1.0005, 2.675, 1e-7, 5e-7, -5e-7, 0.0000005, 0.0000015,
      0.1, 1.0 / 3, 2.0 / 3, 123.4567895, 999999.9999995, 9.5, 99.5, 0.95, -0.5,
      two53 - 1, two53, two53 + 2, -two53, 4611686018427387904.0,  // 2^62
      9223372036854774784.0,                                     // largest double < 2^63
      9223372036854775808.0,                                     // 2^63: past the exact path
      1e19, 1e22, 1e300, DBL_MAX, -DBL_MAX, DBL_MIN, -DBL_MIN, 5e-324, -5e-324,
      0x1p-47, 0x1p-60, 0x1.8p-20, std::ldexp(1.0, -121), std::ldexp(3.0, -122),
      HUGE_VAL, -HUGE_VAL};
  for (double v : values)
    for (int d = 0; d <= 24; ++d) EXPECT_EQ(Fixed(v, d), StdFixed(v, d)) << v << " " << d;
  EXPECT_EQ(Fixed(std::nan(""), 6), StdFixed(std::nan(""), 6));
}

TEST(FormatFixed, RandomValuesMatchToChars) {
  // Random bit patterns cover every exponent; decimal fractions, halves of
  // powers of two and integers near 2^53 cover the rounding.
  Random next;
  for (int i = 0; i < 40000; ++i) {
    const double values[] = {
        std::bit_cast<double>(next()),
        static_cast<double>(static_cast<int64_t>(next() % 2000000001) - 1000000000) / 100.0,
        static_cast<double>(static_cast<int64_t>(next() % 200001) - 100000) /
            static_cast<double>(uint64_t{1} << (next() % 40)),
        static_cast<double>(next() % 1000000) * 1e-7,
        static_cast<double>((uint64_t{1} << 53) - 5000 + next() % 10000) *
            std::ldexp(1.0, static_cast<int>(next() % 21) - 10)};
    const int d = static_cast<int>(next() % 20);
    for (double v : values) {
      if (std::isnan(v)) continue;  // the sign of a NaN is the platform's
      ASSERT_EQ(Fixed(v, d), StdFixed(v, d)) << std::hexfloat << v << " " << d;
    }
  }
}

// Both parses agree on the end, the error and the value's bits (a sentinel
// shows a value left unchanged).
void ExpectSameParse(const std::string& text) {
  const double sentinel = -1234.5;
  double ours = sentinel, theirs = sentinel;
  auto a = DecimalFromChars(text.data(), text.data() + text.size(), ours);
  auto b = std::from_chars(text.data(), text.data() + text.size(), theirs);
  ASSERT_EQ(a.ptr - text.data(), b.ptr - text.data()) << "'" << text << "'";
  ASSERT_EQ(a.ec, b.ec) << "'" << text << "'";
  ASSERT_EQ(std::bit_cast<uint64_t>(ours), std::bit_cast<uint64_t>(theirs)) << "'" << text << "'";
}

TEST(DecimalFromChars, HardTextsMatchFromChars) {
  const char* texts[] = {
      "0", "-0", "-0.0", "0.0", "1", "1.", ".5", "-.5", ".", "-", "", "+1", "--1", "1e5",
      "1E5", "1.5e-3", "2e", "1e+", "inf", "-inf", "nan", "infinity", "0x10", "1.2.3",
      "12abc", "12 ", " 12", "1,5", "00000000000000000001.5", "0.1", "0.2", "0.3",
      "123456.789012", "-98765.4321", "9007199254740992", "9007199254740993",
      "9007199254740991.5", "900719925474099.25", "4503599627370497.5",
      "0.0000000000000000000001", "0.00000000000000000000001", "1234567890123456789",
      "12345678901234567890", "99999999999999999999", "18446744073709551616",
      "1e400", "-1e400", "1e-400", "2.2250738585072014e-308", "4.9e-324",
      "1.7976931348623157e308", "0.30000000000000004", "3.14159265358979323846",
      "1000000000000000000000.000000", "5e-324", "1.0000000000000002"};
  for (const char* t : texts) ExpectSameParse(t);
}

TEST(DecimalFromChars, RandomTextsMatchFromChars) {
  Random next;
  char buf[64];
  for (int i = 0; i < 100000; ++i) {
    // Decimals as the export writes them, and shortest round-trip texts.
    const double v = std::bit_cast<double>(next());
    if (std::isfinite(v)) {
      auto r = std::to_chars(buf, buf + sizeof buf, v);
      ExpectSameParse(std::string(buf, r.ptr));
    }
    const double scaled = static_cast<double>(static_cast<int64_t>(next() % 20000000001) -
                                              10000000000) /
                          static_cast<double>(uint64_t{1} << (next() % 30));
    auto r = std::to_chars(buf, buf + sizeof buf, scaled, std::chars_format::fixed,
                           static_cast<int>(next() % 12));
    ExpectSameParse(std::string(buf, r.ptr));
    // Random strings of digits, points, signs and exponent letters.
    std::string text;
    const int n = static_cast<int>(next() % 26);
    for (int k = 0; k < n; ++k) text += "0123456789012345678.-e"[next() % 22];
    ExpectSameParse(text);
  }
}

// The run of digits ends at the first byte that is not one, wherever it
// falls in or after the eight-byte words: bytes next to '0' and '9', bytes
// that are digits but for their top bit, and NUL.
TEST(DecimalDigitsEnd, StopsAtTheFirstOtherByte) {
  const char stops[] = {'/', ':', ' ', '.', '\0', '\x80', '\xB0', '\xB9', '\xFF', 'e'};
  for (size_t digits = 0; digits <= 20; ++digits) {
    for (char stop : stops) {
      for (size_t after = 0; after <= 9; ++after) {
        std::string text;
        for (size_t i = 0; i < digits; ++i) text += static_cast<char>('0' + (i * 7) % 10);
        text += stop;
        text += std::string(after, '5');
        const char* end = DecimalDigitsEnd(text.data(), text.data() + text.size());
        EXPECT_EQ(static_cast<size_t>(end - text.data()), digits)
            << digits << " digits, then byte " << static_cast<int>(static_cast<unsigned char>(stop));
      }
    }
    // Digits to the end of the text.
    const std::string all(digits, '9');
    EXPECT_EQ(DecimalDigitsEnd(all.data(), all.data() + all.size()), all.data() + all.size());
  }
}

}  // namespace
}  // namespace rh
