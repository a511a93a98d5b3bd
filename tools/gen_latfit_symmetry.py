#!/usr/bin/python3
"""Writes the latfit space-group library data/latfit/spacegroups.dat.

The operations come from the space-group tables of spglib (Debian package
python3-spglib); the written file is then read back and checked against the
independent tables of gemmi (python3-gemmi) when that is installed.

    /usr/bin/python3 tools/gen_latfit_symmetry.py [output]

Entries, in order of space-group number:
  * every space-group type in its standard setting (monoclinic groups with
    unique axis b and cell choice 1, origin choice 1 where there are two,
    hexagonal axes for the rhombohedral groups), under its short
    Hermann-Mauguin symbol without blanks and without the underscores of
    screw axes (P21/c, P42/mnm, Fd-3m);
  * symbol + ":2" for origin choice 2 of the 24 groups that have two, and
    symbol + ":1" for origin choice 1 (the same data as the plain symbol);
  * symbol + ":R" for the 7 rhombohedral groups in rhombohedral axes, and
    symbol + ":H" for hexagonal axes (the same data as the plain symbol);
  * the older symbols of the five groups whose glide planes are now written
    e (Abm2, Aba2, Cmca, Cmma, Ccca, with the suffixes of the new ones),
    right after the entries of the new symbol.

Each entry is the symbol alone on its line, then " ICENT NTRANS NSYM", the
NTRANS centring translations on one line (the null translation first, so a
primitive group has NTRANS = 1), and per operation its rotation matrix row by
row on one line and its translation on the next. A group that holds the
inversion through the origin is written with ICENT = 1 and only its proper
rotations (the reader adds their negatives); every other group lists all its
operations. Operations are coset representatives with respect to the
centring translations, translations reduced into [0, 1).
"""

import sys
from fractions import Fraction
from pathlib import Path

import numpy as np
import spglib

MAX_SYMBOL = 10
MAX_TRANSLATIONS = 8
MAX_OPERATIONS = 400  # after doubling by the centre
# Symbols with the double glide plane e, and the letters they replaced.
OLDER_SYMBOLS = {"Aem2": "Abm2", "Aea2": "Aba2", "Cmce": "Cmca", "Cmme": "Cmma", "Ccce": "Ccca"}
DEFAULT_OUTPUT = Path(__file__).resolve().parent.parent / "data" / "latfit" / "spacegroups.dat"


def frac(value):
    """Exact fraction of a table translation (multiples of 1/24), in [0, 1)."""
    f = Fraction(float(value)).limit_denominator(24)
    if abs(float(f) - value) > 1e-9:
        raise ValueError(f"translation {value} is not a multiple of 1/24")
    return f - (f.numerator // f.denominator)


def settings():
    """(symbol, hall number) of every entry, in file order."""
    first = {}
    by_number = {}
    for hall in range(1, 531):
        t = spglib.get_spacegroup_type(hall)
        n = t["number"]
        by_number.setdefault(n, []).append((hall, t["choice"]))
        first.setdefault(n, (hall, t))
    entries = []
    for n in range(1, 231):
        hall, t = first[n]
        symbol = t["international_short"].replace("_", "").replace(" ", "")
        group = [("", hall)]
        choices = dict((c, h) for h, c in by_number[n])
        if "2" in choices:
            assert t["choice"] == "1", (n, t["choice"])
            group += [(":1", choices["1"]), (":2", choices["2"])]
        if "R" in choices:
            assert t["choice"] == "H", (n, t["choice"])
            group += [(":H", choices["H"]), (":R", choices["R"])]
        entries += [(symbol + suffix, h) for suffix, h in group]
        if symbol in OLDER_SYMBOLS:
            entries += [(OLDER_SYMBOLS[symbol] + suffix, h) for suffix, h in group]
    return entries


def group_entry(hall):
    """(icent, centring translations, [(rotation, translation)]) of a setting."""
    data = spglib.get_symmetry_from_database(hall)
    ops = [(tuple(map(tuple, r.astype(int))), tuple(frac(x) for x in t))
           for r, t in zip(data["rotations"], data["translations"])]
    identity = ((1, 0, 0), (0, 1, 0), (0, 0, 1))
    centring = sorted({t for r, t in ops if r == identity})
    assert centring[0] == (0, 0, 0)
    reps = {}
    for r, t in ops:
        reps.setdefault(r, t)
    # The operations must be the representatives times the centring.
    full = {(r, tuple((a + b) % 1 for a, b in zip(t, c))) for r, t in reps.items() for c in centring}
    assert full == set(ops), hall
    minus_identity = tuple(tuple(-x for x in row) for row in identity)
    icent = 1 if (minus_identity, (0, 0, 0)) in set(ops) else 0
    listed = [(r, t) for r, t in reps.items()
              if icent == 0 or round(np.linalg.det(np.array(r))) == 1]
    return icent, centring, listed


def number(f):
    return str(f.numerator) if f.denominator == 1 else repr(f.numerator / f.denominator)


def render(symbol, icent, centring, listed):
    lines = [symbol, f" {icent} {len(centring)} {len(listed)}",
             " " + "  ".join(" ".join(number(x) for x in c) for c in centring)]
    for r, t in listed:
        lines.append(" " + " ".join(str(x) for row in r for x in row))
        lines.append(" " + " ".join(number(x) for x in t))
    return lines


def write(path):
    entries = settings()
    symbols = [s for s, _ in entries]
    assert len(set(symbols)) == len(symbols), "symbols are not unique"
    lines = ["# latfit space-group library, written by tools/gen_latfit_symmetry.py",
             "# symbol; ICENT NTRANS NSYM; centring translations; per operation",
             "# its rotation matrix row by row, then its translation"]
    for symbol, hall in entries:
        assert len(symbol) <= MAX_SYMBOL, symbol
        icent, centring, listed = group_entry(hall)
        assert len(centring) <= MAX_TRANSLATIONS
        assert len(listed) * (2 if icent else 1) <= MAX_OPERATIONS
        lines += render(symbol, icent, centring, listed)
    path.parent.mkdir(parents=True, exist_ok=True)
    path.write_text("\n".join(lines) + "\n")
    return entries


# ---------------------------------------------------------------- checking

def read_library(path):
    """Parses the library as latfit reads it: {symbol: (icent, trans, ops)}."""
    tokens_of = lambda line: [float(x) for x in line.split()]
    lines = path.read_text().splitlines()
    groups = {}
    i = 0
    while i < len(lines):
        if lines[i].startswith("#"):
            i += 1
            continue
        symbol = lines[i]
        icent, ntrans, nsym = (int(x) for x in lines[i + 1].split())
        values = tokens_of(lines[i + 2])
        assert len(values) == 3 * ntrans, symbol
        trans = np.array(values).reshape(ntrans, 3)
        ops = []
        for k in range(nsym):
            rot = np.array(tokens_of(lines[i + 3 + 2 * k])).reshape(3, 3)
            vec = np.array(tokens_of(lines[i + 4 + 2 * k]))
            ops.append((rot, vec))
        if icent == 1:
            ops += [(-r, -t) for r, t in ops]
        assert symbol not in groups, symbol
        groups[symbol] = (icent, trans, ops)
        i += 3 + 2 * nsym
    return groups


def expanded_ops(trans, ops):
    """Every operation of the file entry, as (rotations, translations) arrays."""
    rots = np.array([r for r, _ in ops for _ in trans])
    vecs = np.array([t + c for _, t in ops for c in trans])
    return rots, vecs


def orbit_size(rots, vecs, x):
    """Distinct positions of x under the operations, as latfit expands them."""
    images = np.einsum("kij,j->ki", rots, x) + vecs
    keys = np.rint((images % 1.0) * 1e6).astype(np.int64) % 1000000
    return len({tuple(k) for k in keys})


def op_keys(rots, vecs):
    tr = np.rint(vecs * 24).astype(int) % 24
    return {(tuple(r.astype(int).ravel()), tuple(t)) for r, t in zip(rots, tr)}


def stabiliser_counts(g_rot, g_tran, points):
    """For each point, the number of reference operations that fix it."""
    images = np.einsum("kij,pj->pki", g_rot, points) + g_tran[None, :, :]
    d = images - points[:, None, :]
    d -= np.rint(d)
    return (np.abs(d).max(axis=2) < 1e-7).sum(axis=1)


def sample_points(g_rot, g_tran, rng):
    """A general point, the points of a 1/24 grid, and a random point on the
    fixed line or plane of every operation that has one."""
    points = [rng.random(3)]
    grid = np.arange(24) / 24.0
    points += list(np.array(np.meshgrid(grid, grid, grid, indexing="ij")).reshape(3, -1).T)
    shifts = [np.array(s) for s in np.ndindex(3, 3, 3)]
    for r, t in zip(g_rot, g_tran):
        order = next(m for m in range(1, 7) if np.allclose(np.linalg.matrix_power(r, m), np.eye(3)))
        powers = [np.linalg.matrix_power(r, k) for k in range(order)]
        for s in shifts:
            lift = t + s - 1
            if np.allclose(sum(powers) @ lift, 0):
                y = rng.random(3)
                images, p = [], y
                for _ in range(order):
                    images.append(p)
                    p = r @ p + lift
                points.append(np.mean(images, axis=0) % 1.0)
                break
    return np.array(points)


def check(path, entries):
    try:
        import gemmi
    except ImportError:
        print("gemmi is not installed: the library was not checked", file=sys.stderr)
        return
    groups = read_library(path)
    assert list(groups) == [s for s, _ in entries]
    rng = np.random.default_rng(1)
    checked_points = 0
    for symbol, hall in entries:
        icent, trans, ops = groups[symbol]
        rots, vecs = expanded_ops(trans, ops)
        t = spglib.get_spacegroup_type(hall)
        ref = gemmi.find_spacegroup_by_ops(gemmi.symops_from_hall(t["hall_symbol"]))
        assert ref is not None and ref.number == t["number"], symbol
        if symbol[-2:] in (":1", ":2", ":H", ":R"):
            assert ref.ext == symbol[-1], (symbol, ref.ext)
        g_ops = list(ref.operations())
        g_rot = np.array([np.array(o.rot) / o.DEN for o in g_ops])
        g_tran = np.array([np.array(o.tran) / o.DEN for o in g_ops])
        # The same operations as the reference table, none repeated.
        assert len(rots) == len(g_ops), (symbol, len(rots), len(g_ops))
        assert op_keys(rots, vecs) == op_keys(g_rot, g_tran), symbol
        # Orbit sizes: |G| / |site-symmetry group| for general and special positions.
        points = sample_points(g_rot, g_tran, rng)
        expected = len(g_ops) // stabiliser_counts(g_rot, g_tran, points)
        seen = set()
        for p, m in zip(points, expected):
            if m in seen and rng.random() > 0.02:
                continue
            seen.add(m)
            got = orbit_size(rots, vecs, p)
            assert got == m, (symbol, p, got, m)
            checked_points += 1
    print(f"checked {len(entries)} entries and {checked_points} orbits against gemmi")


def main():
    path = Path(sys.argv[1]) if len(sys.argv) > 1 else DEFAULT_OUTPUT
    entries = write(path)
    print(f"wrote {len(entries)} entries to {path}")
    check(path, entries)


if __name__ == "__main__":
    main()
