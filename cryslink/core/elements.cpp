#include "core/elements.h"

#include <array>
#include <cctype>

namespace {

constexpr std::array<std::string_view, 119> kSymbols = {
    "",   "H",  "He", "Li", "Be", "B",  "C",  "N",  "O",  "F",  "Ne", "Na", "Mg", "Al", "Si", "P",  "S",
    "Cl", "Ar", "K",  "Ca", "Sc", "Ti", "V",  "Cr", "Mn", "Fe", "Co", "Ni", "Cu", "Zn", "Ga", "Ge", "As",
    "Se", "Br", "Kr", "Rb", "Sr", "Y",  "Zr", "Nb", "Mo", "Tc", "Ru", "Rh", "Pd", "Ag", "Cd", "In", "Sn",
    "Sb", "Te", "I",  "Xe", "Cs", "Ba", "La", "Ce", "Pr", "Nd", "Pm", "Sm", "Eu", "Gd", "Tb", "Dy", "Ho",
    "Er", "Tm", "Yb", "Lu", "Hf", "Ta", "W",  "Re", "Os", "Ir", "Pt", "Au", "Hg", "Tl", "Pb", "Bi", "Po",
    "At", "Rn", "Fr", "Ra", "Ac", "Th", "Pa", "U",  "Np", "Pu", "Am", "Cm", "Bk", "Cf", "Es", "Fm", "Md",
    "No", "Lr", "Rf", "Db", "Sg", "Bh", "Hs", "Mt", "Ds", "Rg", "Cn", "Nh", "Fl", "Mc", "Lv", "Ts", "Og"};

// Deuterium and tritium keep their own symbols; their masses are those of the atoms.
constexpr struct {
    std::string_view symbol;
    double mass;
} kIsotopes[] = {{"D", 2.01410178}, {"T", 3.01604928}};

}  // namespace

double IsotopeMass(std::string_view symbol) {
    for (const auto& isotope : kIsotopes)
        if (isotope.symbol == symbol) return isotope.mass;
    return 0.0;
}

int AtomicNumberOfSymbol(std::string_view symbol) {
    if (symbol.empty() || symbol.size() > 2) return 0;
    if (IsotopeMass(symbol) > 0) return 1;
    for (int z = 1; z < static_cast<int>(kSymbols.size()); ++z)
        if (kSymbols[z] == symbol) return z;
    return 0;
}

std::string_view ElementSymbolOfNumber(int z) {
    return z >= 1 && z < static_cast<int>(kSymbols.size()) ? kSymbols[z] : std::string_view();
}

std::string ElementOfName(std::string_view name) {
    size_t letters = 0;
    while (letters < name.size() && std::isalpha(static_cast<unsigned char>(name[letters]))) ++letters;
    if (letters <= 2 && AtomicNumberOfSymbol(name.substr(0, letters))) return std::string(name.substr(0, letters));
    for (size_t n = std::min<size_t>(2, letters); n >= 1; --n)
        if (AtomicNumberOfSymbol(name.substr(0, n))) return std::string(name.substr(0, n));
    return "";
}
