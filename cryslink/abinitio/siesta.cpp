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
bool IsInitialCoordinatesHeader(std::string_view line) {
    return Contains(line, "siesta: Atomic coordinates (Bohr) and species");
}

// The numbered lines "i fx fy fz" of a force block, after its header. The
// summary that repeats the forces at the end of a run prefixes every line with
// "siesta:"; a block that prints only the total has none.
struct ForceRows {
    bool summary = false;
    size_t rows = 0;
    bool closed = false;  // a rule of dashes ends the rows
};

// Reads the rows (their forces into `forces` when given); the file is left
// after the closing rule, or at the line that ends the rows otherwise.
ForceRows ReadForceRows(CTextScanner& file, std::vector<double>* forces) {
    ForceRows block;
    std::string line;
    for (;;) {
        const long mark = file.Tell(), markLine = file.LineNumber();
        if (!file.ReadLine(line)) return block;
        std::string_view text = TrimView(line);
        const bool prefixed = text.starts_with("siesta:");
        if (prefixed) text = TrimView(text.substr(7));
        if (block.rows == 0) block.summary = prefixed;
        double v[4];
        if (prefixed == block.summary && ScanNumbers(text, v, 4) == 4) {
            if (forces) forces->insert(forces->end(), v + 1, v + 4);
            ++block.rows;
            continue;
        }
        block.closed = prefixed == block.summary && text.starts_with("---");
        if (!block.closed) file.Seek(mark, markLine);  // the line may start the next block
        return block;
    }
}

// Whether a force block is a step, given whether the block before it had rows.
bool IsStep(const ForceRows& block, bool lastBlockHadAtoms) {
    return block.rows > 0 && block.closed && (!block.summary || !lastBlockHadAtoms);
}

// "Species number:   1 Atomic number:    6 Label: C" (older versions put the
// label before the atomic number): the species' number and label.
bool ParseSpeciesLine(std::string_view line, size_t& number, std::string& label) {
    const size_t at = line.find("Species number:"), labelAt = line.find("Label:");
    if (at == std::string_view::npos || labelAt == std::string_view::npos) return false;
    const long n = LeadingInteger(line.substr(at + 15));
    label = FirstWord(line.substr(labelAt + 6));
    if (n < 1 || n > 1000 || label.empty()) return false;
    number = static_cast<size_t>(n);
    return true;
}

// A lattice constant of the input echo ("LatticeConstant 4.10 Ang") in
// angstrom; 0 when the line sets none. Names ignore case, ".", "_" and "-".
double LatticeConstant(std::string_view line) {
    const std::string_view text = TrimView(line);
    if (text.empty() || (text.front() != 'L' && text.front() != 'l')) return 0;
    const std::vector<std::string_view> words = SplitWords(text);
    if (words.size() < 2) return 0;
    std::string name;
    for (char c : words[0])
        if (c != '.' && c != '_' && c != '-') name += ToLower(c);
    double value = 0;
    if (name != "latticeconstant" || !ParseNumber(words[1], value)) return 0;
    const std::string unit = words.size() > 2 ? ToUpper(words[2]) : "BOHR";
    if (unit == "ANG" || unit == "ANGSTROM") return value;
    if (unit == "NM") return value * units::kNmToAngstrom;
    return value * units::kBohr;
}

}  // namespace

SIESTAOutputSurvey SurveySIESTAOutput(CTextScanner& file) {
    SIESTAOutputSurvey survey;
    bool atkBlocks = false, siesta4Blocks = false, lastBlockHadAtoms = false;
    std::string line;
    while (file.ReadLine(line)) {
        if (Contains(line, "Updating coords") || Contains(line, "#   Forces     in eV/Ang")) ++survey.nATKSteps;
        if (Contains(line, "UnitCell::LatticeConstant") || Contains(line, "NumOrb: Forces") ||
            Contains(line, "TwoProbe::FullAtomList") || Contains(line, "Bulk::AtomList"))
            atkBlocks = true;
        if (IsCellHeader(line) || IsCoordinatesHeader(line) || IsInitialCoordinatesHeader(line)) siesta4Blocks = true;
        if (!IsForceHeader(line)) continue;
        const ForceRows block = ReadForceRows(file, nullptr);
        if (IsStep(block, lastBlockHadAtoms)) ++survey.nSIESTA4Steps;
        lastBlockHadAtoms = block.rows > 0;
    }
    survey.siesta4 = siesta4Blocks && !atkBlocks;
    return survey;
}

bool CSIESTA4Reader::ReadCoordinates(CTextScanner& file, std::string_view header) {
    // The unit is the last word in brackets: "Final (unrelaxed) atomic coordinates (Ang):".
    const size_t open = header.rfind('('), close = header.find(')', open == std::string_view::npos ? 0 : open);
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

// The positions SIESTA prints from its input before the first step, always
// Cartesian in bohr: "siesta:  x y z  species  index".
bool CSIESTA4Reader::ReadInitialCoordinates(CTextScanner& file) {
    unit_ = Unit::Bohr;
    atoms_.clear();
    std::string line;
    for (;;) {
        const long mark = file.Tell(), markLine = file.LineNumber();
        if (!file.ReadLine(line)) break;
        const std::string_view text = TrimView(line);
        double v[5];
        if (!text.starts_with("siesta:") || ScanNumbers(text.substr(7), v, 5) < 5) {
            file.Seek(mark, markLine);
            break;
        }
        const bool named = v[3] >= 1 && v[3] <= static_cast<double>(species_.size());
        atoms_.push_back({v[0], v[1], v[2], named ? species_[static_cast<size_t>(v[3]) - 1] : std::string()});
    }
    return !atoms_.empty();
}

bool CSIESTA4Reader::ReadBlock(CTextScanner& file, const std::string& line, bool& isBlock) {
    isBlock = true;
    size_t number = 0;
    std::string label;
    if (ParseSpeciesLine(line, number, label)) {
        if (species_.size() < number) species_.resize(number);
        species_[number - 1] = label;
        return true;
    }
    if (IsCoordinatesHeader(line)) return changed_ = ReadCoordinates(file, line);
    if (IsInitialCoordinatesHeader(line)) return changed_ = ReadInitialCoordinates(file);
    if (IsCellHeader(line)) {
        std::string row;
        for (auto& v : cell_) {
            if (!file.ReadLine(row) || ScanNumbers(row, v, 3) < 3) return false;
            for (double& x : v) x *= units::kAngstromToNm;
        }
        return haveCell_ = changed_ = true;
    }
    if (const double alat = LatticeConstant(line); alat > 0) latticeConstant_ = alat;
    isBlock = false;
    return true;
}

int CSIESTA4Reader::BuildCrystal(CCrystal& crystal, const std::string& file, const double* forces) {
    const char* missing = !haveCell_ ? "no unit cell (outcell)" : atoms_.empty() ? "no atomic coordinates" : nullptr;
    if (!missing && unit_ == Unit::Scaled && latticeConstant_ <= 0)
        missing = "scaled coordinates but no LatticeConstant";
    for (size_t i = 0; !missing && i < atoms_.size(); ++i)
        if (atoms_[i].label.empty()) missing = "atoms of a species that no \"Species number\" line names";
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
    changed_ = false;
    return 1;
}

int CSIESTA4Reader::ReadInitialStructure(CTextScanner& file, CCrystal& crystal) {
    haveCell_ = false;
    atoms_.clear();
    species_.clear();
    latticeConstant_ = 0;
    lastBlockHadAtoms_ = false;
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
        // The energy printed before the forces is theirs.
        if (line.starts_with("siesta: E_KS(eV) =")) energy_ = LeadingNumber(std::string_view(line).substr(18));
        if (isBlock || !IsForceHeader(line)) continue;
        std::vector<double> forces;
        const ForceRows block = ReadForceRows(file, &forces);
        const bool isStep = IsStep(block, lastBlockHadAtoms_);
        lastBlockHadAtoms_ = block.rows > 0;
        if (!isStep) continue;
        if (block.rows != atoms_.size())
            return fail(block.rows < atoms_.size() ? "has fewer forces than atoms" : "has more forces than atoms");
        if (BuildCrystal(crystal, file.FileName(), forces.data()) != 1) return 0;
        crystal.Energy = energy_;
        return 1;
    }
    return 0;
}

void CSIESTA4Reader::ReadFinalStructure(CTextScanner& file, CCrystal& crystal) {
    std::string line;
    bool isBlock = false;
    while (file.ReadLine(line))
        if (!ReadBlock(file, line, isBlock)) return;
    if (!changed_) return;
    // Built apart, so that a structure that cannot be built leaves the crystal whole.
    CCrystal last;
    last.Copy(crystal);
    if (BuildCrystal(last, file.FileName(), nullptr) == 1) crystal.Copy(last);
}
