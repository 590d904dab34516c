#include "base/cp1252.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace rh
