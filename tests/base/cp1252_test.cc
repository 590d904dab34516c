#include "base/cp1252.h"

#include <gtest/gtest.h>
#include <iconv.h>

#include <optional>

namespace rh {
namespace {

TEST(Cp1252, RoundTripsEveryDefinedByte) {
  for (int b = 1; b < 256; ++b) {
    std::string one(1, static_cast<char>(b));
    EXPECT_EQ(Utf8ToCp1252(Cp1252ToUtf8(one)), one) << b;
  }
}

TEST(Cp1252, KnownCharacters) {
  struct Case {
    std::string cp1252;
    std::string utf8;
  } cases[] = {
      {"caf\xe9", "caf\xc3\xa9"},
      {"\x80", "\xe2\x82\xac"},        // euro sign
      {"\x93q\x94", "\xe2\x80\x9cq\xe2\x80\x9d"},
      {"\xff", "\xc3\xbf"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Cp1252ToUtf8(c.cp1252), c.utf8);
    EXPECT_EQ(Utf8ToCp1252(c.utf8), c.cp1252);
  }
  EXPECT_EQ(Cp1252ToUtf16("\x80"), u"\u20ac");
}

TEST(Cp1252, UnmappableAndMalformedBecomeTheReplacement) {
  EXPECT_EQ(Utf8ToCp1252("\xe4\xb8\xad"), "?");      // CJK
  EXPECT_EQ(Utf8ToCp1252("a\xc3"), "a?");            // cut sequence
  EXPECT_EQ(Utf8ToCp1252("\xff\xfe", '_'), "__");    // not UTF-8
}

// glibc's converter, which leaves the five bytes Windows-1252 does not
// define unconverted: nullopt for those.
std::optional<std::string> IconvToUtf8(unsigned char byte) {
  iconv_t cd = iconv_open("UTF-8", "CP1252");
  if (cd == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
  char in[1] = {static_cast<char>(byte)};
  char out[8];
  char* in_p = in;
  char* out_p = out;
  size_t in_left = 1, out_left = sizeof out;
  const size_t r = iconv(cd, &in_p, &in_left, &out_p, &out_left);
  iconv_close(cd);
  if (r == static_cast<size_t>(-1)) return std::nullopt;
  return std::string(out, static_cast<size_t>(out_p - out));
}

// Every byte: the defined ones as an independent converter maps them, the
// five undefined ones as the C1 control of their value; both forms agree,
// and the code point says the same.
TEST(Cp1252, EveryByteAsUtf8) {
  const std::string undefined = "\x81\x8d\x8f\x90\x9d";
  for (int b = 0; b < 256; ++b) {
    SCOPED_TRACE(b);
    const auto byte = static_cast<unsigned char>(b);
    const std::string one(1, static_cast<char>(b));
    std::string expected;
    if (undefined.find(static_cast<char>(b)) != std::string::npos) {
      expected = {static_cast<char>(0xC2), static_cast<char>(b)};
    } else {
      auto converted = IconvToUtf8(byte);
      ASSERT_TRUE(converted.has_value());
      expected = *converted;
    }
    EXPECT_EQ(Cp1252ToUtf8(one), expected);
    char out[3 * 9];
    const std::string run = "abcdefg" + one + "h";  // after and before an ASCII run
    EXPECT_EQ(std::string(out, Cp1252ToUtf8(out, run)), "abcdefg" + expected + "h");
    EXPECT_EQ(Cp1252ToUtf16(one), std::u16string(1, static_cast<char16_t>(Cp1252ToCodePoint(byte))));
  }
}

TEST(Cp1252, LongMixedText) {
  std::string text, expected;
  for (int i = 0; i < 300; ++i) {
    text += i % 37 == 0 ? "\x80" : i % 11 == 0 ? "\xe9" : "x";
    expected += i % 37 == 0 ? "\xe2\x82\xac" : i % 11 == 0 ? "\xc3\xa9" : "x";
  }
  EXPECT_EQ(Cp1252ToUtf8(text), expected);
  EXPECT_EQ(Cp1252ToUtf8(std::string_view()), "");
}

}  // namespace
}  // namespace rh
