#pragma once
// The atom databases, read once per run into tables that every crystal
// consults when it makes an atom type: the orbital table "nonrel" (atomic
// number and orbital lines of each element) and the atomic-weight table
// "asfdc".
#include <string>
#include <unordered_map>
#include <vector>

class CAtomType;

class CAtomDatabase {
public:
    // Reads the orbital table; false when it cannot be read or holds nothing.
    bool ReadOrbitals(const std::string& path);
    // Reads the atomic-weight table; false when it cannot be read or holds nothing.
    bool ReadWeights(const std::string& path);

    // The element properties of a type, looked up by its element symbol (its
    // name cut before the first character that is no letter): atomic number
    // and orbital lines (those of hydrogen for D and T) and atomic weight (D
    // and T the masses of their isotopes). An element the tables lack leaves
    // the type as it is.
    void Fill(CAtomType& type) const;

private:
    struct Orbitals {
        double atomicNumber = 0;
        std::vector<std::string> lines;  // as read, at most kMaxOrbitalLines kept
    };
    std::unordered_map<std::string, Orbitals> orbitals_;  // by the first word of the symbol line
    std::unordered_map<std::string, double> weights_;     // by the leading letters of the first word
};
