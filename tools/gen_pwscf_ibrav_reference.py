#!/usr/bin/python3
"""Prints the cell vectors ase.io.espresso gives each ibrav, as rows of the
table in tests/cryslink/pwscf_test.cpp: ibrav, celldm(1..6), the three vectors
in bohr. ibrav 11, 91 and -13 are not in this table (ase 3.22 builds no cell
for them); their vectors are checked through their conventional cells."""
import numpy as np
from ase.io.espresso import ibrav_to_cell
from ase.units import Bohr

celldm = {1: 10.2, 2: 1.3, 3: 1.7, 4: 0.21, 5: -0.27, 6: 0.13}
for ibrav in (1, 2, 3, -3, 4, 5, -5, 6, 7, 8, 9, -9, 10, 12, -12, 13, 14):
    system = {"ibrav": ibrav}
    system.update({f"celldm({k})": v for k, v in celldm.items()})
    alat, cell = ibrav_to_cell(system)
    v = ", ".join(f"{x:.12f}" for x in (np.array(cell) / Bohr).ravel())
    print(f"    {{{ibrav}, {{{v}}}}},")
