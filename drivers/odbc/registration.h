// Making our two ODBC drivers known to the unixODBC driver manager without
// touching system files.
//
// unixODBC reads its driver list from $ODBCSYSINI/$ODBCINSTINI (by default
// /etc/odbcinst.ini) and remembers that location from its first use in a
// process on. So before the process's first ODBC call we read that file
// ourselves; if it does not name both our drivers, we write a driver list of
// our own into a per-user folder and point ODBCSYSINI and ODBCINSTINI at it.
#ifndef RECORDHAUL_DRIVERS_ODBC_REGISTRATION_H_
#define RECORDHAUL_DRIVERS_ODBC_REGISTRATION_H_

#include <string>
#include <string_view>

#include "base/status.h"

namespace rh::odbc {

inline constexpr char kExcelDriverName[] = "MICROSOFT EXCEL DRIVER (*.XLS)";
inline constexpr char kDbaseDriverName[] = "Microsoft dBase Driver (*.dbf)";

struct DriverLibraries {
  std::string xls;
  std::string dbf;
};

// Our driver libraries: beside an installed executable
// (<bindir>/<relative libdir>/recordhaul/), else in the build tree.
Result<DriverLibraries> FindDriverLibraries();

// Whether an odbcinst.ini text has a section of that name (ASCII case
// ignored, as the driver manager does).
bool IniHasSection(std::string_view ini_text, std::string_view section);

// The odbcinst.ini text that registers our drivers under their names.
std::string DriverConfig(const DriverLibraries& libs);

// The driver list the driver manager would read now.
std::string CurrentDriverConfigPath();

// Does what the header comment says. Call before the first ODBC call of the
// process; later calls change nothing the driver manager sees.
Status EnsureDriversRegistered();

}  // namespace rh::odbc

#endif  // RECORDHAUL_DRIVERS_ODBC_REGISTRATION_H_
