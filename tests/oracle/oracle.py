#!/usr/bin/env python3
"""Checks the program's two calculations through its window against a
reckoning of its own.

Writes seeded random cases (base dates across 1965..2040, real and
impossible ones, day counts across the valid period and far beyond, both
push buttons, numbers written the lenient ways the fields accept), has
oracle_driver.exe type each into the running program under Wine and press
the button, and compares what the window shows with what this script
expects. Shares no code with the program: the number reading and the date
arithmetic (Python's datetime) are written here afresh.

    oracle.py run --driver oracle_driver.exe --program KorvaneDaysAfter.exe
                  [--emulator wine-exec] [--seed N] [--count N] [--work DIR]
    oracle.py expect A|B YEAR MONTH DAY DAYS    the expected result of one case

Prints the seed, each mismatch with its case, the press times and
"N cases, M mismatches"; exits 1 on any mismatch.
"""
import argparse
import datetime
import os
import random
import subprocess
import sys
import tempfile
import time

ZERO_DATE = "0000/00/00"
FIRST_DAY = datetime.date(1970, 1, 1)
LAST_DAY = datetime.date(2038, 1, 19)  # the valid period ends 2038-01-19 03:14:07

DECIMAL = "0123456789"
HEXADECIMAL = "0123456789abcdefABCDEF"
BINARY = "01"


# --- The reckoning -----------------------------------------------------------

def read_number(text):
    """(value, overflowed) as the fields read a number: spaces and tabs
    skipped, one sign, "$" hexadecimal or "%" binary or decimal digits up to
    the first other character (no digits: 0). The value wraps modulo 2**64
    into the signed 64-bit range; overflowed says the digits do not fit: a
    decimal beyond the signed range, or more than 64 bits of "$"/"%"."""
    i, n = 0, len(text)
    while i < n and text[i] in " \t":
        i += 1
    negative = False
    if i < n and text[i] in "+-":
        negative = text[i] == "-"
        i += 1
    base, digits = 10, DECIMAL
    if i < n and text[i] == "$":
        base, digits = 16, HEXADECIMAL
        i += 1
    elif i < n and text[i] == "%":
        base, digits = 2, BINARY
        i += 1
    start = i
    while i < n and text[i] in digits:
        i += 1
    magnitude = int(text[start:i], base) if i > start else 0
    if base == 10:
        overflowed = magnitude > 2**63 - 1 + (1 if negative else 0)
    else:
        overflowed = magnitude >= 2**64
    value = (-magnitude if negative else magnitude) % 2**64
    if value >= 2**63:
        value -= 2**64
    return value, overflowed


def base_date(year, month, day):
    """The date, when it exists and lies in the valid period; else None."""
    if not (FIRST_DAY.year <= year <= LAST_DAY.year and 1 <= month <= 12 and 1 <= day <= 31):
        return None
    try:
        date = datetime.date(year, month, day)
    except ValueError:
        return None
    return date if FIRST_DAY <= date <= LAST_DAY else None


def expected_result(button, year_text, month_text, day_text, days_text):
    """What the result field must show after pressing button "A" (after) or
    "B" (before) with these field texts."""
    if button == "B":
        days_text = "-" + days_text  # joined as it is: "-30" becomes "--30"
    readings = [read_number(t) for t in (year_text, month_text, day_text, days_text)]
    if any(overflowed for _, overflowed in readings):
        return ZERO_DATE
    (year, _), (month, _), (day, _), (days, _) = readings
    base = base_date(year, month, day)
    if base is None:
        return ZERO_DATE
    ordinal = base.toordinal() + days
    if not FIRST_DAY.toordinal() <= ordinal <= LAST_DAY.toordinal():
        return ZERO_DATE
    return datetime.date.fromordinal(ordinal).strftime("%Y/%m/%d")


# Worked by hand, so that a fault in the reckoning above cannot pass for one
# in the program.
SELF_CHECKS = [
    ("A", "2019", "03", "22", "100", "2019/06/30"),
    ("B", "2019", "03", "22", "100", "2018/12/12"),
    ("A", "1970", "01", "01", "24855", "2038/01/19"),
    ("A", "1970", "01", "01", "24856", ZERO_DATE),
    ("B", "1970", "01", "01", "1", ZERO_DATE),
    ("A", "2019", "02", "29", "0", ZERO_DATE),
    ("A", "2020", "02", "29", "0", "2020/02/29"),
    ("A", "$7E3", "3", "22", "%11110", "2019/04/21"),
    ("B", "2019", "3", "22", "-30", "2019/03/22"),
    ("B", "2019", "3", "22", " 30", "2019/03/22"),
    ("A", "2019", "3", "22", "$FFFFFFFFFFFFFFFF", "2019/03/21"),
    ("B", "2019", "3", "22", "$FFFFFFFFFFFFFFFF", "2019/03/23"),
    ("A", "18446744073709553635", "3", "22", "0", ZERO_DATE),
    ("A", "-$FFFFFFFFFFFFF821", "3", "22", "0", "2015/03/22"),
    ("A", "2019", "3", "22", "18446744073709551617", ZERO_DATE),
    ("B", "2019", "3", "22", "9223372036854775808", ZERO_DATE),
    ("A", "\t 2019x", "+3", "22 ", "1e3", "2019/03/23"),
    ("A", "2019", "3", "22", "\n5", "2019/03/22"),
    ("A", "\uff12\uff10\uff11\uff19", "3", "22", "0", ZERO_DATE),
]


def check_reckoning():
    wrong = [(c, expected_result(*c[:5])) for c in SELF_CHECKS if expected_result(*c[:5]) != c[5]]
    for c, got in wrong:
        print(f"oracle: the reckoning is wrong for {describe(c[:5])}: {got}, not {c[5]}")
    return not wrong


# --- The cases ---------------------------------------------------------------

def escape(text):
    out = []
    for ch in text:
        code = ord(ch)
        if ch == "\\":
            out.append("\\\\")
        elif ch == "\n":
            out.append("\\n")
        elif ch == "\r":
            out.append("\\r")
        elif ch == "\t":
            out.append("\\t")
        elif 0x20 <= code < 0x7F:
            out.append(ch)
        elif code <= 0xFFFF:
            out.append(f"\\u{code:04X}")
        else:  # as its UTF-16 pair
            code -= 0x10000
            out.append(f"\\u{0xD800 + (code >> 10):04X}\\u{0xDC00 + (code & 0x3FF):04X}")
    return "".join(out)


def unescape(text):
    out, i = [], 0
    while i < len(text):
        ch = text[i]
        if ch != "\\":
            out.append(ch)
            i += 1
            continue
        kind = text[i + 1]
        if kind == "u":
            out.append(chr(int(text[i + 2:i + 6], 16)))
            i += 6
        else:
            out.append({"\\": "\\", "n": "\n", "r": "\r", "t": "\t"}[kind])
            i += 2
    return "".join(out)


def describe(case):
    button, year, month, day, days = case
    return (f"{'after' if button == 'A' else 'before'}: year {year!r} month {month!r} "
            f"day {day!r} days {days!r}")


# Texts that follow a number and end it; "1e3" reads 1, "10,000" reads 10.
ENDINGS = ["x", " days", ",000", ".5", "e3", "\n", "\r\n", "\n7", " 1", "\t9", "-", "+1",
           "\u200f", "\uff15", "\u0663", "$1", "%1", "abc", "/"]
# Texts before a number: blanks are skipped, anything else ends it at once.
LEADINGS_READ = [" ", "  ", "\t", " \t "]
LEADINGS_NOT_READ = ["\n", "\r\n", "x", "\u200f", "\uff10", "\u00a0", "--", "+-", "- ", "$$"]


def write_number(rng, value, lenient):
    """A text that reads as value (within 64 bits) in one of the ways the
    fields accept; with lenient, often with blanks before or text after."""
    form = rng.random()
    if form < 0.7 or not lenient:
        text = str(value)
        if lenient and value >= 0 and rng.random() < 0.3:
            text = "+" + text
        if lenient and rng.random() < 0.2:
            sign = "-" if text[0] == "-" else "+" if text[0] == "+" else ""
            text = sign + "0" * rng.randint(1, 5) + text.lstrip("+-")
    elif form < 0.85:
        if value < 0 and rng.random() < 0.5:
            text = "-$" + format(-value, rng.choice(["X", "x"]))
        else:
            text = "$" + format(value % 2**64, rng.choice(["X", "x"]))
    else:
        if value < 0 and rng.random() < 0.5:
            text = "-%" + format(-value, "b")
        else:
            text = "%" + format(value % 2**64, "b")
    if lenient:
        if rng.random() < 0.3:
            text = rng.choice(LEADINGS_READ) + text
        if rng.random() < 0.3:
            text += rng.choice(ENDINGS)
    return text


def random_base(rng):
    """(year, month, day): mostly real dates of 1965..2040, some that do not
    exist (February 29 of a common year, day 31 of a short month, month 0
    or 13, day 0 or 32)."""
    year = rng.randint(1965, 2040)
    month = rng.randint(1, 12)
    length = (datetime.date(year + month // 12, month % 12 + 1, 1) - datetime.timedelta(days=1)).day
    day = rng.randint(1, length)
    roll = rng.random()
    if roll < 0.04:
        month, day = 2, 29
    elif roll < 0.07:
        month, day = rng.choice([4, 6, 9, 11]), 31
    elif roll < 0.09:
        month = rng.choice([0, 13, -1, 99])
    elif roll < 0.11:
        day = rng.choice([0, 32, -1, 100])
    elif roll < 0.16:  # the ends of the valid period
        year, month, day = rng.choice([(1970, 1, 1), (2038, 1, 19), (2038, 1, 20),
                                       (1969, 12, 31), (2037, 12, 31)])
    return year, month, day


def random_shift(rng, base):
    """Days to move from the base date: across the valid period, to just
    inside and just outside its ends, and far beyond."""
    roll = rng.random()
    if base is not None and roll < 0.55:
        to_first = FIRST_DAY.toordinal() - base.toordinal()
        to_last = LAST_DAY.toordinal() - base.toordinal()
        if roll < 0.35:
            return rng.randint(to_first, to_last)
        return rng.choice([to_first, to_last]) + rng.choice([-1, 0, 0, 1])
    if roll < 0.6:
        return rng.randint(-25202, 25202)
    if roll < 0.7:
        return rng.randint(-400, 400)
    if roll < 0.85:
        return rng.choice([-1, 1]) * rng.randint(25000, 10**7)
    return rng.choice([-1, 1]) * rng.choice(
        [rng.randint(2**31 - 5, 2**31 + 5), rng.randint(2**32 - 5, 2**32 + 5),
         rng.randint(2**62, 2**63 - 1), 2**63 - 1, 2**63 - rng.randint(0, 3)])


def overflowing_text(rng, value):
    """A number whose digits overflow but whose wrapped value is value."""
    roll = rng.random()
    if roll < 0.25 and value < 0:  # between 2**63 and 2**64: too big for a signed number
        return str(value % 2**64)
    if roll < 0.5:
        return str(value % 2**64 + 2**64 * rng.randint(1, 3))
    if roll < 0.75:
        return "$1" + format(value % 2**64, "016X")
    return "%1" + format(value % 2**64, "064b")


# Cases picked by hand: the lenient readings, the limits of 64 bits, text
# that is no number.
FIXED_CASES = [
    ("A", "$7E3", "03", "22", "100"),
    ("A", "2019", "03", "22", "%11110"),
    ("B", "2019", "03", "22", "%11110"),
    ("A", " 2019", "03", "22", "30"),
    ("A", "\t2019", "\t03", "\t22", "\t30"),
    ("A", "2019\n", "03", "22", "30"),
    ("A", "\n2019", "03", "22", "30"),
    ("A", "20\n19", "03", "22", "30"),
    ("A", "2019\r\n", "03", "22", "30\r\n"),
    ("A", "1e3", "03", "22", "30"),
    ("A", "2019", "03", "22", "1e3"),
    ("A", "2019", "03", "22", "10,000"),
    ("B", "2019", "03", "22", "10,000"),
    ("A", "2019", "03", "22", "30 days"),
    ("B", "2019", "03", "22", "30 days"),
    ("B", "2019", "03", "22", "-30"),
    ("B", "2019", "03", "22", "+30"),
    ("B", "2019", "03", "22", " 30"),
    ("B", "2019", "03", "22", "\t30"),
    ("A", "2019", "03", "22", "+30"),
    ("A", "2019", "03", "22", "-30"),
    ("A", "2019", "03", "22", " -30"),
    ("A", "2019", "03", "22", "- 30"),
    ("A", "2019", "03", "22", "--30"),
    ("A", "2019", "03", "22", "+-30"),
    ("A", "2019", "03", "22", ""),
    ("B", "2019", "03", "22", ""),
    ("A", "", "03", "22", "1"),
    ("A", "2019", "", "22", "1"),
    ("A", "2019", "03", "", "1"),
    ("A", "2019", "03", "22", "$"),
    ("A", "2019", "03", "22", "%"),
    ("A", "2019", "03", "22", "-"),
    ("A", "2019", "03", "22", "$g"),
    ("A", "2019", "03", "22", "%2"),
    ("A", "2019", "03", "22", "0x10"),
    ("A", "2019", "03", "22", "$1F"),
    ("A", "2019", "03", "22", "$1f"),
    ("A", "2019", "03", "22", "-$1F"),
    ("A", "2019", "03", "22", "12abc"),
    ("A", "2019", "03", "22", "1 2"),
    ("A", "2019", "03", "22", "\uff15"),
    ("A", "2019", "03", "22", "\u200f5"),
    ("A", "2019", "03", "22", "5\u200f"),
    ("A", "2019", "03", "22", "\u0663"),
    ("A", "\uff12\uff10\uff11\uff19", "03", "22", "0"),
    ("A", "2019", "\uff13", "22", "0"),
    ("A", "2019", "03", "22", "18446744073709551617"),
    ("A", "2019", "03", "22", "18446744073709551616"),
    ("A", "2019", "03", "22", "18446744073709551615"),
    ("B", "2019", "03", "22", "18446744073709551615"),
    ("A", "2019", "03", "22", "-18446744073709551615"),
    ("A", "2019", "03", "22", "9223372036854775808"),
    ("A", "2019", "03", "22", "9223372036854775807"),
    ("A", "2019", "03", "22", "-9223372036854775808"),
    ("A", "2019", "03", "22", "-9223372036854775809"),
    ("B", "2019", "03", "22", "9223372036854775808"),
    ("B", "2019", "03", "22", "9223372036854775809"),
    ("B", "2019", "03", "22", "9223372036854775807"),
    ("A", "2019", "03", "22", "$FFFFFFFFFFFFFFFF"),
    ("B", "2019", "03", "22", "$FFFFFFFFFFFFFFFF"),
    ("B", "2019", "03", "22", "$FFFFFFFFFFFFFF9C"),
    ("A", "2019", "03", "22", "$10000000000000001"),
    ("A", "2019", "03", "22", "$00000000000000000000001"),
    ("A", "2019", "03", "22", "%" + "1" * 64),
    ("A", "2019", "03", "22", "%" + "1" * 65),
    ("A", "2019", "03", "22", "%" + "0" * 70 + "11"),
    ("A", "2019", "03", "22", "0" * 40 + "5"),
    ("A", "18446744073709553635", "03", "22", "0"),
    ("A", "$100000000000007E3", "03", "22", "0"),
    ("A", "-$FFFFFFFFFFFFF821", "03", "22", "0"),
    ("A", "2019", "18446744073709551619", "22", "0"),
    ("A", "2019", "03", "18446744073709551638", "0"),
    ("A", "2019", "$C", "%11111", "0"),
    ("A", "2019", "+1", "   +07", "0"),
    ("A", "02019", "003", "0022", "0"),
    ("A", "2019.5", "03", "22", "0"),
    ("A", "2019", "03", "22", "30\n40"),
    ("A", "2019", "03", "22", "\n30"),
    ("A", "2019", "03\n", "22\n", "30"),
    ("A", "1970", "01", "01", "0"),
    ("B", "1970", "01", "01", "0"),
    ("A", "2038", "01", "19", "0"),
    ("A", "2038", "01", "20", "0"),
    ("A", "1969", "12", "31", "1"),
    ("A", "1970", "01", "01", "24855"),
    ("A", "1970", "01", "01", "24856"),
    ("B", "2038", "01", "19", "24855"),
    ("B", "2038", "01", "19", "24856"),
    ("A", "2000", "02", "29", "0"),
    ("A", "1900", "02", "29", "0"),
    ("A", "2100", "02", "29", "0"),
    ("A", "2019", "02", "29", "0"),
    ("A", "2019", "04", "31", "0"),
    ("A", "2019", "00", "10", "0"),
    ("A", "2019", "13", "10", "0"),
    ("A", "2019", "12", "00", "0"),
    ("A", "2019", "12", "32", "0"),
]


def make_cases(seed, count):
    rng = random.Random(seed)
    cases = list(FIXED_CASES)
    while len(cases) < count:
        button = rng.choice("AB")
        year, month, day = random_base(rng)
        base = base_date(year, month, day)
        shift = random_shift(rng, base)
        lenient = rng.random() < 0.25
        year_text = write_number(rng, year, lenient)
        month_text = rng.choice([f"{month:02d}", str(month)]) if not lenient else \
            write_number(rng, month, True)
        day_text = rng.choice([f"{day:02d}", str(day)]) if not lenient else \
            write_number(rng, day, True)
        # The before button reads "-" + its field: a shift back is written
        # as a positive count. A shift forward is mostly turned round; else
        # it goes in as the two's complement, which wraps round to it, or
        # as a negative count, which reads 0 after the "-".
        if button == "B" and shift > 0 and rng.random() < 0.6:
            shift = -shift
        count_value = shift if button == "A" else -shift
        if button == "B" and count_value < 0 and rng.random() < 0.5:
            days_text = "$" + format(count_value % 2**64, rng.choice(["X", "x"]))
        else:
            days_text = write_number(rng, count_value, lenient)
        roll = rng.random()
        if roll < 0.02:
            days_text = overflowing_text(rng, count_value)
        elif roll < 0.03:
            year_text = overflowing_text(rng, year)
        elif roll < 0.05:
            days_text = rng.choice(LEADINGS_NOT_READ) + days_text
        cases.append((button, year_text, month_text, day_text, days_text))
    return cases[:max(count, len(FIXED_CASES))]


# --- A run -------------------------------------------------------------------

def run(args):
    if not check_reckoning():
        return 1
    seed = args.seed if args.seed is not None else int.from_bytes(os.urandom(4), "little")
    print(f"oracle: seed {seed} (run again with --seed {seed})", flush=True)
    cases = make_cases(seed, args.count)

    with tempfile.TemporaryDirectory(dir=args.work) as work:
        case_file = os.path.join(work, "cases.txt")
        result_file = os.path.join(work, "results.txt")
        with open(case_file, "w", encoding="utf-8", newline="\n") as out:
            for number, case in enumerate(cases):
                out.write("\t".join([str(number), case[0]] + [escape(t) for t in case[1:]]) + "\n")
        command = ([args.emulator] if args.emulator else []) + [args.driver, args.program,
                                                                case_file, result_file]
        started = time.monotonic()
        finished = subprocess.run(command, stdin=subprocess.DEVNULL, capture_output=True,
                                  text=True, errors="replace", timeout=args.timeout)
        seconds = time.monotonic() - started
        sys.stdout.write(finished.stdout)
        sys.stderr.write(finished.stderr)
        results = []
        if os.path.exists(result_file):
            with open(result_file, encoding="utf-8", newline="\n") as f:
                results = [line.rstrip("\n").split("\t") for line in f if line.strip()]

    mismatches = 0
    times = []
    for number, case in enumerate(cases):
        expected = expected_result(*case)
        if number >= len(results):
            print(f"oracle: MISMATCH case {number}, {describe(case)}: expected {expected}, "
                  "no result (the driver stopped)")
            mismatches += 1
            continue
        fields = results[number]
        answered, shown, ms = fields[1] == "1", unescape(fields[2]), float(fields[3])
        times.append((ms, number))
        if answered and shown == expected:
            continue
        mismatches += 1
        read_back = [unescape(t) for t in fields[4:8]]
        note = ""
        if any(a.replace("\r\n", "\n") != b.replace("\r\n", "\n").replace("\r", "\n")
               for a, b in zip(read_back, case[1:])):
            note = (f"; the controls read back year {read_back[0]!r} month {read_back[1]!r} "
                    f"day {read_back[2]!r} days {read_back[3]!r}, which give "
                    f"{expected_result(case[0], *read_back)}")
        print(f"oracle: MISMATCH case {number}, {describe(case)}: expected {expected}, "
              f"shown {shown!r}{'' if answered else ' (no answer)'}{note}")
    if times:
        ordered = sorted(times)
        slowest, slowest_case = ordered[-1]
        print(f"oracle: press answered in {ordered[len(ordered) // 2][0]:.2f} ms (median), "
              f"{ordered[len(ordered) * 99 // 100][0]:.2f} ms (99th percentile), "
              f"{slowest:.2f} ms slowest (case {slowest_case}); "
              f"driver run {seconds:.1f} s for {len(cases)} cases")
    print(f"oracle: seed {seed}: {len(cases)} cases, {mismatches} mismatches")
    if finished.returncode != 0:
        print(f"oracle: the driver exited with code {finished.returncode}")
        return 1
    return 1 if mismatches else 0


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    sub = parser.add_subparsers(dest="command", required=True)
    r = sub.add_parser("run", help="generate cases, drive the program, compare")
    r.add_argument("--driver", required=True, help="oracle_driver.exe")
    r.add_argument("--program", required=True, help="KorvaneDaysAfter.exe")
    r.add_argument("--emulator", help="runs a Windows program (scripts/wine-exec)")
    r.add_argument("--seed", type=int, help="random seed (default: a new one, printed)")
    r.add_argument("--count", type=int, default=2400, help="number of cases (default 2400)")
    r.add_argument("--work", help="folder for the case and result files")
    r.add_argument("--timeout", type=int, default=900, help="seconds for the driver")
    e = sub.add_parser("expect", help="the expected result of one case")
    e.add_argument("button", choices="AB")
    e.add_argument("texts", nargs=4, metavar="TEXT", help="year, month, day, days (escapes allowed)")
    args = parser.parse_args()
    if args.command == "expect":
        print(expected_result(args.button, *[unescape(t) for t in args.texts]))
        return 0
    return run(args)


if __name__ == "__main__":
    sys.exit(main())
