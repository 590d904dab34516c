// The ODBC kind of TableConnection: the Excel and dBase exports go through
// the ODBC driver manager, with the calls in their ODBC 2 form.
#ifndef RECORDHAUL_CONNECTIONS_ODBC_CONNECTION_H_
#define RECORDHAUL_CONNECTIONS_ODBC_CONNECTION_H_

#include <memory>
#include <string>

#include "export/table_connection.h"

namespace rh {

// Connects through the ODBC driver manager (SQLDriverConnect without
// prompting) with the given connection string. Our own drivers are made known
// to the driver manager first if it does not know their names.
Result<std::unique_ptr<TableConnection>> OpenOdbcConnection(
    const std::string& connection_string);

}  // namespace rh

#endif  // RECORDHAUL_CONNECTIONS_ODBC_CONNECTION_H_
