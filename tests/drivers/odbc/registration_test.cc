#include "drivers/odbc/registration.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include "tests/drivers/odbc/odbc_test_util.h"

namespace rh::odbc {
namespace {

using testing::ReadFileOrEmpty;
using testing::TempDir;
using testing::WriteFile;

TEST(Registration, IniSections) {
  struct Case {
    const char* ini;
    bool found;
  } cases[] = {
      {"[MICROSOFT EXCEL DRIVER (*.XLS)]\nDriver=/x.so\n", true},
      {"[ODBC]\nTrace=No\n\n  [ microsoft excel driver (*.xls) ]  \r\nDriver=x\n", true},
      {"[MICROSOFT EXCEL DRIVER (*.XLS)", false},
      {"Description=[MICROSOFT EXCEL DRIVER (*.XLS)] x", false},
      {"[MICROSOFT EXCEL DRIVER (*.XLSX)]", false},
      {"", false},
  };
  for (const auto& c : cases) EXPECT_EQ(IniHasSection(c.ini, kExcelDriverName), c.found) << c.ini;
  std::string config = DriverConfig({"/lib/a.so", "/lib/b.so"});
  EXPECT_TRUE(IniHasSection(config, kExcelDriverName));
  EXPECT_TRUE(IniHasSection(config, kDbaseDriverName));
  EXPECT_NE(config.find("Driver=/lib/a.so\n"), std::string::npos);
}

TEST(Registration, FindsTheBuildTreeLibraries) {
  auto libs = FindDriverLibraries();
  ASSERT_TRUE(libs.ok()) << libs.status().ToString();
  EXPECT_NE(libs->xls.find("librecordhaul_xls_odbc.so"), std::string::npos);
  EXPECT_NE(libs->dbf.find("librecordhaul_dbf_odbc.so"), std::string::npos);
}

// A driver list that already names both drivers is left in charge.
TEST(Registration, KeepsAConfigurationThatKnowsTheDrivers) {
  TempDir sys;
  ASSERT_TRUE(WriteFile(sys.File("custom.ini"), DriverConfig({"/x.so", "/y.so"})));
  ::setenv("ODBCSYSINI", sys.path().c_str(), 1);
  ::setenv("ODBCINSTINI", "custom.ini", 1);
  EXPECT_EQ(CurrentDriverConfigPath(), sys.File("custom.ini"));
  ASSERT_TRUE(EnsureDriversRegistered().ok());
  EXPECT_EQ(std::string(::getenv("ODBCSYSINI")), sys.path());
  EXPECT_EQ(std::string(::getenv("ODBCINSTINI")), "custom.ini");
}

// Otherwise our own list goes to the runtime folder, or under HOME.
TEST(Registration, WritesItsOwnConfiguration) {
  for (bool runtime_dir : {true, false}) {
    TempDir sys, user;
    ASSERT_TRUE(WriteFile(sys.File("odbcinst.ini"), "[MICROSOFT EXCEL DRIVER (*.XLS)]\n"));
    ::setenv("ODBCSYSINI", sys.path().c_str(), 1);
    ::unsetenv("ODBCINSTINI");
    if (runtime_dir) {
      ::setenv("XDG_RUNTIME_DIR", user.path().c_str(), 1);
    } else {
      ::unsetenv("XDG_RUNTIME_DIR");
      ::setenv("HOME", user.path().c_str(), 1);
    }
    ASSERT_TRUE(EnsureDriversRegistered().ok());
    std::string dir = user.path() + (runtime_dir ? "/recordhaul" : "/.cache/recordhaul");
    EXPECT_EQ(std::string(::getenv("ODBCSYSINI")), dir);
    EXPECT_EQ(std::string(::getenv("ODBCINSTINI")), "odbcinst.ini");
    auto libs = FindDriverLibraries();
    ASSERT_TRUE(libs.ok());
    EXPECT_EQ(ReadFileOrEmpty(dir + "/odbcinst.ini"), DriverConfig(*libs));
    // Once pointed there, the list is found and kept.
    ASSERT_TRUE(EnsureDriversRegistered().ok());
    EXPECT_EQ(std::string(::getenv("ODBCSYSINI")), dir);
  }
}

}  // namespace
}  // namespace rh::odbc
