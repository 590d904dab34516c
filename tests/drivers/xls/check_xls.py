#!/usr/bin/env python3
"""Reads the workbooks the ODBC Excel driver wrote with xlrd, an independent
reader, and checks sheet, defined name, column names and values.

Usage: check_xls.py <odbc_fixture_writer>. Without xlrd it exits 77 (skipped),
or 1 where RECORDHAUL_REQUIRE_READERS is set, as in tests/readers.h.
"""
import os
import subprocess
import sys
import tempfile

try:
    import xlrd
except ImportError:
    print("python3-xlrd is not installed")
    sys.exit(1 if os.environ.get("RECORDHAUL_REQUIRE_READERS", "0") not in ("", "0") else 77)


def check(cond, what):
    if not cond:
        raise AssertionError(what)


def defined_range(book):
    names = book.name_map.get("kvtdatatool")
    check(names and len(names) == 1, "one defined name KVTdatatool")
    name = names[0]
    check(name.name == "KVTdatatool" and name.scope == -1, "workbook-level name")
    area = name.result.value[0].coords  # sheet lo/hi, row lo/hi, col lo/hi
    return area


def main():
    with tempfile.TemporaryDirectory() as d:
        subprocess.run([sys.argv[1], "xls", d], check=True)
        check(not os.path.exists(os.path.join(d, "cols257.xls")),
              "a failed CREATE TABLE leaves no workbook")
        check(sorted(os.listdir(d)) == ["basic.xls", "cols256.xls", "empty.xls", "rows.xls"],
              "no stray files: %s" % os.listdir(d))

        book = xlrd.open_workbook(os.path.join(d, "basic.xls"))
        check(book.sheet_names() == ["KVTdatatool"], "sheet name")
        sheet = book.sheet_by_index(0)
        check(sheet.row_values(0) == ["Account", "Today's Date", "Balance", "Small",
                                      "Tiny", "Fixed", "Current Record"], "column names")
        check(sheet.row_values(1) == ["O'Brien''", "12/07/26", 12.5, -2.0, 255.0,
                                      12.3456, 1.0], "row 1: %r" % sheet.row_values(1))
        check(sheet.row_values(2) == ["caf\u00e9 \u20ac ", "", -0.000001, 0.0, 0.0,
                                      -214748.3648, 3.0], "row 2: %r" % sheet.row_values(2))
        check(sheet.cell_type(1, 2) == xlrd.XL_CELL_NUMBER, "numbers are numbers")
        check(sheet.cell_type(1, 0) == xlrd.XL_CELL_TEXT, "texts are texts")
        check(defined_range(book) == (0, 1, 0, 3, 0, 7), "defined name covers A1:G3")

        book = xlrd.open_workbook(os.path.join(d, "empty.xls"))
        sheet = book.sheet_by_index(0)
        check(sheet.nrows == 1 and sheet.row_values(0) == ["Name", "Total"], "empty table")
        check(defined_range(book) == (0, 1, 0, 1, 0, 2), "empty table's name covers A1:B1")

        book = xlrd.open_workbook(os.path.join(d, "cols256.xls"))
        sheet = book.sheet_by_index(0)
        check(sheet.ncols == 256 and sheet.cell_value(0, 255) == "C255"
              and sheet.cell_value(1, 255) == 255.0, "256 columns")
        check(defined_range(book) == (0, 1, 0, 2, 0, 256), "name covers 256 columns")

        book = xlrd.open_workbook(os.path.join(d, "rows.xls"))
        sheet = book.sheet_by_index(0)
        check(sheet.nrows == 65536, "65535 data rows kept: %d" % sheet.nrows)
        check(sheet.row_values(65535) == [65535.0, "r35"], "last row")
        check(defined_range(book) == (0, 1, 0, 65536, 0, 2), "name covers every row")
    print("ok")


if __name__ == "__main__":
    main()
