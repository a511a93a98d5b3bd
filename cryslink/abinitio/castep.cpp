#include "abinitio/castep.h"

#include <cstdio>
#include <limits>

#include "abinitio/converter_support.h"
#include "core/car_writer.h"
#include "core/crystal.h"
#include "core/paths.h"
#include "core/run_context.h"
#include "core/step_loop.h"
#include "core/text_scanner.h"
#include "core/units.h"

namespace {

// The closing line of a starred table: stars only.
bool IsStarLine(std::string_view line) {
    const std::string_view t = TrimView(line);
    return t.size() > 10 && t.find_first_not_of('*') == std::string_view::npos;
}

// A table row: optional frame character, element, atom number, then the first
// three numbers (words that are no number, such as "(cons'd)", are passed over).
bool ParseRow(std::string_view line, std::string_view frame, std::string& element, double values[3]) {
    std::string_view words[12];
    size_t n = 0, i = 0;
    while (n < 12) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t' || line[i] == '\r')) ++i;
        if (i >= line.size()) break;
        const size_t start = i;
        while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r') ++i;
        words[n++] = line.substr(start, i - start);
    }
    const size_t first = (n > 0 && words[0] == frame) ? 1 : 0;
    long number;
    if (n < first + 5 || words[first] == frame || !ParseInteger(words[first + 1], number)) return false;
    int found = 0;
    for (size_t k = first + 2; k < n && found < 3; ++k)
        if (ParseNumber(words[k], values[found])) ++found;
    if (found < 3) return false;
    element.assign(words[first]);
    return true;
}

// The number after the n-th "=" of the line (n from 1); false when there is none.
bool ValueAfterEquals(std::string_view line, int n, double& value) {
    size_t pos = std::string_view::npos;
    for (int k = 0; k < n; ++k) {
        pos = line.find('=', pos == std::string_view::npos ? 0 : pos + 1);
        if (pos == std::string_view::npos) return false;
    }
    double v;
    if (ScanNumbers(line.substr(pos + 1), &v, 1) != 1) return false;
    value = v;
    return true;
}

void PrintLattice(const CCrystal& c) {
    std::printf("Lattice parameters: %lg %lg %lg nm  %lg %lg %lg\n", c.a, c.b, c.c, c.alpha, c.beta, c.gamma);
}

}  // namespace

bool IsCASTEPForcesTitle(std::string_view line) {
    return line.find("** Forces **") != std::string_view::npos ||
           line.find("* Symmetrised Forces *") != std::string_view::npos ||
           line.find("* Constrained Forces *") != std::string_view::npos;
}

int CountCASTEPForcesTables(CTextScanner& scanner) {
    std::string line;
    int n = 0;
    while (scanner.FindLine(IsCASTEPForcesTitle, line))
        if (scanner.FindLine(IsStarLine, line)) ++n;
    return n;
}

// After "Unit Cell": the vectors under "Real Lattice(A)" (the first three
// numbers of each line), and the three lines under "Lattice parameters(A)",
// each a length after its first "=" and an angle after the second. A value
// without its "=" stays as it was.
bool CCASTEPReader::ReadCell() {
    std::string line;
    for (int k = 0; k < 20; ++k) {
        if (!scanner_.ReadLine(line)) return false;
        if (line.find("Real Lattice(A)") != std::string::npos) {
            double v[3][3];
            int n = 0;
            for (; n < 3 && scanner_.ReadLine(line) && ScanNumbers(line, v[n], 3) == 3; ++n) {
            }
            hasVectors_ = n == 3;
            if (hasVectors_)
                for (int i = 0; i < 3; ++i)
                    for (int j = 0; j < 3; ++j) vectors_[i][j] = v[i][j];
            continue;
        }
        if (line.find("Lattice parameters(A)") == std::string::npos) continue;
        double cell[6];
        for (int i = 0; i < 6; ++i) cell[i] = cell_[i];
        for (int i = 0; i < 3; ++i) {
            if (!scanner_.ReadLine(line)) {
                std::printf("Incomplete cell at line %ld of [%s].\n", scanner_.LineNumber(),
                            scanner_.FileName().c_str());
                return false;
            }
            ValueAfterEquals(line, 1, cell[i]);
            ValueAfterEquals(line, 2, cell[i + 3]);
        }
        for (int i = 0; i < 6; ++i) cell_[i] = cell[i];
        return true;
    }
    return false;
}

// After "Fractional coordinates of atoms": two header lines, then atom rows
// up to the closing line of x. A table cut off by the end of the file is not taken.
bool CCASTEPReader::ReadCoordinates() {
    if (!scanner_.SkipLines(2)) return false;
    std::vector<Atom> atoms;
    std::string line, element;
    while (scanner_.ReadLine(line)) {
        if (line.find("xxxxxx") != std::string::npos) {
            atoms_.swap(atoms);
            for (const Atom& a : atoms_) std::printf("%s (%lg,%lg,%lg)\n", a.element.c_str(), a.u, a.v, a.w);
            return true;
        }
        double f[3];
        if (ParseRow(line, "x", element, f)) atoms.push_back({element, f[0], f[1], f[2]});
    }
    std::printf("Incomplete table of fractional coordinates at the end of [%s].\n", scanner_.FileName().c_str());
    return false;
}

// After a forces title: rows "* Si 1 fx fy fz *" up to the closing line of stars.
bool CCASTEPReader::ReadForces() {
    std::vector<Force> forces;
    std::string line, element;
    while (scanner_.ReadLine(line)) {
        if (IsStarLine(line)) {
            forces_.swap(forces);
            return true;
        }
        double f[3];
        if (ParseRow(line, "*", element, f)) forces.push_back({f[0], f[1], f[2]});
    }
    std::printf("Incomplete forces table at the end of [%s].\n", scanner_.FileName().c_str());
    return false;
}

// The last cell read, lengths in nm.
void CCASTEPReader::SetCellParameters(CCrystal& crystal) const {
    crystal.SetLatticeParameters(cell_[0] * units::kAngstromToNm, cell_[1] * units::kAngstromToNm,
                                 cell_[2] * units::kAngstromToNm, cell_[3], cell_[4], cell_[5]);
}

void CCASTEPReader::Apply(CCrystal& crystal) const {
    SetCellParameters(crystal);
    crystal.CalculateLatticeVectors();
    crystal.ClearSites();
    for (size_t i = 0; i < atoms_.size(); ++i) {
        const Atom& a = atoms_[i];
        const Force f = i < forces_.size() ? forces_[i] : Force{0, 0, 0};
        crystal.AddAtomAsymSite("", a.element, 1.0, a.u, a.v, a.w, f.x, f.y, f.z);
    }
    if (hasVectors_) {
        double vectors[3][3];
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 3; ++j) vectors[i][j] = vectors_[i][j] * units::kAngstromToNm;
        TurnForcesWithCell(crystal, vectors);
    }
    crystal.CopyAsymSitesToSites();
    crystal.Energy = energy_;
}

void CCASTEPReader::ReadInitialStructure(CCrystal& crystal) {
    std::string line;
    scanner_.Rewind();
    if (scanner_.FindLineContaining("Unit Cell", line) && ReadCell()) {
        SetCellParameters(crystal);
        PrintLattice(crystal);
    }
    if (scanner_.FindLineContaining("Fractional coordinates of atoms", line)) ReadCoordinates();
    forces_.clear();
    Apply(crystal);
}

int CCASTEPReader::ReadNextCASTEPStep(int, CCrystal& crystal) {
    std::string line;
    int result = 0;
    energy_ = std::numeric_limits<double>::quiet_NaN();
    while (scanner_.ReadLine(line)) {
        if (line.find("Unit Cell") != std::string::npos) {
            if (ReadCell()) {
                SetCellParameters(crystal);
                PrintLattice(crystal);
            }
        } else if (line.find("Fractional coordinates of atoms") != std::string::npos) {
            ReadCoordinates();
        } else if (line.starts_with("Final energy")) {
            // "Final energy, E = ... eV" (or "Final energy = ... eV"): the last before the forces is theirs.
            const size_t equals = line.find('=');
            if (equals != std::string::npos) energy_ = LeadingNumber(std::string_view(line).substr(equals + 1));
        } else if (IsCASTEPForcesTitle(line)) {
            if (ReadForces()) result = 1;
            break;
        }
    }
    Apply(crystal);
    return result;
}

int CASTEPConvOutput(const RunContext& context, const std::string& file) {
    const std::string base = PathBase(file);
    const std::string castepName = base + ".castep";
    std::string xsfName = file;
    CTrajectoryFile trajectory(context.options.TrajectoryFormat, ChangeFileExtension(xsfName, "xsf"));
    std::printf("\nCASTEP file : %s\n", castepName.c_str());
    std::printf("%s\n", trajectory.Line().c_str());

    // The first forces table belongs to the starting geometry (a file without one has no step).
    CTextScanner scanner;
    const int nTables = scanner.Open(castepName) ? CountCASTEPForcesTables(scanner) : 0;
    const int nCounted = nTables > 0 ? nTables - 1 : 0;
    const RunOptions& options = context.options;
    const StepPlan plan = PlanSteps(nCounted, options.nLastStep, options.nOutputInterval);

    CCrystal crystal, initial;
    PrepareConverterCrystal(crystal, context);
    PrepareConverterCrystal(initial, context);
    crystal.Name = castepName;

    if (!scanner.IsOpen()) {
        std::printf("Can not read [%s].\n", castepName.c_str());
        return -1;
    }
    CCASTEPReader reader(scanner);
    reader.ReadInitialStructure(crystal);
    initial.Copy(crystal);
    PrintStepPlan(crystal, plan);

    reader.ReadNextCASTEPStep(-1, crystal);  // up to the end of the starting geometry's forces
    int nRead = 0;
    const int written = WriteTrajectory(trajectory, castepName, plan, crystal, [&](int step, CCrystal& c) {
        const int read = reader.ReadNextCASTEPStep(step, c);
        if (read == 1) ++nRead;
        return read;
    });
    // A run read to its last step ends with the last geometry printed (a cell
    // optimisation prints its final cell after the last forces).
    if (nRead == nCounted)
        while (reader.ReadNextCASTEPStep(-1, crystal) == 1) {
        }

    const std::string carName = base + ".car.new";
    WriteInitialAndFinal(options, initial, crystal, base, true, [&] {
        std::printf("Create update CAR file: %s\n", carName.c_str());
        WriteCARFile(carName, crystal);
    });
    return written == 1 ? 1 : -1;
}
