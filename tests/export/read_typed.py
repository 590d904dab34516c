#!/usr/bin/env python3
"""Prints the data rows of an exported table as JSON, with the types the
reader reports: a date cell as "date:YYYY-MM-DD", an empty cell as null, a whole
number as an integer. Readers: openpyxl (.xlsx), xlrd (.xls), dbfread
(.dbf), mdb-export or the npm package mdb-reader (.mdb).

Usage: read_typed.py PATH [mdb-reader]. Exits 77 when the reader is missing.
"""
import csv
import datetime
import io
import json
import os
import shutil
import subprocess
import sys

from read_table import MDB_READER, missing

# As read_table.py's, with Date values as their UTC calendar date.
MDB_READER_TYPED = MDB_READER.replace(
    "t.getData().map(x => Object.values(x))",
    "t.getData().map(x => Object.values(x).map("
    "v => v instanceof Date ? 'date:' + v.toISOString().slice(0, 10) : v))")


def plain(v):
    if isinstance(v, (datetime.datetime, datetime.date)):
        return "date:" + (v.date() if isinstance(v, datetime.datetime) else v).isoformat()
    if isinstance(v, float) and v.is_integer():
        return int(v)
    return None if v == "" else v


def rows(path, reader):
    if path.endswith(".xlsx"):
        try:
            import openpyxl
        except ImportError:
            missing("python3-openpyxl")
        sheet = openpyxl.load_workbook(path, read_only=True).active
        return [[plain(c) for c in r] for r in sheet.iter_rows(min_row=2, values_only=True)]
    if path.endswith(".xls"):
        try:
            import xlrd
        except ImportError:
            missing("python3-xlrd")
        book = xlrd.open_workbook(path)
        sheet = book.sheet_by_index(0)
        def value(c):
            if c.ctype == xlrd.XL_CELL_DATE:
                return xlrd.xldate_as_datetime(c.value, book.datemode)
            return None if c.ctype == xlrd.XL_CELL_EMPTY else c.value
        return [[plain(value(c)) for c in sheet.row(r)] for r in range(1, sheet.nrows)]
    if path.endswith(".dbf"):
        try:
            import dbfread
        except ImportError:
            missing("python3-dbfread")
        return [[plain(v) for v in r.values()] for r in dbfread.DBF(path, encoding="cp1252")]
    if reader == "mdb-reader":
        npm_dir = os.environ.get("RECORDHAUL_NPM_DIR", "")
        if not shutil.which("node") or not npm_dir:
            missing("node or the npm package mdb-reader")
        out = subprocess.run(["node", "--input-type=module", "-e", MDB_READER_TYPED, npm_dir, path],
                             capture_output=True, text=True, encoding="utf-8",
                             env=dict(os.environ, TZ="UTC"))
        if out.returncode != 0:
            missing("node or the npm package mdb-reader")
        return [[plain(v) for v in r] for r in json.loads(out.stdout)]
    if not shutil.which("mdb-export"):
        missing("mdbtools")
    out = subprocess.run(["mdb-export", "-T", "date:%Y-%m-%d", path, "KVTdatatool"], check=True,
                         capture_output=True, text=True, encoding="utf-8").stdout
    def number(t):
        try:
            return plain(float(t))
        except ValueError:
            return plain(t)
    return [[number(v) for v in r] for r in list(csv.reader(io.StringIO(out, newline="")))[1:]]


if __name__ == "__main__":
    print(json.dumps(rows(sys.argv[1], sys.argv[2] if len(sys.argv) > 2 else "")))
