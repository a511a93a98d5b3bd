#!/usr/bin/python3
"""Writes data/nonrel, the orbital table of Cryslink: one block per element
H to Og, in order of atomic number:

    Fe                  the element symbol
    26 26 7             atomic number, number of electrons, number of orbital lines
    26                  the atomic number
      1  0   2.000      one line per occupied orbital of the neutral atom's
      ...               ground state: n, l, occupation ("%3d%3d%8.3f"), by n then l

Cryslink keeps the count line's first two numbers and the orbital lines as
read; it uses the third number and the atomic number.

Configurations come from pymatgen (python3-pymatgen). It has none for Rf to
Og; those are filled in Madelung order, which gives the configurations
predicted for them ([Rn] 5f14 6d2 7s2 for Rf ... [Rn] 5f14 6d10 7s2 7p6 for
Og). After writing, every block is looked up as Cryslink does and checked.

Run from anywhere with /usr/bin/python3 (make generators installs the packages).
"""
from database_files import cut_at_blank, elements, fail, trimmed_lines, write_database

L_OF = {"s": 0, "p": 1, "d": 2, "f": 3}
MADELUNG = ["1s", "2s", "2p", "3s", "3p", "4s", "3d", "4p", "5s", "4d", "5p", "6s", "4f", "5d", "6p", "7s", "5f",
            "6d", "7p"]


def madelung(electrons):
    orbitals = []
    for orbital in MADELUNG:
        if electrons == 0:
            break
        n, l = int(orbital[0]), L_OF[orbital[1]]
        occupation = min(electrons, 2 * (2 * l + 1))
        orbitals.append((n, l, occupation))
        electrons -= occupation
    return orbitals


def configuration(z, element):
    """Occupied orbitals (n, l, occupation) of the neutral atom, by n then l."""
    try:
        orbitals = [(n, L_OF[l], int(occupation)) for n, l, occupation in element.full_electronic_structure]
    except KeyError:  # pymatgen has no configuration for this element
        orbitals = madelung(z)
    return sorted(orbitals)


def block(z, element):
    orbitals = configuration(z, element)
    return [element.symbol, f"{z} {z} {len(orbitals)}", str(z)] + [f"{n:3d}{l:3d}{float(o):8.3f}"
                                                                    for n, l, o in orbitals]


def check(path, table):
    lines = trimmed_lines(path)
    first = {}
    for i, line in enumerate(lines):
        if line:
            first.setdefault(cut_at_blank(line), i)
    for z, element in table:
        start = first.get(element.symbol)
        if start is None:
            fail(f"no block for {element.symbol}")
        count = [int(v) for v in lines[start + 1].split()]
        if len(count) != 3 or count[:2] != [z, z] or int(lines[start + 2]) != z:
            fail(f"head of the {element.symbol} block")
        orbitals = [line.split() for line in lines[start + 3:start + 3 + count[2]]]
        electrons = 0
        for n, l, occupation in orbitals:
            n, l, occupation = int(n), int(l), float(occupation)
            if not (0 <= l < n and 0 < occupation <= 2 * (2 * l + 1)):
                fail(f"orbital {n} {l} {occupation} of {element.symbol}")
            electrons += occupation
        if len(orbitals) != count[2] or count[2] > 30 or electrons != z:
            fail(f"orbitals of {element.symbol}")


if __name__ == "__main__":
    table = elements()
    path = write_database("nonrel", [line for z, element in table for line in block(z, element)])
    check(path, table)
    print(f"{path}: {len(table)} elements, checked")
