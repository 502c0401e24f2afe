"""An exact-integer model of the decimal conversion's long path, written
apart from the C++ code: the 64-bit powers come from Fraction arithmetic,
every rounding is done on exact rationals. The token's digits, D, M and t
come from the corpus classifier.

Usage: python3 long_path_model.py < TOKENS   (prints token and hex bits;
"special" for tokens that do not take the long path)
"""
import os
import sys, struct
from fractions import Fraction
sys.path.insert(0, os.environ.get('SSHSUM_CORPUS_DIR', '/work/shared/corpus'))
import classify

def round64(x):  # Fraction -> (sig, exp) nearest 64-bit, ties even
    e = x.numerator.bit_length() - x.denominator.bit_length()
    if Fraction(2)**e > x: e -= 1
    # 2^e <= x < 2^(e+1); sig has 64 bits -> scale 2^(63-e)
    y = x * Fraction(2)**(63 - e)
    n, r = divmod(y.numerator, y.denominator)
    if 2*r > y.denominator or (2*r == y.denominator and n & 1): n += 1
    if n == 1 << 64: n >>= 1; e += 1
    return n, e - 63

FINE = {k: round64(Fraction(10)**k) for k in range(-47, 48)}
CP = [27, 55, 77, 105, 133, 161, 188, 214, 242, 269, 297, 320, 345]
CN = [53, 81, 104, 132, 157, 184, 210, 233, 261, 289, 314, 342, 367, 395]
def cut65(v, e):  # v integer > 64 bits -> top 64 + 65th bit
    L = v.bit_length(); s = L - 64
    top = (v >> s) + ((v >> (s - 1)) & 1)
    if top == 1 << 64: top >>= 1; s += 1
    return top, e + s
def power(t):
    if -47 <= t <= 47: return FINE[t]
    if t > 0:
        P = max(p for p in CP if p <= t); a = round64(Fraction(10)**P); b = FINE[t - P]
    else:
        P = min(p for p in CN if p >= -t); a = round64(Fraction(10)**-P); b = FINE[P + t]
    return cut65(a[0]*b[0], a[1]+b[1])
def to_double(y, e, sticky):  # exact y*2^e -> bits
    if y == 0: return 0
    # find binade
    ex = y.bit_length() - 1 + e
    q = max(ex, -1022) - 52  # ulp exponent
    v = Fraction(y) * Fraction(2)**(e - q)
    n, r = divmod(v.numerator, v.denominator)
    half = Fraction(r, v.denominator)
    if half > Fraction(1, 2) or (half == Fraction(1, 2) and (sticky or n & 1)): n += 1
    # sticky only matters when exactly half
    val = Fraction(n) * Fraction(2)**q
    if val >= Fraction(2)**1024: return 0x7FF0000000000000
    return struct.unpack('<Q', struct.pack('<d', float(val)))[0]
def long_path(tok):
    r = classify.parse(tok)
    M, t, dropped = r['M'], r['t'], r['dropped']
    if t == 0: return to_double(M, 0, dropped)
    if M.bit_length() > 64: m, em = cut65(M, 0)
    else: m, em = M, 0
    p, ep = power(t)
    return to_double(m * p, em + ep, dropped)
if __name__ == '__main__':
    for line in sys.stdin:
        tok = line.strip()
        r = classify.parse(tok)
        if r is None or r['kind'] != 'long':
            print(tok, 'special'); continue
        print(tok, '%016X' % long_path(tok))
