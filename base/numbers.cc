#include "base/numbers.h"

#include <cmath>

#include "base/decimal.h"

namespace rh {

namespace {

// For each width, a bound below which a number's whole part, rounded, has
// fewer digits than the width (room for a sign): 10^(width-1) - 1 while that
// is an exact double, 10^15 - 1 past it.
constexpr double kFitsBelow[20] = {0,     0,     9,     99,    999,   9999,  99999,
                                   999999, 9999999, 99999999, 999999999, 9999999999.0,
                                   99999999999.0, 999999999999.0, 9999999999999.0,
                                   99999999999999.0, 999999999999999.0, 999999999999999.0,
                                   999999999999999.0, 999999999999999.0};

}  // namespace

bool NumberFits(double v, int width) {
  // Values past 1e19 never fit; checking first keeps the text short.
  if (!std::isfinite(v) || std::fabs(v) >= 1e19) return false;
  if (width > 0 && width < 20 && std::fabs(v) < kFitsBelow[width]) return true;
  char buf[MaxFixedChars(0)];
  return FormatFixed(buf, v, 0) - buf <= width;
}

}  // namespace rh
