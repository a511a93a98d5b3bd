#!/usr/bin/python3
"""Writes data/asfdc, the atomic-weight table of Cryslink: one line
"Symbol weight" for every element H to Og, in order of atomic number.

The weights are pymatgen's standard atomic weights (python3-pymatgen), written
with every digit pymatgen holds; elements without a standard weight have the
mass number of their longest-lived isotope there. Each value is checked
against ASE's IUPAC 2016 table (python3-ase): where the two differ by more
than one unit, the ASE value is taken (Po, Rn and Sg, for which pymatgen names
another isotope, and Og, which pymatgen gives as 2949).

Cryslink matches a line by its first token cut before the first non-letter, so
a type named Fe3+ takes the Fe line. After writing, the file is read back that
way for every element and checked.

Run from anywhere with /usr/bin/python3 (make generators installs the packages).
"""
import re

from ase.data import atomic_masses_iupac2016

from database_files import cut_at_blank, elements, fail, trimmed_lines, write_database


def weights():
    table = []
    for z, element in elements():
        weight = float(element.atomic_mass)
        if abs(weight - atomic_masses_iupac2016[z]) > 1.0:
            print(f"{element.symbol}: pymatgen weight {weight} replaced by {atomic_masses_iupac2016[z]} (IUPAC 2016)")
            weight = float(atomic_masses_iupac2016[z])
        table.append((element.symbol, weight))
    return table


def lookup(lines, symbol):
    """The weight Cryslink takes for an element symbol, or None."""
    for line in lines:
        head, blank, rest = line.partition(" ")
        if blank and re.match(r"[A-Za-z]*", head).group(0) == symbol:
            return float(rest.split()[0])
    return None


def check(path, table):
    lines = trimmed_lines(path)
    if len(lines) != 118:
        fail(f"{path} has {len(lines)} lines, not 118")
    for symbol, weight in table:
        found = lookup(lines, symbol)
        if found != weight:
            fail(f"{symbol} reads back as {found}, not {weight}")
    if any(cut_at_blank(line) == "" for line in lines):
        fail("a line without a symbol")


if __name__ == "__main__":
    table = weights()
    path = write_database("asfdc", [f"{symbol} {weight!r}" for symbol, weight in table])
    check(path, table)
    print(f"{path}: {len(table)} elements, checked")
