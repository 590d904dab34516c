// Connection options of our ODBC drivers beyond the standard ones, in the
// range ODBC leaves to drivers (SQL_CONNECT_OPT_DRVR_START and up). The
// driver manager passes them through SQLSetConnectOption unchanged.
#ifndef RECORDHAUL_DRIVERS_ODBC_DRIVER_OPTIONS_H_
#define RECORDHAUL_DRIVERS_ODBC_DRIVER_OPTIONS_H_

namespace rh::odbc {

// Set to 1 before SQLDisconnect: the disconnect drops what the connection
// wrote instead of putting it in place, so every destination stays as it
// was and no temporary file is left.
inline constexpr int kDiscardOnDisconnect = 1001;

}  // namespace rh::odbc

#endif  // RECORDHAUL_DRIVERS_ODBC_DRIVER_OPTIONS_H_
