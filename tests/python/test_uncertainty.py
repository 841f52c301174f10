"""Standard uncertainties: the first-order propagation against a Monte
Carlo estimate (the conversion of 20,000 seeded random draws of the
given numbers), which must agree within 2%; and the notation, read and
written."""
import math
import re

import numpy
import pytest

import dorvex

CASES = [  # mode, six numbers, their s.u.
    (2, (6.1224, 10.7223, 5.9681, 82.35, 107.33, 102.60), (0.003, 0.005, 0.002, 0.05, 0.04, 0.06)),
    (2, (27.24, 31.87, 34.23, 88.52, 108.53, 111.89), (0.02, 0.03, 0.02, 0.05, 0.05, 0.05)),
    (3, (1.2684, 1.0692, 0.9164, 100.52, 95.98, 84.02), (0.0008, 0.0005, 0.0006, 0.04, 0.05, 0.03)),
    (1, (0.040749, 0.028956, 0.021274, -0.0090657, -0.0061398, 0.0071631),
     (2e-5, 1.5e-5, 1e-5, 5e-6, 4e-6, 5e-6)),
]


@pytest.mark.parametrize("mode, values, su", CASES)
def test_propagation_agrees_with_monte_carlo(mode, values, su):
    c = dorvex.convert(mode, values, su=su)
    rng = numpy.random.default_rng(4)
    draws = numpy.array(values) + rng.standard_normal((20000, 6)) * numpy.array(su)
    many = dorvex.convert_many(mode, draws)
    for name, got in (("form", c.form_su), ("direct", c.direct_su), ("recip", c.recip_su)):
        spread = getattr(many, name).std(axis=0, ddof=1)
        for k in range(6):
            if spread[k] > 1e-9 * (1 + abs(getattr(c, name)[k])):  # what varies
                assert got[k] == pytest.approx(spread[k], rel=0.02), (name, k)
    for got, spread in ((c.volume_su, many.volume.std(ddof=1)),
                        (c.recip_volume_su, many.recip_volume.std(ddof=1))):
        assert got == pytest.approx(spread, rel=0.02)
    # d of a few reflections, from each draw's form
    r = dorvex.reflections(c, d_min=2.5)
    for h, k, l, d_su in list(zip(r.h, r.k, r.l, r.d_su))[:5]:
        f = many.form
        q = (f[:, 0] * h * h + f[:, 1] * k * k + f[:, 2] * l * l
             + f[:, 3] * k * l + f[:, 4] * h * l + f[:, 5] * h * k)
        assert d_su == pytest.approx((1 / numpy.sqrt(q)).std(ddof=1), rel=0.02)


@pytest.mark.parametrize("text, want", [
    ("5.6402(3)", (5.6402, 0.0003, 9)), ("107.33(12)", (107.33, 0.12, 10)),
    ("1.5e3(12)", (1500.0, 1200.0, 9)), (" 90", (90.0, 0.0, 3)), ("x", None),
])
def test_reading_the_notation(text, want):
    got = dorvex.read_value(text)
    assert got == (want if want is None else pytest.approx(want))


@pytest.mark.parametrize("text, says", [
    ("5.6402(", "needs digits"), ("5.6402()", "needs digits"),
    ("5.6402(-3)", "takes no sign"), ("5.6402(3", "must close"),
    ("+INF(3)", "finite number"),
])
def test_a_malformed_su_says_why(text, says):
    with pytest.raises(ValueError, match=re.escape(says)):
        dorvex.read_value(text)


@pytest.mark.parametrize("value, su, text", [
    (179.42523, 0.0286, "179.43(3)"), (0.0017123, 0.000123, "0.00171(12)"),
    (26015.3, 23, "26020(20)"), (1.2345, 0.0195, "1.23(2)"),
    (12.3456, 0.0996, "12.35(10)"), (100.52307982886806, 0.12, "100.52(12)"),
    (3.846e-5, 1.2e-11, "3.8460000e-5(12)"), (8.3e-11, 1.44e-9, "1e-10(14)"),
    (0.0, 1.44e-9, "0e-10(14)"), (-2.5e25, 3e17, "-2.50000000e25(3)"),
    (1e300, 1e5, ""), (5.0, 0.0, ""), (math.nan, 0.1, ""),
])
def test_writing_the_notation(value, su, text):
    assert dorvex.format_su(value, su) == text
