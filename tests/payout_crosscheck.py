#!/usr/bin/env python3
"""Cross-checks the payoff simulation against an independent model written here.

Usage: payout_crosscheck.py PATH_TO_payout_cli [N]

Generates N random debts (fixed seed) plus fixed edge cases, feeds them to payout_cli in one
run and requires the same outcome: same error kind, or the same months and bit-identical
payout and interest doubles.
"""
import math
import random
import subprocess
import sys

INT32_MIN, INT32_MAX = -2147483648, 2147483647


class ModelError(Exception):
    def __init__(self, kind):
        super().__init__(kind)
        self.kind = kind


def round_scaled(x, scale):
    s = x * scale
    if math.isnan(s):
        raise ModelError("invalid")
    if math.isinf(s):
        raise ModelError("overflow")
    n = round(s)  # ties to even, on the exact value of the double
    if n < INT32_MIN or n > INT32_MAX:
        raise ModelError("overflow")
    return n / scale


def cents(x):
    return round_scaled(x, 100)


def five_places(x):
    return round_scaled(x, 100000)


def model(balance, rate, payment):
    """Returns ("ok", months, payout, interest) or ("error", kind)."""
    try:
        r = five_places((rate / 12) / 100)
        if balance == 0:
            raise ModelError("invalid" if payment == 0 else "div")
        q = five_places(payment / balance)
        if q < r + 0.01:
            q = r + 0.01
        months, paid, interest, b = 0, 0.0, 0.0, balance
        while b > 0:
            months += 1
            p = cents(b * q)
            if p < 15:
                p = 15
            i = cents(r * b)
            interest = interest + i
            c = cents(p - i)
            paid = paid + (c + i)
            b = cents(b - c)
            if not b > 15:
                paid = paid + b
                months += 1
                b = 0
        if months > 32767:
            raise ModelError("overflow")
        return ("ok", months, paid, interest)
    except ModelError as e:
        return ("error", e.kind)


KNOWN = [  # balance, rate, payment -> months, interest, payout
    (1000, 18, 25, 113, 923.09, 1923.09),
    (1000, 18, 50, 58, 359.21, 1359.21),
    (5000, 24, 50, 285, 9331.94, 14331.94),
    (200, 6, 20, 14, 6.88, 206.88),
    (103, 6, 15, 7, 2.00, 105.00),
    (10, 18, 5, 2, 0.15, 10.15),
    (15, 18, 1, 2, 0.22, 15.22),
]

EDGES = [(float(b), float(r), float(p)) for b, r, p, *_ in KNOWN] + [
    (0.0, 18.0, 25.0),
    (0.0, 18.0, 0.0),
    (30000000.0, 18.0, 1.0),
    (1.0, 18.0, 30000.0),
    (21474836.47, 0.0001, 0.01),
    (-500.0, 18.0, 25.0),
]


def self_test():
    for b, rate, pay, months, interest, payout in KNOWN:
        got = model(float(b), float(rate), float(pay))
        want = ("ok", months, payout, interest)
        if got[0] != "ok" or got[1] != months or round(got[2], 2) != payout or \
                round(got[3], 2) != interest:
            sys.exit(f"model self-test failed for {b} {rate} {pay}: {got} != {want}")
    assert model(0.0, 18.0, 25.0) == ("error", "div")
    assert model(0.0, 18.0, 0.0) == ("error", "invalid")
    assert model(30000000.0, 18.0, 1.0) == ("error", "overflow")
    assert model(1.0, 18.0, 30000.0) == ("error", "overflow")
    assert model(-500.0, 18.0, 25.0) == ("ok", 0, 0.0, 0.0)


def log_cents(rng, lo, hi):
    """Whole cents, log-uniform between lo and hi (in currency units)."""
    c = round(math.exp(rng.uniform(math.log(lo), math.log(hi))) * 100)
    return min(max(c, round(lo * 100)), round(hi * 100)) / 100


def random_rate(rng):
    pick = rng.random()
    if pick < 0.1:
        return rng.choice([19.99, 24.99, 29.99, 0.0001, 0.01, 100.0, 12.5, 99.999, 0.0125])
    places = rng.choice([0, 1, 2, 2, 3, 4])
    scale = 10**places
    if pick < 0.4:  # small rates are as interesting as large ones
        x = math.exp(rng.uniform(math.log(0.01), math.log(100)))
        k = max(round(x * scale), 1)
    else:
        k = rng.randint(max(scale // 100, 1), 100 * scale)
    return k / scale


def random_cases(n):
    rng = random.Random(20240611)
    cases = []
    for _ in range(n):
        top = 21474836.47 if rng.random() < 0.9 else 9999999999.0
        balance = log_cents(rng, 0.01, top)
        if rng.random() < 0.5:  # a small share of the balance: long payoffs
            pay = round(balance * math.exp(rng.uniform(math.log(1e-4), math.log(0.2))) * 100)
            pay = min(max(pay, 1), 9999999900) / 100
        else:
            pay = log_cents(rng, 0.01, 99999999.0)
        cases.append((balance, random_rate(rng), pay))
    return cases


def main():
    if len(sys.argv) not in (2, 3):
        sys.exit(__doc__)
    n = int(sys.argv[2]) if len(sys.argv) == 3 else 20000
    self_test()
    cases = EDGES + random_cases(n)
    text = "".join(f"{b!r} {r!r} {p!r}\n" for b, r, p in cases)
    run = subprocess.run([sys.argv[1]], input=text, capture_output=True, text=True, check=True)
    lines = run.stdout.splitlines()
    if len(lines) != len(cases):
        sys.exit(f"expected {len(cases)} output lines, got {len(lines)}")
    passed, failures = 0, []
    for case, line in zip(cases, lines):
        want = model(*case)
        f = line.split()
        if f[0] == "ok" and len(f) == 4:
            got = ("ok", int(f[1]), float(f[2]), float(f[3]))
        else:
            got = tuple(f)
        if got == want:  # floats compare exactly
            passed += 1
        else:
            failures.append(f"{case!r}: program {line!r}, model {want!r}")
    for msg in failures[:20]:
        print(msg)
    print(f"{passed} passed, {len(failures)} failed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
