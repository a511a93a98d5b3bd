#!/usr/bin/python3
"""Reads each CIF twice, as two kinds of readers do: gemmi expanding the sites
by the space group the file names (_symmetry_space_group_name_H-M), pymatgen
by the operations it lists (_symmetry_equiv_pos_as_xyz), and checks that both
give the same cell: the same elements at the same fractional positions up to
lattice translations. Usage: check_cif_group.py file.cif ... Exit status 0
when every file agrees, 1 when one does not or a reader cannot read it."""
import sys
import warnings

import gemmi
import numpy as np
from pymatgen.io.cif import CifParser

warnings.simplefilter("ignore")


def unique(sites, tolerance):
    """(element, fractional position) pairs without repeats, positions in [0, 1)."""
    kept = []
    for element, position in sites:
        p = np.mod(np.asarray(position, dtype=float), 1.0)
        if not any(e == element and near(p, q, tolerance) for e, q in kept):
            kept.append((element, p))
    return kept


def near(p, q, tolerance):
    d = p - q
    return np.abs(d - np.round(d)).max() < tolerance


def by_name(path):
    structure = gemmi.read_small_structure(path)
    cell = structure.cell
    group = gemmi.find_spacegroup_by_name(structure.spacegroup_hm, cell.alpha, cell.gamma)
    if group is None:
        raise ValueError(f"gemmi knows no group [{structure.spacegroup_hm}]")
    sites = []
    for site in structure.sites:
        for op in group.operations():
            sites.append((site.element.name, op.apply_to_xyz(site.fract.tolist())))
    return group.xhm(), sites


def by_operations(path):
    structure = CifParser(path).get_structures(primitive=False)[0]
    return [(site.specie.symbol, site.frac_coords) for site in structure]


def check(path, tolerance=1e-4):
    try:
        name, named = by_name(path)
        listed = by_operations(path)
    except Exception as error:  # a reader that fails counts as disagreement
        print(f"{path}: {error}")
        return False
    a, b = unique(named, tolerance), unique(listed, tolerance)
    missing = [s for s in a if not any(e == s[0] and near(s[1], q, tolerance) for e, q in b)]
    if len(a) != len(b) or missing:
        print(f"{path}: by the name {name}: {len(a)} sites; by the operations: {len(b)} sites")
        return False
    print(f"{path}: {len(a)} sites both ways ({name})")
    return True


sys.exit(0 if all([check(path) for path in sys.argv[1:]]) else 1)
