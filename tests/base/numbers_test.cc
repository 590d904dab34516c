#include "base/numbers.h"

#include <gtest/gtest.h>

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>

namespace rh {
namespace {

// Whether the text without decimals is at most `width` characters, from
// std::to_chars.
bool FitsByText(double v, int width) {
  if (!std::isfinite(v)) return false;
  char buf[400];
  auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, 0);
  return r.ptr - buf <= width;
}

TEST(NumberFits, AgreesWithTheTextAtEveryWidth) {
  // Each power of ten, just below and above it, half-way values that round
  // up to it, their negatives, and random values of every magnitude.
  std::vector<double> values = {0.0, -0.0, 0.4, 0.5, 0.6, 1.5, 2.5, NAN, INFINITY, -INFINITY};
  for (double p = 1; p <= 1e20; p *= 10) {
    for (double v : {p, p - 1, p - 0.5, p - 0.49, p + 1, std::nextafter(p, 0.0),
                     std::nextafter(p - 0.5, 0.0), std::nextafter(p - 0.5, 1e30)}) {
      values.push_back(v);
      values.push_back(-v);
    }
  }
  uint64_t x = 88172645463325252ull;
  for (int i = 0; i < 20000; ++i) {
    x ^= x << 13, x ^= x >> 7, x ^= x << 17;
    values.push_back(std::ldexp(static_cast<double>(x >> 11), static_cast<int>(x % 80) - 60) *
                     ((x & 1) ? -1 : 1));
  }
  for (double v : values)
    for (int width = 0; width <= 19; ++width)  // the widest numeric field
      ASSERT_EQ(NumberFits(v, width), FitsByText(v, width)) << v << " " << width;
}

}  // namespace
}  // namespace rh
