#include "abinitio/pwscf.h"

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <limits>

#include "abinitio/converter_support.h"
#include "core/crystal.h"
#include "core/paths.h"
#include "core/run_context.h"
#include "core/step_loop.h"
#include "core/text_scanner.h"
#include "core/units.h"

namespace {

bool IsPositionsCard(std::string_view line) { return StartsWithNoCase(line, "ATOMIC_POSITIONS"); }
bool IsForcesHeader(std::string_view line) { return line.find("Forces acting on atoms") != std::string_view::npos; }
bool IsFinalCoordinates(std::string_view line) { return line.find("Begin final coordinates") != std::string_view::npos; }

// The energy of an scf line "!    total energy   =   -29.21996050 Ry" in eV; NaN for any other line.
double TotalEnergy(std::string_view line) {
    const size_t equals = line.find('=');
    if (!line.starts_with('!') || line.find("total energy") == std::string_view::npos || equals == std::string_view::npos)
        return std::numeric_limits<double>::quiet_NaN();
    return LeadingNumber(line.substr(equals + 1)) * units::kRydbergToEv;
}

// Lines that start the next step's geometry, where a search for forces stops.
bool StartsGeometry(std::string_view line) {
    return IsPositionsCard(line) || StartsWithNoCase(line, "CELL_PARAMETERS") || IsFinalCoordinates(line);
}

// The card's rows: a name and three numbers each, up to the first line that is
// none, which is left to be read again.
std::vector<PWScfSite> ReadCardRows(CTextScanner& scanner, bool& endOfFile) {
    std::vector<PWScfSite> rows;
    std::string line;
    endOfFile = false;
    for (;;) {
        const long offset = scanner.Tell(), number = scanner.LineNumber();
        if (!scanner.ReadLine(line)) {
            endOfFile = true;
            break;
        }
        const std::vector<std::string_view> words = SplitWords(line);
        PWScfSite row;
        if (words.size() < 4 || !ParseNumber(words[1], row.r[0]) || !ParseNumber(words[2], row.r[1]) ||
            !ParseNumber(words[3], row.r[2])) {
            scanner.Seek(offset, number);
            break;
        }
        row.name.assign(words[0]);
        rows.push_back(row);
    }
    return rows;
}

// The rows of the header's "site n." table: "  1   Si  tau(   1) = (  x  y  z  )".
std::vector<PWScfSite> ReadSiteTable(CTextScanner& scanner) {
    std::vector<PWScfSite> sites;
    std::string line;
    long number = 0;
    while (scanner.ReadLine(line)) {
        const std::vector<std::string_view> words = SplitWords(line);
        const size_t open = line.find('(', line.find('='));
        PWScfSite site;
        if (words.size() < 2 || !ParseInteger(words[0], number) || open == std::string::npos ||
            ScanNumbers(std::string_view(line).substr(open + 1), site.r, 3) != 3)
            break;
        site.name.assign(words[1]);
        sites.push_back(site);
    }
    return sites;
}

}  // namespace

PWScfOutputSummary SummarisePWScfOutput(CTextScanner& scanner) {
    PWScfOutputSummary s;
    std::string line;
    bool haveCelldm = false, haveTable = false;
    long nat = -1;
    while (scanner.ReadLine(line)) {
        if (IsPositionsCard(line)) {
            // A card counts when its rows end before the end of the file.
            bool endOfFile = false;
            if (!ReadCardRows(scanner, endOfFile).empty() && !endOfFile) ++s.nPositionCards;
        } else if (IsForcesHeader(line)) {
            // A block counts when a line follows its last force.
            bool rows = false, closed = false;
            while (!closed && scanner.ReadLine(line)) {
                if (line.find("force =") != std::string::npos)
                    rows = true;
                else if (rows || !TrimView(line).empty())
                    closed = true;
            }
            if (rows && closed) ++s.nForceBlocks;
        } else if (!haveCelldm && line.find("celldm(1)=") != std::string::npos) {
            s.alat = LeadingNumber(std::string_view(line).substr(line.find('=') + 1));
            haveCelldm = true;
        } else if (!s.hasAxes && line.find("crystal axes:") != std::string::npos) {
            int n = 0;
            for (; n < 3 && scanner.ReadLine(line); ++n) {
                const size_t open = line.find('(', line.find('='));
                if (open == std::string::npos || ScanNumbers(std::string_view(line).substr(open + 1), s.axes[n], 3) != 3)
                    break;
            }
            s.hasAxes = n == 3;
        } else if (nat < 0 && line.find("number of atoms/cell") != std::string::npos) {
            nat = LeadingInteger(std::string_view(line).substr(line.find('=') + 1));
        } else if (!haveTable && line.find("site n.") != std::string::npos &&
                   line.find("positions (alat units)") != std::string::npos) {
            // Taken only whole: as many rows as the header's count of atoms.
            haveTable = true;
            s.headerSites = ReadSiteTable(scanner);
            if (static_cast<long>(s.headerSites.size()) != nat) s.headerSites.clear();
        }
    }
    return s;
}

bool CPWScf::ReadInput(const std::string& inputName, CCrystal& crystal, const CSpaceGroupDatabase& spaceGroups) {
    input_ = PWScfInput();
    if (!ReadPWScfInput(inputName, input_)) {
        std::printf("Error: Can not read [%s]\n", inputName.c_str());
        return false;
    }
    types_.Declare(input_);
    hasInput_ = BuildPWScfInputCrystal(input_, spaceGroups, types_, crystal, atoms_, inputName);
    if (hasInput_) PWScfInputCell(input_, cell_, alat_);
    return hasInput_;
}

void CPWScf::UseOutputHeader(const PWScfOutputSummary& summary, CCrystal& crystal) {
    if (!summary.hasAxes || summary.alat <= 0) return;
    double v[3][3];
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) v[i][j] = summary.axes[i][j] * summary.alat;
    CCellVectors header;
    if (!header.Set(v)) return;
    bool sameCell = false;
    if (cell_.IsValid()) {
        double largest = 0, difference = 0;
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 3; ++j) {
                largest = std::fmax(largest, std::fabs(cell_.v[i][j]));
                difference = std::fmax(difference, std::fabs(cell_.v[i][j] - v[i][j]));
            }
        sameCell = difference <= 1e-4 * largest;
    }
    // The atoms of a crystal_sg card are those of our expansion, in its order;
    // the forces follow pw.x's, which the header gives.
    const std::vector<PWScfSite>& sites = summary.headerSites;
    const bool otherAtoms =
        !sites.empty() && (sites.size() != atoms_.size() || (hasInput_ && input_.positionsUnit == "crystal_sg"));
    if (sameCell && !otherAtoms) return;  // the input's structure, kept at its own precision
    if (!sameCell) {
        cell_ = header;
        alat_ = summary.alat;
    }
    if (!sites.empty()) {
        atoms_.resize(sites.size());
        for (size_t i = 0; i < sites.size(); ++i) {
            const double r[3] = {sites[i].r[0] * summary.alat, sites[i].r[1] * summary.alat,
                                 sites[i].r[2] * summary.alat};
            atoms_[i].species = sites[i].name;
            header.ToFractional(r, atoms_[i].f);
        }
    }
    forces_.clear();
    Apply(crystal);
}

bool CPWScf::ReadForces(CTextScanner& scanner) {
    std::vector<std::array<double, 3>> forces;
    std::string line;
    while (scanner.ReadLine(line)) {
        const size_t at = line.find("force =");
        if (at == std::string::npos) {
            if (forces.empty() && TrimView(line).empty()) continue;
            forces_.swap(forces);
            return true;
        }
        std::array<double, 3> f{0, 0, 0};
        ScanNumbers(std::string_view(line).substr(at + 7), f.data(), 3);
        forces.push_back(f);
    }
    std::printf("Incomplete forces at the end of [%s].\n", scanner.FileName().c_str());
    forces_.clear();
    return false;
}

void CPWScf::Apply(CCrystal& crystal) {
    if (cell_.IsValid()) SetCrystalCell(crystal, cell_, units::kBohrToNm);
    crystal.ClearSites();
    AddPWScfSites(crystal, atoms_, types_, forces_);
    if (cell_.IsValid()) {
        double vectors[3][3];
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 3; ++j) vectors[i][j] = cell_.v[i][j] * units::kBohrToNm;
        TurnForcesWithCell(crystal, vectors);
    }
    crystal.CopyAsymSitesToSites();
    crystal.Energy = energy_;
}

// The energy of the scf run before the forces, noted as the lines go by.
bool CPWScf::NoteEnergy(std::string_view line) {
    const double energy = TotalEnergy(line);
    if (!std::isnan(energy)) energy_ = energy;
    return IsForcesHeader(line);
}

int CPWScf::ReadStep(CTextScanner& scanner, int, CCrystal& crystal) {
    std::string line;
    if (singlePoint_) {
        if (!scanner.FindLine([this](std::string_view l) { return NoteEnergy(l); }, line) || !ReadForces(scanner))
            return 0;
        Apply(crystal);
        return 1;
    }
    std::string unit;
    bool found = false;
    while (!found && scanner.ReadLine(line)) {
        if (IsFinalCoordinates(line)) finalCoordinates_ = true;
        double cardAlat = 0;
        const std::string card = PWScfCardOf(line, &unit, &cardAlat);
        if (card == "CELL_PARAMETERS") {
            if (cardAlat > 0) alat_ = cardAlat;
            double v[3][3];
            int n = 0;
            for (; n < 3 && scanner.ReadLine(line) && ScanNumbers(line, v[n], 3) == 3; ++n) {
            }
            const double scale = unit == "bohr" ? 1.0 : unit == "angstrom" ? 1.0 / units::kBohr : alat_;
            for (int i = 0; i < 3; ++i)
                for (int j = 0; j < 3; ++j) v[i][j] *= scale;
            CCellVectors cell;
            if (n == 3 && cell.Set(v))
                cell_ = cell;
            else
                std::printf("CELL_PARAMETERS at line %ld of [%s] not read.\n", scanner.LineNumber(),
                            scanner.FileName().c_str());
        } else if (card == "ATOMIC_POSITIONS") {
            found = true;
        }
    }
    if (!found) return 0;
    const long cardLine = scanner.LineNumber();
    bool endOfFile = false;
    const std::vector<PWScfSite> rows = ReadCardRows(scanner, endOfFile);
    if (rows.empty() || (endOfFile && rows.size() < atoms_.size())) {
        std::printf("Incomplete ATOMIC_POSITIONS at line %ld of [%s].\n", cardLine, scanner.FileName().c_str());
        return 0;
    }
    std::vector<PWScfAtom> atoms(rows.size());
    for (size_t i = 0; i < rows.size(); ++i) {
        atoms[i].species = rows[i].name;
        if (!PWScfToFractional(unit.empty() ? "alat" : unit, rows[i].r, cell_, alat_, atoms[i].f)) {
            std::printf("ATOMIC_POSITIONS at line %ld of [%s]: no cell for unit [%s].\n", cardLine,
                        scanner.FileName().c_str(), unit.c_str());
            return 0;
        }
    }
    atoms_.swap(atoms);
    // The energy and forces at these positions follow the card, before the next geometry.
    bool haveForces = false;
    const double previousEnergy = energy_;
    energy_ = std::numeric_limits<double>::quiet_NaN();
    for (;;) {
        const long offset = scanner.Tell(), number = scanner.LineNumber();
        if (!scanner.ReadLine(line)) break;
        if (NoteEnergy(line)) {
            ReadForces(scanner);  // cut off by the end of the file, the step keeps no forces
            haveForces = true;
            break;
        }
        if (StartsGeometry(line)) {
            scanner.Seek(offset, number);
            break;
        }
    }
    // The final coordinates repeat the last geometry, whose energy and forces were read with it.
    if (!haveForces && !finalCoordinates_) forces_.clear();
    if (!haveForces && finalCoordinates_) energy_ = previousEnergy;
    Apply(crystal);
    return 1;
}

int PWScfConvOutput(const RunContext& context, const std::string& file) {
    const std::string base = PathBase(file);
    std::string inputName = base + ".inp";
    std::error_code ec;
    if (!std::filesystem::exists(inputName, ec) && std::filesystem::exists(base + ".in", ec)) inputName = base + ".in";
    std::string xsfName = file;
    // pw.x prints forces in Ry/bohr.
    CTrajectoryFile trajectory(context.options.TrajectoryFormat, ChangeFileExtension(xsfName, "xsf"),
                               units::kRydbergPerBohrToEvPerAngstrom);
    const std::string newName = inputName + ".new";
    std::printf("\nInput file  : %s\n", inputName.c_str());
    std::printf("Output file : %s\n", file.c_str());
    std::printf("%s\n", trajectory.Line().c_str());

    CCrystal crystal, initial;
    PrepareConverterCrystal(crystal, context);
    PrepareConverterCrystal(initial, context);
    CPWScf pw;
    pw.ReadInput(inputName, crystal, context.spaceGroups);

    CTextScanner scanner;
    PWScfOutputSummary summary;
    if (scanner.Open(file)) summary = SummarisePWScfOutput(scanner);
    pw.UseOutputHeader(summary, crystal);
    // A single-point run prints no position card: its one step is the structure of the run with its forces.
    const bool singlePoint = summary.nPositionCards == 0 && summary.nForceBlocks > 0 && pw.HasAtoms();
    pw.SetSinglePoint(singlePoint);
    const RunOptions& options = context.options;
    const StepPlan plan =
        PlanSteps(singlePoint ? 1 : summary.nPositionCards, options.nLastStep, options.nOutputInterval);
    PrintStepPlan(crystal, plan);

    if (!scanner.IsOpen()) {
        std::printf("Can not read [%s].\n", file.c_str());
        return -1;
    }
    scanner.Rewind();
    const int written = WriteTrajectory(trajectory, file, plan, crystal, [&](int step, CCrystal& c) {
        const int read = pw.ReadStep(scanner, step, c);
        if (step == 0 && read == 1) initial.Copy(c);
        return read;
    });
    // A run without steps (no forces, or no positions printed) still holds the
    // structure of its header: it is both the first and the last.
    if (initial.nAtomAsymSites == 0 && !summary.headerSites.empty()) initial.Copy(crystal);

    WriteInitialAndFinal(options, initial, crystal, base, false, [&] {
        std::printf("Create update INP file: %s\n", newName.c_str());
        pw.UpdateInpFile(inputName, newName, crystal);
    });
    return written == 1 ? 1 : -1;
}
