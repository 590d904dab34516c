#include "drivers/odbc/registration.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "base/env.h"
#include "base/file_replacement.h"
#include "base/paths.h"

namespace rh::odbc {

namespace {

bool IsFile(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::string_view TrimLine(std::string_view t) {
  while (!t.empty() && (t.front() == ' ' || t.front() == '\t')) t.remove_prefix(1);
  while (!t.empty() && (t.back() == ' ' || t.back() == '\t' || t.back() == '\r'))
    t.remove_suffix(1);
  return t;
}

std::string ExecutableDir() {
  char buf[4096];
  ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
  if (n <= 0) return "";
  return std::string(DirName(std::string_view(buf, static_cast<size_t>(n))));
}

Result<std::string> ReadFile(const std::string& path) {
  auto file = Env::Default()->OpenReadable(path);
  if (!file.ok()) return file.status();
  std::string text;
  char buf[8192];
  for (uint64_t off = 0;;) {
    auto n = (*file)->ReadAt(off, buf, sizeof buf);
    if (!n.ok()) return n.status();
    if (*n == 0) return text;
    text.append(buf, *n);
    off += *n;
  }
}

Status MakeDir(const std::string& path) {
  if (::mkdir(path.c_str(), 0700) == 0 || errno == EEXIST) return Status();
  return IoError(errno);
}

// A folder of this user's for our driver list.
Result<std::string> ConfigDir() {
  std::string base;
  if (const char* run = std::getenv("XDG_RUNTIME_DIR"); run && *run) {
    base = run;
  } else if (const char* home = std::getenv("HOME"); home && *home) {
    base = JoinPath(home, ".cache");
    Status s = MakeDir(base);
    if (!s.ok()) return s;
  } else {
    base = "/tmp";
    std::string dir = "/tmp/recordhaul-" + std::to_string(::getuid());
    Status s = MakeDir(dir);
    if (!s.ok()) return s;
    return dir;
  }
  std::string dir = JoinPath(base, "recordhaul");
  Status s = MakeDir(dir);
  if (!s.ok()) return s;
  return dir;
}

}  // namespace

Result<DriverLibraries> FindDriverLibraries() {
  const std::string xls_name = "librecordhaul_xls_odbc.so";
  const std::string dbf_name = "librecordhaul_dbf_odbc.so";
  std::string exe_dir = ExecutableDir();
  if (!exe_dir.empty()) {
    // exe_dir ends in "/".
    std::string dir = exe_dir + RH_ODBC_LIBDIR_FROM_BINDIR "/recordhaul";
    DriverLibraries installed{JoinPath(dir, xls_name), JoinPath(dir, dbf_name)};
    if (IsFile(installed.xls) && IsFile(installed.dbf)) return installed;
  }
  DriverLibraries built{RH_ODBC_XLS_DRIVER_BUILD_PATH, RH_ODBC_DBF_DRIVER_BUILD_PATH};
  if (IsFile(built.xls) && IsFile(built.dbf)) return built;
  return Status::Sql("IM003", "the recordhaul ODBC driver libraries are missing");
}

bool IniHasSection(std::string_view ini_text, std::string_view section) {
  while (!ini_text.empty()) {
    size_t nl = ini_text.find('\n');
    std::string_view line = TrimLine(ini_text.substr(0, nl));
    ini_text.remove_prefix(nl == std::string_view::npos ? ini_text.size() : nl + 1);
    if (line.size() >= 2 && line.front() == '[' && line.back() == ']' &&
        EqualsIgnoreAsciiCase(TrimLine(line.substr(1, line.size() - 2)), section))
      return true;
  }
  return false;
}

std::string DriverConfig(const DriverLibraries& libs) {
  std::string text;
  text += "[" + std::string(kExcelDriverName) + "]\n";
  text += "Description=recordhaul Excel workbook (.xls) driver\n";
  text += "Driver=" + libs.xls + "\n\n";
  text += "[" + std::string(kDbaseDriverName) + "]\n";
  text += "Description=recordhaul dBase table (.dbf) driver\n";
  text += "Driver=" + libs.dbf + "\n";
  return text;
}

std::string CurrentDriverConfigPath() {
  const char* dir = std::getenv("ODBCSYSINI");
  const char* name = std::getenv("ODBCINSTINI");
  return JoinPath(dir ? dir : RH_ODBC_SYSTEM_CONFIG_DIR, name ? name : "odbcinst.ini");
}

Status EnsureDriversRegistered() {
  auto current = ReadFile(CurrentDriverConfigPath());
  if (current.ok() && IniHasSection(*current, kExcelDriverName) &&
      IniHasSection(*current, kDbaseDriverName))
    return Status();
  auto libs = FindDriverLibraries();
  if (!libs.ok()) return libs.status();
  auto dir = ConfigDir();
  if (!dir.ok())
    return Status::Sql("IM003", "cannot make a folder for the driver list: " +
                                      dir.status().message());
  std::string path = JoinPath(*dir, "odbcinst.ini");
  std::string text = DriverConfig(*libs);
  auto existing = ReadFile(path);
  if (!existing.ok() || *existing != text) {
    auto file = FileReplacement::Begin(Env::Default(), path);
    Status s = file.ok() ? (*file)->file()->Append(text) : file.status();
    if (s.ok()) s = (*file)->Commit();
    if (!s.ok())
      return Status::Sql("IM003", "cannot write " + path + ": " + s.message());
  }
  ::setenv("ODBCSYSINI", dir->c_str(), 1);
  ::setenv("ODBCINSTINI", "odbcinst.ini", 1);
  return Status();
}

}  // namespace rh::odbc
