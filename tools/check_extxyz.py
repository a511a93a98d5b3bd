#!/usr/bin/env python3
"""Reads an XSF animation and the extended XYZ file of the same run with ASE
and checks that they hold the same frames: cells, elements, positions, and
forces (the XSF's as the program printed them, times FACTOR, are the extended
XYZ's in eV/A; ASE takes XSF forces as Hartree/A, which is undone here).
Prints the energy of every frame of the extended XYZ file ("none" when a frame
has none) and exits 1 on the first difference.

    /usr/bin/python3 tools/check_extxyz.py run.xsf run.extxyz [FACTOR]
"""
import sys

import numpy as np
from ase.io import read
from ase.units import Hartree


def main():
    xsf_name, extxyz_name = sys.argv[1], sys.argv[2]
    factor = float(sys.argv[3]) if len(sys.argv) > 3 else 1.0
    xsf = read(xsf_name, index=":", format="xsf")
    ext = read(extxyz_name, index=":", format="extxyz")
    if len(xsf) != len(ext):
        sys.exit(f"{len(xsf)} XSF frames, {len(ext)} extended XYZ frames")
    for n, (a, b) in enumerate(zip(xsf, ext), start=1):
        if a.get_chemical_symbols() != b.get_chemical_symbols():
            sys.exit(f"frame {n}: elements differ")
        if not np.allclose(a.cell[:], b.cell[:], atol=2e-9):
            sys.exit(f"frame {n}: cells differ\n{a.cell[:]}\n{b.cell[:]}")
        if not np.allclose(a.positions, b.positions, atol=1e-6):
            sys.exit(f"frame {n}: positions differ by {np.abs(a.positions - b.positions).max()}")
        printed = a.get_forces() / Hartree
        forces = b.get_forces()
        if not np.allclose(printed * factor, forces, atol=1e-6 * max(1.0, factor)):
            sys.exit(f"frame {n}: forces differ by {np.abs(printed * factor - forces).max()}")
        if not all(b.pbc):
            sys.exit(f"frame {n}: not periodic")
        energy = b.calc.results.get("energy") if b.calc is not None else None
        print("none" if energy is None else repr(float(energy)))


if __name__ == "__main__":
    main()
