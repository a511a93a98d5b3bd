#include "abinitio/siesta.h"

#include <cctype>
#include <cstdio>

#include "abinitio/converter_support.h"
#include "core/cell_vectors.h"
#include "core/crystal.h"
#include "core/text_scanner.h"
#include "core/units.h"

namespace {

bool Contains(std::string_view line, std::string_view text) { return line.find(text) != std::string_view::npos; }

bool IsCellHeader(std::string_view line) { return Contains(line, "outcell: Unit cell vectors (Ang):"); }
bool IsCoordinatesHeader(std::string_view line) {
    return TrimView(line).starts_with("outcoor:") && Contains(line, "coordinates");
}
bool IsForceHeader(std::string_view line) { return Contains(line, "siesta: Atomic forces (eV/Ang):"); }
// The summary that repeats the last forces at the end of a run prefixes every line.
bool IsSummaryLine(std::string_view line) { return TrimView(line).starts_with("siesta:"); }
bool IsRuleLine(std::string_view line) { return TrimView(line).starts_with("---"); }

// A lattice constant of the input echo ("LatticeConstant 4.10 Ang") in
// angstrom; 0 when the line sets none. Names ignore case, ".", "_" and "-".
double LatticeConstant(std::string_view line) {
    const std::string_view text = TrimView(line);
    if (text.empty() || (text.front() != 'L' && text.front() != 'l')) return 0;
    const std::vector<std::string_view> words = SplitWords(text);
    if (words.size() < 2) return 0;
    std::string name;
    for (char c : words[0])
        if (c != '.' && c != '_' && c != '-') name += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    double value = 0;
    if (name != "latticeconstant" || !ParseNumber(words[1], value)) return 0;
    const std::string unit = words.size() > 2 ? ToUpper(words[2]) : "BOHR";
    if (unit == "ANG" || unit == "ANGSTROM") return value;
    if (unit == "NM") return value * 10.0;
    return value * units::kBohr;
}

}  // namespace

SIESTAOutputSurvey SurveySIESTAOutput(CTextScanner& file) {
    SIESTAOutputSurvey survey;
    bool atkBlocks = false, siesta4Blocks = false;
    std::string line;
    while (file.ReadLine(line)) {
        if (Contains(line, "Updating coords") || Contains(line, "#   Forces     in eV/Ang")) ++survey.nATKSteps;
        if (Contains(line, "UnitCell::LatticeConstant") || Contains(line, "NumOrb: Forces") ||
            Contains(line, "TwoProbe::FullAtomList") || Contains(line, "Bulk::AtomList"))
            atkBlocks = true;
        if (IsCellHeader(line) || IsCoordinatesHeader(line)) siesta4Blocks = true;
        if (!IsForceHeader(line)) continue;
        // A step is a whole block: numbered lines closed by a rule.
        int rows = 0;
        while (file.ReadLine(line) && !IsSummaryLine(line)) {
            double v[4];
            if (ScanNumbers(line, v, 4) < 4) break;
            ++rows;
        }
        if (rows > 0 && IsRuleLine(line)) ++survey.nSIESTA4Steps;
    }
    survey.siesta4 = siesta4Blocks && !atkBlocks;
    return survey;
}

bool CSIESTA4Reader::ReadCoordinates(CTextScanner& file, std::string_view header) {
    const size_t open = header.find('('), close = header.find(')', open == std::string_view::npos ? 0 : open);
    const std::string unit =
        open == std::string_view::npos || close == std::string_view::npos ? "" : ToUpper(header.substr(open + 1, close - open - 1));
    if (unit.starts_with("ANG"))
        unit_ = Unit::Angstrom;
    else if (unit.starts_with("BOHR"))
        unit_ = Unit::Bohr;
    else if (unit.starts_with("SCALED"))
        unit_ = Unit::Scaled;
    else if (unit.starts_with("FRACTIONAL"))
        unit_ = Unit::Fractional;
    else
        return false;
    atoms_.clear();
    std::string line;
    for (;;) {
        const long mark = file.Tell(), markLine = file.LineNumber();
        double v[3];
        if (!file.ReadLine(line)) break;
        const std::vector<std::string_view> words = SplitWords(line);
        if (ScanNumbers(line, v, 3) < 3 || words.size() < 4) {
            file.Seek(mark, markLine);  // the line after the block may start the next one
            break;
        }
        atoms_.push_back({v[0], v[1], v[2], std::string(words.back())});
    }
    return !atoms_.empty();
}

bool CSIESTA4Reader::ReadBlock(CTextScanner& file, const std::string& line, bool& isBlock) {
    isBlock = true;
    if (IsCoordinatesHeader(line)) return ReadCoordinates(file, line);
    if (IsCellHeader(line)) {
        std::string row;
        for (auto& v : cell_) {
            if (!file.ReadLine(row) || ScanNumbers(row, v, 3) < 3) return false;
            for (double& x : v) x *= units::kAngstromToNm;
        }
        haveCell_ = true;
        return true;
    }
    if (const double alat = LatticeConstant(line); alat > 0) latticeConstant_ = alat;
    isBlock = false;
    return true;
}

int CSIESTA4Reader::BuildCrystal(CCrystal& crystal, const std::string& file, const double* forces) {
    const char* missing = !haveCell_ ? "no unit cell (outcell)" : atoms_.empty() ? "no atomic coordinates (outcoor)" : nullptr;
    if (!missing && unit_ == Unit::Scaled && latticeConstant_ <= 0)
        missing = "scaled coordinates but no LatticeConstant";
    if (missing) {
        std::printf("Error: [%s] has %s before its forces.\n", file.c_str(), missing);
        return -1;
    }
    crystal.ClearSites();
    SetLatticeFromVectors(crystal, cell_);
    if (!CheckCell(crystal, file)) return -1;
    const double scale = unit_ == Unit::Bohr     ? units::kBohrToNm
                         : unit_ == Unit::Scaled ? latticeConstant_ * units::kAngstromToNm
                                                 : units::kAngstromToNm;
    for (size_t i = 0; i < atoms_.size(); ++i) {
        const Atom& a = atoms_[i];
        double x = a.x, y = a.y, z = a.z;
        if (unit_ != Unit::Fractional) crystal.CartesianToFractional(a.x * scale, a.y * scale, a.z * scale, x, y, z);
        const double* f = forces ? forces + 3 * i : nullptr;
        crystal.AddAtomAsymSite("", a.label, 1.0, x, y, z, f ? f[0] : 0, f ? f[1] : 0, f ? f[2] : 0);
    }
    crystal.CalculateLatticeVectors();
    TurnForcesToLatticeFrame(crystal, cell_);
    crystal.CopyAsymSitesToSites();
    CountAtomsPerType(crystal);
    return 1;
}

int CSIESTA4Reader::ReadInitialStructure(CTextScanner& file, CCrystal& crystal) {
    haveCell_ = false;
    atoms_.clear();
    latticeConstant_ = 0;
    file.Rewind();
    std::string line;
    bool isBlock = false;
    while (file.ReadLine(line) && !IsForceHeader(line))
        if (!ReadBlock(file, line, isBlock)) break;
    PrepareCrystal(crystal);
    const int result = BuildCrystal(crystal, file.FileName(), nullptr);
    file.Rewind();
    return result;
}

int CSIESTA4Reader::ReadNextStep(CTextScanner& file, int step, CCrystal& crystal) {
    std::string line;
    bool isBlock = false;
    auto fail = [&](const char* what) {
        std::printf("Error: step %d of [%s] %s (line %ld).\n", step, file.FileName().c_str(), what, file.LineNumber());
        return 0;
    };
    while (file.ReadLine(line)) {
        if (!ReadBlock(file, line, isBlock)) return fail("has a cut-short cell or coordinate block");
        if (isBlock || !IsForceHeader(line)) continue;
        std::vector<double> forces(3 * atoms_.size());
        const long mark = file.Tell(), markLine = file.LineNumber();
        if (file.ReadLine(line) && IsSummaryLine(line)) continue;
        file.Seek(mark, markLine);
        for (size_t i = 0; i < atoms_.size(); ++i) {
            double v[4];
            if (!file.ReadLine(line) || ScanNumbers(line, v, 4) < 4) return fail("has fewer forces than atoms");
            for (int k = 0; k < 3; ++k) forces[3 * i + k] = v[k + 1];
        }
        return BuildCrystal(crystal, file.FileName(), forces.data()) == 1 ? 1 : 0;
    }
    return 0;
}
