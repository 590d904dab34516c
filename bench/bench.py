#!/usr/bin/env python3
"""Export benchmark: records per second of recordhaul's exports against the
cost of copying the data file and a plain Python exporter, warm cache, best
of three runs, with the peak memory of each run; and the migration of the
same data file into SQLite and, with --postgres, into a throwaway PostgreSQL
server through psqlODBC.

    bench/bench.py [--records N] [--build DIR] [--work DIR] [--types 3,7,8,9,10,11]
                   [--postgres]
"""
import argparse
import csv
import glob
import os
import pwd
import shutil
import struct
import subprocess
import sys
import tempfile
import time

# The layout bench_data writes: (name, type, length), in record order.
FIELDS = [("Account", "T", 10), ("Description", "T", 30), ("Reference", "T", 20),
          ("Department", "I", 2), ("Line", "L", 4), ("Amount", "F", 4),
          ("Balance", "D", 8), ("Posted", "J", 4), ("Status", "Y", 1),
          ("Journal", "T", 8), ("Tax", "F", 4), ("Cost", "D", 8),
          ("Quantity", "L", 4), ("Due", "J", 4), ("Customer", "T", 15),
          ("Region", "I", 2), ("Flag", "Y", 1), ("Discount", "F", 4),
          ("Batch", "T", 12), ("Sequence", "L", 4)]
RECORD = sum(f[2] for f in FIELDS)
EXCEL_RECORDS = 65000


def run(cmd):
    """Runs cmd; returns (seconds, peak RSS in MiB). /usr/bin/time measures
    the memory, since a forked Python's own size would count otherwise."""
    start = time.perf_counter()
    proc = subprocess.run(["/usr/bin/time", "-f", "%M"] + cmd, stdout=subprocess.DEVNULL,
                          stderr=subprocess.PIPE, text=True, errors="replace")
    seconds = time.perf_counter() - start
    lines = proc.stderr.strip().splitlines()
    if proc.returncode != 0 or not lines:
        raise RuntimeError(f"{' '.join(cmd)} failed: {proc.stderr.strip()}")
    return seconds, int(lines[-1]) / 1024.0


def best_of(n, cmd, before=None):
    results = []
    for _ in range(n):
        if before:
            before()
        results.append(run(cmd))
    return min(r[0] for r in results), max(r[1] for r in results)


def day_to_date(d):
    if d >= 73050:
        return "12/31/2099"
    if d <= 0:
        return "00/00/1900"
    century = "19"
    if d > 36525:
        d -= 36525
        century = "20"
    y = 0
    while True:
        length = 366 if y % 4 == 0 else 365
        if d <= length:
            break
        d -= length
        y += 1
    months = [31, 29 if y % 4 == 0 else 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31]
    m = 0
    while m < 11 and d > months[m]:
        d -= months[m]
        m += 1
    return "%02d/%02d/%s%02d" % (m + 1, d, century, y)


def python_export(data_path, out_path):
    """The baseline: struct decoding, the same conversions, the csv module."""
    offsets = []
    pos = 0
    for name, kind, length in FIELDS:
        offsets.append((kind, pos, length))
        pos += length
    with open(data_path, "rb") as f, open(out_path, "w", newline="", encoding="latin-1") as out:
        writer = csv.writer(out, quoting=csv.QUOTE_ALL, lineterminator="\r\n")
        header = f.read(RECORD)
        count = struct.unpack_from(">i", header, 8)[0]
        for _ in range(count):
            rec = f.read(RECORD)
            if len(rec) < RECORD:
                break
            if rec[:6] == b"\xff" * 6:
                continue
            row = []
            for kind, off, length in offsets:
                if kind == "T":
                    row.append(rec[off:off + length].split(b"\0", 1)[0].strip(b" ").decode("latin-1"))
                elif kind == "I":
                    row.append(str(struct.unpack_from(">h", rec, off)[0]))
                elif kind == "L":
                    row.append(str(struct.unpack_from(">i", rec, off)[0]))
                elif kind == "F":
                    row.append("%.4f" % (struct.unpack_from(">i", rec, off)[0] / 10000.0))
                elif kind == "D":
                    row.append("%.6f" % struct.unpack_from("<d", rec, off)[0])
                elif kind == "J":
                    row.append(day_to_date(struct.unpack_from(">i", rec, off)[0]))
                elif kind == "Y":
                    row.append(str(rec[off]))
            writer.writerow(row)


class Postgres:
    """A throwaway PostgreSQL cluster on a Unix socket in a temporary folder,
    reached through psqlODBC registered in a driver list of its own. The
    server runs as the postgres user when the benchmark runs as root."""

    def __init__(self):
        found = sorted(glob.glob("/usr/lib/postgresql/*/bin/initdb"))
        drivers = glob.glob("/usr/lib/*/odbc/psqlodbcw.so") + glob.glob("/usr/lib/odbc/psqlodbcw.so")
        if not found or not drivers:
            raise RuntimeError("needs the Debian packages postgresql and odbc-postgresql")
        self.bin = os.path.dirname(found[-1])
        self.dir = tempfile.mkdtemp(prefix="rh_bench_pg_")
        self.user = []
        if os.geteuid() == 0:
            user = pwd.getpwnam("postgres")
            os.chown(self.dir, user.pw_uid, user.pw_gid)
            self.user = ["runuser", "-u", "postgres", "--"]
        data = os.path.join(self.dir, "data")
        self._server([os.path.join(self.bin, "initdb"), "-D", data, "-U", "postgres",
                      "-A", "trust", "-E", "UTF8", "--no-sync"])
        self._server([os.path.join(self.bin, "pg_ctl"), "-D", data, "-w", "-l",
                      os.path.join(self.dir, "log"), "-o",
                      "-k %s -c listen_addresses= -p 5432" % self.dir, "start"])
        with open(os.path.join(self.dir, "odbcinst.ini"), "w") as f:
            f.write("[PostgreSQL Unicode]\nDriver=%s\n" % drivers[0])
        self.dest = ("odbc:DRIVER={PostgreSQL Unicode};Servername=%s;Port=5432;"
                     "Database=postgres;Username=postgres;" % self.dir)

    def _server(self, cmd):
        subprocess.run(self.user + cmd, check=True, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL)

    def close(self):
        self._server([os.path.join(self.bin, "pg_ctl"), "-D", os.path.join(self.dir, "data"),
                      "-m", "immediate", "-w", "stop"])
        shutil.rmtree(self.dir, ignore_errors=True)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--records", type=int, default=1_000_000)
    parser.add_argument("--build", default=os.path.join(here, "..", "build"))
    parser.add_argument("--work", default="/tmp/recordhaul-bench")
    parser.add_argument("--types", default="3,7,8,9,10,11")
    parser.add_argument("--postgres", action="store_true",
                        help="also migrate into a throwaway PostgreSQL server (one run)")
    args = parser.parse_args()
    n = args.records
    small = max(n // 10, 1)
    recordhaul = os.path.join(args.build, "recordhaul")
    generator = os.path.join(args.build, "bench", "bench_data")
    if not os.path.exists("/usr/bin/time"):
        sys.exit("/usr/bin/time is missing (Debian package 'time')")
    for tool in (recordhaul, generator):
        if not os.path.exists(tool):
            sys.exit(f"{tool} is missing: build first (./test.sh or cmake --build build)")

    shutil.rmtree(args.work, ignore_errors=True)
    os.makedirs(args.work)
    print(f"Generating {n:,} records of {len(FIELDS)} fields ({RECORD} bytes each)...", flush=True)
    subprocess.run([generator, args.work, str(n), str(small), str(EXCEL_RECORDS)], check=True)
    data = os.path.join(args.work, "data", "QZGL0105.dat")
    dirs = ["--data", os.path.join(args.work, "data"), "--system", os.path.join(args.work, "sys"),
            "--programs", os.path.join(args.work, "progs")]
    out = os.path.join(args.work, "out")

    def export(company, kind, ext):
        return [recordhaul, "export", "--module", "QZGL", "--company", company, "--file", "5",
                "--type", str(kind), "--dest", out + ext, "--all-fields", "--overwrite",
                "--quiet"] + dirs

    def clean():
        for ext in (".csv", ".txt", ".xls", ".dbf", ".mdb", ".xlsx", ".sqlite"):
            if os.path.exists(out + ext):
                os.remove(out + ext)

    def migrate(company, dest):
        return [recordhaul, "migrate", "--module", "QZGL", "--company", company, "--to", dest,
                "--quiet"] + dirs

    # Warm the cache.
    with open(data, "rb") as f:
        while f.read(1 << 20):
            pass

    rows = []
    cp_time, cp_mem = best_of(3, ["cp", data, out + ".copy"])
    rows.append(("cp of the data file", n, cp_time, cp_mem))
    py_time, py_mem = best_of(3, [sys.executable, "-c",
                                  "import sys; sys.path.insert(0, %r); import bench; "
                                  "bench.python_export(%r, %r)" % (here, data, out + ".py.csv")])
    rows.append(("Python struct + csv", n, py_time, py_mem))
    results = {}
    growth = {}
    names = {3: "CSV (type 3)", 7: "fixed width (type 7)", 8: "Excel (type 8)",
             9: "dBase (type 9)", 10: "Access (type 10)", 11: "Excel workbook (type 11)"}
    exts = {3: ".csv", 7: ".txt", 8: ".xls", 9: ".dbf", 10: ".mdb", 11: ".xlsx"}

    def measure(label, kind, company, count, extra=()):
        t, m = best_of(3, export(company, kind, exts[kind]) + list(extra), clean)
        rows.append((label, count, t, m))
        return t, m

    for kind in [int(t) for t in args.types.split(",")]:
        try:
            if kind == 8:  # a worksheet holds 65,536 rows at most
                t, m = measure(names[kind], kind, "03", EXCEL_RECORDS)
                results[kind] = t / EXCEL_RECORDS
                continue
            t, m = measure(names[kind], kind, "01", n)
            results[kind] = t / n
            if kind == 3:
                t1, _ = measure("CSV (type 3), 1 thread", kind, "01", n, ["--threads", "1"])
                results["csv1"] = t1 / n
                t8, _ = measure("CSV UTF-8 (type 3)", kind, "01", n, ["--encoding", "utf-8"])
                results["utf8"] = t8 / n
            _, small_m = measure(f"{names[kind]}, {small:,} records", kind, "02", small)
            growth[kind] = (small_m, m)
        except RuntimeError as e:
            print(f"  {names[kind]}: {e}")
    t, m = best_of(3, migrate("01", out + ".sqlite"), clean)
    results["sqlite"] = t / n
    rows.append(("migrate into SQLite", n, t, m))
    t, m = best_of(3, migrate("02", out + ".sqlite"), clean)
    rows.append((f"migrate into SQLite, {small:,} records", small, t, m))
    if args.postgres:
        pg = Postgres()
        try:
            os.environ.update(ODBCSYSINI=pg.dir, ODBCINSTINI="odbcinst.ini")
            t, m = best_of(1, migrate("01", pg.dest))
            results["postgres"] = t / n
            rows.append(("migrate into PostgreSQL", n, t, m))
        finally:
            pg.close()

    print()
    print(f"{'run':34} {'records':>10} {'seconds':>9} {'records/s':>12} {'peak MiB':>9}")
    for name, count, t, m in rows:
        print(f"{name:34} {count:>10,} {t:>9.3f} {count / t:>12,.0f} {m:>9.1f}")
    print()
    for key, label in ((3, "CSV export"), ("csv1", "CSV export on 1 thread"),
                       (7, "Fixed-width export")):
        if key in results:
            time_n = results[key] * n
            print(f"{label}: {py_time / time_n:.1f} times faster than Python (target >= 25), "
                  f"{time_n / cp_time:.1f} times cp's time (target <= 5)")
    if 3 in results and "utf8" in results:
        print(f"CSV UTF-8: {results['utf8'] / results[3]:.2f} times the Windows-1252 CSV "
              f"export's time (target <= 1.3)")
    if 3 in results:
        # The Excel worksheet (65,000 records at most) is shown for scale only.
        for kind in (8, 9, 10, 11):
            if kind in results:
                aim = " (target <= 3)" if kind != 8 else ""
                print(f"{names[kind]}: {results[kind] / results[3]:.1f} times the CSV export's "
                      f"time per record{aim}")
    for kind, (small_m, m) in growth.items():
        print(f"{names[kind]}: peak memory {small_m:.1f} MiB at {small:,} records, {m:.1f} MiB "
              f"at {n:,}: {m - small_m:+.1f} MiB (target < 16)")
    if 3 in results and "sqlite" in results:
        print(f"Migration into SQLite: {results['sqlite'] / results[3]:.1f} times the CSV "
              f"export's time (target <= 4)")
    if "postgres" in results:
        print(f"Migration into PostgreSQL: {1 / results['postgres']:,.0f} rows per second")
    shutil.rmtree(args.work, ignore_errors=True)


if __name__ == "__main__":
    main()
