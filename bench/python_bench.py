#!/usr/bin/python3
"""dorvex from Python against its peers, in one run on the same cells:
dorvex.convert per cell beside gemmi.UnitCell(...) plus .reciprocal(),
dorvex.convert_many on 10^6 cells, and the process route (the program run
once per cell). Times are medians of five; the ratios are what to compare.
    PYTHONPATH=<dir of the dorvex module> /usr/bin/python3 bench/python_bench.py [dorvex-program]
"""
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

million = numpy.tile(cells, (10, 1))
t_many = median_seconds(lambda: dorvex.convert_many(2, million), repeat=3)
print(f"dorvex.convert_many on 10^6 cells: {t_many:.3f} s "
      f"({t_many * 1e3:.0f} ns per cell)")

if len(sys.argv) > 1:
    line = "2\n5 6 7 80 85 95\n".encode()
    K = 200
    t_proc = median_seconds(lambda: [subprocess.run([sys.argv[1]], input=line,
                                                     capture_output=True)
                                      for _ in range(K)], repeat=3) / K
    print(f"the program as a process per cell: {t_proc * 1e6:.0f} us per cell; "
          f"process/dorvex.convert = {t_proc / t_dorvex:.0f}")
