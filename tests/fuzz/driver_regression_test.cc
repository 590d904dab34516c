// The driver fuzz harness of the driver this binary links, on its seeds and
// on the inputs that once broke one of its rules.
#include <gtest/gtest.h>
#include <sql.h>
#include <sqlext.h>

#include "drivers/odbc/table_store.h"
#include "tests/fuzz/harness.h"

namespace rh::fuzz {
namespace {

TEST(FuzzTableDriver, RunsItsSeeds) {
  const bool dbase = odbc::ThisDriver().file_usage == SQL_FILE_TABLE;
  for (const std::string& seed :
       TableDriverSeeds(dbase ? TableTarget::kDBase : TableTarget::kExcel)) {
    FuzzTableDriver(reinterpret_cast<const uint8_t*>(seed.data()), seed.size());
  }
  FuzzTableDriver(nullptr, 0);
}

// Inputs found by the fuzzers, minimised, with what they broke.
TEST(FuzzTableDriver, InputsThatOnceBrokeARule) {
  struct Regression {
    const char* what;
    std::string_view input;
  } regressions[] = {
      {"a table named \").tmp\" is a file of that name, which the harness took for a "
       "temporary file left behind",
       "CREATE TABLE).tmp('C'TEXT)"},
  };
  for (const Regression& r : regressions) {
    SCOPED_TRACE(r.what);
    FuzzTableDriver(reinterpret_cast<const uint8_t*>(r.input.data()), r.input.size());
  }
}

}  // namespace
}  // namespace rh::fuzz
