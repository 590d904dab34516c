// The connections the table exports really use: ODBC (through the driver
// manager) for Excel and dBase, our database engine for Access. The export
// core only knows the TableConnection interface; the application hands it
// this opener.
#ifndef RECORDHAUL_CONNECTIONS_CONNECTION_OPENER_H_
#define RECORDHAUL_CONNECTIONS_CONNECTION_OPENER_H_

#include "export/table_writer.h"

namespace rh {

ConnectionOpener RealConnectionOpener();

}  // namespace rh

#endif  // RECORDHAUL_CONNECTIONS_CONNECTION_OPENER_H_
