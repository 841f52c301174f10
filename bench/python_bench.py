#!/usr/bin/python3
"""dorvex from Python against its peers, in one run on the same cells:
dorvex.convert per cell beside gemmi.UnitCell(...) plus .reciprocal(),
dorvex.convert_many per row from 10^3 to 10^7 rows beside the C library's
loop on the same arrays (when libdorvex.so is given), and the process
route (the program run once per cell). Times are medians of five; the
ratios are what to compare.
    PYTHONPATH=<dir of the dorvex module> /usr/bin/python3 bench/python_bench.py \
        [dorvex-program [libdorvex.so]]
"""
import ctypes
import os
import statistics
import subprocess
import sys
import time

import numpy

import dorvex

rng = numpy.random.default_rng(13)
N = 100_000
cells = numpy.column_stack([rng.uniform(2, 120, (N, 3)), rng.uniform(60, 120, (N, 3))])
rows = [tuple(float(v) for v in c) for c in cells]


def median_seconds(run, repeat=5):
    times = []
    for _ in range(repeat):
        start = time.perf_counter()
        run()
        times.append(time.perf_counter() - start)
    return statistics.median(times)


def per_cell_dorvex():
    convert = dorvex.convert
    for c in rows:
        convert(2, c)


t_dorvex = median_seconds(per_cell_dorvex) / N
print(f"dorvex.convert: {t_dorvex * 1e9:.0f} ns per cell")
try:
    import gemmi

    def per_cell_gemmi():
        unit_cell = gemmi.UnitCell
        for c in rows:
            unit_cell(*c).reciprocal()

    t_gemmi = median_seconds(per_cell_gemmi) / N
    print(f"gemmi.UnitCell(...).reciprocal(): {t_gemmi * 1e9:.0f} ns per cell; "
          f"dorvex/gemmi = {t_dorvex / t_gemmi:.2f}")
except ImportError:
    print("gemmi not installed (python3-gemmi): no comparison")


def c_loop(library):
    """dorvex_convert_many_as from C on NumPy's arrays, as convert_many calls it."""
    lib = ctypes.CDLL(library)
    f = lib.dorvex_convert_many_as
    p = ctypes.c_void_p
    f.argtypes = [ctypes.c_int, ctypes.c_int, ctypes.c_size_t] + [p] * 7
    f.restype = ctypes.c_int

    def run(rows, out):
        a = [x.ctypes.data for x in (rows, out.form, out.direct, out.recip,
                                      out.volume, out.recip_volume,
                                      out.domain_error_counts)]
        assert f(2, 0, len(rows), *a) == 0
    return run


c_run = c_loop(sys.argv[2]) if len(sys.argv) > 2 else None
cores = os.cpu_count() or 1
print("| rows | convert_many, new arrays | with out= | with out= and "
      f"threads={cores} | the C loop | out= / C |")
print("|---|---|---|---|---|---|")
for e in range(3, 8):
    n = 10 ** e
    many = numpy.tile(cells, (max(1, n // N), 1))[:n]
    out = dorvex.convert_many(2, many)
    reps = max(3, min(200, 10 ** 6 // n))
    per = [median_seconds(run, repeat=5) / reps / n * 1e9 for run in (
        lambda: [dorvex.convert_many(2, many) for _ in range(reps)],
        lambda: [dorvex.convert_many(2, many, out=out) for _ in range(reps)],
        lambda: [dorvex.convert_many(2, many, out=out, threads=0)
                 for _ in range(reps)])]
    if c_run:
        c = median_seconds(lambda: [c_run(many, out) for _ in range(reps)],
                           repeat=5) / reps / n * 1e9
        cols = f"{c:.0f} ns | {per[1] / c:.2f}"
    else:
        cols = "(no libdorvex.so given) | "
    print(f"| 10^{e} | {per[0]:.0f} ns | {per[1]:.0f} ns | {per[2]:.0f} ns | {cols} |")
    del many, out

if len(sys.argv) > 1:
    line = "2\n5 6 7 80 85 95\n".encode()
    K = 200
    t_proc = median_seconds(lambda: [subprocess.run([sys.argv[1]], input=line,
                                                     capture_output=True)
                                      for _ in range(K)], repeat=3) / K
    print(f"the program as a process per cell: {t_proc * 1e6:.0f} us per cell; "
          f"process/dorvex.convert = {t_proc / t_dorvex:.0f}")
