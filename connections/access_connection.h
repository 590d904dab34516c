// The Access kind of TableConnection: our Jet 4 engine, used as the Access
// export would use the platform's database engine.
#ifndef RECORDHAUL_CONNECTIONS_ACCESS_CONNECTION_H_
#define RECORDHAUL_CONNECTIONS_ACCESS_CONNECTION_H_

#include <memory>
#include <string>

#include "export/table_connection.h"

namespace rh {

namespace mdb {
class Database;
}

// Creates a new Access database file at `path` through our database engine,
// with the engine's locale text (";LANGID=0x0409;CP=1252;COUNTRY=0").
Result<std::unique_ptr<TableConnection>> CreateAccessDatabase(
    const std::string& path, const std::string& locale);

// Each Execute runs with dbFailOnError; Discard drops the database, which
// removes its temporary file.
std::unique_ptr<TableConnection> MakeAccessConnection(std::unique_ptr<mdb::Database> db);

}  // namespace rh

#endif  // RECORDHAUL_CONNECTIONS_ACCESS_CONNECTION_H_
