// The ODBC kind of MigrationTarget: any database with a unixODBC driver,
// reached with a connection string. Each table is loaded in a transaction
// of its own. Where the database runs CREATE and DROP TABLE inside
// transactions (PostgreSQL, SQL Server, SQLite), the old table is dropped,
// the new one created and filled, and the sources rows replaced in that one
// transaction, so a failure rolls all of it back. Elsewhere (MariaDB,
// MySQL, whose DDL commits at once) the table is filled under a staging
// name and then put in the old one's place: a failure while it is filled
// drops the staging table and keeps the old one; only a failure between
// the DROP of the old table and the RENAME of the new one leaves the new
// table under its staging name, "<table>_rh_new".
#ifndef RECORDHAUL_DATABASES_ODBC_TARGET_H_
#define RECORDHAUL_DATABASES_ODBC_TARGET_H_

#include <memory>
#include <string>

#include "migrate/migration_target.h"

namespace rh {

// Tables are created with the standard type names (VARCHAR(n), SMALLINT,
// INTEGER, DOUBLE PRECISION, NUMERIC(10,4), DATE, TIMESTAMP); text columns
// take the driver's Unicode type where it reports one. Our own Excel and
// dBase drivers are not registered for it: it needs the database's driver.
std::unique_ptr<MigrationTarget> MakeOdbcTarget(std::string connection_string);

// The connection string with the value of every PWD and PASSWORD key
// replaced by "***", for messages.
std::string WithoutPassword(const std::string& connection_string);

}  // namespace rh

#endif  // RECORDHAUL_DATABASES_ODBC_TARGET_H_
