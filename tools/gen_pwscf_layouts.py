#!/usr/bin/python3
"""Writes pw.x runs in layouts no public test suite holds a licensed file of,
as pw.x 6.x prints them, into tests/data/cryslink/pwscf/:

  Pt_sg225_scf.in/.out      an scf run of fcc Pt given by space_group = 225 and
                            crystal_sg positions: the input's site expands to
                            the conventional cell (4 atoms), while the output
                            works in the primitive cell (1 atom), with forces.
  Si2_vc-relax_ibrav2.in/.out
                            a vc-relax of an fcc (ibrav = 2) input under a
                            pressure that breaks the symmetry: the final cell
                            is slightly triclinic.
  Si2_vc-relax_ibrav2_fcc.in/.out
                            the same run ending in a cell that is still fcc.

Standard library only; the numbers are made up but consistent (cells,
reciprocal axes, volumes, positions in the units the cards name). Run with
/usr/bin/python3 from the checkout; the files are rewritten in place.
"""
import math
import os
import sys

BOHR = 0.529177210903  # angstrom
OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "data", "cryslink", "pwscf")


def det(m):
    return (m[0][0] * (m[1][1] * m[2][2] - m[1][2] * m[2][1]) - m[0][1] * (m[1][0] * m[2][2] - m[1][2] * m[2][0])
            + m[0][2] * (m[1][0] * m[2][1] - m[1][1] * m[2][0]))


def reciprocal(a):
    """b_i . a_j = delta_ij (rows)."""
    d = det(a)
    b = []
    for i in range(3):
        p, q = a[(i + 1) % 3], a[(i + 2) % 3]
        b.append([(p[1] * q[2] - p[2] * q[1]) / d, (p[2] * q[0] - p[0] * q[2]) / d, (p[0] * q[1] - p[1] * q[0]) / d])
    return b


def strained(vectors, eps):
    """Rows v (I + eps)."""
    return [[sum(v[k] * ((1.0 if k == j else 0.0) + eps[k][j]) for k in range(3)) for j in range(3)] for v in vectors]


def header(version, ibrav, alat, axes, species, sites, mass):
    """The summary pw.x prints before the scf: cell, species, atom table (alat units)."""
    volume = abs(det(axes)) * alat ** 3
    recip = reciprocal(axes)
    lines = [
        "",
        f"     Program PWSCF v.{version} starts on  9Dec2025 at 10:00: 0 ",
        "",
        "     This program is part of the open-source Quantum ESPRESSO suite",
        "",
        "     Reading input from standard input",
        "",
        f"     bravais-lattice index     = {ibrav:12d}",
        f"     lattice parameter (alat)  = {alat:12.4f}  a.u.",
        f"     unit-cell volume          = {volume:12.4f} (a.u.)^3",
        f"     number of atoms/cell      = {len(sites):12d}",
        f"     number of atomic types    = {len(species):12d}",
        "     kinetic-energy cutoff     =      30.0000  Ry",
        "",
        f"     celldm(1)={alat:11.6f}  celldm(2)=   0.000000  celldm(3)=   0.000000",
        "     celldm(4)=   0.000000  celldm(5)=   0.000000  celldm(6)=   0.000000",
        "",
        "     crystal axes: (cart. coord. in units of alat)",
    ]
    for i, a in enumerate(axes):
        lines.append(f"               a({i + 1}) = ( {a[0]:10.6f} {a[1]:10.6f} {a[2]:10.6f} )  ")
    lines += ["", "     reciprocal axes: (cart. coord. in units 2 pi/alat)"]
    for i, b in enumerate(recip):
        lines.append(f"               b({i + 1}) = ( {b[0]:9.6f} {b[1]:9.6f} {b[2]:9.6f} )  ")
    lines.append("")
    for n, (name, pseudo) in enumerate(species, 1):
        lines += [f"     PseudoPot. # {n} for {name:2s} read from file:", f"     ./pseudo/{pseudo}", ""]
    lines.append("     atomic species   valence    mass     pseudopotential")
    for name, _ in species:
        lines.append(f"        {name:2s}            10.00   {mass[name]:9.5f}     {name:2s}( 1.00)")
    lines += ["", "     48 Sym. Ops., with inversion, found", "", "", "   Cartesian axes", "",
              "     site n.     atom                  positions (alat units)"]
    for n, (name, r) in enumerate(sites, 1):
        lines.append(f"     {n:5d}           {name:2s}  tau({n:4d}) = ( {r[0]:11.7f} {r[1]:11.7f} {r[2]:11.7f}  )")
    lines += ["", "     number of k points=     2", "                       cart. coord. in units 2pi/alat",
              "        k(    1) = (   0.0000000   0.0000000   0.0000000), wk =   0.2500000",
              "        k(    2) = (  -0.5000000   0.5000000  -0.5000000), wk =   1.7500000", ""]
    return lines


def scf(energy, forces, pressure):
    lines = ["     End of self-consistent calculation", "",
             "          k = 0.0000 0.0000 0.0000 (   411 PWs)   bands (ev):", "",
             "    -5.7012   6.1937   6.1937   6.1937", "",
             "          k =-0.5000 0.5000-0.5000 (   402 PWs)   bands (ev):", "",
             "    -3.4290  -0.8275   4.9632   4.9632", "",
             "     the Fermi energy is     6.4106 ev", "",
             f"!    total energy              = {energy:16.8f} Ry",
             "     estimated scf accuracy    <       0.00000041 Ry", "",
             "     convergence has been achieved in   6 iterations", "",
             "     Forces acting on atoms (cartesian axes, Ry/au):", ""]
    for n, (t, f) in enumerate(forces, 1):
        lines.append(f"     atom {n:4d} type {t:2d}   force = {f[0]:14.8f}{f[1]:14.8f}{f[2]:14.8f}")
    total = math.sqrt(sum(x * x for _, f in forces for x in f))
    lines += ["", f"     Total force = {total:12.6f}     Total SCF correction =     0.000001", "", "",
              "     Computing stress (Cartesian axis) and pressure", "",
              f"          total   stress  (Ry/bohr**3)                   (kbar)     P= {pressure:12.2f}"]
    s = pressure / 147105.08
    for i in range(3):
        row = [s if i == j else 0.0 for j in range(3)]
        lines.append(f"  {row[0]:11.8f}  {row[1]:11.8f}  {row[2]:11.8f}  "
                     f"{row[0] * 147105.08:13.2f}{row[1] * 147105.08:12.2f}{row[2] * 147105.08:12.2f}")
    return lines + ["", ""]


def cards(alat, cell, positions):
    volume = abs(det(cell)) * alat ** 3
    lines = [f"     new unit-cell volume = {volume:12.5f} a.u.^3 ( {volume * BOHR ** 3:12.5f} Ang^3 )",
             "     density =      2.31000 g/cm^3", "", f"CELL_PARAMETERS (alat= {alat:12.8f})"]
    for v in cell:
        lines.append(f"  {v[0]:12.9f}  {v[1]:12.9f}  {v[2]:12.9f}")
    lines += ["", "ATOMIC_POSITIONS (alat)"]
    for name, r in positions:
        lines.append(f"{name:2s}       {r[0]:19.10f} {r[1]:19.10f} {r[2]:19.10f}")
    return lines + ["", ""]


def write(name, text):
    with open(os.path.join(OUT, name), "w") as f:
        f.write(text)


def pt_space_group():
    a = 3.92  # angstrom
    alat = a / BOHR
    write("Pt_sg225_scf.in",
          " &control\n    calculation = 'scf'\n    prefix = 'pt'\n    tprnfor = .true.\n /\n"
          " &system\n    space_group = 225\n    A = 3.92\n    nat = 1\n    ntyp = 1\n"
          "    ecutwfc = 30.0\n    occupations = 'smearing', smearing = 'mv', degauss = 0.02\n /\n"
          " &electrons\n    conv_thr = 1.0d-8\n /\n"
          "ATOMIC_SPECIES\n Pt  195.084  Pt.pbe-n-rrkjus.UPF\n"
          "ATOMIC_POSITIONS crystal_sg\n Pt  0.00  0.00  0.00\n"
          "K_POINTS automatic\n 8 8 8 1 1 1\n")
    axes = [[-0.5, 0.0, 0.5], [0.0, 0.5, 0.5], [-0.5, 0.5, 0.0]]
    lines = header("6.5", 2, alat, axes, [("Pt", "Pt.pbe-n-rrkjus.UPF")], [("Pt", [0.0, 0.0, 0.0])],
                   {"Pt": 195.084})
    lines += scf(-69.51735806, [(1, [0.0, 0.0, 0.0])], -12.31)
    lines += ["", "   JOB DONE.", ""]
    write("Pt_sg225_scf.out", "\n".join(lines))


def si_vc_relax(stem, eps_final):
    alat = 10.20
    write(stem + ".in",
          " &control\n    calculation = 'vc-relax'\n    prefix = 'si'\n    tprnfor = .true.\n    tstress = .true.\n /\n"
          " &system\n    ibrav = 2,\n    celldm(1) = 10.20,\n    nat = 2,\n    ntyp = 1,\n    ecutwfc = 30.0\n /\n"
          " &electrons\n    conv_thr = 1.0d-8\n /\n &ions\n    ion_dynamics = 'bfgs'\n /\n"
          " &cell\n    cell_dynamics = 'bfgs'\n    press = 120.0\n    cell_dofree = 'all'\n /\n"
          "ATOMIC_SPECIES\n Si  28.086  Si.pbe-rrkj.UPF\n"
          "ATOMIC_POSITIONS alat\n Si  0.00  0.00  0.00\n Si  0.26  0.24  0.25\n"
          "K_POINTS automatic\n 4 4 4 1 1 1\n")
    axes = [[-0.5, 0.0, 0.5], [0.0, 0.5, 0.5], [-0.5, 0.5, 0.0]]
    base = [[0.0, 0.0, 0.0], [0.26, 0.24, 0.25]]
    drift = [[0.0, 0.0, 0.0], [-0.0021, 0.0034, 0.0012]]
    species = [("Si", "Si.pbe-rrkj.UPF")]
    steps = 3
    cells, positions = [], []
    for i in range(steps + 1):
        t = i / steps
        eps = [[t * x for x in row] for row in eps_final]
        cells.append(strained(axes, eps))
        positions.append([("Si", [sum(((p[k] + t * d[k]) * ((1.0 if k == j else 0.0) + eps[k][j])) for k in range(3))
                                  for j in range(3)]) for p, d in zip(base, drift)])
    forces = [[(1, [0.0123, -0.0211, -0.0087]), (1, [-0.0123, 0.0211, 0.0087])],
              [(1, [0.0061, -0.0102, -0.0040]), (1, [-0.0061, 0.0102, 0.0040])],
              [(1, [0.0014, -0.0025, -0.0011]), (1, [-0.0014, 0.0025, 0.0011])],
              [(1, [0.0001, -0.0002, -0.0001]), (1, [-0.0001, 0.0002, 0.0001])]]
    lines = header("6.5", 2, alat, axes, species, positions[0], {"Si": 28.086})
    for i in range(steps + 1):
        lines += scf(-15.8412 - 0.001 * i, forces[i], 120.0 - 40.0 * i)
        if i < steps:
            lines += ["     BFGS Geometry Optimization", "", f"     number of scf cycles    = {i + 1:3d}",
                      f"     number of bfgs steps    = {i:3d}", "",
                      f"     enthalpy new            =     {-15.70 - 0.001 * i:.10f} Ry", ""]
            lines += cards(alat, cells[i + 1], positions[i + 1])
        else:
            lines += [f"     bfgs converged in {steps + 1:3d} scf cycles and {steps:3d} bfgs steps",
                      "     (criteria: energy <  1.0E-04 Ry, force <  1.0E-03 Ry/Bohr, cell <  5.0E-01 kbar)", "",
                      "     End of BFGS Geometry Optimization", "",
                      "     Final enthalpy =     -15.7030000000 Ry", "", "Begin final coordinates"]
            lines += cards(alat, cells[steps], positions[steps])[:-2] + ["End final coordinates", "", ""]
            lines += ["     Final scf calculation at the relaxed structure.",
                      "     The G-vectors are recalculated for the final unit cell",
                      "     Results may differ from those at the preceding step."]
            lines += header("6.5", 2, alat, cells[steps], species, positions[steps], {"Si": 28.086})[6:]
            lines += scf(-15.8450, forces[steps], 0.12)
    lines += ["", "   JOB DONE.", ""]
    write(stem + ".out", "\n".join(lines))


def main():
    if not os.path.isdir(OUT):
        sys.exit(f"no folder {OUT}")
    pt_space_group()
    si_vc_relax("Si2_vc-relax_ibrav2", [[0.0060, 0.0020, -0.0010], [0.0020, -0.0030, 0.0015],
                                         [-0.0010, 0.0015, 0.0040]])
    si_vc_relax("Si2_vc-relax_ibrav2_fcc", [[0.0045, 0.0, 0.0], [0.0, 0.0045, 0.0], [0.0, 0.0, 0.0045]])


main()
