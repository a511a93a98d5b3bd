#!/usr/bin/python3
"""Writes tests/data/cryslink/core/expansion_reference.txt: for one structure
in each crystal system, the number of sites in the unit cell that spglib's
operations generate from the asymmetric unit. Each record:
  number setting a b c alpha beta gamma nsites expected_count
  type x y z       (nsites lines)
The setting is the position of the Hall setting within its space-group number,
as in data/spgra.
"""
import os

import numpy as np
import spglib

STRUCTURES = [
    # hall, cell (nm, degrees), asymmetric sites
    (2, (0.51, 0.62, 0.73, 71.0, 82.0, 95.0), [("Si", 0.1, 0.2, 0.3), ("O", 0.5, 0.5, 0.0)]),       # P-1
    (81, (0.52, 0.61, 0.77, 90.0, 104.0, 90.0), [("Fe", 0.12, 0.34, 0.21), ("O", 0.0, 0.0, 0.0)]),   # P21/c
    (298, (0.58, 0.66, 0.71, 90.0, 90.0, 90.0), [("Ca", 0.1, 0.25, 0.3), ("O", 0.31, 0.07, 0.64)]),  # C m c a
    (419, (0.46, 0.46, 0.30, 90.0, 90.0, 90.0), [("Ti", 0.0, 0.0, 0.0), ("O", 0.3049, 0.3049, 0.0)]),  # P42/mnm
    (460, (0.476, 0.476, 1.299, 90.0, 90.0, 120.0), [("Al", 0.0, 0.0, 0.3523), ("O", 0.3064, 0.0, 0.25)]),  # R-3c hex
    (488, (0.3209, 0.3209, 0.5211, 90.0, 90.0, 120.0), [("Mg", 0.3333, 0.6667, 0.25), ("O", 0.1, 0.2, 0.3)]),  # P63/mmc
    (526, (0.8083, 0.8083, 0.8083, 90.0, 90.0, 90.0), [("Mg", 0.125, 0.125, 0.125), ("Al", 0.5, 0.5, 0.5), ("O", 0.2624, 0.2624, 0.2624)]),  # Fd-3m:2
]


def metric(cell):
    a, b, c, al, be, ga = cell
    ca, cb, cg = (np.cos(np.radians(v)) for v in (al, be, ga))
    return np.array([[a * a, a * b * cg, a * c * cb], [a * b * cg, b * b, b * c * ca], [a * c * cb, b * c * ca, c * c]])


def count_sites(hall, cell, sites, tol=1e-3):
    sym = spglib.get_symmetry_from_database(hall)
    g = metric(cell)
    cell_sites = []
    for kind, x, y, z in sites:
        p = np.array([x, y, z])
        for r, t in zip(sym["rotations"], sym["translations"]):
            q = (r @ p + t) % 1.0
            dup = False
            for k2, q2 in cell_sites:
                if k2 != kind:
                    continue
                d = q - q2
                d -= np.floor(d + 0.5)
                if d @ g @ d < tol * tol:
                    dup = True
                    break
            if not dup:
                cell_sites.append((kind, q))
    return len(cell_sites)


def setting_of(hall):
    number = spglib.get_spacegroup_type(hall)["number"]
    first = min(h for h in range(1, 531) if spglib.get_spacegroup_type(h)["number"] == number)
    return number, hall - first + 1


if __name__ == "__main__":
    root = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")
    path = os.path.join(root, "tests", "data", "cryslink", "core", "expansion_reference.txt")
    with open(path, "w", newline="\n") as out:
        for hall, cell, sites in STRUCTURES:
            number, setting = setting_of(hall)
            out.write(f"{number} {setting} {' '.join(str(v) for v in cell)} {len(sites)} "
                      f"{count_sites(hall, cell, sites)}\n")
            for kind, x, y, z in sites:
                out.write(f"{kind} {x} {y} {z}\n")
