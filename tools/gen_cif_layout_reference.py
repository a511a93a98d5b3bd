#!/usr/bin/python3
"""Writes tests/data/cryslink/cif/layouts/reference.txt: the cell, the atoms
of each type in the unit cell and the density of each CIF file in that
directory, as an outside reading gives them.

The files are read with gemmi's CIF parser (gemmi 0.5 has no strings in
triple quotes: each is turned into a text field first). The data block is the
first with a cell and an atom-site loop. The operations are the file's own,
parsed by gemmi.Op: the 3-D part of magnetic operations (the time-reversal
term dropped), each followed by every magnetic centring, and of superspace
operations (x1, x2, x3 as x, y, z); for a file without operations, the gemmi
space group named in the table below. Rows that are no atoms are left out: a
calc flag "dum", and, without a type symbol, labels of residual peaks (Q1,
max, min, peak, hole), centroids (Cg, Cp, Cnt) or labels that name no element.
Coordinates may be fractions (1/4). Sites of one type closer than 0.01 A are
one site, as in Cryslink. The density takes gemmi's element weights, 2.0141 for
D and 3.0160 for T.

Two checks must pass before anything is written:
  - where the file gives _chemical_formula_sum and _cell_formula_units_Z, the
    occupancy-weighted atoms of each element equal formula x Z;
  - where pymatgen's CifParser reads the file (and understands its layout),
    its composition (occupancy weighted) equals ours.

Each record:
  file a b c alpha beta gamma density ntypes     (lengths in A, g/cm3)
  type count                                     (ntypes lines, sorted by type)

Run from anywhere with /usr/bin/python3 (make generators installs the packages).
"""
import math
import os
import re
import sys
import warnings
from collections import Counter, defaultdict
from fractions import Fraction

import gemmi
import numpy as np

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from gen_cif_setting_reference import metric, shortest  # noqa: E402

DIR = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "data", "cryslink", "cif", "layouts")

# The group of a file that lists no operations, as gemmi names it.
GROUPS = {
    "A-1_COD2000507.cif": "A -1",
    "deuterium_max_min_COD1000002.cif": "P 1 21/n 1",
    "rutile_cif2_full_symbol.cif": "P 42/m n m",
}
# Layouts pymatgen does not read: it takes no superspace operations.
PYMATGEN_MISREADS = {"superspace_sn5100.cif"}
ISOTOPES = {"D": 2.01410178, "T": 3.01604928}
SYMBOLS = {gemmi.Element(z).name for z in range(1, 119)} | set(ISOTOPES)


def read_blocks(path):
    text = open(path, encoding="utf-8", errors="replace").read()
    text = re.sub(r"('''|\"\"\")(.*?)\1", lambda m: "\n;" + m.group(2) + "\n;\n", text, flags=re.S)
    return gemmi.cif.read_string(text)


def variants(name):
    """The name and its dotted spellings ("_cell_length_a", "_cell.length_a", ...)."""
    yield name
    for i in range(1, len(name)):
        if name[i] == "_":
            yield name[:i] + "." + name[i + 1:]


def item(block, name):
    for tag in variants(name):
        value = block.find_value(tag)
        if value is not None:
            return gemmi.cif.as_string(value)
    return None


def column(block, *names):
    """The values of the first of the loop columns `names` the block has."""
    for name in names:
        for tag in variants(name):
            values = block.find_values(tag)
            if values is not None and len(values):
                return [gemmi.cif.as_string(v) for v in values]
    return None


def number(text):
    text = re.sub(r"\(\d+\)$", "", text.strip())
    if text == ".":
        return 0.0
    return float(Fraction(text)) if "/" in text else float(text)


def element_of_label(label):
    letters = re.match(r"[A-Za-z]*", label).group(0)
    if len(letters) <= 2:
        for s in (letters, letters.capitalize()):
            if s in SYMBOLS:
                return s
    for transform in (lambda s: s, str.capitalize):
        for n in (2, 1):
            s = transform(letters[:n])
            if len(letters) >= n and s in SYMBOLS:
                return s
    return ""


def no_atom(label, type_given, calc):
    if calc.lower() == "dum":
        return True
    if type_given:
        return False
    if re.match(r"[Qq]\d", label) or re.match(r"(?i)(max|min|peak|hole|cg|cp|cnt)(?![a-z])", label):
        return True
    return element_of_label(label) == ""


def position_part(text):
    parts = [p.strip() for p in text.split(",")]
    return ",".join(re.sub(r"[xX]([123])", lambda m: "xyz"[int(m.group(1)) - 1], p) for p in parts[:3])


def operations(block, name):
    for tags, magnetic in ((("_symmetry_equiv_pos_as_xyz", "_space_group_symop_operation_xyz"), False),
                           (("_space_group_symop_magn_operation_xyz",), True),
                           (("_space_group_symop_ssg_operation_algebraic",), True)):
        texts = column(block, *tags)
        if not texts:
            continue
        ops = [gemmi.Op(position_part(t) if magnetic else t) for t in texts]
        centrings = column(block, "_space_group_symop_magn_centering_xyz") if magnetic else None
        if centrings:
            ops = [gemmi.Op(position_part(c)) * op for op in ops for c in centrings]
        return ops
    group = gemmi.find_spacegroup_by_name(GROUPS[name])
    return list(group.operations())


def read(path):
    name = os.path.basename(path)
    blocks = read_blocks(path)
    block = next((b for b in blocks if item(b, "_cell_length_a") and column(b, "_atom_site_fract_x")), blocks[0])
    cell = [number(item(block, f"_cell_{t}")) for t in
            ("length_a", "length_b", "length_c", "angle_alpha", "angle_beta", "angle_gamma")]
    labels = column(block, "_atom_site_label")
    n = len(column(block, "_atom_site_fract_x"))
    types = column(block, "_atom_site_type_symbol") or ["?"] * n
    calc = column(block, "_atom_site_calc_flag") or ["."] * n
    occupancy = column(block, "_atom_site_occupancy") or ["1"] * n
    xyz = list(zip(*(column(block, f"_atom_site_fract_{a}") for a in "xyz")))
    ops = operations(block, name)
    g = metric(cell)
    sites = []
    for label, kind, flag, occ, p in zip(labels, types, calc, occupancy, xyz):
        type_given = kind not in ("?", ".", "")
        if no_atom(label, type_given, flag):
            continue
        kind = kind if type_given else element_of_label(label)
        occ = 1.0 if occ in ("?", ".", "") else number(occ)
        p = [number(v) for v in p]
        for op in ops:
            q = np.array(op.apply_to_xyz(p)) % 1.0
            q[np.isclose(q, 1.0, atol=1e-9)] = 0.0
            if not any(k == kind and shortest(q - q2, g) < 0.01 for k, q2, _ in sites):
                sites.append((kind, q, occ))
    return block, cell, sites


def element(kind):
    return element_of_label(kind)


def weighted(sites):
    amount = defaultdict(float)
    for kind, _, occ in sites:
        amount[element(kind)] += occ
    return amount


def check_formula(name, block, sites):
    formula, z = item(block, "_chemical_formula_sum"), item(block, "_cell_formula_units_Z")
    if not formula or not z or formula in ("?", "."):
        return False
    expected = defaultdict(float)
    for symbol, count in re.findall(r"([A-Z][a-z]?)([0-9.]*)", formula):
        expected[symbol] += float(count or 1) * float(z)
    found = weighted(sites)
    if set(expected) != {e for e, v in found.items() if v > 1e-6} or any(
            abs(found[e] - v) > 0.02 * max(1.0, v) for e, v in expected.items()):
        sys.exit(f"{name}: cell holds {dict(found)}, formula x Z is {dict(expected)}")
    return True


def check_pymatgen(name, path, sites):
    if name in PYMATGEN_MISREADS:
        return False
    try:
        from pymatgen.io.cif import CifParser
        with warnings.catch_warnings():
            warnings.simplefilter("ignore")
            parser = CifParser(path)
            structure = (parser.parse_structures if hasattr(parser, "parse_structures") else parser.get_structures)(
                primitive=False)[0]
    except Exception:
        return False
    theirs = {str(e.symbol): v for e, v in structure.composition.element_composition.items()}
    ours = {("H" if e in ISOTOPES else e): 0.0 for e in weighted(sites)}
    for e, v in weighted(sites).items():
        ours["H" if e in ISOTOPES else e] += v
    if set(theirs) != set(ours) or any(abs(theirs[e] - ours[e]) > 1e-3 for e in ours):
        sys.exit(f"{name}: pymatgen reads {theirs}, this script {ours}")
    return True


def density(cell, sites):
    a, b, c, al, be, ga = cell
    ca, cb, cg = (math.cos(math.radians(v)) for v in (al, be, ga))
    volume = a * b * c * math.sqrt(1 - ca * ca - cb * cb - cg * cg + 2 * ca * cb * cg)
    mass = sum(occ * (ISOTOPES.get(element(k)) or gemmi.Element(element(k)).weight) for k, _, occ in sites)
    return mass / 6.02214076e23 / (volume * 1e-24)


if __name__ == "__main__":
    lines = []
    for name in sorted(f for f in os.listdir(DIR) if f.endswith((".cif", ".mcif"))):
        path = os.path.join(DIR, name)
        block, cell, sites = read(path)
        checks = [c for c, ok in (("formula x Z", check_formula(name, block, sites)),
                                  ("pymatgen", check_pymatgen(name, path, sites))) if ok]
        count = Counter(kind for kind, _, _ in sites)
        lines.append(f"{name} " + " ".join(f"{v:g}" for v in cell) + f" {density(cell, sites):.5f} {len(count)}")
        lines += [f"{kind} {count[kind]}" for kind in sorted(count)]
        print(f"{name}: {dict(sorted(count.items()))}, checked against {', '.join(checks) or 'nothing'}")
    with open(os.path.join(DIR, "reference.txt"), "w", newline="\n") as out:
        out.writelines(line + "\n" for line in lines)
