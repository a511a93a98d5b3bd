#!/usr/bin/python3
"""Reads an updated pw.x input with ase.io.espresso and the last structure of
the run's output with ase's own reader, and checks that they agree: cell
lengths and angles, and every fractional position up to lattice translations.
Usage: check_pwscf_update.py updated-input output [tolerance]. Exit status 0
when they agree, 1 when not, 2 when ase cannot read the input."""
import sys

import numpy as np
from ase.io import read


def main():
    updated, output = sys.argv[1], sys.argv[2]
    tolerance = float(sys.argv[3]) if len(sys.argv) > 3 else 1e-5
    try:
        mine = read(updated, format="espresso-in")
    except Exception as error:  # ase reads not every layout (space groups)
        print(f"ase cannot read {updated}: {error}")
        return 2
    final = read(output, format="espresso-out", index=-1)
    cell_mine, cell_final = mine.cell.cellpar(), final.cell.cellpar()
    if not np.allclose(cell_mine, cell_final, atol=tolerance * 100):
        print(f"cell {cell_mine} != {cell_final}")
        return 1
    if mine.get_chemical_symbols() != final.get_chemical_symbols():
        print("atoms differ")
        return 1
    d = mine.get_scaled_positions(wrap=False) - final.get_scaled_positions(wrap=False)
    d -= np.round(d)
    worst = np.abs(d).max()
    if worst > tolerance:
        print(f"positions differ by {worst}")
        return 1
    print(f"{updated}: {len(mine)} atoms, cell {np.round(cell_mine, 6)}, agrees with {output}")
    return 0


sys.exit(main())
