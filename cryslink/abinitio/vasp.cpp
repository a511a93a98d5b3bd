#include "abinitio/vasp.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <vector>

#include "abinitio/converter_support.h"
#include "analysis/rdf.h"
#include "core/cell_vectors.h"
#include "core/cif_writer.h"
#include "core/crystal.h"
#include "core/elements.h"
#include "core/paths.h"
#include "core/run_context.h"
#include "core/staged_file.h"
#include "core/step_loop.h"
#include "core/text_scanner.h"
#include "core/units.h"

namespace {

bool IsOUTCARStepHeader(std::string_view line) {
    return line.find("POSITION") != std::string_view::npos && line.find("TOTAL-FORCE") != std::string_view::npos;
}

// The type name of a POTCAR data set from its header or TITEL text
// ("PAW_PBE Fe_pv 06Sep2000" gives Fe): the second word, cut at "_".
std::string POTCARTypeName(std::string_view header) {
    std::string_view text = TrimView(header);
    const size_t blank = text.find_first_of(" \t");
    if (blank != std::string_view::npos) text = TrimView(text.substr(blank));
    text = text.substr(0, text.find_first_of(" \t"));
    return std::string(text.substr(0, text.find('_')));
}

// An element of the species line: "Fe_pv" and "Fe/abc123" give Fe.
std::string SpeciesTypeName(std::string_view word) { return std::string(word.substr(0, word.find_first_of("_/"))); }

// The element of a VRHFIN line ("VRHFIN =Fe: d7 s1" gives Fe); "" for any other line.
std::string VRHFINElement(std::string_view line) {
    line = TrimView(line);
    const size_t equals = line.find('=');
    if (!line.starts_with("VRHFIN") || equals == std::string_view::npos) return "";
    const std::string_view text = TrimView(line.substr(equals + 1));
    return std::string(text.substr(0, text.find_first_of(": \t")));
}

bool IsElementSymbol(const std::string& name) { return AtomicNumberOfSymbol(name) > 0; }

bool IsCountsLine(std::string_view line) { return line.find_first_not_of(" \t\r\n0123456789") == std::string_view::npos; }

char FirstLetter(std::string_view line) {
    line = TrimView(line);
    return line.empty() ? '\0' : line.front();
}

const std::string& TypeName(const CAtomType& type) { return type.Name.empty() ? type.Label : type.Name; }

// The scaling line: one factor, the cell volume (negative), or three factors
// for the x, y and z components. Scales the vectors (A) and gives the factors
// of Cartesian positions; false when the line holds no number.
bool ApplyScaling(std::string_view line, double vectors[3][3], double factors[3]) {
    double s[3];
    const int n = ScanNumbers(line, s, 3);
    if (n == 0) return false;
    if (n == 3) {
        for (int k = 0; k < 3; ++k) factors[k] = s[k];
    } else {
        double scale = s[0];
        if (scale < 0) {
            const double volume = std::fabs(CellDeterminant(vectors));
            scale = volume > 0 ? std::cbrt(-scale / volume) : 0.0;
        }
        factors[0] = factors[1] = factors[2] = scale;
    }
    for (int i = 0; i < 3; ++i)
        for (int k = 0; k < 3; ++k) vectors[i][k] *= factors[k];
    return true;
}

// The first word of the trimmed first line of a file ("" when it cannot be read).
std::string FirstWordOfFile(const std::string& path) {
    CTextScanner file;
    std::string line;
    if (!file.Open(path) || !file.ReadLine(line)) return "";
    return FirstWord(line);
}

// The text after "=" on the first INCAR line that names SYSTEM before an "=".
std::string ReadINCARTitle(const std::string& incar) {
    CTextScanner file;
    if (!file.Open(incar)) {
        std::printf("Error in VASPConvCONTCAR: Can not read [%s].\n", incar.c_str());
        return "";
    }
    std::string line;
    while (file.ReadLine(line)) {
        const std::string upper = ToUpper(line);
        const size_t at = upper.find("SYSTEM");
        if (at != std::string::npos && upper.find('=', at + 6) != std::string::npos)
            return std::string(TrimView(std::string_view(line).substr(line.find('=') + 1)));
    }
    return "";
}

bool CanRead(const std::string& path) { return CTextScanner().Open(path); }

void WriteStructure(const RunOptions& options, CCrystal& crystal, const std::string& directory,
                    const std::string& title, const char* stage, int iStage) {
    const std::string cif = JoinPath(directory, FileNameWord(title) + "-" + stage + ".cif");
    MakeCIFFile(crystal, stage, cif);
    if (options.CalcRDF == 0) return;
    std::printf("Calculate RDF for %s structure.\n", stage);
    CalculateRDF(options, crystal, iStage);
    if (options.CoordinationNumber > 0) CalculateCNRDF(options, crystal, options.CoordinationNumber, iStage);
}

}  // namespace

bool CVASP::ReadPOTCARFile(const std::string& path, std::vector<std::string>& names) {
    CTextScanner file;
    if (!file.Open(path)) {
        std::printf("Error in CVASP::ReadPOTCARFile: Can not read [%s].\n", path.c_str());
        return false;
    }
    // A data set runs from its header line to "End of Dataset"; its TITEL
    // line, when there is one, names it even where a line precedes the header.
    // A stub without TITEL is named by the element of its VRHFIN line.
    std::string header, line;
    while (file.ReadLine(header)) {
        if (TrimView(header).empty()) continue;
        std::string name = POTCARTypeName(header), element = VRHFINElement(header);
        bool titled = false;
        while (file.ReadLine(line)) {
            const std::string_view text = TrimView(line);
            if (!titled && text.starts_with("TITEL") && text.find('=') != std::string_view::npos) {
                name = POTCARTypeName(text.substr(text.find('=') + 1));
                titled = true;
            }
            if (element.empty()) element = VRHFINElement(text);
            if (ContainsNoCase(line, "END OF DATASET")) break;
        }
        names.push_back(titled || element.empty() ? name : element);
    }
    return true;
}

bool CVASP::AddAtomGroups(CCrystal& crystal, const std::vector<std::string>& names,
                          const std::vector<std::string>& species, const std::string& source) {
    for (size_t g = 0; g < names.size(); ++g) {
        std::string name = names[g];
        if (!IsElementSymbol(name) && g < species.size() && IsElementSymbol(species[g])) name = species[g];
        if (!IsElementSymbol(name))
            std::printf("Warning: the atom type [%s] of [%s] is no element symbol.\n", name.c_str(), source.c_str());
        const int type = crystal.AddAtomType(name, 0.0, true);
        if (type >= crystal.nAtomTypes) return false;  // the table is full, as its own line said
        groups_.push_back({type, 0});
    }
    return true;
}

int CVASP::ReadPOSCARFile(const std::string& path, CCrystal& crystal) {
    std::printf("ReadPOSCARFile:\n");
    crystal.Initialize();
    PrepareCrystal(crystal);
    groups_.clear();
    haveCell_ = false;
    std::vector<std::string> names;
    const std::string potcarPath = JoinPath(DirectoryWithoutSeparator(path), "POTCAR");
    const bool potcar = ReadPOTCARFile(potcarPath, names) && !names.empty();
    // Names that are all elements make the types at once; others wait for the species line.
    const bool typed = potcar && std::all_of(names.begin(), names.end(), IsElementSymbol);
    if (typed && !AddAtomGroups(crystal, names, {}, potcarPath)) return -1;

    CTextScanner file;
    if (!file.Open(path)) {
        std::printf("Error: Can not read [%s]\n", path.c_str());
        return -1;
    }
    std::string line;
    auto fail = [&](const char* what) {
        std::printf("Error: [%s] %s (line %ld).\n", path.c_str(), what, file.LineNumber());
        return -1;
    };
    if (!file.ReadLine(line)) return fail("is empty");
    crystal.Name = crystal.ChemicalName = std::string(TrimView(line));
    std::string scaling;
    if (!file.ReadLine(scaling)) return fail("ends before the scaling factor");
    double vectors[3][3];
    for (auto& v : vectors)
        if (!file.ReadLine(line) || ScanNumbers(line, v, 3) < 3) return fail("has no three numbers for a lattice vector");
    double factors[3];
    if (!ApplyScaling(scaling, vectors, factors)) return fail("has no scaling factor on line 2");
    for (const auto& v : vectors)
        for (double x : v)
            if (!std::isfinite(x)) return fail("has a lattice vector beyond any size after scaling");
    for (auto& v : vectors)
        for (double& x : v) x *= units::kAngstromToNm;
    SetLatticeFromVectors(crystal, vectors);
    std::printf("  Lattice parameters: %lg nm %lg nm %lg nm   %lg %lg %lg\n", crystal.a, crystal.b, crystal.c,
                crystal.alpha, crystal.beta, crystal.gamma);
    if (!CheckCell(crystal, path)) return -1;
    std::copy(&vectors[0][0], &vectors[0][0] + 9, &cell_[0][0]);
    haveCell_ = true;

    // Line 6 holds the element symbols, or (older layout) already the counts.
    const long mark = file.Tell(), markLine = file.LineNumber();
    if (!file.ReadLine(line)) return fail("ends before the atom counts");
    std::vector<std::string> species;
    if (IsCountsLine(line))
        file.Seek(mark, markLine);
    else
        for (std::string_view word : SplitWords(line)) species.push_back(SpeciesTypeName(word));
    if (!potcar) names = species;
    if (!typed && !AddAtomGroups(crystal, names, potcar ? species : std::vector<std::string>{},
                                 potcar ? potcarPath : path))
        return -1;
    std::printf("nAtomTypes: %d\n", crystal.nAtomTypes);
    if (groups_.empty()) return fail("has no species line and no POTCAR gives the atom types");

    if (!file.ReadLine(line)) return fail("ends before the atom counts");
    std::vector<double> counts(groups_.size() + 1);
    const int nCounts = ScanNumbers(line, counts.data(), static_cast<int>(counts.size()));
    if (nCounts != static_cast<int>(groups_.size())) {
        std::printf("Error: [%s] gives %d atom counts for %zu atom types.\n", path.c_str(), nCounts, groups_.size());
        return -1;
    }
    for (size_t g = 0; g < groups_.size(); ++g) {
        const double n = counts[g];
        if (n < 0 || n != std::floor(n) || n > crystal.nMaxAtomSites) return fail("has an atom count that is no count");
        groups_[g].count = static_cast<int>(n);
        crystal.nEachAtoms[groups_[g].type] += groups_[g].count;
    }
    for (int t = 0; t < crystal.nAtomTypes; ++t) std::printf("  nEachAtoms[%d]=%d\n", t, crystal.nEachAtoms[t]);

    if (!file.ReadLine(line)) return fail("ends before the coordinate line");
    if (FirstLetter(line) == 'S' || FirstLetter(line) == 's')
        if (!file.ReadLine(line)) return fail("ends before the coordinate line");
    const char mode = FirstLetter(line);
    const bool cartesian = mode == 'C' || mode == 'c' || mode == 'K' || mode == 'k';

    std::vector<int> numbered(static_cast<size_t>(crystal.nAtomTypes));
    for (const AtomGroup& group : groups_) {
        const std::string typeName = TypeName(crystal.AtomTypes[group.type]);
        for (int j = 0; j < group.count; ++j) {
            double p[3];
            if (!file.ReadLine(line) || ScanNumbers(line, p, 3) < 3) return fail("has no three coordinates of an atom");
            const std::string label = typeName + std::to_string(++numbered[static_cast<size_t>(group.type)]);
            std::printf("  Site: %s (%lg,%lg,%lg) => ", label.c_str(), p[0], p[1], p[2]);
            double x = p[0], y = p[1], z = p[2];
            if (cartesian) {
                const double k = units::kAngstromToNm;
                if (!crystal.CartesianToFractional(p[0] * factors[0] * k, p[1] * factors[1] * k,
                                                   p[2] * factors[2] * k, x, y, z))
                    return -1;
            }
            crystal.AddAtomAsymSite(label, typeName, 1.0, x, y, z);
            std::printf("(%lg,%lg,%lg) %d\n", x, y, z, crystal.nAtomAsymSites);
        }
    }
    crystal.CalculateLatticeVectors();
    crystal.CopyAsymSitesToSites();
    return 1;
}

int CVASP::ReadOUTCARFrame(CTextScanner& file, int step, CCrystal& crystal) {
    crystal.ClearSites();
    std::string line;
    auto fail = [&](const char* what) {
        std::printf("Error: step %d of [%s] %s (line %ld).\n", step, file.FileName().c_str(), what,
                    file.LineNumber());
        return 0;
    };
    // The cell is printed after "VOLUME and BASIS-vectors are now" and, in
    // machine-learned steps, on its own: the last one before the block counts.
    bool found = false;
    while (!found && file.ReadLine(line)) {
        found = IsOUTCARStepHeader(line);
        if (found || line.find("direct lattice vectors") == std::string::npos) continue;
        for (auto& v : cell_) {
            if (!file.ReadLine(line) || ScanNumbers(line, v, 3) < 3) return fail("has no three numbers for a lattice vector");
            for (double& x : v) x *= units::kAngstromToNm;
        }
        haveCell_ = true;
    }
    if (!found || !file.SkipLines(1)) return fail("has no positions");
    if (!haveCell_) return fail("has no lattice vectors");
    SetLatticeFromVectors(crystal, cell_);
    std::printf("Lattice parameters: %lg %lg %lg nm  %lg %lg %lg\n", crystal.a, crystal.b, crystal.c, crystal.alpha,
                crystal.beta, crystal.gamma);
    for (const AtomGroup& group : groups_) {
        const std::string typeName = TypeName(crystal.AtomTypes[group.type]);
        for (int j = 0; j < group.count; ++j) {
            double v[6], x, y, z;
            if (!file.ReadLine(line) || ScanNumbers(line, v, 6) < 6) return fail("has no position and force of an atom");
            const double k = units::kAngstromToNm;
            if (!crystal.CartesianToFractional(v[0] * k, v[1] * k, v[2] * k, x, y, z)) return 0;
            crystal.AddAtomAsymSite("", typeName, 1.0, x, y, z, v[3], v[4], v[5]);
        }
    }
    crystal.CalculateLatticeVectors();
    TurnForcesToLatticeFrame(crystal, cell_);
    crystal.CopyAsymSitesToSites();
    return 1;
}

int CountOUTCARSteps(CTextScanner& file, int nAtoms, int& incomplete) {
    incomplete = 0;
    int n = 0;
    std::string line;
    while (file.FindLine(IsOUTCARStepHeader, line)) {
        if (nAtoms == 0) {
            ++n;
            continue;
        }
        // The block: a line of dashes, one line per atom, a line of dashes.
        int rows = 0;
        bool closed = false;
        if (file.ReadLine(line)) {
            while (rows <= nAtoms && file.ReadLine(line)) {
                if (TrimView(line).starts_with("---")) {
                    closed = true;
                    break;
                }
                ++rows;
            }
        }
        if (closed && rows == nAtoms)
            ++n;
        else
            ++incomplete;
    }
    return n;
}

std::string VASPRunDirectory(const std::string& argument) {
    std::error_code ec;
    if (!argument.empty() && std::filesystem::is_directory(argument, ec)) return argument;
    return DirectoryWithoutSeparator(argument);
}

int VASPConvCONTCAR(const RunContext& context, const std::string& path) {
    const std::string directory = VASPRunDirectory(path);
    const std::string incar = JoinPath(directory, "INCAR");
    const std::string potcar = JoinPath(directory, "POTCAR");
    std::string poscar = JoinPath(directory, "POSCAR");
    if (CanRead(poscar + ".initial")) poscar += ".initial";
    const std::string contcar = JoinPath(directory, "CONTCAR");
    std::printf("\nINCAR   file : %s\n", incar.c_str());
    std::printf("POTCAR  file : %s\n", potcar.c_str());
    std::printf("POSCAR  file : %s\n", poscar.c_str());
    std::printf("CONTCAR file : %s\n", contcar.c_str());
    const int nCoordination = context.options.CoordinationNumber;
    if (nCoordination > 0) std::printf("Coordination Number: %d\n", nCoordination);

    CCrystal initial, final;
    initial.AtomDatabase = &context.atoms;
    final.AtomDatabase = &context.atoms;
    CVASP vasp;
    const bool readInitial = vasp.ReadPOSCARFile(poscar, initial) == 1;
    const bool readFinal = vasp.ReadPOSCARFile(contcar, final) == 1;
    std::printf("\n");
    const std::string title = FirstWord((readInitial || !readFinal ? initial : final).ChemicalName);
    if (readInitial) WriteStructure(context.options, initial, directory, title, "initial", 0);
    if (readFinal) WriteStructure(context.options, final, directory, title, "final", 1);
    return 1;
}

int VASPMakeXSF(const RunContext& context, const std::string& path) {
    const std::string directory = VASPRunDirectory(path);
    const std::string poscar = JoinPath(directory, "POSCAR");
    const std::string outcar = JoinPath(directory, "OUTCAR");
    std::string title = FirstWord(ReadINCARTitle(JoinPath(directory, "INCAR")));
    if (title.empty()) title = FirstWordOfFile(poscar);
    if (title.empty()) title = "OUTCAR";
    CTrajectoryFile trajectory(context.options.TrajectoryFormat, JoinPath(directory, FileNameWord(title) + ".xsf"));
    std::printf("\nTitle: %s\n", title.c_str());
    std::printf("POSCAR file : %s\n", poscar.c_str());
    std::printf("OUTCAR file : %s\n", outcar.c_str());
    std::printf("%s\n", trajectory.Line().c_str());

    CCrystal crystal;
    crystal.AtomDatabase = &context.atoms;
    CVASP vasp;
    vasp.ReadPOSCARFile(poscar, crystal);

    CTextScanner file;
    int nCounted = 0, incomplete = 0;
    if (file.Open(outcar)) nCounted = CountOUTCARSteps(file, crystal.nAtomAsymSites, incomplete);
    if (incomplete > 0)
        std::printf("Error: %d step(s) of [%s] are incomplete or do not hold %d atoms; they are left out.\n",
                    incomplete, outcar.c_str(), crystal.nAtomAsymSites);
    const RunOptions& options = context.options;
    const StepPlan plan = PlanSteps(nCounted, options.nLastStep, options.nOutputInterval);
    PrintStepPlan(crystal, plan);
    if (!file.IsOpen()) {
        std::printf("Can not read [%s].\n", outcar.c_str());
        return -1;
    }
    file.Rewind();
    return WriteTrajectory(trajectory, outcar, plan, crystal,
                           [&](int s, CCrystal& c) { return vasp.ReadOUTCARFrame(file, s, c); });
}
