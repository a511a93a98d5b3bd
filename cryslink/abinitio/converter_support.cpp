#include "abinitio/converter_support.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <unordered_map>
#include <unordered_set>

#include "analysis/rdf.h"
#include "core/cell_vectors.h"
#include "core/cif_writer.h"
#include "core/crystal.h"
#include "core/paths.h"
#include "core/run_context.h"
#include "core/text_scanner.h"

void PrepareCrystal(CCrystal& crystal) {
    crystal.SpaceGroup.SetP1();
    crystal.AllocAtomTypes(100);
    crystal.AllocAtomAsymSites(10000);
    crystal.AllocAtomSites(10000);
}

void PrepareConverterCrystal(CCrystal& crystal, const RunContext& context) {
    crystal.AtomDatabase = &context.atoms;
    PrepareCrystal(crystal);
}

void CountAtomsPerType(CCrystal& crystal) {
    for (int t = 0; t < crystal.nAtomTypes; ++t) crystal.nEachAtoms[t] = 0;
    for (int i = 0; i < crystal.nAtomAsymSites; ++i) {
        const int t = crystal.AtomAsymSites[i].iAtomType;
        if (t >= 0 && t < crystal.nAtomTypes) ++crystal.nEachAtoms[t];
    }
}

std::string PathBase(const std::string& path) {
    const PathParts parts = SplitPath(path);
    return parts.drive + parts.directory + parts.base;
}

std::string FirstWord(std::string_view text) {
    text = TrimView(text);
    return std::string(text.substr(0, text.find_first_of(" \t")));
}

std::string FileNameWord(std::string text) {
    for (char& c : text)
        if (c == '/' || c == '\\') c = '_';
    return text;
}

std::vector<std::string> UniqueLabels(const std::vector<std::string>& names) {
    std::unordered_map<std::string, int> count;
    for (const std::string& name : names) ++count[name];
    std::unordered_set<std::string> taken;
    for (const std::string& name : names)
        if (count[name] == 1) taken.insert(name);
    std::unordered_map<std::string, int> next;
    std::vector<std::string> labels;
    labels.reserve(names.size());
    for (const std::string& name : names) {
        std::string label = name;
        if (count[name] > 1) {
            const bool letter = !name.empty() && std::isalpha(static_cast<unsigned char>(name.back()));
            const std::string stem = letter || name.empty() ? name : name + "_";
            int& k = next[name];
            do label = stem + std::to_string(++k);
            while (!taken.insert(label).second);
        }
        labels.push_back(std::move(label));
    }
    return labels;
}

double CellDeterminant(const double v[3][3]) {
    return v[0][0] * (v[1][1] * v[2][2] - v[1][2] * v[2][1]) - v[0][1] * (v[1][0] * v[2][2] - v[1][2] * v[2][0]) +
           v[0][2] * (v[1][0] * v[2][1] - v[1][1] * v[2][0]);
}

bool CheckCell(const CCrystal& crystal, const std::string& file) {
    double x, y, z;
    if (crystal.CartesianToFractional(0, 0, 0, x, y, z)) return true;
    std::printf("Error: the lattice vectors of [%s] span no volume.\n", file.c_str());
    return false;
}

namespace {

void ReportNoData(const char* stage) { std::printf("  **No data for %s structure.\n    Skipped.\n", stage); }

}  // namespace

void WriteInitialAndFinal(const RunOptions& options, CCrystal& initial, CCrystal& final, const std::string& base,
                          bool reportEmptyRDF, const std::function<void()>& afterFinal) {
    std::printf("\n");
    if (initial.nAtomAsymSites == 0)
        ReportNoData("initial");
    else
        MakeCIFFile(initial, "initial", base + "-initial.cif");
    if (final.nAtomAsymSites == 0) {
        ReportNoData("final");
    } else {
        MakeCIFFile(final, "final", base + "-final.cif");
        afterFinal();
    }
    if (options.CalcRDF == 0) return;
    std::printf("Calculate RDF for initial structure.\n");
    if (initial.nAtomAsymSites > 0)
        CalculateRDF(options, initial, 0);
    else if (reportEmptyRDF)
        ReportNoData("initial");
    std::printf("Calculate RDF for final structure.\n");
    if (final.nAtomAsymSites > 0)
        CalculateRDF(options, final, 1);
    else if (reportEmptyRDF)
        ReportNoData("final");
}

int WriteCIFBesideInput(CCrystal& crystal, const std::string& inputPath) {
    std::string cifPath = inputPath;
    ChangeFileExtension(cifPath, "cif");
    std::printf("Create CIF file: %s\n", cifPath.c_str());
    if (IsSameFile(inputPath, cifPath)) {
        std::printf("Can not write to [%s].\n", cifPath.c_str());
        return -1;
    }
    return WriteCIFFile(crystal, cifPath) < 0 ? -1 : 1;
}

void TurnForcesWithCell(CCrystal& crystal, const double fileVectors[3][3]) {
    double largest = 0, difference = 0;
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) {
            largest = std::fmax(largest, std::fabs(fileVectors[i][j]));
            difference = std::fmax(difference, std::fabs(fileVectors[i][j] - crystal.LatticeVector[i][j]));
        }
    if (difference <= 1e-6 * largest) return;
    TurnForcesToLatticeFrame(crystal, fileVectors);
}
