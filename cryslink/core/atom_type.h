#pragma once
// An atom type of a crystal and its element properties (filled from the atom
// databases by CAtomDatabase).
#include <string>

class CAtomType {
public:
    static constexpr int kMaxOrbitalLines = 30;

    CAtomType() = default;

    void Initialize();
    // Atom-property file (INI) section `section`; absent keys keep their defaults. Returns 1.
    int ReadAtomProperty(const std::string& section, const std::string& path);

    // The element symbol: the name cut before its first character that is not a letter.
    std::string ElementSymbol() const;

    std::string Name;
    std::string Label;
    std::string Comment;  // third text field, unused
    double AtomicNumber = 0;
    double AtomicWeight = 1.0;
    double Charge = 0;
    double Radii = 1.0;
    int nOrbitalLines = 0;
    std::string OrbitalLines[kMaxOrbitalLines];
    double ViewRadius = 0.06;
    double ViewColorRed = 1.0, ViewColorGreen = 0, ViewColorBlue = 0;
    bool bUseMaterialProperty = false, bUseEmissiveColor = false;
    double SpecularPower = 100.0;
    double ViewAtomEmissiveColorBlue = 1.0, ViewAtomEmissiveColorGreen = 1.0, ViewAtomEmissiveColorRed = 1.0;
    double ViewAtomSpecularColorBlue = 0, ViewAtomSpecularColorGreen = 0, ViewAtomSpecularColorRed = 1.0;
    int nCriteriaMinCoordination = 0, nCriteriaMaxCoordination = 100;
};

// The leading letters of a name ("Si4+" gives "Si", "O{b}" gives "O").
std::string LeadingLetters(const std::string& name);
