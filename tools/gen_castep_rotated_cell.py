#!/usr/bin/python3
"""Writes tests/data/cryslink/castep/Si2_rotated_geom.castep: a CASTEP
geometry optimisation (the layout CASTEP 16 prints) of a two-atom Si cell
given with %BLOCK LATTICE_CART in the orientation of the fcc primitive
vectors (a1 = (h, h, 0), a2 = (h, 0, h), a3 = (0, h, h)), so that neither
vector lies along x. One atom is displaced, so the forces are not zero; the
cell shrinks once, at the first iteration. No public test suite holds a
licensed .castep file of a rotated cell with forces.

Three forces tables: the starting geometry's and those of two iterations
(two frames). Standard library only; the numbers are made up but consistent
(reciprocal vectors, lengths, angles and volume follow from the vectors).
Run with /usr/bin/python3 from the checkout; the file is rewritten in place.
"""
import math
import os

OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "data", "cryslink", "castep",
                   "Si2_rotated_geom.castep")


def det(m):
    return (m[0][0] * (m[1][1] * m[2][2] - m[1][2] * m[2][1]) - m[0][1] * (m[1][0] * m[2][2] - m[1][2] * m[2][0])
            + m[0][2] * (m[1][0] * m[2][1] - m[1][1] * m[2][0]))


def dot(u, v):
    return sum(a * b for a, b in zip(u, v))


def unit_cell(h):
    a = [[h, h, 0.0], [h, 0.0, h], [0.0, h, h]]
    d = det(a)
    recip = []
    for i in range(3):
        p, q = a[(i + 1) % 3], a[(i + 2) % 3]
        recip.append([2 * math.pi * x / d for x in (p[1] * q[2] - p[2] * q[1], p[2] * q[0] - p[0] * q[2],
                                                    p[0] * q[1] - p[1] * q[0])])
    lengths = [math.sqrt(dot(v, v)) for v in a]
    angle = lambda i, j: math.degrees(math.acos(dot(a[i], a[j]) / (lengths[i] * lengths[j])))
    lines = ["", "                           -------------------------------",
             "                                      Unit Cell",
             "                           -------------------------------",
             "        Real Lattice(A)              Reciprocal Lattice(1/A)"]
    for v, r in zip(a, recip):
        lines.append(f"  {v[0]:10.7f}  {v[1]:10.7f}  {v[2]:10.7f}       {r[0]:10.7f}  {r[1]:10.7f}  {r[2]:10.7f}")
    lines += ["", "                       Lattice parameters(A)       Cell Angles",
              f"                    a = {lengths[0]:11.6f}          alpha = {angle(1, 2):11.6f}",
              f"                    b = {lengths[1]:11.6f}          beta  = {angle(0, 2):11.6f}",
              f"                    c = {lengths[2]:11.6f}          gamma = {angle(0, 1):11.6f}", "",
              f"                Current cell volume = {abs(d):11.6f} A**3", ""]
    return lines


def contents(positions, first):
    lines = ["                           -------------------------------",
             "                                     Cell Contents",
             "                           -------------------------------"]
    if first:
        lines += ["                         Total number of ions in cell =    2",
                  "                      Total number of species in cell =    1",
                  "                        Max number of any one species =    2"]
    lines += ["", "            xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx",
              "            x  Element    Atom        Fractional coordinates of atoms  x",
              "            x            Number           u          v          w      x",
              "            x----------------------------------------------------------x"]
    for n, p in enumerate(positions, 1):
        lines.append(f"            x  Si           {n}       {p[0]:10.6f} {p[1]:10.6f} {p[2]:10.6f}   x ")
    lines += ["            xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx", "", ""]
    return lines


def forces(values):
    lines = [" ******************************** Forces *********************************",
             " *                                                                            *",
             " *                        Cartesian components (eV/A)                         *",
             " * -------------------------------------------------------------------------- *",
             " *                   x                    y                    z              *",
             " *                                                                            *"]
    for n, f in enumerate(values, 1):
        lines.append(f" * Si        {n}   {f[0]:12.5f}         {f[1]:12.5f}         {f[2]:12.5f}         *")
    lines += [" *                                                                            *",
              " ******************************************************************************"]
    return lines


def main():
    lines = [" +-------------------------------------------------+",
             " | Welcome to Academic Release CASTEP version 16.1 |",
             " +-------------------------------------------------+", "",
             " type of calculation                            : geometry optimization", ""]
    positions = [[0.0, 0.0, 0.0], [0.262, 0.245, 0.251]]
    lines += unit_cell(2.715) + contents(positions, True)
    steps = [
        (None, [[-0.41020, 0.18330, 0.05710], [0.41020, -0.18330, -0.05710]]),
        (2.709, [[-0.20110, 0.08150, 0.02960], [0.20110, -0.08150, -0.02960]]),
        (None, [[-0.03140, 0.01270, 0.00420], [0.03140, -0.01270, -0.00420]]),
    ]
    moves = [[0.0, 0.0, 0.0], [0.256, 0.248, 0.2505], [0.2505, 0.2497, 0.2501]]
    for i, (cell, f) in enumerate(steps):
        if i > 0:
            lines += ["================================================================================",
                      f" Starting BFGS iteration          {i} ...",
                      "================================================================================", ""]
            if cell:
                lines += unit_cell(cell)
            lines += contents([[0.0, 0.0, 0.0], moves[i]], False)
        lines += [f"Final energy =  -{214.201700 - 0.3 * i:.10f}     eV", ""] + forces(f)
        lines += [f" BFGS: finished iteration {i:5d} with enthalpy= -2.142017{i}0E+002 eV", ""]
    lines += [" BFGS: Geometry optimization completed successfully.", ""]
    with open(OUT, "w") as out:
        out.write("\n".join(lines) + "\n")


main()
