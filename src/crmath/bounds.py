#!/usr/bin/python3
"""The worst-case relative errors of the fast paths' kernels, cos_or_sin
(cos.cpp) and plus_asin (acos.cpp), from the error of each step as
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
# the reductions' 2^-100 |r|, |r| <= pi/4 + 2^-31, over cos r or sin r
# cos.cpp's direct path: rows of its table, and the rows about pi/2 left
# to the reduction
DIRECT_ROWS = 404
NEAR_PI_2 = range(201, 202)
REDUCTION = mpf(2) ** -100 * (pi / 4 + mpf(2) ** -31) / sin(pi / 4 + mpf(2) ** -31)


def sin_rest_err(t, r):
    """sl = tl + th^3 (-1/6 + th^2/120 - th^4/5040) - th^2 tl/2 against
    sin(th + tl) - th, |th| <= t, |tl| <= u r (r.lo as the reduction leaves
    it, r near i/128): five roundings in th u (...) (5u t^3/6), the two sums
    (u (t^3/6 + 2 |tl|)), the product th^2 tl/2 (u t^2 |tl|/2), tl left out
    of the quintic and its square (t^4 |tl|/24, t |tl|^2/2), the series'
    rest (t^9/9!), 1/5040 rounded (u t^7/5040)."""
    tl = u * r
    return (u * t ** 3 * 1 + 2 * u * tl + u * t * t * tl / 2 + t ** 4 * tl / 24
            + t * tl * tl / 2 + t ** 9 / 362880 + u * u * t + u * t ** 7 / 5040)


def cos_rest_err(t, r):
    """c = u Q(u) - th tl against cos(th + tl) - 1: u = th^2 rounded
    (u t^2/2), Q rounded near -1/2 (2^-55 t^2), the product (u t^2/2), the
    difference (u t^2/2), th tl rounded (u t |tl|), tl left out of the cubic
    and its square (t^3 |tl|/6, |tl|^2/2), the series' rest (t^10/10!),
    1/40320 rounded (u t^8/8!)."""
    tl = u * r
    return (u * t ** 2 * mpf(1.7501) + u * t * tl + t ** 3 * tl / 6 + tl * tl / 2
            + t ** 10 / 3628800 + u * u * t ** 2 + u * t ** 8 / 40320)


def rotation_err(p, q, r):
    """P cos t + Q sin t with |P|, |Q| = p, q the table's cos and sin of
    i/128 (or sin and cos), t = th + tl, |tl| <= u r: the kernels' errors
    times P and Q, the table's low parts left out of the small products,
    the products' roundings, and the roundings of the five partial sums of
    lo."""
    c, sl = T * T / 2 * (1 + u), (T ** 3 / 6 + u * T) * (1 + u)
    kernels = p * cos_rest_err(T, r) + q * sin_rest_err(T, r)
    left_out = u * p * c + u * q * sl + mpf(2) ** -105 * (p + q)
    products = u * p * c + u * q * sl + u * u * q * T
    s1 = u * (p + q * T) + u * q * T
    s2 = s1 + u * p
    s3 = s2 + u * q * T
    s4 = s3 + q * sl
    s5 = s4 + p * c
    return kernels + left_out + products + u * (s1 + s2 + s3 + s4 + s5)


def cos_or_sin(sine):
    """cos r or sin r of the reduced r, with the reduction's relative
    error, over the smallest result in reach of i/128."""
    worst, at = mpf(0), None
    for i in range(102):
        a = mpf(i) / 128
        lo, hi = max(a - T, mpf(0)), min(a + T, pi / 4 + mpf(2) ** -31)
        if lo > hi:
            continue
        if sine and i == 0:  # sin t = th + sl, nothing else
            rel = sin_rest_err(T, T) / (T * (1 - T * T / 6))
        else:
            p, q = (sin(a), cos(a)) if sine else (cos(a), sin(a))
            result = sin(lo) if sine else cos(hi)
            rel = rotation_err(p, q, hi) / result
        rel += REDUCTION
        if rel > worst:
            worst, at = rel, i
    return worst, at


def cos_direct():
    """cos x of x as it is (tl = 0), x = i/128 + t up to DIRECT_ROWS rows,
    but for the rows about pi/2 that the code leaves to the reduction:
    over the smallest |cos x| in reach of i/128. Fails if a row kept holds
    a zero of cos, or the rows left out are not the code's."""
    worst, at, over = mpf(0), None, []
    for i in range(DIRECT_ROWS):
        a = mpf(i) / 128
        lo, hi = max(a - T, mpf(0)), a + T
        if cos(lo) * cos(hi) <= 0:
            over.append(i)
            continue
        result = min(abs(cos(lo)), abs(cos(hi)))
        rel = rotation_err(abs(cos(a)), sin(a), 0) / result
        if rel > CLAIMED:
            over.append(i)
        elif rel > worst:
            worst, at = rel, i
    if over != list(NEAR_PI_2):
        print("rows over the bound: %s, not the code's %s" % (over, list(NEAR_PI_2)))
        worst = mpf(1)
    return worst, at


# Roundings that reach each of p's coefficients a2..a9 through Estrin's
# scheme p = ((a2 + a3 h) + (a4 + a5 h) h^2) + ((a6 + a7 h) + (a8 + a9 h)
# h^2) h^4: its additions and products, and the powers' own (h^2 1, h^4
# 3). Fused products only drop some.
ESTRIN = [3, 4, 5, 6, 7, 8, 9, 10]


def plus_asin():
    """k + tau asin(z + zl) for the forms acos takes: pi/2 -+ asin x
    (|x| <= 1/2, zl = 0), 2 asin z and pi - 2 asin z (z = sqrt((1 - |x|)/2)
    with zl its Newton correction, |zl| <= u z). asin z = a0 + a1 d + ... +
    a9 d^9 at c = i/128, d = z - c exact, k + tau a0 from the table as a
    double-double: the degree's rest, the coefficients' roundings,
    Estrin's, h^2 p, zl's terms past the first two left out, the table's
    low parts, the roundings of rest's partial sums; then the sum of k's
    low part and tau rest, s.lo added to it, and last tau h^2 p. Over the
    smallest result in reach of i/128."""
    worst, at = mpf(0), None
    for i in range(65):
        c = mpf(i) / 128
        a = taylor(asin, c, 10)
        zmin, zmax = max(c - T, mpf(0)), min(c + T, mpf(1) / 2)
        zl = u * zmax
        p = sum(abs(a[j]) * T ** (j - 2) for j in range(2, 10))
        estrin = u * sum(ESTRIN[j - 2] * abs(a[j]) * T ** (j - 2) for j in range(2, 10))
        e = (abs(a[10]) * T ** 10 * mpf(1.1)
             + sum(u * abs(a[j]) * T ** j for j in range(2, 10))
             + T * T * (estrin * mpf(1.001) + 2 * u * p)
             + sum(j * abs(a[j]) * T ** (j - 1) for j in range(3, 10)) * zl
             + abs(a[2]) * zl * zl + 3 * u * (a[1] + 2 * abs(a[2]) * T) * zl
             + mpf(2) ** -106 * a[1] * T + 2 * u * u * a[1] * T)
        r1 = 2 * u * a[1] * T
        r2 = r1 + (a[1] + 2 * abs(a[2]) * T) * zl
        r3 = r2 + T * T * p
        e += u * (r1 + r2)
        for k, tau, result in (
                (pi / 2, 1, pi / 2 - asin(zmax)),
                (0, 2, 2 * T if i == 0 else 2 * asin(zmin)),
                (pi, 2, pi - 2 * asin(zmax))):
            first = k + tau * a[0]  # the table's k + tau a0, to 2^-106
            # s = ch + tau m.hi is exact by Dekker's sum only if ch is 0 or
            # the larger
            if first != 0 and first < tau * a[1] * T * (1 + u):
                print("row %d: tau m.hi may exceed k + tau a0" % i)
                worst = mpf(1)
            l1 = 2 * u * (first + tau * a[1] * T)
            # cl + tau rest, then s.lo, then tau h^2 p
            total = (tau * e + mpf(2) ** -106 * first + u * (l1 + tau * r2)
                     + u * (l1 + tau * r2) + u * (l1 + tau * r3))
            rel = total / result
            if rel > worst:
                worst, at = rel, i
    return worst, at


fail = False
for name, (worst, at) in (("cos_or_sin, the cosine", cos_or_sin(False)),
                          ("cos_or_sin, the sine", cos_or_sin(True)),
                          ("cos x as it is", cos_direct()),
                          ("acos's plus_asin", plus_asin())):
    print("%s: at most 2^%.2f of the result (worst near i = %d), claimed 2^%d"
          % (name, float(log(worst, 2)), at, int(log(CLAIMED, 2))))
    fail = fail or worst > CLAIMED
sys.exit(1 if fail else 0)
