#include "base/numbers.h"

#include <charconv>
#include <cmath>

namespace rh {

bool NumberFits(double v, int width) {
  // Values past 1e19 never fit; checking first keeps the text short.
  if (!std::isfinite(v) || std::fabs(v) >= 1e19) return false;
  char buf[32];
  auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, 0);
  return r.ec == std::errc() && r.ptr - buf <= width;
}

}  // namespace rh
