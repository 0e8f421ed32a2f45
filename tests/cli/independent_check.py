#!/usr/bin/env python3
"""Recomputes a tesral-cli report independently and compares it row by row.

Usage: independent_check.py TESRAL_CLI [report options...]

The reflections are worked out again from the published basis formulas with the exact
value of pi, a plain Gaussian inverse (Steurer: no inverse at all), asin for the Bragg
angle and atan2 for the direction classes. Vectors within a hair of a window edge or a
direction tolerance are "knife-edge": the approximate constants of the program decide
their side, so they are left out of the comparison on both sides. Everything else must
agree: the same vectors in the same order, and every value to within single precision.
"""
import math
import subprocess
import sys

ANODES = {"Mo": (0.70926, 0.71354), "Cu": (1.540598, 1.544438), "Ni": (1.65783, 1.66168),
          "Co": (1.7889, 1.79279), "Fe": (1.93597, 1.93991), "Cr": (2.28962, 2.29352),
          "Ag": (0.559363, 0.563775), "US": (1.540598, 1.544438)}


def parse_args(args):
    opts = {"system": "decagonal", "convention": "yamamoto", "a": "2.82", "c": "12.06",
            "limits": None, "thmin": "1.0", "thmax": "30.0", "qimax": "1.0", "anode": "Mo"}
    i = 0
    while i < len(args):
        opts[args[i][2:]] = args[i + 1]
        i += 2
    return opts


def basis(system, conv, a, c):
    t = {"octagonal": 45, "decagonal": 72, "dodecagonal": 30, "icosahedral": 72}[system]
    th = math.radians(t)
    cs = lambda k: math.cos(k * th)
    sn = lambda k: math.sin(k * th)
    if system == "icosahedral":
        n = 6
        B = [[0.0] * 6 for _ in range(6)]
        if conv == "yamamoto":
            B[0] = [0, 0, a, 0, 0, a]
            f = 2 / math.sqrt(5)
            for k in range(2, 7):
                B[k - 1] = [a * f * cs(k), a * f * sn(k), a / math.sqrt(5), a * f * cs(2 * k),
                            a * f * sn(2 * k), -a / math.sqrt(5)]
        else:
            phi = math.atan(2)
            B[0] = [0, 0, 1 / a, 0, 0, 1 / a]
            for k in range(2, 7):
                B[k - 1] = [math.sin(phi) * cs(k) / a, math.sin(phi) * sn(k) / a,
                            math.cos(phi) / a, -math.sin(phi) * cs(3 * k) / a,
                            -math.sin(phi) * sn(3 * k) / a, -math.cos(phi) / a]
    else:
        n = 5
        B = [[0.0] * 5 for _ in range(5)]
        for k in range(1, 5):
            if conv == "yamamoto":
                if system == "octagonal":
                    B[k - 1] = [a * cs(k), a * sn(k), a * cs(3 * k), a * sn(3 * k), 0]
                elif system == "decagonal":
                    f = 2 / math.sqrt(5) * a
                    B[k - 1] = [f * (cs(k) - 1), f * sn(k), f * (cs(2 * k) - 1), f * sn(2 * k), 0]
                else:
                    p, pp = [(-1, 1), (0, 6), (3, 9), (4, 14)][k - 1]
                    f = 2 / math.sqrt(3) * a
                    B[k - 1] = [f * cs(p), f * sn(p), f * cs(pp), f * sn(pp), 0]
            else:
                m = 5 if system == "dodecagonal" else 3
                B[k - 1] = [cs(k) / a, sn(k) / a, cs(m * k) / a, sn(m * k) / a, 0]
        B[4] = [0, 0, 0, 0, c if conv == "yamamoto" else 1 / c]
    if conv == "steurer":  # B holds the reciprocal vectors: the inverse is its transpose
        return n, [[B[j][i] for j in range(n)] for i in range(n)]
    # Gaussian elimination with partial pivoting on [B | I]
    M = [row[:] + [1.0 if i == j else 0.0 for j in range(n)] for i, row in enumerate(B)]
    for col in range(n):
        piv = max(range(col, n), key=lambda r: abs(M[r][col]))
        M[col], M[piv] = M[piv], M[col]
        p = M[col][col]
        M[col] = [v / p for v in M[col]]
        for r in range(n):
            if r != col:
                f = M[r][col]
                M[r] = [v - f * w for v, w in zip(M[r], M[col])]
    return n, [row[n:] for row in M]


def group_rule(number, symbol, words, n, h, cls):
    S = sum(h[:n])
    odd = lambda k: k % 2 != 0
    if "F" in symbol and len({v % 2 for v in h}) > 1:
        return True
    if "I" in symbol:
        return odd(S)
    if n == 5:
        l = h[4]
        # On the periodic axis a reflection lies on every plane through it: both classes.
        axis = not any(h[:4])
        a, b = axis or cls == 1, axis or cls == 2
        tests = {"Oa": a and odd(l), "Ob": b and odd(l),
                 "Oea": not odd(S) and a and odd(l), "Oab": (a or b) and odd(l),
                 "Eoa": not odd(l) and a and odd(S), "Zo": l == 0 and odd(S),
                 "Zoa": l == 0 and a and odd(S), "Aoa": a and odd(S)}
        return any(tests[w] for w in words if w in tests)
    eq = h[1] == h[2] == h[3] == h[4] == h[5]
    pairs = h[2] == -h[0] and h[3] == -h[1]
    return {76: eq and h[0] % 5 == 0, 78: eq and (h[0] + 5 * h[1]) % 10 == 0,
            80: eq and (h[0] + 5 * h[1]) % 10 == 0, 82: pairs and (h[4] - h[5]) % 2 == 0,
            85: pairs and (h[4] - h[5]) % 4 == 0}.get(number, False)


def main():
    cli, args = sys.argv[1], sys.argv[2:]
    o = parse_args(args)
    out = subprocess.run([cli, "report"] + args, capture_output=True, check=True).stdout.decode()
    lines = out.split("\r\n")
    group_line = lines[1].split(",")[0]
    groups = subprocess.run([cli, "groups"], capture_output=True, check=True).stdout.decode()
    entry = next(g.split("\t") for g in groups.splitlines() if g.split("\t")[1] == group_line)
    number, symbol, words = int(entry[0]), entry[1], entry[2].split()

    a, c = float(o["a"]), float(o["c"])
    n, inv = basis(o["system"], o["convention"], a, c)
    k1, k2 = ANODES[o["anode"]]
    lam = float(o.get("wavelength", "%.7g" % ((2 * k1 + k2) / 3)))
    thmin, thmax, qimax = float(o["thmin"]), float(o["thmax"]), float(o["qimax"])
    limits = [int(v) for v in o["limits"].split(",")] if o["limits"] else [2] * 6
    limits = (limits + [0] * 6)[:n] + [0] * (6 - n)
    sym = {"octagonal": (45, 22.5), "decagonal": (36, 18), "dodecagonal": (30, 15)}.get(o["system"])

    expected, edge = [], set()
    import itertools
    ranges = [range(L, -L - 1, -1) for L in limits]
    for h in itertools.product(*ranges):
        if not any(h):
            continue
        q = [sum(inv[i][j] * h[j] for j in range(n)) for i in range(n)]
        if n == 5:
            par, perp, xyz = [q[0], q[1], q[4]], [q[2], q[3]], (q[0], q[1], q[4])
        else:
            par, perp, xyz = q[:3], q[3:], tuple(q[:3])
        qe = math.sqrt(sum(v * v for v in par))
        qi = math.sqrt(sum(v * v for v in perp))
        if o["convention"] == "yamamoto" or n == 6:
            qi *= abs(a)
        if qe < 1e-12:
            continue
        s = lam * qe / 2
        theta = math.degrees(math.asin(s)) if s < 1 else 90.0000025
        near = abs(qi - qimax) < 1e-7 * max(1, qimax) or abs(theta - thmin) < 1e-6 or \
            abs(theta - thmax) < 1e-6 or abs(s - 1) < 1e-9
        if not (theta > 0 and thmin <= theta <= thmax and qi <= qimax):
            if near:
                edge.add(h)
            continue
        cls = 0
        if n == 5:
            r = math.hypot(q[0], q[1])
            if r < 1e-12:
                cls = 1
            else:
                ref = math.atan2(inv[1][0], inv[0][0])
                phi = math.degrees(math.atan2(q[1], q[0]) - ref) % 360
                ra, rb = phi % sym[0], phi % sym[1]
                da, db = min(ra, sym[0] - ra), min(rb, sym[1] - rb)
                cls = 1 if da < 0.3 else 2 if db < 0.3 else 0
                if abs(da - 0.3) < 1e-6 or abs(db - 0.3) < 1e-6:
                    near = True
        if near:
            edge.add(h)
        if not group_rule(number, symbol, words, n, h, cls):
            expected.append((h, [theta, 1 / qe, qe, qi] + list(xyz)))

    got = []
    for line in lines[7:]:
        if not line:
            continue
        f = line.split()
        h = tuple(int(v) for v in f[1:1 + n]) + (0,) * (6 - n)
        got.append((h, [float(v) for v in f[1 + n:]]))
    if int(lines[0].split()[3]) != len(got):
        sys.exit("banner count differs from the rows")

    want = [e for e in expected if e[0] not in edge]
    have = [g for g in got if g[0] not in edge]
    if [w[0] for w in want] != [g[0] for g in have]:
        wset, hset = {w[0] for w in want}, {g[0] for g in have}
        sys.exit("rows differ: missing %s, extra %s" % (sorted(wset - hset)[:5], sorted(hset - wset)[:5]))
    for (h, w), (_, g) in zip(want, have):
        for wv, gv in zip(w, g):
            if abs(wv - gv) > 2e-5 * max(1, abs(wv)):
                sys.exit("values differ for %s: %s vs %s" % (h, w, g))
    print("%d rows agree (%d knife-edge vectors left out)" % (len(have), len(edge)))


main()
