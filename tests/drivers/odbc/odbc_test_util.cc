#include "tests/drivers/odbc/odbc_test_util.h"

#include <dirent.h>
#include <stdlib.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "drivers/odbc/registration.h"

namespace rh::odbc::testing {

TempDir::TempDir() {
  char tmpl[] = "/tmp/rh_odbc_test.XXXXXX";
  const char* made = ::mkdtemp(tmpl);
  path_ = made ? made : "/tmp";
}

TempDir::~TempDir() {
  if (path_ != "/tmp") std::system(("rm -rf '" + path_ + "'").c_str());
}

std::vector<std::string> TempDir::Entries() const {
  std::vector<std::string> names;
  if (DIR* d = ::opendir(path_.c_str())) {
    while (dirent* e = ::readdir(d)) {
      std::string n = e->d_name;
      if (n != "." && n != "..") names.push_back(n);
    }
    ::closedir(d);
  }
  std::sort(names.begin(), names.end());
  return names;
}

bool UseBuildTreeDrivers(const std::string& dir) {
  auto libs = FindDriverLibraries();
  if (!libs.ok()) return false;
  if (!WriteFile(dir + "/odbcinst.ini", DriverConfig(*libs))) return false;
  return ::setenv("ODBCSYSINI", dir.c_str(), 1) == 0 &&
         ::setenv("ODBCINSTINI", "odbcinst.ini", 1) == 0;
}

std::string ExcelConnectionString(const std::string& path) {
  return "DRIVER={MICROSOFT EXCEL DRIVER (*.XLS)};DSN='';FIRSTROWHASNAMES=1;"
         "READONLY=FALSE;CREATE_DB=\"" + path + "\";DBQ=" + path;
}

std::string DbaseConnectionString(const std::string& folder) {
  return "DRIVER=Microsoft dBase Driver (*.dbf);DBQ=" + folder + ";";
}

std::string ReadFileOrEmpty(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

bool WriteFile(const std::string& path, const std::string& data) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << data;
  return static_cast<bool>(out);
}

}  // namespace rh::odbc::testing
