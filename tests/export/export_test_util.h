// Runs exports of a test installation and reads back what they wrote.
#ifndef RECORDHAUL_TESTS_EXPORT_EXPORT_TEST_UTIL_H_
#define RECORDHAUL_TESTS_EXPORT_EXPORT_TEST_UTIL_H_

#include <string>
#include <vector>

#include "export/export_run.h"
#include "tests/fake_platform.h"
#include "tests/fixture.h"

namespace rh::test {

// 2007-03-15 12:00 UTC, the date of the worked examples; TZ is UTC in tests.
std::time_t FixedNow();

struct ExportResult {
  ExportOutcome outcome;
  std::string written;  // the destination's bytes afterwards ("" if none)
};

class ExportHarness {
 public:
  explicit ExportHarness(Installation& inst);

  // Rows named by field name; the export name equals it unless given as
  // "field=export".
  ExportResult Run(int type, const std::vector<std::string>& rows, const std::string& dest,
                   Env* env = Env::Default());
  // With a type row of the test's own (a writer made differently).
  ExportResult Run(const ExportTypeInfo& type, const std::vector<std::string>& rows,
                   const std::string& dest, Env* env = Env::Default());

  FakePlatform ui;
  FieldLayout layout;
  Status layout_status;     // why `layout` could not be loaded, if it could not
  ConnectionOpener opener;  // empty: the real connections
  ExportOptions options;

 private:
  ExportResult RunType(const ExportTypeInfo* type, const std::vector<std::string>& rows,
                       const std::string& dest, Env* env);

  Installation& inst_;
};

// Runs a shell command; its standard output goes to *out. The exit code.
int RunCommand(const std::string& command, std::string* out);

}  // namespace rh::test

#endif  // RECORDHAUL_TESTS_EXPORT_EXPORT_TEST_UTIL_H_
