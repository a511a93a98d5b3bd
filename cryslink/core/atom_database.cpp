#include "core/atom_database.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "core/atom_type.h"
#include "core/elements.h"
#include "core/text_lines.h"

namespace {

// The trimmed line cut at its first blank.
std::string FirstToken(const std::string& line) {
    const std::string_view text = TrimView(line);
    return std::string(text.substr(0, text.find_first_of(" \t")));
}

void DropCarriageReturn(std::string& line) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
}

}  // namespace

bool CAtomDatabase::ReadOrbitals(const std::string& path) {
    orbitals_.clear();
    std::ifstream in(path, std::ios::binary);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(std::move(line));
    // A block starts at the first line whose first word is the symbol: a count
    // line "%d %d %d" whose third number is the number of orbital lines, the
    // atomic number, then the orbital lines, kept as read.
    for (size_t i = 0; i < lines.size(); ++i) {
        const std::string token = FirstToken(lines[i]);
        if (token.empty() || orbitals_.count(token) || i + 2 >= lines.size()) continue;
        int n1 = 0, n2 = 0, count = 0;
        std::sscanf(lines[i + 1].c_str(), "%d %d %d", &n1, &n2, &count);
        Orbitals entry;
        entry.atomicNumber = std::atoi(lines[i + 2].c_str());
        for (int k = 0; k < count && i + 3 + static_cast<size_t>(k) < lines.size(); ++k) {
            if (k >= CAtomType::kMaxOrbitalLines) break;
            std::string orbital = lines[i + 3 + static_cast<size_t>(k)];
            DropCarriageReturn(orbital);
            entry.lines.push_back(std::move(orbital));
        }
        orbitals_.emplace(token, std::move(entry));
    }
    return !orbitals_.empty();
}

bool CAtomDatabase::ReadWeights(const std::string& path) {
    weights_.clear();
    std::ifstream in(path, std::ios::binary);
    // "Symbol weight" lines; the first line whose word spells an element counts.
    for (std::string line; std::getline(in, line);) {
        const std::string text(TrimView(line));
        const size_t blank = text.find_first_of(" \t");
        if (text.empty() || blank == std::string::npos) continue;
        weights_.emplace(LeadingLetters(text.substr(0, blank)), std::atof(text.c_str() + blank));
    }
    return !weights_.empty();
}

void CAtomDatabase::Fill(CAtomType& type) const {
    const std::string symbol = type.ElementSymbol();
    const double isotopeMass = IsotopeMass(symbol);
    // Deuterium and tritium are hydrogen in the orbital table.
    if (auto it = orbitals_.find(isotopeMass > 0 ? "H" : symbol); it != orbitals_.end()) {
        type.AtomicNumber = it->second.atomicNumber;
        type.nOrbitalLines = static_cast<int>(it->second.lines.size());
        for (int i = 0; i < type.nOrbitalLines; ++i) type.OrbitalLines[i] = it->second.lines[static_cast<size_t>(i)];
    }
    if (isotopeMass > 0)
        type.AtomicWeight = isotopeMass;  // the table holds element weights
    else if (auto it = weights_.find(symbol); it != weights_.end())
        type.AtomicWeight = it->second;
}
