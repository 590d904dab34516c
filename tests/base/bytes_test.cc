#include "base/bytes.h"

#include <gtest/gtest.h>

#include <string>

namespace rh {
namespace {

// Every length a field can have and some beyond, at every alignment: the
// bytes copied are the source's, and nothing before or after them changes.
TEST(CopyShort, CopiesExactlyTheBytesAsked) {
  std::string source(80, '\0');
  for (size_t i = 0; i < source.size(); ++i) source[i] = static_cast<char>('A' + i % 50);
  for (size_t n = 0; n <= 70; ++n) {
    for (size_t at = 0; at < 8; ++at) {
      std::string target(n + 20, '.');
      CopyShort(target.data() + at, source.data() + (7 - at), n);
      const std::string expected =
          std::string(at, '.') + source.substr(7 - at, n) + std::string(20 - at, '.');
      ASSERT_EQ(target, expected) << "n=" << n << " at=" << at;
    }
  }
}

}  // namespace
}  // namespace rh
