#!/usr/bin/python3
"""Writes WIEN2k .struct files in the layouts of line 2 that the public test
suites lack, into tests/data/cryslink/wien2k/:

    F_no_group_NaCl.struct     line 2 gives the lattice type F and no group;
                               the 48 operations of Fm-3m follow
    Si_Fd-3m_origin2.struct    diamond Si in origin choice 2 (Si at +-1/8),
                               line 2 naming 227_Fd-3m
    La2CuO4_damaged_line2.struct  a body-centred I4/mmm cell whose line 2 lost
                               its first digit and symbol: "4 39_I"

The layout of the rest is that of the files WIEN2k writes (bohr, MULT lines
with the further positions of an atom, local rotation matrices, operations as
three rows "r1 r2 r3 t" each followed by its index). The operations are
spglib's for the setting, one per centring coset, and the MULT positions the
orbit of the first position modulo the centring, as WIEN2k lists them.

Run with /usr/bin/python3 (python3-spglib).
"""
import os

import numpy as np
import spglib

OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "data", "cryslink", "wien2k")
BOHR = 0.529177210903
CENTRINGS = {"F": [(0, 0, 0), (0, 0.5, 0.5), (0.5, 0, 0.5), (0.5, 0.5, 0)], "B": [(0, 0, 0), (0.5, 0.5, 0.5)],
             "P": [(0, 0, 0)]}


def hall_number(number, choice=""):
    for hall in range(1, 531):
        t = spglib.get_spacegroup_type(hall)
        if t["number"] == number and t["choice"] == choice:
            return hall
    raise ValueError(f"no setting {number} {choice}")


def reduced(v):
    v = np.mod(np.round(np.asarray(v, dtype=float), 10), 1.0)
    v[np.isclose(v, 1.0)] = 0.0
    return v


def near(p, q):
    d = np.asarray(p, dtype=float) - np.asarray(q, dtype=float)
    return np.abs(d - np.round(d)).max() < 1e-6


def operations(hall):
    """One (rotation, translation) per centring coset, the smallest translation of each."""
    symmetry = spglib.get_symmetry_from_database(hall)
    chosen = {}
    for r, t in zip(symmetry["rotations"], symmetry["translations"]):
        key = tuple(r.ravel())
        t = reduced(t)
        if key not in chosen or tuple(t) < tuple(chosen[key][1]):
            chosen[key] = (r, t)
    ops = list(chosen.values())
    ops.sort(key=lambda op: (not np.array_equal(op[0], np.eye(3, dtype=int)), tuple(op[0].ravel())))
    return ops


def orbit(position, ops, centrings):
    """The positions of an atom modulo the centring, the given one first."""
    found = []
    for r, t in ops:
        p = reduced(r @ np.asarray(position, dtype=float) + t)
        if not any(near(p, q + c) for q in found for c in centrings):
            found.append(p)
    return found


def struct_text(title, line2, cell_bohr, atoms, ops, centrings):
    lines = [title, line2, "MODE OF CALC=RELA unit=bohr", "".join(f"{v:10.6f}" for v in cell_bohr)]
    for index, (name, z, position) in enumerate(atoms, start=1):
        positions = orbit(position, ops, centrings)
        x = positions[0]
        lines.append(f"ATOM {-index:3d}: X={x[0]:10.8f} Y={x[1]:10.8f} Z={x[2]:10.8f}")
        lines.append(f"          MULT={len(positions):2d}          ISPLIT= 2")
        for p in positions[1:]:
            lines.append(f"     {-index:3d}: X={p[0]:10.8f} Y={p[1]:10.8f} Z={p[2]:10.8f}")
        lines.append(f"{name:<10s} NPT=  781  R0=0.00010000 RMT=    2.0000   Z: {z:.1f}")
        lines.append("LOCAL ROT MATRIX:    1.0000000 0.0000000 0.0000000")
        lines.append("                     0.0000000 1.0000000 0.0000000")
        lines.append("                     0.0000000 0.0000000 1.0000000")
    lines.append(f"{len(ops):4d}      NUMBER OF SYMMETRY OPERATIONS")
    for k, (r, t) in enumerate(ops, start=1):
        for i in range(3):
            lines.append("".join(f"{int(v):2d}" for v in r[i]) + f"{t[i]:11.8f}")
        lines.append(f"{k:8d}")
    return "\n".join(lines) + "\n"


def write(name, text):
    os.makedirs(OUT, exist_ok=True)
    with open(os.path.join(OUT, name), "w", newline="\n") as out:
        out.write(text)
    print(name)


def main():
    a = 5.64 / BOHR
    ops = operations(hall_number(225))
    write("F_no_group_NaCl.struct",
          struct_text("NaCl", "F   LATTICE,NONEQUIV.ATOMS:  2", [a, a, a, 90, 90, 90],
                      [("Na", 11, (0, 0, 0)), ("Cl", 17, (0.5, 0.5, 0.5))], ops, CENTRINGS["F"]))
    a = 5.431 / BOHR
    ops = operations(hall_number(227, "2"))
    write("Si_Fd-3m_origin2.struct",
          struct_text("Si", "F   LATTICE,NONEQUIV.ATOMS:  1 227_Fd-3m", [a, a, a, 90, 90, 90],
                      [("Si", 14, (0.125, 0.125, 0.125))], ops, CENTRINGS["F"]))
    a, c = 3.7817 / BOHR, 13.2487 / BOHR
    ops = operations(hall_number(139))
    write("La2CuO4_damaged_line2.struct",
          struct_text("La2CuO4", "B                            4 39_I", [a, a, c, 90, 90, 90],
                      [("La1", 57, (0, 0, 0.3607)), ("Cu1", 29, (0, 0, 0)), ("O 1", 8, (0, 0.5, 0)),
                       ("O 2", 8, (0, 0, 0.1824))], ops, CENTRINGS["B"]))


main()
