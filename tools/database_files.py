"""Where the databases of Cryslink live and how they are written and read back.

Shared by the generators tools/gen_nonrel.py, tools/gen_asfdc.py and
tools/gen_spgra.py. The files carry no comment lines: the readers take any
line for data, so the layouts are described in the README and in the
generators instead.
"""
import os

DATA = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "data")


def elements():
    """(Z, pymatgen Element) for every element H to Og."""
    from pymatgen.core.periodic_table import Element
    return [(z, Element.from_Z(z)) for z in range(1, 119)]


def write_database(name, lines):
    """Writes the lines with LF ends to data/<name> and returns the path."""
    path = os.path.join(DATA, name)
    with open(path, "w", newline="\n") as out:
        out.writelines(line + "\n" for line in lines)
    return path


def trimmed_lines(path):
    """The lines of a database trimmed of blanks, tabs and line ends, as Cryslink reads them."""
    with open(path) as f:
        return [line.strip(" \t\r\n") for line in f]


def cut_at_blank(text):
    return text.split(" ", 1)[0]


def fail(message):
    raise SystemExit(f"check failed: {message}")
