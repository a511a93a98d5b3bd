#include "core/atom_type.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>

#include "core/ini_file.h"

std::string LeadingLetters(const std::string& name) {
    size_t n = 0;
    while (n < name.size() && std::isalpha(static_cast<unsigned char>(name[n]))) ++n;
    return name.substr(0, n);
}

void CAtomType::Initialize() { *this = CAtomType(); }

std::string CAtomType::ElementSymbol() const { return LeadingLetters(Name); }

int CAtomType::ReadAtomProperty(const std::string& section, const std::string& path) {
    auto text = [&](const char* key, const std::string& def) { return GetPrivateProfileText(section, key, def, path); };
    auto real = [&](const char* key, const char* def) { return std::atof(text(key, def).c_str()); };
    auto integer = [&](const char* key, const char* def) { return std::atoi(text(key, def).c_str()); };
    auto keepIfNonNegative = [](double value, double& field) {
        if (value >= 0) field = value;
    };
    Label = text("Label", "");
    keepIfNonNegative(real("AtomicNumber", "-1.0"), AtomicNumber);
    keepIfNonNegative(real("AtomicWeight", "-1.0"), AtomicWeight);
    char charge[64];
    std::snprintf(charge, sizeof charge, "%lg", Charge);
    keepIfNonNegative(std::atof(text("Charge", charge).c_str()), Charge);
    keepIfNonNegative(real("Radii", "1.0"), Radii);
    ViewRadius = real("ViewRadius", "0.06");
    ViewColorBlue = real("ViewColorBlue", "1.0");
    ViewColorRed = real("ViewColorRed", "1.0");
    ViewColorGreen = real("ViewColorGreen", "1.0");
    bUseMaterialProperty = integer("bUseMaterialProperty", "0") != 0;
    bUseEmissiveColor = integer("bUseEmissiveColor", "0") != 0;
    SpecularPower = real("SpecularPower", "100.0");
    ViewAtomEmissiveColorBlue = real("ViewAtomEmissiveColorBlue", "1.0");
    ViewAtomEmissiveColorGreen = real("ViewAtomEmissiveColorGreen", "1.0");
    ViewAtomEmissiveColorRed = real("ViewAtomEmissiveColorRed", "1.0");
    ViewAtomSpecularColorBlue = real("ViewAtomSpecularColorBlue", "1.0");
    ViewAtomSpecularColorGreen = real("ViewAtomSpecularColorGreen", "1.0");
    ViewAtomSpecularColorRed = real("ViewAtomSpecularColorRed", "1.0");
    nCriteriaMinCoordination = integer("nCriteriaMinCoordination", "0");
    nCriteriaMaxCoordination = integer("nCriteriaMaxCoordination", "100");
    return 1;
}
