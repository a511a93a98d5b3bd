#!/usr/bin/python3
"""Writes tests/data/cryslink/gulp/Si3N4_origin_shift.gin: a GULP input whose
space group is followed by the option "origin" and a shift on the next line,
the positions being given from that origin. The structure is beta-Si3N4 in
P 63/m (a 7.6044, c 2.9063 A; Si 6h 0.1733 0.7694 1/4, N 6h 0.3323 0.0314
1/4, N 2c 1/3 2/3 1/4), written from the origin 0 0 1/4, so every z is 0.
Read with the shift, the cell holds Si6 N8 with Si-N 1.73 A; without it,
Si12 N16 with atoms 0.93 A apart.

Standard library only."""
import os

OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "data", "cryslink", "gulp")

TEXT = """opti conp prop
title
beta-Si3N4, positions from the origin 0 0 1/4 of P 63/m
end
cell
   7.604400   7.604400   2.906300  90.000000  90.000000 120.000000
fractional
Si   core  0.17330000   0.76940000   0.00000000
N    core  0.33230000   0.03140000   0.00000000
N    core  1/3          2/3          0.00000000
space
P 63/M
origin
0.0 0.0 0.25
species
Si   core    4.000000
N    core   -3.000000
"""

os.makedirs(OUT, exist_ok=True)
with open(os.path.join(OUT, "Si3N4_origin_shift.gin"), "w", newline="\n") as out:
    out.write(TEXT)
