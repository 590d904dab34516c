#include "base/numbers.h"

#include <cmath>

#include "base/decimal.h"

namespace rh {

bool NumberFits(double v, int width) {
  // Values past 1e19 never fit; checking first keeps the text short.
  if (!std::isfinite(v) || std::fabs(v) >= 1e19) return false;
  char buf[MaxFixedChars(0)];
  return FormatFixed(buf, v, 0) - buf <= width;
}

}  // namespace rh
