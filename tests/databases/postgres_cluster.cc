#include "tests/databases/postgres_cluster.h"

#include <glob.h>
#include <pwd.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <vector>

namespace rh::test {

namespace {

constexpr char kServerUser[] = "postgres";
constexpr int kPort = 5432;  // only names the socket: there is no TCP port

std::string FirstMatch(const std::vector<std::string>& patterns) {
  for (const std::string& pattern : patterns) {
    glob_t found{};
    const bool any = ::glob(pattern.c_str(), 0, nullptr, &found) == 0 && found.gl_pathc > 0;
    std::string first = any ? found.gl_pathv[0] : "";
    ::globfree(&found);
    if (!first.empty()) return first;
  }
  return "";
}

std::string BinDir() {
  const std::string initdb = FirstMatch({"/usr/lib/postgresql/15/bin/initdb",
                                         "/usr/lib/postgresql/*/bin/initdb"});
  return initdb.empty() ? "" : std::filesystem::path(initdb).parent_path().string();
}

std::string OdbcDriver() {
  return FirstMatch({"/usr/lib/x86_64-linux-gnu/odbc/psqlodbcw.so",
                     "/usr/lib/*/odbc/psqlodbcw.so", "/usr/lib/odbc/psqlodbcw.so"});
}

std::string Quoted(const std::string& text) {
  std::string out = "'";
  for (char c : text) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return out + "'";
}

}  // namespace

std::string PostgresCluster::Missing() {
  if (BinDir().empty()) return "the PostgreSQL server (Debian package postgresql)";
  if (OdbcDriver().empty()) return "psqlODBC (Debian package odbc-postgresql)";
  if (::geteuid() == 0 && ::getpwnam(kServerUser) == nullptr)
    return "the postgres system user (Debian package postgresql)";
  return "";
}

bool PostgresCluster::Run(const std::string& command, bool as_server) {
  std::string line = command;
  if (as_server && ::geteuid() == 0)
    line = "runuser -u " + std::string(kServerUser) + " -- " + line;
  line += " >>" + Quoted(dir_ + "/log") + " 2>&1";
  if (std::system(line.c_str()) == 0) return true;
  std::ifstream log(dir_ + "/log");
  error_ = command + " failed:\n" + std::string(std::istreambuf_iterator<char>(log), {});
  return false;
}

bool PostgresCluster::Start() {
  char pattern[] = "/tmp/rh_pg_XXXXXX";
  if (::mkdtemp(pattern) == nullptr) {
    error_ = "cannot make a temporary folder";
    return false;
  }
  dir_ = pattern;
  if (::geteuid() == 0) {
    const passwd* user = ::getpwnam(kServerUser);
    if (user == nullptr || ::chown(dir_.c_str(), user->pw_uid, user->pw_gid) != 0) {
      error_ = "cannot give " + dir_ + " to " + kServerUser;
      return false;
    }
  }
  const std::string bin = BinDir();
  if (!Run(Quoted(bin + "/initdb") + " -D " + Quoted(dir_ + "/data") + " -U postgres -A trust" +
               " -E UTF8 --no-sync",
           true))
    return false;
  const std::string options = "-k " + dir_ + " -c listen_addresses= -p " + std::to_string(kPort) +
                              " -F";
  if (!Run(Quoted(bin + "/pg_ctl") + " -D " + Quoted(dir_ + "/data") + " -l " +
               Quoted(dir_ + "/server.log") + " -w -o " + Quoted(options) + " start",
           true))
    return false;
  started_ = true;
  std::ofstream(dir_ + "/odbcinst.ini")
      << "[PostgreSQL Unicode]\nDriver=" << OdbcDriver() << "\n";
  ::setenv("ODBCSYSINI", dir_.c_str(), 1);
  ::setenv("ODBCINSTINI", "odbcinst.ini", 1);
  return true;
}

PostgresCluster::~PostgresCluster() {
  if (started_) {
    Run(Quoted(BinDir() + "/pg_ctl") + " -D " + Quoted(dir_ + "/data") + " -m immediate -w stop",
        true);
  }
  std::error_code ec;
  if (!dir_.empty()) std::filesystem::remove_all(dir_, ec);
}

std::string PostgresCluster::ConnectionString() const {
  return "DRIVER={PostgreSQL Unicode};Servername=" + dir_ + ";Port=" + std::to_string(kPort) +
         ";Database=postgres;Username=postgres;";
}

std::string PostgresCluster::Psql(const std::string& sql) const {
  const std::string command = Quoted(BinDir() + "/psql") + " -h " + Quoted(dir_) + " -p " +
                              std::to_string(kPort) + " -U postgres -d postgres -At -c " +
                              Quoted(sql) + " 2>&1";
  std::string out;
  if (FILE* pipe = ::popen(command.c_str(), "r")) {
    char buf[4096];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, pipe)) > 0) out.append(buf, n);
    ::pclose(pipe);
  }
  while (!out.empty() && out.back() == '\n') out.pop_back();
  return out;
}

}  // namespace rh::test
