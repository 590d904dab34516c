// A throwaway PostgreSQL server for a test: a cluster made with initdb in a
// temporary folder, started with pg_ctl on a Unix socket in that folder and
// no TCP port, reached through psqlODBC registered in a driver list of the
// folder's own (ODBCSYSINI), and removed at the end. The server's commands
// run as the `postgres` system user when the test runs as root, since
// initdb refuses root.
#ifndef RECORDHAUL_TESTS_DATABASES_POSTGRES_CLUSTER_H_
#define RECORDHAUL_TESTS_DATABASES_POSTGRES_CLUSTER_H_

#include <string>

namespace rh::test {

class PostgresCluster {
 public:
  ~PostgresCluster();

  // What this machine lacks to run one (the server's programs, psqlODBC,
  // the postgres user), or empty.
  static std::string Missing();

  // Makes and starts the cluster and points the driver manager at
  // psqlODBC; must come before the process's first ODBC call. False, with
  // error() saying why, when that fails.
  bool Start();

  std::string ConnectionString() const;
  // The rows psql prints for `sql`, unaligned and without headers.
  std::string Psql(const std::string& sql) const;
  const std::string& error() const { return error_; }

 private:
  bool Run(const std::string& command, bool as_server);

  std::string dir_;
  std::string error_;
  bool started_ = false;
};

}  // namespace rh::test

#endif  // RECORDHAUL_TESTS_DATABASES_POSTGRES_CLUSTER_H_
