// The one rule for tests that check our files with an independent reader
// (mdbtools, mdb-reader, xlrd, dbfread, LibreOffice, ...): without the reader
// they skip, unless RECORDHAUL_REQUIRE_READERS is set (./test.sh sets it
// after installing every reader), where they fail, so a run can never pass
// with a reader missing. The Python read-back scripts follow the same rule.
#ifndef RECORDHAUL_TESTS_READERS_H_
#define RECORDHAUL_TESTS_READERS_H_

#include <gtest/gtest.h>
#include <stdlib.h>

#include <string>

namespace rh::test {

inline bool ReadersRequired() {
  const char* value = ::getenv("RECORDHAUL_REQUIRE_READERS");
  return value != nullptr && *value != '\0' && std::string(value) != "0";
}

// Records that `reader` is missing: a skip, or a failure where readers are
// required. The caller returns right after: `return ReaderMissing("...");`.
inline void ReaderMissing(const std::string& reader) {
  if (ReadersRequired()) {
    ADD_FAILURE() << reader << " is missing, and RECORDHAUL_REQUIRE_READERS asks for "
                  << "every reader (tools/install-deps.sh installs them)";
  } else {
    GTEST_SKIP() << reader << " is not installed";
  }
}

}  // namespace rh::test

#endif  // RECORDHAUL_TESTS_READERS_H_
