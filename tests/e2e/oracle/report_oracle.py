#!/usr/bin/env python3
"""An independent model of the report, for the end-to-end fixtures.

It recomputes a run from the data files with Python's own binary64
arithmetic (IEEE, round to nearest even), exact rationals for the decimal
conversions, the binary128 sums and every printed digit, and lays the report
out from the written rules of the number fields. It shares no code with the
program; its digits are correctly rounded, so fixtures must use values whose
long digit strings are not near a rounding tie (exact sums such as multiples
of 1/8 are safe).

Usage: report_oracle.py CHOSEN_FILE SSH_DAT > expected_stdout
Only plain decimal tokens separated by blanks and the words NaN, Infinity
and -Infinity are understood: the fixtures use nothing else.
"""
import math
import struct
import sys
from fractions import Fraction

# ---------------------------------------------------------------- reading


def round_to_bits(x: Fraction, bits: int) -> Fraction:
    """x rounded to a `bits`-bit significand, ties to even (no exponent
    limits: fixture values are far from the binary64 range ends)."""
    if x == 0:
        return x
    sign = -1 if x < 0 else 1
    x = abs(x)
    e = x.numerator.bit_length() - x.denominator.bit_length()
    if Fraction(2) ** e > x:
        e -= 1
    scale = Fraction(2) ** (bits - 1 - e)
    y = x * scale
    n, rem = divmod(y.numerator, y.denominator)
    if 2 * rem > y.denominator or (2 * rem == y.denominator and n % 2):
        n += 1
    return sign * Fraction(n) / scale


def convert(token: str, extended: bool) -> float:
    """The value of one token: rounded once (first reading) or to 64 bits
    and then to 53 (second reading, short inputs)."""
    low = token.lower()
    if low in ("nan", "+nan", "-nan"):
        return math.nan
    if low in ("infinity", "inf", "+infinity", "+inf"):
        return math.inf
    if low in ("-infinity", "-inf"):
        return -math.inf
    exact = Fraction(token)
    if exact == 0:
        return -0.0 if token.startswith("-") else 0.0
    if extended:
        exact = round_to_bits(exact, 64)
    return float(round_to_bits(exact, 53))


def read_matrix(path: str, extended: bool):
    lines = open(path, "rb").read().decode("ascii").split("\n")
    rows = []
    for line in lines[:64]:
        tokens = line.split()[:120]
        rows.append([convert(t, extended) for t in tokens])
    assert len(rows) == 64 and all(len(r) == 120 for r in rows), path
    return rows  # rows[j][i]: value i+1 of record j+1

# ---------------------------------------------------------------- analysis


def storage(rows):
    return [v for row in rows for v in row]


def extremes(values):
    def scan(better, start):
        lanes = [start, start]
        for n, x in enumerate(values):
            if better(x, lanes[n % 2]):
                lanes[n % 2] = x
        return lanes[0] if better(lanes[0], lanes[1]) else lanes[1]
    ssh_max = scan(lambda a, b: a > b, -math.inf)
    ssh_min = scan(lambda a, b: a < b, math.inf)
    return ssh_min, ssh_max


TINY = 2.0 ** -1022


def add(a, b):
    """binary64 addition with flush-to-zero (on for the whole analysis)."""
    r = a + b
    if r != 0 and abs(r) < TINY:
        r = math.copysign(0.0, r)
    return r


def interleaved(seq):
    p = [0.0, 0.0, 0.0, 0.0]
    for n, x in enumerate(seq):
        p[n % 4] = add(p[n % 4], x)
    return add(add(p[0], p[2]), add(p[1], p[3]))


def binary128_sum(seq):
    """Sequential binary128 sum: each step rounded to 113 bits. NaN and the
    infinities follow IEEE addition (the fixtures need no payload rules)."""
    acc = Fraction(0)
    special = None
    for x in seq:
        if math.isnan(x):
            special = "nan"
        elif math.isinf(x):
            if special is None:
                special = x
            elif special != x:
                special = "nan"
        elif special is None:
            acc = round_to_bits(acc + Fraction(x), 113)
    return special if special is not None else acc

# ---------------------------------------------------------------- digits


def digits_before_point(x: Fraction) -> int:
    """N with 10^(N-1) <= x < 10^N, for x > 0."""
    n = 0
    while Fraction(10) ** n <= x:
        n += 1
    while Fraction(10) ** (n - 1) > x:
        n -= 1
    return n


def digits_of(x: Fraction, count: int):
    """|x| > 0 correctly rounded (ties to even) to `count` significant
    digits: (digit string, N) with x ~ 0.d1d2... * 10^N."""
    x = abs(x)
    n = digits_before_point(x)
    scaled = x * Fraction(10) ** (count - n)
    q, r = divmod(scaled.numerator, scaled.denominator)
    if 2 * r > scaled.denominator or (2 * r == scaled.denominator and q % 2):
        q += 1
    if q == 10 ** count:
        q //= 10
        n += 1
    return str(q), n


def fixed_digits(x: Fraction, places: int, cap: int):
    """Digits of |x| rounded at `places` after the point (at most `cap` and
    37 digits): (digits, N), or None when it rounds to zero."""
    x = abs(x)
    n = digits_before_point(x)
    count = min(places + n, cap, 37)
    if count <= 0:
        unit = Fraction(1, 10 ** places)
        if x > unit / 2:
            return "1", 1 - places
        return None
    return digits_of(x, count)


SPECS = {
    # name: (w, d, e, letter, general, zero_plain, probe_places)
    "extreme": (24, 15, None, "D", False, False, None),
    "extended": (30, 19, None, "E", True, True, 21),
    "list64": (24, 15, 3, "E", True, False, 17),
    "list128": (43, 33, 4, "E", True, False, 35),
}


def exponent_part(x_exp, e, letter):
    sign = "+" if x_exp >= 0 else "-"
    if e is not None:
        return f"{letter}{sign}{abs(x_exp):0{e}d}"
    if abs(x_exp) <= 99:
        return f"{letter}{sign}{abs(x_exp):02d}"
    return f"{sign}{abs(x_exp):03d}"


def field(value, spec_name):
    w, d, e, letter, general, zero_plain, probe = SPECS[spec_name]
    tail = (e + 2 if e is not None else 4) if general else 0
    if isinstance(value, str) or (isinstance(value, float) and math.isnan(value)):
        text = "NaN"
    elif isinstance(value, float) and math.isinf(value):
        text = "Infinity" if value > 0 else "-Infinity"
    else:
        text = None
    if text is not None:
        if spec_name == "extended":
            return text.rjust(w)
        return (" " + text).ljust(w)
    exact = Fraction(value)
    negative = exact < 0
    sign = "-" if negative else ""
    if exact == 0:
        if zero_plain:
            return ("0." + "0" * (d - 1)).rjust(w - tail) + " " * tail
        return ("0." + "0" * d + exponent_part(0, e, letter)).rjust(w)

    def exponent_form():
        digits, n = digits_of(exact, d + 1)
        return (sign + digits[0] + "." + digits[1:] +
                exponent_part(n - 1, e, letter)).rjust(w)

    if not general:
        return exponent_form()
    probed = fixed_digits(exact, probe, w)
    if probed is None:
        return exponent_form()
    digits, n = probed
    if n < -1 or n > d:
        return exponent_form()
    n2 = n
    head = digits.ljust(d + 1, "0")
    if head[:d] == "9" * d and head[d] >= "5":
        n2 = n + 1
    if not 0 <= n2 <= d:
        return exponent_form()
    f = d - n2
    fixed = fixed_digits(exact, f, w - tail)
    digits, n = fixed
    digits = digits.ljust(f + n, "0")
    if n > 0:
        integer, fraction = digits[:n], digits[n:n + f]
    else:
        integer, fraction = "0", ("0" * (-n) + digits)[:f]
    return (sign + integer + "." + fraction).rjust(w - tail) + " " * tail

# ---------------------------------------------------------------- report


def report(chosen: str, ssh_dat: str) -> bytes:
    rows = read_matrix(chosen, extended=False)
    values = storage(rows)
    ssh_min, ssh_max = extremes(values)
    by_record_down = [v for row in reversed(rows) for v in row]
    by_value_down = [v for row in rows for v in reversed(row)]
    sum_row = interleaved(values)
    sum_row_reverse = interleaved(by_record_down)
    sum_col_reverse = interleaved(by_value_down)
    sum_plus = interleaved([v if v > 0 else 0.0 for v in values])
    sum_minus = interleaved([v if v < 0 else 0.0 for v in values])
    position_major = [rows[j][i] for i in range(120) for j in range(64)]
    sum_row_16 = binary128_sum(position_major)
    sum_col_16 = binary128_sum(values)
    ext = storage(read_matrix(ssh_dat, extended=True))
    sum_row_10 = interleaved(ext)

    lines = [
        "Date Extreme:",
        " ssh_min =" + field(ssh_min, "extreme"),
        " ssh_max =" + field(ssh_max, "extreme"),
        "", "Real(8):",
        " sum_row =" + field(sum_row, "list64"),
        " sum_col =" + field(sum_row, "list64"),
        " ",
        " sum_row_reverse =" + field(sum_row_reverse, "list64"),
        " sum_col_reverse =" + field(sum_col_reverse, "list64"),
        "", "Sum on array (Real(8)):",
        "  sum_plus =" + field(sum_plus, "list64"),
        "  sum_minus =" + field(sum_minus, "list64"),
        "  sum_plus +sum_minus =" + field(add(sum_plus, sum_minus), "list64"),
        "", "Real(16):",
        " sum_row_16 =" + field(sum_row_16, "list128"),
        " sum_col_16 =" + field(sum_col_16, "list128"),
        "", "~Real(10). Extended Precision:",
        "sum_row_10 =" + field(sum_row_10, "extended"),
        "sum_col_10 =" + field(sum_row_10, "extended"),
    ]
    return "".join(line + "\r\n" for line in lines).encode("ascii")


if __name__ == "__main__":
    sys.stdout.buffer.write(report(sys.argv[1], sys.argv[2]))
