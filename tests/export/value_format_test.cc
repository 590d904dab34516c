#include "export/value_format.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

namespace rh {
namespace {

std::string Printf(const char* format, double v) {
  char buf[512];
  std::snprintf(buf, sizeof buf, format, v);
  return buf;
}

TEST(ValueFormat, RealsMatchPrintf) {
  const double values[] = {0.0, -0.0, 1.0, -0.25, 12.5, 0.0000005, 0.0000015, 2.5e-7,
                           12345678901.5, -1e15, 1e300, DBL_MAX, DBL_MIN, 5e-324,
                           123.4567895, 0.1, 1.0 / 3, HUGE_VAL, -HUGE_VAL};
  for (double v : values) {
    std::string a, b;
    AppendReal(&a, v);
    EXPECT_EQ(a, Printf("%.6f", v)) << v;
    AppendReal(&b, v, 17);
    EXPECT_EQ(b, Printf("%17.6f", v)) << v;
  }
}

TEST(ValueFormat, RandomRealsMatchPrintf) {
  // Random bit patterns cover every exponent; scaled integers and exact
  // half-way cases (k / 128 and the like) cover the rounding.
  uint64_t x = 88172645463325252ull;
  auto next = [&] {
    x ^= x << 13;
    x ^= x >> 7;
    x ^= x << 17;
    return x;
  };
  std::vector<double> values;
  for (int i = 0; i < 300000; ++i) {
    double bits;
    uint64_t r = next();
    std::memcpy(&bits, &r, sizeof bits);
    values.push_back(bits);
    values.push_back(static_cast<double>(static_cast<int64_t>(next() % 2000000001) - 1000000000) / 100.0);
    values.push_back(static_cast<double>(static_cast<int64_t>(next() % 20001) - 10000) / 128.0);
    values.push_back(static_cast<double>(next() % 1000000) * 1e-7);
  }
  for (double v : values) {
    if (std::isnan(v)) continue;  // the sign of a NaN is the platform's
    std::string a;
    AppendReal(&a, v);
    ASSERT_EQ(a, Printf("%.6f", v)) << v;
  }
}

TEST(ValueFormat, IntegersMatchPrintf) {
  std::vector<int64_t> values = {0, 1, -1, 9, 10, -10, 99, 100, 999999999, 1000000000, -1000000000,
                                 INT32_MAX, INT32_MIN, 999999999999, 1000000000000, -1000000000000,
                                 999999999999999999, INT64_MAX, INT64_MIN, INT64_MIN + 1,
                                 12345678, -1234567, 1234567, -12345678};  // filling a column of 8
  // Every digit count, each first and last, either sign.
  for (int64_t p = 1; p <= 100000000000; p *= 10)
    for (int64_t v : {p, 10 * p - 1}) values.insert(values.end(), {v, -v});
  for (int64_t v : values) {
    for (int width : {0, 1, 2, 3, 6, 8, 10, 21, 24, 30}) {
      std::string a;
      AppendInt(&a, v, width);
      char b[64];
      std::snprintf(b, sizeof b, "%*lli", width, static_cast<long long>(v));
      EXPECT_EQ(a, b) << v << " " << width;
    }
  }
}

TEST(ValueFormat, TenThousandthsMatchPrintfOfTheQuotient) {
  const int32_t values[] = {0, 1, -1, 5, -5, 9999, 10000, -10000, 123456, -123456,
                            INT32_MAX, INT32_MIN, 5000, -5000, 99999, -99999, 100, -100,
                            10, -10, 100000000, -123456789, 99999, -9999, 999999};
  for (int32_t v : values) {
    std::string a, b;
    AppendTenThousandths(&a, v);
    EXPECT_EQ(a, Printf("%.4f", v / 10000.0)) << v;
    AppendTenThousandths(&b, v, 10);
    EXPECT_EQ(b, Printf("%10.4f", v / 10000.0)) << v;
  }
}

TEST(ValueFormat, IntegersAndTexts) {
  struct Case {
    std::string got, expected;
  };
  auto run = [](auto f) {
    std::string s;
    f(&s);
    return s;
  };
  Case cases[] = {
      {run([](std::string* s) { AppendInt(s, -2, 6); }), "    -2"},
      {run([](std::string* s) { AppendInt(s, 123456789, 8); }), "123456789"},
      {run([](std::string* s) { AppendInt(s, 255, 3); }), "255"},
      {run([](std::string* s) { AppendCutRight(s, "Current Record", 8); }), "Current "},
      {run([](std::string* s) { AppendCutRight(s, "Rec", 8); }), "     Rec"},
      {run([](std::string* s) { AppendCutLeft(s, "Name", 10); }), "Name      "},
      {run([](std::string* s) { AppendCutLeft(s, "Account Number", 10); }), "Account Nu"},
      {run([](std::string* s) { AppendTextMode(s, "a\nb\n"); }), "a\r\nb\r\n"},
  };
  for (const auto& c : cases) EXPECT_EQ(c.got, c.expected);
}

// Texts of every length up to a few words, with a quote, a line feed, a
// high byte or a blank at every place: the word-at-a-time search must find
// the same bytes a plain loop finds, wherever a word boundary falls.
TEST(ValueFormat, CommaTextsAgreeWithABytewiseCopy) {
  auto expected = [](const std::string& text) {
    std::string out;
    for (char c : text) {
      if (c == '\n') out += '\r';
      if (c == '"') out += '"';
      out += c;
    }
    return out;
  };
  std::vector<std::string> texts;
  for (size_t length = 0; length <= 27; ++length) {
    texts.emplace_back(length, 'a');
    for (size_t at = 0; at < length; ++at) {
      for (char c : {'"', '\n', '\x8a', '\xa2', ' ', '\0'}) {
        std::string t(length, 'b');
        t[at] = c;
        if (at + 9 < length) t[at + 9] = '"';  // a second one, in another word
        texts.push_back(t);
      }
    }
  }
  std::vector<char> buf;
  for (const std::string& t : texts) {
    buf.assign(2 * t.size() + 1, '\0');
    char* end = FormatCommaText(buf.data(), t);
    ASSERT_EQ(std::string(buf.data(), end), expected(t)) << t.size();
  }
}

}  // namespace
}  // namespace rh
