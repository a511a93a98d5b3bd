#!/usr/bin/python3
"""Writes a synthetic TORV run for trying and timing the TORV tools.

   gen_torv_run.py STEM --sites N --frames F [--seed S] [--scale md|xd] [--log]

gives STEM.f05 (control input), STEM.f07 (starting structure with its
H-TENSOR lines), STEM.f9p (trajectory, fractional coordinates as whole
numbers: 9000 per period with --scale md, 2000 with xd) and STEM.f9v (state
and cell per step, five lines a step). With --log, also STEM.f06, a printed
log with a step table and a cell block every tenth step.

The cell is cubic and holds SiO2-like sites (one Si to two O) at random
positions at 0.08 atoms per cubic angstrom; every step moves each site by a
few hundredths of an angstrom, so sites leave the cell and come back on the
other side. Standard library only; the same seed gives the same files.
"""
import argparse
import random


def write_control(path, scale, frames):
    with open(path, "w") as f:
        f.write(f"{scale.upper()}  synthetic SiO2 run, NPT 300 K, {frames} steps\n")
        f.write("   3   2   2\n")
        f.write(f"CYCLE        {frames:05d}.    00001.        1.       1.        1.            :\n")
        f.write("TIMESTEP     2.0E-15                                                 :\n")
        f.write("TEMP.        300.00     0.00        1.                                :\n")
        f.write("PRESS.      0.0001    0.0001    0.0001                               :\n")
        f.write("VALENCE AND MASS OF ATOMS\n")
        f.write("  NO  NAME    MASS    CHARGE\n")
        f.write("   1  Si    28.0855   2.4000\n")
        f.write("   2  O     15.9994  -1.2000\n")
        f.write("END\n")


def write_structure(path, names, positions, a):
    n_si = names.count("Si")
    with open(path, "w") as f:
        f.write(f"  synthetic SiO2, {len(names)} sites\n")
        f.write(f"   2{len(names):8d}\n")
        f.write(" Si O\n")
        f.write(f"{n_si:8d}{len(names) - n_si:8d}\n")
        f.write(" SYNTHETIC RUN    NPT    300.0 K    0.0001 GPa\n")
        f.write("  CUTOFF   8.00  EWALD  0.3500\n")
        f.write("  SEED     12345\n")
        f.write(f"    1.0000{a:10.4f}{a:10.4f}{a:10.4f}\n")
        f.write(" H-TENSOR\n")
        for k in range(3):
            f.write("".join(f"{a if i == k else 0.0:12.6f}" for i in range(3)) + "\n")
        count = {"Si": 0, "O": 0}
        for i, (name, p) in enumerate(zip(names, positions)):
            count[name] += 1
            charge, mass = (2.4, 28.0855) if name == "Si" else (-1.2, 15.9994)
            head = f"{i + 1:5d}{name:>4s}{count[name]:5d}{charge:8.3f}{mass:10.4f}" + "  0.0000" * 3
            f.write(head.ljust(53) + "".join(f"{x:9.5f}" for x in p) + "\n")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("stem")
    parser.add_argument("--sites", type=int, default=90)
    parser.add_argument("--frames", type=int, default=20)
    parser.add_argument("--seed", type=int, default=7)
    parser.add_argument("--scale", choices=["md", "xd"], default="md")
    parser.add_argument("--log", action="store_true")
    args = parser.parse_args()

    rng = random.Random(args.seed)
    period = 9000 if args.scale == "md" else 2000
    n = args.sites
    a = (n / 0.08) ** (1.0 / 3.0)
    # Sites by type, as the trajectory lists them: all Si, then all O.
    n_si = n // 3
    names = ["Si"] * n_si + ["O"] * (n - n_si)
    units = [[rng.randrange(period) for _ in range(3)] for _ in range(n)]
    step = max(1, round(0.03 / a * period))  # about 0.03 angstrom

    write_control(args.stem + ".f05", args.scale, args.frames)
    write_structure(args.stem + ".f07", names, [[u / period for u in p] for p in units], a)
    with open(args.stem + ".f9p", "w") as trajectory, open(args.stem + ".f9v", "w") as cells:
        for k in range(args.frames):
            if k > 0:
                for p in units:
                    for c in range(3):
                        p[c] = (p[c] + rng.randint(-step, step)) % period
            fields = ["%4d%4d%4d" % tuple(p) for p in units]
            lines = ["".join(fields[i:i + 6]) for i in range(0, n, 6)]
            trajectory.write(f"  STEP{k:8d}  TIME{k * 0.002:10.4f} PS\n" + "\n".join(lines) + "\n")
            t, p, cell = 300.0 + rng.uniform(-5, 5), 0.0001 + rng.uniform(-0.05, 0.05), a * (1 + 0.001 * k / args.frames)
            cells.write(f"{t:8.2f}{p:10.4f}{-12345.6789:14.4f}{45.6789:12.4f}\n")
            cells.write(f"{-12391.3578:14.4f}{0.0:14.4f}{0.0:14.4f}\n")
            cells.write(f"{2.65:9.4f}{cell ** 3:9.1f}{cell:9.4f}{cell:9.4f}{cell:9.4f}{90.0:9.3f}{90.0:9.3f}{90.0:9.3f}\n")
            cells.write(f"{p:10.4f}{p:10.4f}{p:10.4f}\n")
            cells.write(f"{0.0:10.4f}{0.0:10.4f}{0.0:10.4f}\n")
    if args.log:
        write_log(args.stem + ".f06", args.frames, a, rng)


def write_log(path, frames, a, rng):
    header = (" Step Temp.  Press.(  Pxx   Pyy   Pzz   Pxy   Pxz   Pyz )   Coulomb    Short  3-body  Kinet."
              "     Total  Density")
    with open(path, "w") as f:
        f.write(" ****  TORV  MOLECULAR DYNAMICS  ****   NPT ENSEMBLE\n synthetic SiO2\n\n")
        f.write(f" NUMBER OF STEPS ={frames:6d},  time step of  2.00 fs\n")
        f.write(" " + "=" * 53 + "\n\n")
        for start in range(1, frames + 1, 10):
            f.write(header + "\n")
            for sn in range(start, min(start + 10, frames + 1)):
                t, p = 300.0 + rng.uniform(-5, 5), rng.uniform(-0.05, 0.05)
                tensor = "".join(f"{p + rng.uniform(-0.01, 0.01):6.3f}" for _ in range(3)) + "".join(
                    f"{rng.uniform(-0.005, 0.005):6.3f}" for _ in range(3))
                f.write(f"{sn:5d} {t:5.1f}{p:8.4f}({tensor}){-12345.67:10.2f}{-234.567:9.3f}{12.345:7.3f}"
                        f"{45.678:7.3f}{-12522.214:10.3f}{2.65:9.4f}\n")
            f.write(" " + "-" * 108 + "\n")
            sn = min(start + 9, frames)
            f.write("<" * 24 + "  CELL  " + ">" * 24 + "\n" + "-" * 60 + "\n")
            f.write(f"{sn:5d} {300.0:5.1f}   CURRENT CELL AND ENERGIES\n")
            f.write("I" + "-" * 56 + "I\nI  LATTICE CONSTANTS (A, DEG)\n")
            for tag, angle in (("A:", "Alpha:"), ("B:", "Beta :"), ("C:", "Gamma:")):
                f.write(f"  {tag} {a:9.4f}     {angle} {90.0:8.3f}\n")
            f.write("I  ENERGIES (KJ/MOL)\n")
            f.write(f"  U = {-12580.237:12.3f}   U+K = {-12534.559:12.3f}\n")
            f.write(f"  K = {45.678:12.3f}   E+PV= {-12534.459:12.3f}\n")
            f.write(f"  PV= {0.1:12.3f}\n")
            f.write("I" + "-" * 56 + "I\n")
            f.write(f"  M.s.d. (A**2)   Si: {0.001 * sn:7.4f}   O : {0.0015 * sn:7.4f}\n")
            f.write("I" + "-" * 56 + "I\n")


if __name__ == "__main__":
    main()
