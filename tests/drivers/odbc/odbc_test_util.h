// Helpers for tests that go through the real driver manager.
#ifndef RECORDHAUL_TESTS_DRIVERS_ODBC_ODBC_TEST_UTIL_H_
#define RECORDHAUL_TESTS_DRIVERS_ODBC_ODBC_TEST_UTIL_H_

#include <string>
#include <vector>

namespace rh::odbc::testing {

// A fresh folder under /tmp, removed with its contents at the end.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  const std::string& path() const { return path_; }
  std::string File(const std::string& name) const { return path_ + "/" + name; }
  std::vector<std::string> Entries() const;

 private:
  std::string path_;
};

// Points the driver manager at a driver list naming the drivers of this
// build, in `dir`, so that tests never pick up an installed copy. Must run
// before the first ODBC call of the process. Returns false on failure.
bool UseBuildTreeDrivers(const std::string& dir);

std::string ExcelConnectionString(const std::string& path);
std::string DbaseConnectionString(const std::string& folder);

std::string ReadFileOrEmpty(const std::string& path);
bool WriteFile(const std::string& path, const std::string& data);

}  // namespace rh::odbc::testing

#endif  // RECORDHAUL_TESTS_DRIVERS_ODBC_ODBC_TEST_UTIL_H_
