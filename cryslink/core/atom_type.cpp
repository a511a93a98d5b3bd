#include "core/atom_type.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "core/elements.h"
#include "core/ini_file.h"
#include "core/text_lines.h"

std::string LeadingLetters(const std::string& name) {
    size_t n = 0;
    while (n < name.size() && std::isalpha(static_cast<unsigned char>(name[n]))) ++n;
    return name.substr(0, n);
}

namespace {

// The trimmed line cut at its first blank.
std::string FirstToken(const std::string& line) {
    const std::string text = TrimLine(line);
    return text.substr(0, text.find_first_of(" \t"));
}

// The symbol the tables list an element under: deuterium and tritium are hydrogen.
std::string TableSymbol(const std::string& symbol) { return IsotopeMass(symbol) > 0 ? "H" : symbol; }

}  // namespace

void CAtomType::Initialize() { *this = CAtomType(); }

std::string CAtomType::ElementSymbol() const { return LeadingLetters(Name); }

int CAtomType::ReadNONREL(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return -1;
    const std::string symbol = TableSymbol(ElementSymbol());
    std::string line;
    while (std::getline(in, line)) {
        const std::string token = FirstToken(line);
        if (token.empty() || token != symbol) continue;
        int n1 = 0, n2 = 0, count = 0;
        if (!std::getline(in, line)) break;
        std::sscanf(line.c_str(), "%d %d %d", &n1, &n2, &count);
        if (!std::getline(in, line)) break;
        AtomicNumber = std::atoi(line.c_str());
        nOrbitalLines = 0;
        for (int i = 0; i < count && std::getline(in, line); ++i) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            if (i < kMaxOrbitalLines) OrbitalLines[nOrbitalLines++] = line;
        }
        break;
    }
    return 1;
}

int CAtomType::ReadASFDC(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        std::printf("Can not read [%s].\n", path.c_str());
        return -1;
    }
    const std::string symbol = ElementSymbol();
    if (const double mass = IsotopeMass(symbol); mass > 0) {
        AtomicWeight = mass;  // the table holds element weights
        return 1;
    }
    std::string line;
    while (std::getline(in, line)) {
        const std::string text = TrimLine(line);
        const size_t blank = text.find_first_of(" \t");
        if (text.empty() || blank == std::string::npos) continue;
        if (LeadingLetters(text.substr(0, blank)) == symbol) {
            AtomicWeight = std::atof(text.c_str() + blank);
            break;
        }
    }
    return 1;
}

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
