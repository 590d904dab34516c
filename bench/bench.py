#!/usr/bin/env python3
"""Export benchmark: records per second of recordhaul's exports against the
cost of copying the data file and a plain Python exporter, warm cache, best
of three runs, with the peak memory of each run.

    bench/bench.py [--records N] [--build DIR] [--work DIR] [--types 3,7,8,9,10,11]
"""
import argparse
import csv
import os
import shutil
import struct
import subprocess
import sys
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


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--records", type=int, default=1_000_000)
    parser.add_argument("--build", default=os.path.join(here, "..", "build"))
    parser.add_argument("--work", default="/tmp/recordhaul-bench")
    parser.add_argument("--types", default="3,7,8,9,10,11")
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
        for ext in (".csv", ".txt", ".xls", ".dbf", ".mdb", ".xlsx"):
            if os.path.exists(out + ext):
                os.remove(out + ext)

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
    names = {3: "CSV (type 3)", 7: "fixed width (type 7)", 8: "Excel (type 8)",
             9: "dBase (type 9)", 10: "Access (type 10)", 11: "Excel workbook (type 11)"}
    exts = {3: ".csv", 7: ".txt", 8: ".xls", 9: ".dbf", 10: ".mdb", 11: ".xlsx"}
    for kind in [int(t) for t in args.types.split(",")]:
        company, count = ("03", EXCEL_RECORDS) if kind == 8 else ("01", n)
        try:
            t, m = best_of(3, export(company, kind, exts[kind]), clean)
        except RuntimeError as e:
            print(f"  {names[kind]}: {e}")
            continue
        results[kind] = t / count
        rows.append((names[kind], count, t, m))
    peaks = {kind: m for name, count, t, m in rows for kind in names if name == names[kind]}
    small_peaks = {}
    for kind in (3, 11):
        if kind in results:
            t, m = best_of(3, export("02", kind, exts[kind]), clean)
            rows.append((f"{names[kind]}, {small:,} records", small, t, m))
            small_peaks[kind] = m

    print()
    print(f"{'run':34} {'records':>10} {'seconds':>9} {'records/s':>12} {'peak MiB':>9}")
    for name, count, t, m in rows:
        print(f"{name:34} {count:>10,} {t:>9.3f} {count / t:>12,.0f} {m:>9.1f}")
    print()
    if 3 in results:
        csv_time = results[3] * n
        print(f"CSV export: {py_time / csv_time:.1f} times faster than Python (target >= 20), "
              f"{csv_time / cp_time:.1f} times cp's time (target <= 5)")
        for kind in (8, 9, 10, 11):
            if kind in results:
                print(f"{names[kind]}: {results[kind] / results[3]:.1f} times the CSV export's "
                      f"time per record (target <= 3)")
    for kind in small_peaks:
        print(f"{names[kind]}: peak memory {small_peaks[kind]:.1f} MiB at {small:,} records, "
              f"{peaks[kind]:.1f} MiB at {n:,} (growth target < 16 MiB)")
    shutil.rmtree(args.work, ignore_errors=True)


if __name__ == "__main__":
    main()
