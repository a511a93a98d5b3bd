#!/usr/bin/python3
"""Writes the INCAR and POSCAR of a VASP run from what its OUTCAR echoes, for
run directories whose OUTCAR is published without them (standard library only).
INCAR: the lines under " INCAR:" as VASP echoes them. POSCAR: the title of the
"POSCAR =" line, the first cell (the "direct lattice vectors" after
"energy-cutoff"), one species per POTCAR data set (the element of its VRHFIN
line), the "ions per type" counts and the first "position of ions in fractional
coordinates" block. Usage: gen_vasp_run_from_outcar.py RUN-DIRECTORY."""
import os
import re
import sys


def main():
    run = sys.argv[1]
    with open(os.path.join(run, "OUTCAR")) as f:
        lines = f.read().splitlines()

    incar = []
    start = next(i for i, line in enumerate(lines) if line.strip() == "INCAR:")
    for line in lines[start + 1:]:
        if not line.startswith("   ") or line.strip().startswith("POTCAR:"):
            break
        incar.append(line.strip())

    title = next(line.split("=", 1)[1].strip() for line in lines if line.startswith(" POSCAR ="))
    species = []
    for line in lines:
        m = re.match(r"\s*VRHFIN\s*=\s*([A-Za-z]+)\s*:", line)
        if m:
            species.append(m.group(1))
    counts = next(line.split("=")[1].split() for line in lines if "ions per type" in line)
    species = species[:len(counts)]

    cutoff = next(i for i, line in enumerate(lines) if "energy-cutoff" in line)
    vectors_at = next(i for i in range(cutoff, len(lines)) if "direct lattice vectors" in lines[i])
    vectors = [lines[vectors_at + k].split()[:3] for k in (1, 2, 3)]
    positions_at = next(i for i, line in enumerate(lines) if "position of ions in fractional coordinates" in line)
    n = sum(int(c) for c in counts)
    positions = [lines[positions_at + 1 + k].split()[:3] for k in range(n)]

    with open(os.path.join(run, "INCAR"), "w") as f:
        f.write("\n".join(incar) + "\n")
    with open(os.path.join(run, "POSCAR"), "w") as f:
        f.write(title + "\n1.0\n")
        for v in vectors:
            f.write("  " + "  ".join(v) + "\n")
        f.write("  " + "  ".join(species) + "\n  " + "  ".join(counts) + "\nDirect\n")
        for p in positions:
            f.write("  " + "  ".join(p) + "\n")


if __name__ == "__main__":
    main()
