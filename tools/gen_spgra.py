#!/usr/bin/python3
"""Writes data/spgra, the space-group database of Cryslink, from python3-spglib.

One record for each of the 530 Hall settings spglib knows, ordered by
space-group number and within a number by Hall number, so setting 1 of every
number is spglib's default setting: unique axis b and cell choice 1 for the
monoclinic groups, origin choice 1, hexagonal axes for the R groups.

    14 2 82 1 3 P21/n       number, setting (1, 2, ... within the number), Hall
                            number, lattice points per cell, count of operation
                            lines, name
    -P 2yn ; P 1 2_1/n 1    Hall symbol ; full Hermann-Mauguin symbol
    -x+1/2,y+1/2,-z+1/2     count lines: every operation except the identity,
    ...                     in "x,y,z" form with translations in [0, 1); the
                            copies by the centring translations are listed too,
                            since Cryslink reads no centring vectors from here

The name is what a symbol lookup compares, blanks left out and letter case
ignored, first record first; every name is different. It is the short symbol
without underscores (P21/c, Fm-3m, R-3c), so a short symbol written with or
without blanks finds setting 1 of its group. The other settings get their own
short symbol (P21/n, Pbnm), for monoclinic ones with unique axis a or c that
have no short symbol of their own the full symbol (P 1 1 21/a); a name still
taken gets the origin choice or the axes of the setting appended after a
colon (Fd-3m:2, R-3c:R, Cmme:ba-c).

After writing, the file is read back as Cryslink reads it and checked: every
operation parses, the operations of a setting form a group equal to spglib's,
the counts agree, names are unique and the short symbols find setting 1.

Run from anywhere with /usr/bin/python3 (make generators installs the packages).
"""
import re
import warnings
from fractions import Fraction

import spglib

from database_files import fail, trimmed_lines, write_database

warnings.simplefilter("ignore", DeprecationWarning)


def key(name):
    return re.sub(r"\s", "", name).casefold()


def own_symbol(t):
    """The short symbol of a setting; full symbols of monoclinic a or c settings without one."""
    full = t["international_full"].replace("_", "")
    if not 3 <= t["number"] <= 15:
        return t["international_short"].replace("_", "")
    if t["choice"].lstrip("-").startswith("b"):
        return "".join(part for part in full.split() if part != "1")  # P 1 21/n 1 -> P21/n
    aliases = t["international"].replace("_", "").split(" = ")
    return aliases[2].replace(" ", "") if len(aliases) == 3 else full  # P 1 1 21/b = P 21/b


def unique_name(t, taken):
    symbol, choice = own_symbol(t), t["choice"]
    candidates = [symbol]
    if choice[:1] in ("2", "R"):
        candidates.append(f"{symbol}:{choice[0]}")
    candidates.append(f"{symbol}:{choice}")
    for name in candidates:
        if key(name) not in taken:
            taken.add(key(name))
            return name
    fail(f"no free name for Hall setting {t['hall_number']}")


def fraction_text(value):
    """+n/d of a translation reduced to [0, 1); nothing for 0."""
    f = Fraction(round(value * 24) % 24, 24)
    if abs(float(f) - value % 1.0) > 1e-6 and abs(float(f) - value % 1.0 - 1.0) > 1e-6:
        fail(f"translation {value} is no multiple of 1/24")
    return "" if f == 0 else f"+{f.numerator}/{f.denominator}"


def operation_text(rotation, translation):
    rows = []
    for row, shift in zip(rotation, translation):
        text = "".join(("+" if c > 0 else "-") + ("" if abs(c) == 1 else str(abs(c))) + axis
                       for c, axis in zip(map(int, row), "xyz") if c != 0)
        rows.append((text + fraction_text(float(shift))).lstrip("+"))
    return ",".join(rows)


def records():
    taken, setting_of = set(), {}
    for hall in range(1, 531):
        t = spglib.get_spacegroup_type(hall)
        symmetry = spglib.get_symmetry_from_database(hall)
        texts = [operation_text(r, s) for r, s in zip(symmetry["rotations"], symmetry["translations"])]
        if texts[0] != "x,y,z" or texts.count("x,y,z") != 1:
            fail(f"Hall setting {hall} does not start with the only identity")
        number = t["number"]
        setting_of[number] = setting_of.get(number, 0) + 1
        points = sum(1 for r in symmetry["rotations"] if (r == [[1, 0, 0], [0, 1, 0], [0, 0, 1]]).all())
        yield {"number": number, "setting": setting_of[number], "hall": hall, "points": points,
               "name": unique_name(t, taken), "type": t, "operations": texts[1:]}


def record_lines(r):
    yield f"{r['number']} {r['setting']} {r['hall']} {r['points']} {len(r['operations'])} {r['name']}"
    yield f"{r['type']['hall_symbol']} ; {r['type']['international_full']}"
    yield from r["operations"]


# --- reading back -----------------------------------------------------------

TERM = re.compile(r"([+-]?)(\d+/\d+|\d+\.?\d*|\.\d+)?\*?([xyz])?")


def parse_operation(text):
    """(rotation rows, translation) of an "x,y,z" text, exact fractions; None if it does not parse."""
    rows = text.replace(" ", "").lower().split(",")
    if len(rows) != 3:
        return None
    rotation, translation = [], []
    for row in rows:
        coefficients, shift, position = [0, 0, 0], Fraction(0), 0
        while position < len(row):
            m = TERM.match(row, position)
            if not m or m.end() == position or not (m.group(2) or m.group(3)):
                return None
            sign = -1 if m.group(1) == "-" else 1
            number = Fraction(m.group(2)) if m.group(2) else Fraction(1)
            if m.group(3):
                coefficients["xyz".index(m.group(3))] += sign * number
            else:
                shift += sign * number
            position = m.end()
        rotation.append(tuple(coefficients))
        translation.append(shift % 1)
    return tuple(rotation), tuple(translation)


def compose(a, b):
    """The operation a after b, translations reduced to [0, 1)."""
    (ra, ta), (rb, tb) = a, b
    rotation = tuple(tuple(sum(ra[i][k] * rb[k][j] for k in range(3)) for j in range(3)) for i in range(3))
    translation = tuple((sum(ra[i][k] * tb[k] for k in range(3)) + ta[i]) % 1 for i in range(3))
    return rotation, translation


def read_records(path):
    lines, records, i = trimmed_lines(path), [], 0
    while i < len(lines):
        m = re.fullmatch(r"(-?\d+) (-?\d+) (-?\d+) (-?\d+) (-?\d+) (.+)", lines[i])
        if not m:
            fail(f"line {i + 1} is no record header: {lines[i]}")
        number, setting, hall, points, count = map(int, m.groups()[:5])
        records.append((number, setting, hall, points, m.group(6), lines[i + 2:i + 2 + count]))
        i += 2 + count
    return records


def check(path):
    read = read_records(path)
    if len(read) != 530 or sorted({r[0] for r in read}) != list(range(1, 231)):
        fail("not 530 settings of the numbers 1 to 230")
    identity = (((1, 0, 0), (0, 1, 0), (0, 0, 1)), (0, 0, 0))
    first, previous = {}, (0, 0)
    for number, setting, hall, points, name, texts in read:
        if (number, setting) != ((previous[0], previous[1] + 1) if number == previous[0] else (number, 1)):
            fail(f"setting {setting} of {number} out of order")
        previous = (number, setting)
        first.setdefault(key(name), (number, setting))
        if first[key(name)] != (number, setting):
            fail(f"name {name} of {number}:{setting} is taken")
        operations = [parse_operation(text) for text in texts]
        if None in operations or identity in operations:
            fail(f"an operation of {number}:{setting} does not parse or is the identity")
        group = set(operations) | {identity}
        if len(group) != len(texts) + 1 or any(compose(a, b) not in group for a in group for b in group):
            fail(f"the operations of {number}:{setting} are no group")
        symmetry = spglib.get_symmetry_from_database(hall)
        expected = {parse_operation(operation_text(r, s)) for r, s in zip(symmetry["rotations"],
                                                                            symmetry["translations"])}
        lattice = sum(1 for rotation, _ in group if rotation == identity[0])
        if group != expected or lattice != points:
            fail(f"{number}:{setting} differs from spglib Hall setting {hall}")
    for number, setting, hall, *_ in read:
        t = spglib.get_spacegroup_type(hall)
        for symbol in ([] if setting > 1 else (t["international_short"], t["international"].split(" = ")[0])):
            found = first.get(key(symbol.replace("_", "")))
            if found != (t["number"], 1):
                fail(f"{symbol} finds {found}, not setting 1 of {t['number']}")
    for symbol in ("P 21/c", "P21/c", "Fm-3m", "F m -3 m", "R -3 c", "P 21/n", "Pbnm", "Fd-3m:2", "R-3c:R"):
        if key(symbol) not in first:
            fail(f"{symbol} is not found")
    return len(read)


if __name__ == "__main__":
    path = write_database("spgra", [line for r in records() for line in record_lines(r)])
    print(f"{path}: {check(path)} settings, checked")
