"""Volumes, the convention without 2 pi, d-spacings and 2 theta against
gemmi (python3-gemmi), an independent implementation: published cells of
every crystal system, then seeded random cells of every shape."""
import math
import re

import numpy
import pytest

import dorvex

gemmi = pytest.importorskip("gemmi")

# a b c alpha beta gamma, as published (rounded as the papers give them)
PUBLISHED = {
    "NaCl, cubic (Swanson & Fuyat 1953)": (5.6402, 5.6402, 5.6402, 90, 90, 90),
    "Si, cubic (NIST SRM 640)": (5.431020, 5.431020, 5.431020, 90, 90, 90),
    "rutile, tetragonal (Burdett et al. 1987)": (4.5937, 4.5937, 2.9587, 90, 90, 90),
    "forsterite, orthorhombic (Smyth & Hazen 1973)": (4.7535, 10.1943, 5.9807, 90, 90, 90),
    "quartz, hexagonal (Levien et al. 1980)": (4.9134, 4.9134, 5.4052, 90, 90, 120),
    "calcite, trigonal (Effenberger et al. 1981)": (4.9896, 4.9896, 17.0610, 90, 90, 120),
    "gypsum, monoclinic (Boeyens & Ichharam 2002)": (6.284, 15.2071, 5.6521, 90, 114.09, 90),
    "CuSO4.5H2O, triclinic (Bacon & Titterton 1975)": (6.1224, 10.7223, 5.9681, 82.35, 107.33, 102.60),
    "lysozyme, triclinic (PDB 2LZT)": (27.24, 31.87, 34.23, 88.52, 108.53, 111.89),
}


def random_cells(n, seed=26):
    """Cells that exist: edges 1 to 300 Å, angles whose unit cell has a
    volume of at least a tenth."""
    rng = numpy.random.default_rng(seed)
    cells = []
    while len(cells) < n:
        a, b, c = rng.uniform(1, 300, 3)
        al, be, ga = rng.uniform(30, 150, 3)
        ca, cb, cg = (math.cos(math.radians(x)) for x in (al, be, ga))
        if 1 - ca * ca - cb * cb - cg * cg + 2 * ca * cb * cg > 0.01:
            cells.append((a, b, c, al, be, ga))
    return cells


def relative(x, y):
    return abs(x - y) / abs(y)


def test_volumes_and_d_agree_with_gemmi():
    worst = {"V": 0, "V*": 0, "d": 0}
    for cell in list(PUBLISHED.values()) + random_cells(300):
        g = gemmi.UnitCell(*cell)
        for convention, scale in (("2pi", 6.28318531 ** 3), ("1", 1)):
            c = dorvex.convert(2, cell, convention=convention)
            worst["V"] = max(worst["V"], relative(c.volume, g.volume))
            worst["V*"] = max(worst["V*"], relative(c.recip_volume, scale / g.volume))
        shortest = min(cell[:3])
        r = dorvex.reflections(c, shortest / 3)
        for h, k, l, d in list(zip(r.h, r.k, r.l, r.d))[:200]:
            worst["d"] = max(worst["d"], relative(d, g.calculate_d([int(h), int(k), int(l)])))
    print("largest relative difference from gemmi:", worst)
    assert worst["V"] < 1e-9 and worst["V*"] < 1e-9 and worst["d"] < 1e-6


def test_the_other_convention():
    a_star = 0.17729867735186694  # gemmi's NaCl a* (1/a)
    c = dorvex.convert(3, (a_star,) * 3 + (90,) * 3, convention="1")
    assert abs(c.direct[0] - 5.6402) < 1e-6 and c.convention == "1"
    assert abs(c.recip[0] - a_star) < 1e-15
    two_pi = dorvex.convert(2, (5.6402,) * 3 + (90,) * 3)
    assert abs(two_pi.recip[0] / 6.28318531 - 1 / 5.6402) < 1e-6
    assert c.report.splitlines()[-1].startswith("   1.1140")  # 2 pi, always
    many = dorvex.convert_many(3, [(a_star,) * 3 + (90,) * 3], convention="1")
    assert many.recip[0, 0] == c.recip[0] and many.volume[0] == c.volume


def test_reflections_of_nacl_with_copper():
    nacl = dorvex.convert(2, (5.6402,) * 3 + (90,) * 3)
    r = dorvex.reflections(nacl, d_min=1, wavelength="CuKa1")
    assert list(r.d) == sorted(r.d, reverse=True) and min(r.d) >= 1
    i = [(h, k, l) for h, k, l in zip(r.h, r.k, r.l)].index((1, 1, 1))
    assert abs(r.two_theta[i] - 27.366) < 0.001
    short = dorvex.reflections(nacl, 1, wavelength=0.2)  # every 2 theta reached
    far = dorvex.reflections(nacl, 1, wavelength=10.0)  # none but the first
    assert not numpy.isnan(short.two_theta).any()
    assert numpy.isnan(far.two_theta).sum() == len(far.d) - numpy.sum(far.d >= 5)
    assert numpy.isnan(dorvex.reflections(nacl, 1).two_theta).all()
    assert dorvex.XRAY_LINES["CuKa"] == pytest.approx((2 * 1.540562 + 1.544390) / 3, abs=1e-6)


@pytest.mark.parametrize("call, error, says", [
    (lambda c: dorvex.convert(2, (5,) * 6, convention="2π"), ValueError, 'convention must be "2pi" or "1"'),
    (lambda c: dorvex.convert(2, (5,) * 6, convention=1), ValueError, "not 1"),
    (lambda c: dorvex.convert_many(2, [(5,) * 6], convention="one"), ValueError, "not 'one'"),
    (lambda c: dorvex.reflections(c, 0), ValueError, "d_min must be above 0"),
    (lambda c: dorvex.reflections(c, 1e-4), ValueError, "too small for this cell"),
    (lambda c: dorvex.reflections(c, 1, "CuKz"), ValueError, "no X-ray line 'CuKz'; the lines are CuKa1"),
    (lambda c: dorvex.reflections(c, 1, -1.5), ValueError, "above 0"),
    (lambda c: dorvex.reflections(dorvex.convert(2, (5, 5, 5, 10, 10, 170)), 1), ValueError, "no such cell"),
])
def test_a_bad_call_says_what_was_expected(call, error, says):
    cell = dorvex.convert(2, (5.6402,) * 3 + (90,) * 3)
    with pytest.raises(error, match=re.escape(says)):
        call(cell)
