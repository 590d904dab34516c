#!/usr/bin/env python3
"""Reads the tables the ODBC dBase driver wrote with dbfread, an independent
reader, and checks fields, values and the code page mark.

Usage: check_dbf.py <odbc_fixture_writer>. Without dbfread it exits 77 (skipped),
or 1 where RECORDHAUL_REQUIRE_READERS is set, as in tests/readers.h.
"""
import os
import subprocess
import sys
import tempfile

try:
    import dbfread
except ImportError:
    print("python3-dbfread is not installed")
    sys.exit(1 if os.environ.get("RECORDHAUL_REQUIRE_READERS", "0") not in ("", "0") else 77)


def check(cond, what):
    if not cond:
        raise AssertionError(what)


def fields(table):
    return [(f.name, f.type, f.length, f.decimal_count) for f in table.fields]


def main():
    with tempfile.TemporaryDirectory() as d:
        subprocess.run([sys.argv[1], "dbf", d], check=True)
        check(sorted(os.listdir(d)) == ["empty.dbf", "export.dbf", "noext.dbf"],
              "files: %s" % os.listdir(d))

        table = dbfread.DBF(os.path.join(d, "export.dbf"), encoding="cp1252")
        check(table.header.dbversion == 0x03, "dBase III")
        check(table.header.language_driver == 0x57, "Windows-1252 mark")
        check(fields(table) == [("ACCOUNT", "C", 10, 0), ("BALANCE", "N", 19, 6),
                                ("CURRENT_R", "N", 11, 0), ("MODULE", "C", 4, 0),
                                ("SMALL", "N", 6, 0), ("TINY", "N", 3, 0),
                                ("FIXED", "N", 19, 4), ("NOTE", "C", 254, 0)],
              "fields: %r" % fields(table))
        rows = [dict(r) for r in table]
        check(len(rows) == 2, "rows before the failed INSERT stay: %d" % len(rows))
        check(rows[0] == {"ACCOUNT": "O'Brien''", "BALANCE": 12.5, "CURRENT_R": 1,
                          "MODULE": "GLED", "SMALL": -2, "TINY": 255, "FIXED": 12.3456,
                          "NOTE": "caf\u00e9 \u20ac"}, "row 1: %r" % rows[0])
        check(rows[1] == {"ACCOUNT": "", "BALANCE": -0.000001, "CURRENT_R": -2147483648,
                          "MODULE": "AP", "SMALL": 0, "TINY": 0, "FIXED": -214748.3648,
                          "NOTE": ""}, "row 2: %r" % rows[1])

        table = dbfread.DBF(os.path.join(d, "noext.dbf"))
        check([dict(r) for r in table] == [{"A": 7}], "a name without extension gets .dbf")

        table = dbfread.DBF(os.path.join(d, "empty.dbf"))
        check(fields(table) == [("NAME", "C", 30, 0), ("TOTAL", "N", 11, 0)]
              and len(list(table)) == 0, "empty table")
    print("ok")


if __name__ == "__main__":
    main()
