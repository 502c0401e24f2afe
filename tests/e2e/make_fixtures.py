#!/usr/bin/env python3
"""Writes the end-to-end fixtures under tests/e2e/fixtures/: for each case a
folder tree to run sshsum in (tree/), the name typed into the chooser
(stdin), and the expected standard output, "ssh.rez", exit status and first
line of standard error. Expected reports come from oracle/report_oracle.py,
an independent model of the program; the error lines are written by hand
from the message texts ({ROOT} stands for the real path of the run folder).

Seeded: running it again gives the same files.
"""
import random
import shutil
import sys
import tempfile
from pathlib import Path

sys.path.insert(0, str(Path(__file__).parent / "oracle"))
from report_oracle import report  # noqa: E402

HERE = Path(__file__).parent / "fixtures"
rng = random.Random(7680)


def sea_values(count):
    out = []
    for _ in range(count):
        digits = rng.randint(6, 9)
        v = rng.uniform(-2.0, 2.0)
        out.append(f"{v:.{digits - 1}f}")
    return out


def grid_text(tokens, separator=" ", newline="\n"):
    lines = [separator.join(tokens[j * 120:(j + 1) * 120]) for j in range(64)]
    return newline.join(lines) + newline


def write_case(name, files, typed, status, stderr_first="",
               rez="Dat/ssh.rez", stdout=None, expected_rez=None):
    case = HERE / name
    shutil.rmtree(case, ignore_errors=True)
    for rel, data in files.items():
        path = case / "tree" / rel
        path.parent.mkdir(parents=True, exist_ok=True)
        path.write_bytes(data if isinstance(data, bytes) else data.encode())
    (case / "stdin").write_text(typed + "\n")
    (case / "expected_status").write_text(f"{status}\n")
    (case / "expected_stderr_first").write_text(stderr_first + "\n")
    (case / "expected_stdout").write_bytes(stdout)
    (case / "rez_path").write_text(rez + "\n")
    if expected_rez is not None:
        (case / "expected_rez").write_bytes(expected_rez)


def expected_report(chosen_text, second_text=None):
    """The oracle's report for a run that chooses a file holding
    `chosen_text` and then reads `second_text` (the same by default) as
    "ssh.dat"."""
    with tempfile.TemporaryDirectory() as tmp:
        chosen, second = Path(tmp) / "chosen.dat", Path(tmp) / "ssh.dat"
        chosen.write_text(chosen_text)
        second.write_text(chosen_text if second_text is None else second_text)
        return report(str(chosen), str(second))


def main():
    HERE.mkdir(exist_ok=True)

    def complete_run(name, files, typed, chosen_text, second_text=None):
        expected = expected_report(chosen_text, second_text)
        write_case(name, files, typed, 0, stdout=expected,
                   expected_rez=expected)

    # A normal dataset, chosen as "ssh.dat" itself: both readings read the
    # same file. 7.9780335 and -758549.339E-11 round differently under the
    # 64-bit precision, so sum_row_10 can move.
    tokens = sea_values(7680)
    tokens[5] = "7.9780335"
    tokens[4000] = "-758549.339E-11"
    text = grid_text(tokens)
    complete_run("same_file", {"Dat/ssh.dat": text}, "ssh", text)

    # Another file is chosen; "ssh.dat" beside it is the second reading.
    # The chosen file uses commas, tabs, CR LF and exact eighths.
    chosen = [f"{rng.randint(-4000, 4000) / 8}" for _ in range(7680)]
    second_text = grid_text(sea_values(7680))
    chosen_text = grid_text(chosen, separator=",\t", newline="\r\n")
    complete_run("other_file",
                 {"Dat/chosen.dat": chosen_text, "Dat/ssh.dat": second_text},
                 "chosen.dat", grid_text(chosen), second_text)

    # NaN, both infinities, signed zeros, a subnormal and the largest values.
    mix = sea_values(7680)
    mix[0] = "-0.0"
    mix[1] = "0.0"
    mix[17] = "NaN"
    mix[300] = "Infinity"
    mix[301] = "-Infinity"
    mix[999] = "1.7976931348623157E308"
    mix[1000] = "-1.7976931348623157E308"
    mix[2001] = "4.9E-324"
    text = grid_text(mix)
    complete_run("nan_infinity", {"Dat/ssh.dat": text}, "ssh.dat", text)

    # The largest value twice, no NaN: the binary64 sums overflow, the
    # binary128 sums do not.
    big = [f"{rng.randint(-999, 999) / 4}" for _ in range(7680)]
    big[10] = "1.7976931348623157E308"
    big[7000] = "1.7976931348623157E308"
    text = grid_text(big)
    complete_run("largest_values", {"Dat/ssh.dat": text}, "ssh.dat", text)

    # An existing, longer "ssh.rez" is replaced by the new report.
    text = grid_text(chosen)
    complete_run("replace_rez",
                 {"Dat/ssh.dat": text,
                  "Dat/ssh.rez": "old report line\r\n" * 600},
                 "ssh.dat", text)

    # No "ssh.dat" beside the chosen file: the extremes block reaches both
    # sinks, then the second open fails with 29.
    extremes_block = b"".join(
        line + b"\r\n" for line in expected_report(text).split(b"\r\n")[:3])
    write_case("missing_ssh_dat", {"Dat/data.dat": text},
               "data", 29,
               "forrtl: severe (29): file not found, unit 2, file {ROOT}/Dat/ssh.dat",
               stdout=extremes_block, expected_rez=extremes_block)

    # Too few values: the first reading ends with 24 before "ssh.rez" exists.
    short = text.split("\n")[:63]
    write_case("too_few_values", {"Dat/ssh.dat": "\n".join(short) + "\n"},
               "ssh.dat", 24,
               "forrtl: severe (24): end-of-file during read, unit 2, file {ROOT}/Dat/ssh.dat",
               stdout=b"")

    # A cancelled chooser (empty line): 29 with an empty name.
    write_case("cancelled", {"Dat/ssh.dat": text}, "", 29,
               "forrtl: severe (29): file not found, unit 2, file ",
               rez="ssh.rez", stdout=b"")


if __name__ == "__main__":
    main()
