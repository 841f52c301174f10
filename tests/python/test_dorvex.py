"""The Python module against the golden transcripts (every record's request
gives the record's report and domain reports, convert_many the same
values), and the errors a caller can make."""
import math
import os
import re
import struct

import numpy
import pytest

import dorvex


def requests():
    """name, mode, six values, domain error names, report: transcripts
    --requests, whose path DORVEX_REQUESTS gives."""
    with open(os.environ["DORVEX_REQUESTS"], encoding="ascii") as f:
        for line in f:
            name, mode, bits, errors, report = line.rstrip("\n").split("\t")
            values = [struct.unpack(">d", bytes.fromhex(b))[0] for b in bits.split()]
            report = report.replace("\\n", "\n").replace("\\\\", "\\")
            yield name, int(mode), values, tuple(filter(None, errors.split(","))), report


def same(a, b):
    return struct.pack("<d", a) == struct.pack("<d", b)


def test_every_golden_request():
    by_mode = {1: [], 2: [], 3: []}
    n = 0
    for name, mode, values, errors, report in requests():
        got = dorvex.convert(mode, values)
        assert got.report == report, name
        assert got.domain_errors == errors, name
        by_mode[mode].append((values, got))
        n += 1
    assert n > 2000
    for mode, rows in by_mode.items():
        many = dorvex.convert_many(mode, numpy.array([v for v, _ in rows]))
        for i, (_, one) in enumerate(rows):
            for k in range(6):
                assert same(many.form[i, k], one.form[k])
                assert same(many.direct[i, k], one.direct[k])
                assert same(many.recip[i, k], one.recip[k])
            assert many.domain_error_counts[i] == len(one.domain_errors)


@pytest.mark.parametrize("call, error, says", [
    (lambda: dorvex.convert(4, (5, 6, 7, 80, 85, 95)), ValueError, "mode must be 1"),
    (lambda: dorvex.convert(10**30, (5, 6, 7, 80, 85, 95)), ValueError, "not 1000000000000000000000000000000"),
    (lambda: dorvex.convert(2.0, (5, 6, 7, 80, 85, 95)), TypeError, "mode must be an int, not float"),
    (lambda: dorvex.convert(True, (5, 6, 7, 80, 85, 95)), TypeError, "mode must be an int, not bool"),
    (lambda: dorvex.convert(2), TypeError, "takes 2 arguments, mode and values (1 given)"),
    (lambda: dorvex.convert(2, (10**400, 6, 7, 80, 85, 95)), OverflowError, "too large"),
    (lambda: dorvex.convert(2, (5, 6, 7, 80, 85)), ValueError, "six real numbers, not 5"),
    (lambda: dorvex.convert(2, "5 6 7 80 85 95"), TypeError, "not str"),
    (lambda: dorvex.convert(2, (5, 6, 7, 80, "85", 95)), TypeError, "values[4] must be a real number, not str"),
    (lambda: dorvex.convert(2, (5, 6, 7, 80, 85, True)), TypeError, "not bool"),
    (lambda: dorvex.convert(2, (5, 6, 7, 80, 85, 1j)), TypeError, "not complex"),
    (lambda: dorvex.convert_many(0, [(5, 6, 7, 80, 85, 95)]), ValueError, "mode must be 1"),
    (lambda: dorvex.convert_many(2, [(5, 6, 7, 80, 85, 95), (5, 6)]), ValueError, "rows[1] must hold six"),
    (lambda: dorvex.convert_many(2, numpy.zeros((3, 5))), ValueError, "shape (N, 6)"),
    (lambda: dorvex.convert_many(2, numpy.array([["5"] * 6])), TypeError, "real numbers"),
    (lambda: dorvex.convert_many(2, 5), TypeError, "not int"),
])
def test_a_bad_call_says_what_was_expected(call, error, says):
    with pytest.raises(error, match=re.escape(says)):
        call()


def test_nan_and_infinities_are_carried_as_the_program_carries_them():
    got = dorvex.convert(dorvex.DIRECT, (math.inf, 6, 7, 90, 90, 90))
    assert got.form[0] == 0 and math.isnan(got.form[1])
    assert repr(got) == "<dorvex.Conversion form=(0.0, nan, nan, nan, nan, nan)>"
    assert got.report.splitlines()[1].startswith(" 0.000000000        +NAN")
    many = dorvex.convert_many(dorvex.DIRECT, [(5, 5, 5, 10, 10, 170)])
    assert many.domain_error_counts.tolist() == [4]
