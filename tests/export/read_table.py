#!/usr/bin/env python3
"""Prints the data rows of an exported table as JSON, read with an
independent reader: xlrd for .xls, dbfread for .dbf, mdb-export or (with the
argument mdb-reader) the npm package mdb-reader for .mdb.

Usage: read_table.py PATH [mdb-reader]. Exits 77 when the reader is missing.
"""
import csv
import io
import json
import os
import shutil
import subprocess
import sys

# mdb-reader is an ES module: resolved from the build tree's npm folder
# (RECORDHAUL_NPM_DIR, where tools/install-deps.sh --npm puts it) and imported.
MDB_READER = """
import { createRequire } from 'node:module';
import { readFileSync } from 'node:fs';
import { pathToFileURL } from 'node:url';
const [dir, file] = process.argv.slice(1);
const found = createRequire(dir + '/package.json').resolve('mdb-reader');
const { default: Reader } = await import(pathToFileURL(found).href);
const t = new Reader(readFileSync(file)).getTable('KVTdatatool');
console.log(JSON.stringify(t.getData().map(x => Object.values(x))));
"""


def missing(what):
    print(what + " is not installed")
    sys.exit(77)


def rows(path, reader):
    if path.endswith(".xls"):
        try:
            import xlrd
        except ImportError:
            missing("python3-xlrd")
        sheet = xlrd.open_workbook(path).sheet_by_index(0)
        return [sheet.row_values(r) for r in range(1, sheet.nrows)]
    if path.endswith(".dbf"):
        try:
            import dbfread
        except ImportError:
            missing("python3-dbfread")
        return [list(r.values()) for r in dbfread.DBF(path, encoding="cp1252")]
    if reader == "mdb-reader":
        npm_dir = os.environ.get("RECORDHAUL_NPM_DIR", "")
        probe = subprocess.run(
            ["node", "-e", "require('module').createRequire(process.argv[1] + "
             "'/package.json').resolve('mdb-reader')", npm_dir],
            capture_output=True) if shutil.which("node") and npm_dir else None
        if probe is None or probe.returncode != 0:
            missing("node or the npm package mdb-reader")
        out = subprocess.run(["node", "--input-type=module", "-e", MDB_READER, npm_dir, path],
                             check=True, capture_output=True, text=True).stdout
        return json.loads(out)
    if not shutil.which("mdb-export"):
        missing("mdbtools")
    out = subprocess.run(["mdb-export", path, "KVTdatatool"], check=True,
                         capture_output=True, text=True).stdout
    csv.field_size_limit(1 << 24)
    names, *data = csv.reader(io.StringIO(out, newline=""))
    # A row of empty values is an empty line.
    return [r or [""] * len(names) for r in data]


if __name__ == "__main__":
    print(json.dumps(rows(sys.argv[1], sys.argv[2] if len(sys.argv) > 2 else "")))
