#include "abinitio/transiesta.h"

#include <cstdio>
#include <fstream>
#include <vector>

#include "abinitio/converter_support.h"
#include "abinitio/siesta.h"
#include "analysis/rdf.h"
#include "core/cell_vectors.h"
#include "core/cif_writer.h"
#include "core/crystal.h"
#include "core/number_format.h"
#include "core/paths.h"
#include "core/run_context.h"
#include "core/staged_file.h"
#include "core/text_scanner.h"
#include "core/units.h"

namespace {

bool Contains(std::string_view line, std::string_view text) { return line.find(text) != std::string_view::npos; }

// The lattice constant on the "UnitCell::LatticeConstant" line in angstrom;
// 1 when the line gives none.
double LatticeConstant(std::string_view line) {
    line.remove_prefix(line.find("UnitCell::LatticeConstant") + 25);
    double value = 0;
    size_t end = 0;
    if (ScanNumbers(line, &value, 1, &end) < 1 || value <= 0) return 1.0;
    const std::string unit = ToUpper(FirstWord(line.substr(end)));
    return unit.starts_with("BOHR") ? value * units::kBohr : unit == "NM" ? value * units::kNmToAngstrom : value;
}

// Converts a position in angstrom with the crystal's current vectors and
// prints "(x,y,z)" of the fractional coordinates.
void ToFractional(const CCrystal& crystal, const double* p, double& x, double& y, double& z) {
    x = y = z = 0;
    const double k = units::kAngstromToNm;
    crystal.CartesianToFractional(p[0] * k, p[1] * k, p[2] * k, x, y, z);
    std::printf("(%lg,%lg,%lg)\n", x, y, z);
}

// One atom line of the two-probe ("index element x y z") or bulk ("element x
// y z") atom list.
bool ParseAtomLine(std::string_view line, bool twoProbe, std::string& element, double* p) {
    std::vector<std::string_view> words = SplitWords(line);
    const size_t first = twoProbe ? 1 : 0;
    if (words.size() < first + 4) return false;
    element = std::string(words[first]);
    for (int k = 0; k < 3; ++k)
        if (!ParseNumber(words[first + 1 + k], p[k])) return false;
    return true;
}

}  // namespace

int TranSIESTA::ReadInitialCrystalStructureFromOutput(CTextScanner& file, CCrystal& crystal) {
    std::printf("TranSIESTA::ReadInitialCrystalStructureFromOutput in\n");
    PrepareCrystal(crystal);
    file.Rewind();
    std::string line;
    bool haveCell = false;
    if (file.FindLineContaining("UnitCell::LatticeConstant", line)) {
        const double constant = LatticeConstant(line) * units::kAngstromToNm;
        haveCell = file.SkipLines(1);
        for (auto& v : fileVectors_) {
            haveCell = haveCell && file.ReadLine(line) && ScanNumbers(line, v, 3) == 3;
            for (double& x : v) x *= constant;
        }
    }
    if (haveCell) {
        SetLatticeFromVectors(crystal, fileVectors_);
        std::printf("Lattice parameters: %lg %lg %lg nm  %lg %lg %lg\n", crystal.a, crystal.b, crystal.c,
                    crystal.alpha, crystal.beta, crystal.gamma);
        haveCell = CheckCell(crystal, file.FileName());
    }
    if (!haveCell) {
        std::printf("Error: [%s] has no readable unit cell after UnitCell::LatticeConstant.\n",
                    file.FileName().c_str());
        return 0;
    }

    file.Rewind();
    auto isList = [](std::string_view l) {
        return Contains(l, "%block") && (Contains(l, "TwoProbe::FullAtomList") || Contains(l, "Bulk::AtomList"));
    };
    if (file.FindLine(isList, line)) {
        const bool twoProbe = Contains(line, "TwoProbe::FullAtomList");
        if (twoProbe) file.SkipLines(3);
        while (file.ReadLine(line) && !Contains(line, "%endblock") && !Contains(line, "# ----")) {
            std::string element;
            double p[3], x, y, z;
            if (!ParseAtomLine(line, twoProbe, element, p)) {
                std::printf("Error: [%s] line %ld is no atom line: %s\n", file.FileName().c_str(), file.LineNumber(),
                            line.c_str());
                return 0;
            }
            std::printf("%s (%lg,%lg,%lg) => ", element.c_str(), p[0], p[1], p[2]);
            ToFractional(crystal, p, x, y, z);
            crystal.AddAtomAsymSite("", element, 1.0, x, y, z);
        }
    }
    crystal.CalculateLatticeVectors();
    crystal.CopyAsymSitesToSites();
    CountAtomsPerType(crystal);
    std::printf("TranSIESTA::ReadInitialCrystalStructureFromOutput out\n");
    if (crystal.nAtomAsymSites == 0) {
        std::printf("Error: [%s] has no atom list.\n", file.FileName().c_str());
        return 0;
    }
    return 1;
}

int TranSIESTA::ReadNextCrystalStructureFromOutput(CTextScanner& file, int step, CCrystal& crystal,
                                                   const CCrystal& initialCrystal) {
    (void)step;
    std::printf("TranSIESTA::ReadNextCrystalStructureFromOutput in\n");
    const int n = crystal.nAtomAsymSites;
    std::string line;
    auto isHeader = [](std::string_view l) {
        return Contains(l, "NumOrb: Forces") || Contains(l, "#   Forces     in eV/Ang");
    };
    if (!file.FindLine(isHeader, line)) {  // past the last step: nothing new
        std::printf("TranSIESTA::ReadNextCrystalStructureFromOutput out\n");
        return 1;
    }
    const bool atk = Contains(line, "#   Forces     in eV/Ang");
    file.SkipLines(atk ? 3 : 1);
    // Positions in the file's own cell; the standard orientation is restored below.
    SetLatticeFromVectors(crystal, fileVectors_);
    std::vector<double> position(3 * static_cast<size_t>(n)), force(3 * static_cast<size_t>(n));

    if (atk) {
        int m = 0;
        for (int i = 0; i < n && file.ReadLine(line) && !TrimView(line).starts_with("#"); ++i) {
            double v[9];
            if (ScanNumbers(line, v, 9) < 9) break;
            std::printf("(%lg,%lg,%lg) => ", v[0], v[1], v[2]);
            ToFractional(crystal, v, position[3 * m], position[3 * m + 1], position[3 * m + 2]);
            for (int k = 0; k < 3; ++k) force[3 * m + k] = v[6 + k];
            ++m;
        }
        std::printf("natoms: %d\n", m);
        // The block covers the central region of a two-probe system; the
        // electrodes on both sides keep their initial positions.
        const int offset = (n - m) / 2;
        crystal.ClearSites();
        for (int i = 0; i < n && i < initialCrystal.nAtomAsymSites; ++i) {
            const CAtomSite& site = initialCrystal.AtomAsymSites[i];
            const std::string name = site.GetElementName();
            std::printf("%s\n", name.c_str());
            const int e = i - offset;
            if (e >= 0 && e < m)
                crystal.AddAtomAsymSite("", name, 1.0, position[3 * e], position[3 * e + 1], position[3 * e + 2],
                                        force[3 * e], force[3 * e + 1], force[3 * e + 2]);
            else
                crystal.AddAtomAsymSite("", name, 1.0, site.x, site.y, site.z);
        }
    } else {
        for (int i = 0; i < n && file.ReadLine(line); ++i) {
            const size_t colon = line.find(':');
            double v[4];
            if (colon != std::string::npos && ScanNumbers(std::string_view(line).substr(colon + 1), v, 4) == 4)
                for (int k = 0; k < 3; ++k) force[3 * i + k] = v[1 + k];
        }
        crystal.ClearSites();
        if (file.FindLineContaining("Updating coords", line) && file.SkipLines(2)) {
            for (int i = 0; i < n && file.ReadLine(line); ++i) {
                const size_t colon = line.find(':');
                std::string element;
                double p[3], x, y, z;
                if (colon == std::string::npos || !ParseAtomLine(std::string_view(line).substr(colon + 1), true, element, p))
                    continue;
                std::printf("%s (%lg,%lg,%lg) => ", element.c_str(), p[0], p[1], p[2]);
                ToFractional(crystal, p, x, y, z);
                crystal.AddAtomAsymSite("", element, 1.0, x, y, z, force[3 * i], force[3 * i + 1], force[3 * i + 2]);
            }
        }
    }
    crystal.CalculateLatticeVectors();
    TurnForcesToLatticeFrame(crystal, fileVectors_);
    crystal.CopyAsymSitesToSites();
    CountAtomsPerType(crystal);
    std::printf("TranSIESTA::ReadNextCrystalStructureFromOutput out\n");
    return 1;
}

int UpdateATKFile(const std::string& atkName, const CCrystal& crystal) {
    const std::string newName = atkName + ".new";
    std::printf("Create update file: %s\n", newName.c_str());
    std::ifstream in(atkName, std::ios::binary);
    if (!in) {
        std::printf("Can not read [%s].\n", atkName.c_str());
        return -1;
    }
    CStagedFile out;
    if (!out.Open(newName)) {
        std::printf("Can not write to [%s].\n", newName.c_str());
        return -1;
    }
    std::string text, line;
    auto row = [&](const double* v, double scale, int width, int precision) {
        for (int k = 0; k < 3; ++k) {
            if (k > 0) text += ' ';
            AppendFixed(text, v[k] * scale, width, precision);
        }
        text += '\n';
    };
    // Lines are copied with the line ends they have; only the two blocks are rewritten.
    auto skipToEndBlock = [&](bool keep) {
        while (std::getline(in, line)) {
            if (!Contains(line, "%endblock")) continue;
            if (keep) text += line + (in.eof() ? "" : "\n");
            return;
        }
    };
    while (std::getline(in, line)) {
        const std::string ending = in.eof() ? "" : "\n";
        if (Contains(line, "UnitCell::LatticeConstant")) {
            const double L = crystal.LatticeVector[0][0] * units::kNmToAngstrom;
            char head[64];
            std::snprintf(head, sizeof head, "UnitCell::LatticeConstant %lg Ang\n", L);
            text += head;
            text += "%block Bulk::UnitCell\n";
            for (const auto& v : crystal.LatticeVector) {
                const double vector[3] = {v[0], v[1], v[2]};
                row(vector, units::kNmToAngstrom / L, 12, 8);
            }
            text += "%endblock Bulk::UnitCell\n";
            skipToEndBlock(false);
        } else if (Contains(line, "%block Bulk::AtomList")) {
            text += line + ending;
            for (int i = 0; i < crystal.nAtomSites; ++i) {
                const CAtomSite& s = crystal.AtomSites[i];
                double p[3];
                crystal.FractionalToCartesian(s.x, s.y, s.z, p[0], p[1], p[2]);
                char name[64];
                std::snprintf(name, sizeof name, "%4s  ", s.AtomType ? s.AtomType->Name.c_str() : s.Label.c_str());
                text += name;
                row(p, units::kNmToAngstrom, 14, 10);
            }
            skipToEndBlock(true);
        } else {
            text += line + ending;
        }
    }
    std::fwrite(text.data(), 1, text.size(), out.get());
    if (!out.Commit()) {
        std::printf("Can not write to [%s].\n", newName.c_str());
        return -1;
    }
    return 1;
}

namespace {

// Names from the argument A: the stem is A without the extension of its file name.
struct TranSIESTANames {
    explicit TranSIESTANames(const std::string& path) {
        const std::string stem = PathBase(path);
        atk = stem + ".atk";
        output = stem + ".out";
        outputName = SplitPath(path).base + ".out";
        xsf = path;
        ChangeFileExtension(xsf, "xsf");
        initialCif = stem + "-initial.cif";
        finalCif = stem + "-final.cif";
    }
    std::string atk, output, outputName, xsf, initialCif, finalCif;
};

}  // namespace

int TranSIESTAConvOutput(const RunContext& context, const std::string& path) {
    const TranSIESTANames names(path);
    std::printf("\nATK file    : %s\n", names.atk.c_str());
    std::printf("Output file : %s\n", names.output.c_str());
    CTrajectoryFile trajectory(context.options.TrajectoryFormat, names.xsf);
    std::printf("%s\n", trajectory.Line().c_str());

    CTextScanner file;
    SIESTAOutputSurvey survey;
    if (file.Open(path)) survey = SurveySIESTAOutput(file);
    const int nCounted = survey.siesta4 ? survey.nSIESTA4Steps : survey.nATKSteps;
    const RunOptions& options = context.options;
    const StepPlan plan = PlanSteps(nCounted, options.nLastStep, options.nOutputInterval);

    CCrystal running, initial;
    running.AtomDatabase = &context.atoms;
    initial.AtomDatabase = &context.atoms;
    running.Name = names.outputName;
    if (!file.IsOpen()) {
        std::printf("Can not read [%s].\n", path.c_str());
        return -1;
    }
    if (survey.siesta4) std::printf("SIESTA 4 output: cell from outcell, positions from outcoor blocks.\n");

    TranSIESTA atk;
    CSIESTA4Reader siesta4;
    const int read = survey.siesta4 ? siesta4.ReadInitialStructure(file, running)
                                    : atk.ReadInitialCrystalStructureFromOutput(file, running);
    if (read != 1) return -1;
    running.Name = names.outputName;
    initial.Copy(running);
    PrintStepPlan(running, plan);

    const int written = WriteTrajectory(trajectory, path, plan, running, [&](int s, CCrystal& c) {
        return survey.siesta4 ? siesta4.ReadNextStep(file, s, c)
                              : atk.ReadNextCrystalStructureFromOutput(file, s, c, initial);
    });
    if (written != 1) return -1;
    // The relaxed or final coordinates a run prints after its last step.
    if (survey.siesta4 && plan.nStep == nCounted) siesta4.ReadFinalStructure(file, running);

    std::printf("\n");
    MakeCIFFile(initial, "initial", names.initialCif);
    MakeCIFFile(running, "final", names.finalCif);
    if (!survey.siesta4) UpdateATKFile(names.atk, running);
    if (options.CalcRDF != 0) {
        std::printf("Calculate RDF for initial structure.\n");
        CalculateRDF(options, initial, 0);
        std::printf("Calculate RDF for final structure.\n");
        CalculateRDF(options, running, 1);
    }
    return 1;
}
