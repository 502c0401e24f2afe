#!/usr/bin/env python3
"""Writes examples/Dat/ssh.dat: 64 lines of 120 values that look like
sea-surface heights in metres (mixed signs, 6 to 9 significant digits, one
blank between values). Seeded, so the file is the same on every run.

A few of the values are chosen so that their decimal conversion rounds
differently when the product or quotient is first rounded to a 64-bit
significand and then to binary64 (the second reading of the data, under the
64-bit x87 precision) than when it is rounded once: those elements differ
by one unit in the last place between the two readings. The check is done
here with exact rational arithmetic.

Usage: make_example_data.py [OUTPUT]   (default examples/Dat/ssh.dat)
"""
import random
import sys
from fractions import Fraction
from pathlib import Path

SEED = 20261211
RECORDS, VALUES = 64, 120
EXTRA_DOUBLE_ROUNDING = 7  # besides 7.9780335


def round_to_bits(x: Fraction, bits: int) -> Fraction:
    """x > 0 rounded to the nearest value with a `bits`-bit significand,
    ties to even."""
    e = x.numerator.bit_length() - x.denominator.bit_length()
    if Fraction(2) ** e > x:
        e -= 1
    # 2^e <= x < 2^(e+1); scale so the significand has `bits` bits.
    scale = Fraction(2) ** (bits - 1 - e)
    y = x * scale
    n, rem = divmod(y.numerator, y.denominator)
    twice = 2 * rem
    if twice > y.denominator or (twice == y.denominator and n % 2 == 1):
        n += 1
    return Fraction(n) / scale


def rounds_twice_differently(token: str) -> bool:
    value = abs(Fraction(token))
    if value == 0:
        return False
    once = round_to_bits(value, 53)
    twice = round_to_bits(round_to_bits(value, 64), 53)
    return once != twice


def sea_surface_token(rng: random.Random) -> str:
    digits = rng.randint(6, 9)
    magnitude = rng.choice([0, 0, 0, -1, -1, -2])  # mostly tens of cm to metres
    value = rng.uniform(-1.0, 1.0) * 2.0 * 10.0**magnitude
    if value == 0.0:
        value = 0.5
    text = f"{value:.{digits}g}"
    if "e" in text:  # keep a plain decimal form
        exponent = int(text.split("e")[1])
        text = f"{value:.{max(0, digits - 1 - exponent)}f}"
    return text


def main() -> None:
    out = Path(sys.argv[1] if len(sys.argv) > 1 else "examples/Dat/ssh.dat")
    rng = random.Random(SEED)
    grid = [[sea_surface_token(rng) for _ in range(VALUES)] for _ in range(RECORDS)]

    special = ["7.9780335"]
    while len(special) < 1 + EXTRA_DOUBLE_ROUNDING:
        token = sea_surface_token(rng)
        if rounds_twice_differently(token):
            special.append(token)
    for token in special:
        j, i = rng.randrange(RECORDS), rng.randrange(VALUES)
        grid[j][i] = token

    out.parent.mkdir(parents=True, exist_ok=True)
    with out.open("w", newline="\n") as f:
        for row in grid:
            f.write(" ".join(row) + "\n")
    changed = sum(rounds_twice_differently(t) for row in grid for t in row)
    print(f"{out}: {RECORDS} lines of {VALUES} values; "
          f"{changed} round differently under the 64-bit precision")


if __name__ == "__main__":
    main()
