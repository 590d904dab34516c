// The Access kind of TableConnection over a database our engine opened, for
// callers that open the database themselves (with their own file layer).
#ifndef RECORDHAUL_EXPORT_ACCESS_CONNECTION_H_
#define RECORDHAUL_EXPORT_ACCESS_CONNECTION_H_

#include <memory>

#include "export/table_connection.h"

namespace rh {

namespace mdb {
class Database;
}

// Each Execute runs with dbFailOnError; Discard drops the database, which
// removes its temporary file.
std::unique_ptr<TableConnection> MakeAccessConnection(std::unique_ptr<mdb::Database> db);

}  // namespace rh

#endif  // RECORDHAUL_EXPORT_ACCESS_CONNECTION_H_
