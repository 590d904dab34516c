#include "connections/connection_opener.h"

#include "connections/access_connection.h"
#include "connections/odbc_connection.h"

namespace rh {

ConnectionOpener RealConnectionOpener() {
  return [](const TableOpenRequest& r) {
    return r.target == TableTarget::kAccess ? CreateAccessDatabase(r.path, r.locale)
                                            : OpenOdbcConnection(r.connection_string);
  };
}

}  // namespace rh
