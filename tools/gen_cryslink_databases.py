#!/usr/bin/python3
"""Generates the databases Cryslink reads from its database directory:

  data/nonrel  element blocks: symbol; "Z electrons orbitals"; Z; one line per
               occupied orbital of the ground-state configuration: "n l occupation"
  data/asfdc   "Symbol weight" lines: the standard atomic weight of every element
  data/spgra   every space-group setting known to spglib (530 Hall settings):
               header "number setting hall_number choice count symbol", the Hall
               symbol line, then every operation except the identity as "x,y,z" text
               (centring-translated copies included).

Element data come from python3-pymatgen (configurations missing there are
filled by the aufbau order); space groups from python3-spglib.
Run with /usr/bin/python3 from the repository root.
"""
import os
from fractions import Fraction

import spglib
from pymatgen.core.periodic_table import Element

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")
DATA = os.path.join(ROOT, "data")
L_OF = {"s": 0, "p": 1, "d": 2, "f": 3, "g": 4}
AUFBAU = ["1s", "2s", "2p", "3s", "3p", "4s", "3d", "4p", "5s", "4d", "5p", "6s", "4f", "5d", "6p", "7s", "5f",
          "6d", "7p"]


def configuration(z, element):
    try:
        return [(n, L_OF[l], occ) for n, l, occ in element.full_electronic_structure]
    except (KeyError, ValueError):
        left, orbitals = z, []
        for orb in AUFBAU:
            if left == 0:
                break
            n, l = int(orb[0]), L_OF[orb[1]]
            occ = min(left, 2 * (2 * l + 1))
            orbitals.append((n, l, occ))
            left -= occ
        return sorted(orbitals)


def elements():
    for z in range(1, 119):
        yield z, Element.from_Z(z)


def write_nonrel(path):
    with open(path, "w", newline="\n") as out:
        for z, e in elements():
            orbitals = configuration(z, e)
            out.write(f"{e.symbol}\n{z} {z} {len(orbitals)}\n{z}\n")
            for n, l, occ in orbitals:
                out.write(f"{n:3d}{l:3d}{float(occ):8.3f}\n")


def write_asfdc(path):
    with open(path, "w", newline="\n") as out:
        for _, e in elements():
            out.write(f"{e.symbol} {float(e.atomic_mass):.6g}\n")


def fraction_text(value):
    f = Fraction(value).limit_denominator(24)
    return f"{f.numerator}/{f.denominator}" if f.denominator != 1 else str(f.numerator)


def operation_text(rotation, translation):
    rows = []
    for i in range(3):
        text = ""
        for j, axis in enumerate("xyz"):
            c = int(rotation[i][j])
            if c == 1:
                text += "+" + axis
            elif c == -1:
                text += "-" + axis
            elif c != 0:
                text += f"{c:+d}{axis}"
        t = float(translation[i]) % 1.0
        if abs(t) > 1e-9 and abs(t - 1.0) > 1e-9:
            text += "+" + fraction_text(t)
        rows.append(text.lstrip("+"))
    return ",".join(rows)


def write_spgra(path):
    setting_of = {}
    with open(path, "w", newline="\n") as out:
        for hall in range(1, 531):
            t = spglib.get_spacegroup_type(hall)
            number = t["number"] if isinstance(t, dict) else t.number
            sym = spglib.get_symmetry_from_database(hall)
            ops = [operation_text(r, tr) for r, tr in zip(sym["rotations"], sym["translations"])]
            ops = [op for op in ops if op != "x,y,z"]
            setting_of[number] = setting_of.get(number, 0) + 1
            symbol = (t["international_short"] if isinstance(t, dict) else t.international_short).replace("_", "")
            hall_symbol = t["hall_symbol"] if isinstance(t, dict) else t.hall_symbol
            choice = (t["choice"] if isinstance(t, dict) else t.choice) or "-"
            out.write(f"{number} {setting_of[number]} {hall} 0 {len(ops)} {symbol}\n")
            out.write(f"{hall_symbol} ; choice {choice}\n")
            for op in ops:
                out.write(op + "\n")


if __name__ == "__main__":
    os.makedirs(DATA, exist_ok=True)
    write_nonrel(os.path.join(DATA, "nonrel"))
    write_asfdc(os.path.join(DATA, "asfdc"))
    write_spgra(os.path.join(DATA, "spgra"))
