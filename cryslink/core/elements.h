#pragma once
// The chemical elements by symbol and atomic number, and the element a name
// from a structure file stands for ("Bi1", "O 1", "Fe3+", "Fe_pv", "NaM2").
#include <string>
#include <string_view>

// Atomic number of an element symbol written in its usual case ("Si", "O"),
// 1 for the hydrogen isotopes D and T; 0 when none.
int AtomicNumberOfSymbol(std::string_view symbol);
// Mass of a hydrogen isotope written with a symbol of its own: D 2.014, T 3.016;
// 0 for any other symbol.
double IsotopeMass(std::string_view symbol);
// Symbol of atomic number z (1 to 118); "" otherwise.
std::string_view ElementSymbolOfNumber(int z);

// The element a name starts with: its leading letters when they spell a
// symbol ("Bi1", "Se2", "Ba0+", "O 1", "Fe_pv"), else its first two letters
// or its first letter when those do ("NaM2" gives Na, "OW2" gives O). Letter
// case counts ("Co" is cobalt); "" when the name starts with no symbol. D and
// T count as symbols ("D1" gives D).
std::string ElementOfName(std::string_view name);
