#!/bin/sh
# Registers recordhaul's ODBC drivers with the unixODBC driver manager, or
# removes them again, so that any ODBC program (isql, for one) can use them.
#
#   recordhaul-odbc-drivers register [folder of the driver libraries]
#   recordhaul-odbc-drivers unregister
#
# The folder defaults to this script's own. The driver list changed is the
# one odbcinst reports (odbcinst -j); ODBCSYSINI points it elsewhere.
set -eu

excel='MICROSOFT EXCEL DRIVER (*.XLS)'
dbase='Microsoft dBase Driver (*.dbf)'

command -v odbcinst >/dev/null 2>&1 || {
  echo "odbcinst not found: install unixODBC's odbcinst to register the drivers" >&2
  exit 1
}

# Removes a driver entry whatever its usage count.
unregister() {
  n=0
  while odbcinst -q -d -n "$1" >/dev/null 2>&1 && [ "$n" -lt 100 ]; do
    odbcinst -u -d -n "$1" >/dev/null
    n=$((n + 1))
  done
}

case "${1:-}" in
  register)
    dir=$(cd "${2:-$(dirname "$0")}" && pwd)
    template=$(mktemp)
    trap 'rm -f "$template"' EXIT
    cat >"$template" <<INI
[$excel]
Description=recordhaul Excel workbook (.xls) driver
Driver=$dir/librecordhaul_xls_odbc.so

[$dbase]
Description=recordhaul dBase table (.dbf) driver
Driver=$dir/librecordhaul_dbf_odbc.so
INI
    unregister "$excel"
    unregister "$dbase"
    odbcinst -i -d -f "$template" >/dev/null
    echo "registered: $excel, $dbase ($dir)"
    ;;
  unregister)
    unregister "$excel"
    unregister "$dbase"
    echo "unregistered: $excel, $dbase"
    ;;
  *)
    echo "usage: $0 register [driver folder] | unregister" >&2
    exit 2
    ;;
esac
