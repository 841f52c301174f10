#!/usr/bin/python3
"""The worst-case relative errors of the fast paths' kernels, cos_or_sin
(cos.cpp) and asin_table (acos.cpp), from the error of each step as
HACKING.md ("Error bounds") derives it; fails if one exceeds the bound the
code claims. Needs python3-mpmath. Run from this folder:
    /usr/bin/python3 bounds.py
Every rounding is bounded by u |result| (u = 2^-53); |t| <= 2^-8 past the
nearest i/128; the steps' errors are added, all of the same sign.
"""
import sys

from mpmath import mp, mpf, asin, cos, log, pi, sin, taylor

mp.prec = 100
u = mpf(2) ** -53
T = mpf(2) ** -8 * (1 + mpf(2) ** -40)  # |t.hi|, at its largest
CLAIMED = mpf(2) ** -65  # cos_or_sin_err, acos_fast_err


def sin_rest_err(t):
    """sl = t.lo + t^3 (-1/6 + t^2/120 - t^4/5040) against sin(t) - t.hi:
    t.lo left out of the cubic (u t^3/2), five roundings in t.hi u (...)
    (5u t^3/6), the last sum (u t^3/6), the series' rest (t^9/9!)."""
    return u * t ** 3 * mpf(1.5) + t ** 9 / 362880 + u * u * t


def cos_rest_err(t):
    """c = u Q(u) - t.hi t.lo against cos(t) - 1: u = t.hi^2 rounded (u t^2/2),
    Q rounded near -1/2 (2^-55 t^2), the product (u t^2/2), the difference
    (u t^2/2), t.lo t^3/6 left out, the series' rest (t^10/10!)."""
    return u * t ** 2 * mpf(1.7501) + u * t ** 4 / 6 + t ** 10 / 3628800 + u * u * t ** 2


def cos_or_sin(sine):
    """cos r or sin r = P cos t + Q sin t with P, Q the table's cos and sin
    of i/128 (or sin and cos): the kernels' errors times P and Q, the
    table's low parts left out of the small products, the products'
    roundings, and the roundings of the five partial sums of lo, over the
    smallest result in reach of i/128."""
    worst, at = mpf(0), None
    for i in range(102):
        a = mpf(i) / 128
        lo, hi = max(a - T, mpf(0)), min(a + T, pi / 4 + mpf(2) ** -31)
        if lo > hi:
            continue
        if sine and i == 0:  # sin t = t.hi + sl, nothing else
            rel = sin_rest_err(T) / (T * (1 - T * T / 6))
        else:
            p, q = (sin(a), cos(a)) if sine else (cos(a), sin(a))
            result = sin(lo) if sine else cos(hi)
            c, sl = T * T / 2 * (1 + u), (T ** 3 / 6 + u * T) * (1 + u)
            kernels = p * cos_rest_err(T) + q * sin_rest_err(T)
            left_out = u * p * c + u * q * sl + mpf(2) ** -105 * (p + q)
            products = u * p * c + u * q * sl + u * u * q * T
            s1 = u * (p + q * T) + u * q * T
            s2 = s1 + u * p
            s3 = s2 + p * c
            s4 = s3 + q * sl
            s5 = s4 + u * q * T
            sums = u * (s1 + s2 + s3 + s4 + s5)
            rel = (kernels + left_out + products + sums) / result
        if rel > worst:
            worst, at = rel, i
    return worst, at


def asin_table():
    """asin z = a0 + a1 d + ... + a11 d^11 at c = i/128, d = z - c: the
    degree's rest, the coefficients' roundings, Horner's (2k + 1 roundings
    reach a_(k+2)), h^2 p, d.lo left out past the linear term, the table's
    low parts, and the roundings of the five partial sums of lo."""
    worst, at = mpf(0), None
    for i in range(65):
        c = mpf(i) / 128
        a = taylor(asin, c, 12)
        dl = u * T
        result = T if i == 0 else asin(max(c - T, mpf(0)))
        p = sum(abs(a[j]) * T ** (j - 2) for j in range(2, 12))
        horner = u * sum((2 * (j - 2) + 1) * abs(a[j]) * T ** (j - 2) for j in range(2, 12))
        e = (abs(a[12]) * T ** 12 * mpf(1.1)
             + sum(u * abs(a[j]) * T ** j for j in range(2, 12))
             + T * T * (horner * mpf(1.001) + 2 * u * p)
             + sum(j * abs(a[j]) * T ** (j - 1) for j in range(2, 12)) * dl
             + u * a[1] * dl + mpf(2) ** -106 * (a[0] + a[1] * T)
             + u * a[1] * dl + u * u * a[1] * T)
        s1 = u * (a[0] + a[1] * T) + u * a[0]
        s2 = s1 + u * a[1] * T
        s3 = s2 + a[1] * dl
        s4 = s3 + u * a[1] * T
        s5 = s4 + T * T * p
        rel = (e + u * (s1 + s2 + s3 + s4 + s5)) / result
        if rel > worst:
            worst, at = rel, i
    return worst, at


fail = False
for name, (worst, at) in (("cos_or_sin, the cosine", cos_or_sin(False)),
                          ("cos_or_sin, the sine", cos_or_sin(True)),
                          ("asin_table", asin_table())):
    print("%s: at most 2^%.2f of the result (worst near i = %d), claimed 2^%d"
          % (name, float(log(worst, 2)), at, int(log(CLAIMED, 2))))
    fail = fail or worst > CLAIMED
sys.exit(1 if fail else 0)
