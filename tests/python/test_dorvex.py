"""The Python module against the golden transcripts (every record's request
gives the record's report and domain errors, convert_many the same
values), the errors a caller can make, results as values, and callers
that change their own arguments while they are read."""
import copy
import math
import os
import pickle
import re
import struct
import threading
from fractions import Fraction

import numpy
import pytest

import dorvex

CELL = (5, 6, 7, 80, 85, 95)
MANY = dorvex.convert_many(2, [CELL])


def requests():
    """name, mode, six values, domain errors, report: transcripts
    --requests, whose path DORVEX_REQUESTS gives."""
    with open(os.environ["DORVEX_REQUESTS"], encoding="ascii") as f:
        for line in f:
            name, mode, bits, errors, report = line.rstrip("\n").split("\t")
            values = [struct.unpack(">d", bytes.fromhex(b))[0] for b in bits.split()]
            report = report.replace("\\n", "\n").replace("\\\\", "\\")
            errors = tuple((f, s, int(c)) for f, s, c in
                           (e.split(":") for e in filter(None, errors.split(","))))
            yield name, int(mode), values, errors, report


def same(a, b):
    return struct.pack("<d", a) == struct.pack("<d", b)


def test_every_golden_request():
    by_mode = {1: [], 2: [], 3: []}
    for name, mode, values, errors, report in requests():
        got = dorvex.convert(mode, values)
        assert got.report == report, name
        assert got.domain_errors == errors, name
        by_mode[mode].append((values, got))
    assert sum(map(len, by_mode.values())) > 2000
    for mode, rows in by_mode.items():
        many = dorvex.convert_many(mode, numpy.array([v for v, _ in rows]))
        assert isinstance(many, dorvex.Conversions)
        for i, (_, one) in enumerate(rows):
            for k in range(6):
                assert same(many.form[i, k], one.form[k])
                assert same(many.direct[i, k], one.direct[k])
                assert same(many.recip[i, k], one.recip[k])
            assert many.domain_error_counts[i] == len(one.domain_errors)
        # split among threads, into the caller's arrays: the same bytes
        rows = numpy.tile(numpy.array([v for v, _ in rows]), (13, 1))
        one = dorvex.convert_many(mode, rows)
        out = dorvex.convert_many(mode, numpy.ones_like(rows))
        assert dorvex.convert_many(mode, rows, out=out, threads=3) is out
        for a, b in zip(one, out):
            assert a.tobytes() == b.tobytes()


@pytest.mark.parametrize("call, error, says", [
    (lambda: dorvex.convert(4, CELL), ValueError, "mode must be 1"),
    (lambda: dorvex.convert(10**30, CELL), ValueError, "not 1000000000000000000000000000000"),
    (lambda: dorvex.convert(2.0, CELL), TypeError, "mode must be an int, not float"),
    (lambda: dorvex.convert(True, CELL), TypeError, "mode must be an int, not bool"),
    (lambda: dorvex.convert(numpy.bool_(True), CELL), TypeError, "not bool_"),
    (lambda: dorvex.convert(2), TypeError, "takes 2 to 4 arguments, mode, values, convention and su (1 given)"),
    (lambda: dorvex.convert(2, CELL, "2pi", None, 5), TypeError, "(5 given)"),
    (lambda: dorvex.convert(2, CELL, su=(-1,) * 6), ValueError, "su must be six standard uncertainties of 0 or more"),
    (lambda: dorvex.convert(2, value=CELL), TypeError, "unexpected keyword argument 'value'"),
    (lambda: dorvex.convert(2, mode=2), TypeError, "multiple values for argument 'mode'"),
    (lambda: dorvex.convert(2, (2**1024, 6, 7, 80, 85, 95)), ValueError, "values[0] is too large"),
    (lambda: dorvex.convert(2, (5, 6, 7, 80, 85)), ValueError, "six real numbers, not 5"),
    (lambda: dorvex.convert(2, CELL + (1,)), ValueError, "six real numbers, not 7"),
    (lambda: dorvex.convert(2, "5 6 7 80 85 95"), TypeError, "not str"),
    (lambda: dorvex.convert(2, bytes(CELL)), TypeError, "not bytes"),
    (lambda: dorvex.convert(2, (5, 6, 7, 80, "85", 95)), TypeError, "values[4] must be a real number, not str"),
    (lambda: dorvex.convert(2, (5, 6, 7, 80, 85, True)), TypeError, "not bool"),
    (lambda: dorvex.convert(2, (5, 6, 7, 80, 85, numpy.bool_(1))), TypeError, "not bool_"),
    (lambda: dorvex.convert(2, (5, 6, 7, 80, 85, 1j)), TypeError, "not complex"),
    (lambda: dorvex.convert_many(0, [CELL]), ValueError, "mode must be 1"),
    (lambda: dorvex.convert_many(True, [CELL]), TypeError, "mode must be an int, not bool"),
    (lambda: dorvex.convert_many(2**31, [CELL]), ValueError, "not 2147483648"),
    (lambda: dorvex.convert_many(2, [CELL, (5, 6)]), ValueError, "rows[1] must hold six"),
    (lambda: dorvex.convert_many(2, numpy.zeros((3, 5))), ValueError, "shape (N, 6)"),
    (lambda: dorvex.convert_many(2, numpy.zeros((3, 6), bool)), TypeError, "dtype bool"),
    (lambda: dorvex.convert_many(2, numpy.array([["5"] * 6])), TypeError, "real numbers"),
    (lambda: dorvex.convert_many(2, 5), TypeError, "not int"),
    (lambda: dorvex.convert_many(2, [bytes(CELL)]), TypeError, "rows[0] must be"),
    (lambda: dorvex.convert_many(2, [CELL], threads=-1), ValueError, "threads must be 1 or more"),
    (lambda: dorvex.convert_many(2, [CELL], out=5), TypeError, "out must be a Conversions"),
    (lambda: dorvex.convert_many(2, [CELL] * 2, out=MANY), ValueError, "out.form must have the shape (2, 6), not (1, 6)"),
    (lambda: dorvex.convert_many(2, [CELL], out=MANY._replace(volume=[0.0])), TypeError, "out.volume must be a NumPy array"),
    (lambda: dorvex.convert_many(2, [CELL], out=MANY._replace(domain_error_counts=numpy.zeros(1))),
     TypeError, "out.domain_error_counts must have dtype int32, not float64"),
    (lambda: dorvex.convert_many(2, [CELL], out=MANY._replace(recip=numpy.zeros((1, 12))[:, ::2])),
     ValueError, "out.recip must be C-contiguous and writeable"),
    (lambda: dorvex.convert_many(2, MANY.direct, out=MANY), ValueError, "arrays overlap"),
])
def test_a_bad_call_says_what_was_expected(call, error, says):
    with pytest.raises(error, match=re.escape(says)):
        call()


@pytest.mark.parametrize("mode, rows", [
    (numpy.int64(2), [CELL]),
    (numpy.uint8(2), numpy.array([CELL], numpy.uint32)),
    (2, numpy.array([CELL], numpy.int16)),
    (2, numpy.array([CELL], numpy.uint64)),
    (2, numpy.array([CELL], numpy.float32)),
    (2, [numpy.array(CELL, numpy.int8)]),
    (2, [[Fraction(v) for v in CELL]]),
])
def test_any_integer_mode_and_any_real_rows(mode, rows):
    want = dorvex.convert(mode=2, values=CELL)
    assert dorvex.convert(mode, list(rows[0])) == want
    many = dorvex.convert_many(mode=mode, rows=rows)
    assert many.form.tolist() == [list(want.form)]


def test_a_result_is_a_value():
    a = dorvex.convert(2, CELL)
    b = dorvex.convert(dorvex.DIRECT, [float(v) for v in CELL])
    bad = dorvex.convert(2, (5, 5, 5, 10, 10, 170))
    nan = dorvex.convert(2, (math.nan,) * 6)
    assert a == b and hash(a) == hash(b) and a != bad
    assert nan == dorvex.convert(2, (math.nan,) * 6)
    for r in (a, bad, nan):
        for twin in (pickle.loads(pickle.dumps(r)), copy.copy(r), copy.deepcopy(r)):
            assert twin == r and twin.report == r.report
            assert twin.domain_errors == r.domain_errors
    assert repr(a) == ("dorvex.Conversion(form=" + repr(a.form) + ", direct="
                       + repr(a.direct) + ", recip=" + repr(a.recip)
                       + ", volume=" + repr(a.volume) + ", recip_volume="
                       + repr(a.recip_volume) + ", convention='2pi', domain_errors=())")
    one = dorvex.convert(2, CELL, convention="1")
    assert one != a and pickle.loads(pickle.dumps(one)) == one
    assert copy.copy(one).metric == one.metric == a.metric
    assert bad.domain_errors[0] == dorvex.DomainError("sqrt", "recipconv", 0)
    assert "DomainError(function='sqrt', step='recipconv', call=0)" in repr(bad)


def test_nan_and_infinities_are_carried_as_the_program_carries_them():
    got = dorvex.convert(dorvex.DIRECT, (math.inf, 6, 7, 90, 90, 90))
    assert got.form[0] == 0 and math.isnan(got.form[1])
    assert got.report.splitlines()[1].startswith(" 0.000000000        +NAN")
    many = dorvex.convert_many(dorvex.DIRECT, [(5, 5, 5, 10, 10, 170)])
    assert many.domain_error_counts.tolist() == [4]


@pytest.mark.parametrize("text, want", [
    (" \t-.5e1x", (-5.0, 7)), ("80", (80.0, 2)), ("5x", (5.0, 1)),
    ("  x", None), ("", None), ("inf", None), ("+INF", (math.inf, 4)),
    ("1" + "0" * 400, (1.7976931348623157e308, 401)),
])
def test_read_number_reads_as_the_program(text, want):
    assert dorvex.read_number(text) == want
    assert dorvex.read_number(text=text) == want


class Sneaky:
    """A number whose __float__ does something to the list it stands in."""

    def __init__(self, rows, act):
        self.rows, self.act = rows, act

    def __float__(self):
        self.act(self.rows)
        return 5.0


GROW = lambda rows: rows.extend([CELL] * 1000)  # noqa: E731
SHRINK = lambda rows: rows.__delitem__(slice(1, None))  # noqa: E731
CLEAR = lambda rows: rows.clear()  # noqa: E731


@pytest.mark.parametrize("act", [GROW, SHRINK, CLEAR], ids=["grow", "shrink", "clear"])
def test_a_number_that_changes_its_own_list(act):
    # convert: the row is the list; convert_many: the list of rows
    row = list(CELL)
    row[0] = Sneaky(row, act)
    assert dorvex.convert(2, row) == dorvex.convert(2, CELL)
    rows = [CELL] * 3
    rows.insert(1, (Sneaky(rows, act),) + CELL[1:])
    many = dorvex.convert_many(2, rows)
    assert many.form.shape == (4, 6)
    assert many.form.tolist() == [list(dorvex.convert(2, CELL).form)] * 4


def test_another_thread_appends_while_convert_many_reads():
    rows = [[Fraction(v) for v in CELL] for _ in range(20_000)]
    stop = threading.Event()

    def append():
        while not stop.is_set():
            rows.append(CELL)
            if len(rows) > 40_000:
                del rows[20_000:]

    t = threading.Thread(target=append)
    t.start()
    try:
        many = dorvex.convert_many(2, rows)
    finally:
        stop.set()
        t.join()
    want = list(dorvex.convert(2, CELL).form)
    assert len(many.form) >= 20_000
    assert all(row == want for row in many.form.tolist())
