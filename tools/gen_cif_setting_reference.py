#!/usr/bin/python3
"""Writes tests/data/cryslink/cif/settings/reference.txt: the unit cell that
spglib's operations for a given Hall setting make of each CIF file in that
directory, which name their space group but list no operations.

Each file is read with gemmi's generic CIF reader (cell and the atom-site
loop; a coordinate written "." is 0); the Hall number is the one the file's
symbols mean, from the table below. Each record:
  file number setting nsites          (setting: position of the Hall setting
                                       within its number, as in data/spgra)
  type x y z                          (nsites lines, in [0, 1))
Sites of one type closer than 0.01 A are one site, as in Cryslink. The tool
fails when two sites of a cell are closer than 0.5 A.

Run from anywhere with /usr/bin/python3 (make generators installs the packages).
"""
import os
import re
import sys

import gemmi
import numpy as np
import spglib

FIXTURES = {
    "P21n_hall_and_number.cif": 82,  # -P 2yn
    "P21n_no_number.cif": 82,
    "I2a.cif": 92,                   # -I 2ya
    "Pna21.cif": 164,
    "Pbn21.cif": 165,
    "Fd-3m_colon1.cif": 525,         # origin choice 1
    "Fd-3m_colon2.cif": 526,         # origin choice 2
    "Fd-3m_S.cif": 525,
    "Fd-3m_Z.cif": 526,
    "R-3c_colonH.cif": 460,          # hexagonal axes
    "R-3c_H.cif": 460,
    "R-3c_colonR.cif": 461,          # rhombohedral axes
    "R-3c_R.cif": 461,
    "Pm3m_old.cif": 517,
    "Fd3m_old.cif": 525,
    "Ia3d_old.cif": 530,
    "hall_only.cif": 294,            # -P 2c 2ab (P b n m)
    "ICSD_dot_coordinates.cif": 517,
}

DIR = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "data", "cryslink", "cif", "settings")


def value(text):
    return 0.0 if text == "." else float(re.sub(r"\(\d+\)$", "", text))


def read_fixture(path):
    block = gemmi.cif.read_file(path).sole_block()
    cell = [value(block.find_value(f"_cell_{tag}")) for tag in
            ("length_a", "length_b", "length_c", "angle_alpha", "angle_beta", "angle_gamma")]
    table = block.find("_atom_site_", ["type_symbol", "fract_x", "fract_y", "fract_z"])
    sites = [(gemmi.cif.as_string(row[0]), value(row[1]), value(row[2]), value(row[3])) for row in table]
    return cell, sites


def metric(cell):
    a, b, c, al, be, ga = cell
    ca, cb, cg = (np.cos(np.radians(v)) for v in (al, be, ga))
    return np.array([[a * a, a * b * cg, a * c * cb], [a * b * cg, b * b, b * c * ca], [a * c * cb, b * c * ca, c * c]])


def shortest(d, g):
    """Length of the shortest lattice translate of the fractional difference d."""
    d = d - np.round(d)
    return min(np.sqrt(e @ g @ e) for e in (d + np.array([i, j, k]) for i in (-1, 0, 1)
                                            for j in (-1, 0, 1) for k in (-1, 0, 1)))


def expand(hall, cell, sites):
    symmetry = spglib.get_symmetry_from_database(hall)
    g = metric(cell)
    out = []
    for kind, *p in sites:
        for r, t in zip(symmetry["rotations"], symmetry["translations"]):
            q = (r @ np.array(p) + t) % 1.0
            q[np.isclose(q, 1.0, atol=1e-9)] = 0.0
            if not any(k == kind and shortest(q - q2, g) < 0.01 for k, q2 in out):
                out.append((kind, q))
    return out


def setting_of(hall):
    number = spglib.get_spacegroup_type(hall)["number"]
    first = min(h for h in range(1, 531) if spglib.get_spacegroup_type(h)["number"] == number)
    return number, hall - first + 1


if __name__ == "__main__":
    lines = []
    for name, hall in FIXTURES.items():
        cell, sites = read_fixture(os.path.join(DIR, name))
        expanded = expand(hall, cell, sites)
        g = metric(cell)
        closest = min(shortest(p - q, g) for i, (_, p) in enumerate(expanded) for _, q in expanded[i + 1:])
        if closest < 0.5:
            sys.exit(f"{name}: two sites {closest:.3f} A apart")
        number, setting = setting_of(hall)
        lines.append(f"{name} {number} {setting} {len(expanded)}")
        lines += [f"{kind} {q[0]:.6f} {q[1]:.6f} {q[2]:.6f}" for kind, q in expanded]
        print(f"{name}: {number}:{setting}, {len(expanded)} sites, closest {closest:.2f} A")
    with open(os.path.join(DIR, "reference.txt"), "w", newline="\n") as out:
        out.writelines(line + "\n" for line in lines)
