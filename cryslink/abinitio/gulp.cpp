#include "abinitio/gulp.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <map>
#include <vector>

#include "abinitio/converter_support.h"
#include "core/cif_writer.h"
#include "core/crystal.h"
#include "core/elements.h"
#include "core/paths.h"
#include "core/run_context.h"
#include "core/space_group.h"
#include "core/space_group_lookup.h"
#include "core/text_scanner.h"
#include "core/units.h"

namespace {

constexpr int kMaxAtomTypes = 100;
constexpr int kMaxSites = 10000;

// The lines of the input, trimmed, each without its comment ("#" to the end).
std::vector<std::string> InputLines(const std::vector<std::string>& raw) {
    std::vector<std::string> lines;
    lines.reserve(raw.size());
    for (const std::string& line : raw) lines.emplace_back(TrimView(std::string_view(line).substr(0, line.find('#'))));
    return lines;
}

// Index of the first line that starts with the keyword (any letter case), or -1.
int FindKeyword(const std::vector<std::string>& lines, std::string_view keyword) {
    for (size_t i = 0; i < lines.size(); ++i)
        if (StartsWithNoCase(lines[i], keyword)) return static_cast<int>(i);
    return -1;
}

// The line after the keyword line; empty when there is none.
std::string LineAfter(const std::vector<std::string>& lines, std::string_view keyword) {
    const int i = FindKeyword(lines, keyword);
    return i >= 0 && static_cast<size_t>(i) + 1 < lines.size() ? lines[static_cast<size_t>(i) + 1] : std::string();
}

// A number as GULP writes it, also as a fraction ("1/3").
bool ReadValue(std::string_view word, double& value) {
    const size_t slash = word.find('/');
    if (slash == std::string_view::npos) return ParseNumber(word, value);
    double numerator = 0, denominator = 0;
    if (!ParseNumber(word.substr(0, slash), numerator) || !ParseNumber(word.substr(slash + 1), denominator) ||
        denominator == 0)
        return false;
    value = numerator / denominator;
    return true;
}

bool IsFlag(std::string_view word) { return word == "0" || word == "1"; }

// The species name without its trailing digits (O1 becomes O); empty when
// that is no element-like name of one or two letters.
std::string ElementName(std::string_view word) {
    while (!word.empty() && std::isdigit(static_cast<unsigned char>(word.back()))) word.remove_suffix(1);
    if (word.empty() || word.size() > 2 || !std::isalpha(static_cast<unsigned char>(word[0]))) return {};
    return std::string(word);
}

enum class Kind { kCore, kShell, kNone };

// "core", "shel", "c", "s" and the other abbreviations of core and shell
// (a leading b marks a breathing ion); kNone for any other word.
Kind KindOf(std::string_view word) {
    const std::string upper = ToUpper(word);
    std::string_view w = upper;
    if (w.size() > 1 && w[0] == 'B') w.remove_prefix(1);
    if (!w.empty() && std::string_view("CORE").substr(0, w.size()) == w) return Kind::kCore;
    if (!w.empty() && std::string_view("SHELL").substr(0, w.size()) == w) return Kind::kShell;
    return Kind::kNone;
}

// The element a species name without its digits stands for, in any letter
// case ("o" and "O" are oxygen); the name itself when it is none.
std::string ElementOfSpecies(const std::string& name) {
    const std::string symbol = Capitalised(name);
    return AtomicNumberOfSymbol(symbol) ? symbol : name;
}

// One line "name [kind] numbers...", the numbers up to the first word that is none.
struct SpeciesLine {
    std::string label;  // the name as written ("O1")
    std::string name;   // without its trailing digits ("O")
    Kind kind = Kind::kCore;
    std::vector<double> values;
    size_t nFlags = 0;  // trailing 0/1 integers: the optimisation flags of a site line
};

bool ParseSpeciesLine(const std::string& line, SpeciesLine& out) {
    const std::vector<std::string_view> words = SplitWords(line);
    if (words.empty()) return false;
    out = SpeciesLine();
    out.label = std::string(words[0]);
    out.name = ElementName(words[0]);
    if (out.name.empty()) return false;
    size_t i = 1;
    double value;
    if (i < words.size() && !ReadValue(words[i], value)) {
        out.kind = KindOf(words[i++]);
        if (out.kind == Kind::kNone) return false;
    }
    const size_t first = i;
    for (; i < words.size() && ReadValue(words[i], value); ++i) out.values.push_back(value);
    for (size_t k = i; k > first && IsFlag(words[k - 1]); --k) ++out.nFlags;
    return true;
}

// Charges of a "species" block by name and kind.
using ChargeTable = std::map<std::pair<std::string, Kind>, double>;

ChargeTable ReadSpecies(const std::vector<std::string>& lines) {
    ChargeTable charges;
    // GULP takes a keyword by its first four letters.
    const int start = FindKeyword(lines, std::string_view("species").substr(0, 4));
    if (start < 0) return charges;
    SpeciesLine species;
    for (size_t i = static_cast<size_t>(start) + 1; i < lines.size(); ++i) {
        if (!ParseSpeciesLine(lines[i], species) || species.values.empty()) break;
        charges.emplace(std::make_pair(species.name, species.kind), species.values[0]);
    }
    return charges;
}

struct Site {
    std::string label, name;
    double x, y, z, charge, occupancy;
};

// The fractional block: one site per core line. A shell line gives no site,
// since a shell is the polarisable part of its core's ion; its charge adds to
// the ion's. Three trailing 0/1 integers are optimisation flags; before them
// may stand the charge (else the species block's, else 0) and the occupancy (else 1).
void ReadSites(const std::vector<std::string>& lines, int start, const ChargeTable& species, std::vector<Site>& sites,
               std::map<std::string, double>& ionCharges) {
    std::map<std::string, double> shellCharges;
    SpeciesLine atom;
    for (size_t i = static_cast<size_t>(start) + 1; i < lines.size(); ++i) {
        if (!ParseSpeciesLine(lines[i], atom) || atom.values.size() < 3) break;  // the next keyword
        const size_t nValues = atom.values.size() - (atom.nFlags >= 3 ? 3 : 0);
        const auto known = species.find({atom.name, atom.kind});
        const double charge = nValues > 3 ? atom.values[3] : known != species.end() ? known->second : 0.0;
        const double occupancy = nValues > 4 ? atom.values[4] : 1.0;
        const Site site{atom.label, atom.name, atom.values[0], atom.values[1], atom.values[2], charge, occupancy};
        const int index = static_cast<int>(sites.size());
        std::printf("%d: %s (%lg): (%lg,%lg,%lg) [occ=%lg]\n", index, site.name.c_str(), site.charge, site.x, site.y,
                    site.z, site.occupancy);
        if (atom.kind == Kind::kShell) {
            shellCharges.emplace(site.name, charge);
            continue;
        }
        std::printf("%d: %s (%lg): (%lg,%lg,%lg) [occ=%lg]\n", index, site.name.c_str(), site.charge, site.x, site.y,
                    site.z, site.occupancy);
        ionCharges.emplace(site.name, charge);
        sites.push_back(site);
    }
    for (auto& [name, charge] : ionCharges) {
        const auto shell = shellCharges.find(name);
        if (shell != shellCharges.end()) charge += shell->second;
    }
}

// The database record the "space" line names: a group number, or a symbol in
// any spelling the lookup knows ("P N M A", "P 21/c", "R -3 c").
bool FindGroupRecord(const std::string& text, const CCrystal& c, const CSpaceGroupDatabase& spaceGroups,
                     const std::string& fileName, SpaceGroupRecord& record) {
    long number = 0;
    std::string key = text;
    const bool isNumber = ParseInteger(RemoveWhitespace(key), number);
    if (isNumber && (number < 1 || number > 230)) return false;
    return FindSpaceGroupRecord("", isNumber ? "" : text, isNumber ? static_cast<int>(number) : 0,
                                IsRhombohedralCell(c.a, c.b, c.c, c.alpha, c.beta, c.gamma), spaceGroups, fileName,
                                record);
}

// The "origin" option of the space group, on its own line or followed by
// its numbers: three numbers are the place of the input's origin in the
// group's standard setting (the positions are given from there), one whole
// number 1 or 2 the origin choice of a group that has two.
struct Origin {
    double shift[3] = {0, 0, 0};
    int choice = 0;
};

std::vector<double> ValuesOf(std::string_view text) {
    std::vector<double> values;
    double value;
    for (std::string_view word : SplitWords(text)) {
        if (!ReadValue(word, value)) break;
        values.push_back(value);
    }
    return values;
}

// The line of the option: its first word "origin" or an abbreviation of four
// letters or more, outside the title block (which ends at "end", or at the
// structure when an input leaves "end" out); -1 when there is none.
int FindOriginLine(const std::vector<std::string>& lines) {
    bool title = false;
    for (size_t i = 0; i < lines.size(); ++i) {
        const std::string word = ToUpper(FirstWord(lines[i]));
        if (title) {
            for (const char* structure : {"END", "CELL", "FRAC", "SPAC", "VECT"})
                if (word.rfind(structure, 0) == 0) title = false;
        } else if (word == "TITLE" || word == "TITL") {
            title = true;
        } else if (word.size() >= 4 && std::string_view("ORIGIN").substr(0, word.size()) == word) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

Origin ReadOrigin(const std::vector<std::string>& lines, const std::string& path) {
    Origin origin;
    const int at = FindOriginLine(lines);
    if (at < 0) return origin;
    const std::string& line = lines[static_cast<size_t>(at)];
    const size_t blank = line.find_first_of(" \t");
    std::vector<double> values = blank == std::string::npos ? std::vector<double>() : ValuesOf(line.substr(blank));
    const size_t next = static_cast<size_t>(at) + 1;
    if (values.empty() && next < lines.size()) values = ValuesOf(lines[next]);
    const auto fraction = [](double v) { return std::fabs(v) <= 1e6; };  // no NaN, no infinity
    if (values.size() >= 3 && std::all_of(values.begin(), values.begin() + 3, fraction)) {
        for (int i = 0; i < 3; ++i) origin.shift[i] = values[static_cast<size_t>(i)];
        std::printf("Origin: %lg %lg %lg; the positions are given from there and moved to the group's origin.\n",
                    origin.shift[0], origin.shift[1], origin.shift[2]);
    } else if (values.size() == 1 && (values[0] == 1 || values[0] == 2)) {
        origin.choice = static_cast<int>(values[0]);
    } else {
        std::printf("Warning: the origin of [%s] is no shift and no origin choice; it is left out.\n", path.c_str());
    }
    return origin;
}

class InputReader {
public:
    InputReader(const std::string& path, CCrystal& crystal, const CSpaceGroupDatabase& spaceGroups)
        : path_(path), crystal_(crystal), spaceGroups_(spaceGroups) {}
    bool Read();

private:
    void ReadSpaceGroup(const std::vector<std::string>& lines, int originChoice);
    void UseOriginChoice2(SpaceGroupRecord& record) const;

    const std::string& path_;
    CCrystal& crystal_;
    const CSpaceGroupDatabase& spaceGroups_;
};

// The record of origin choice 2 of the group that `record` holds in choice 1.
void InputReader::UseOriginChoice2(SpaceGroupRecord& record) const {
    const std::string& name = record.Name;
    SpaceGroupRecord second;
    if (name.size() > 2 && name.compare(name.size() - 2, 2, ":2") == 0) return;
    const CCrystal& c = crystal_;
    if (FindSpaceGroupRecord("", name + ":2", record.Number, IsRhombohedralCell(c.a, c.b, c.c, c.alpha, c.beta, c.gamma),
                             spaceGroups_, path_, second) &&
        second.Number == record.Number && second.Setting != record.Setting) {
        record = second;
        std::printf("Origin: choice 2, space group %s.\n", record.Name.c_str());
        return;
    }
    std::printf("Warning: space group %s of [%s] has one origin choice; origin 2 is left out.\n", name.c_str(),
                path_.c_str());
}

void InputReader::ReadSpaceGroup(const std::vector<std::string>& lines, int originChoice) {
    const std::string symbol = LineAfter(lines, "space");
    CSpaceGroup& sg = crystal_.SpaceGroup;
    if (FindKeyword(lines, "space") >= 0) {
        sg.Name = symbol;
        SpaceGroupRecord record;
        if (!spaceGroups_.IsLoaded()) {
            std::printf("Error in CSpaceGroup::ReadSPG: Can not read [%s].\n", spaceGroups_.Path().c_str());
        } else if (FindGroupRecord(symbol, crystal_, spaceGroups_, path_, record)) {
            if (originChoice == 2) UseOriginChoice2(record);
            sg.ReadSPG(record.Number, record.Setting, spaceGroups_);
        } else {
            std::printf(
                "Warning: space group [%s] of [%s] is not in the space-group database; the structure is "
                "written in P1.\n",
                symbol.c_str(), path_.c_str());
        }
    }
    std::printf("SPG: %s\n", symbol.c_str());
}

bool InputReader::Read() {
    crystal_.ChemicalName.clear();
    crystal_.SpaceGroup.SetP1();
    crystal_.AllocAtomTypes(kMaxAtomTypes);
    crystal_.AllocAtomAsymSites(kMaxSites);
    crystal_.AllocAtomSites(kMaxSites);
    std::vector<std::string> raw;
    if (!ReadTextLines(path_, raw)) {
        std::printf("Error in CGULP::ReadCrystalStructure: Can not read [%s].\n", path_.c_str());
        return false;
    }
    const std::vector<std::string> lines = InputLines(raw);

    crystal_.ChemicalName = LineAfter(lines, "title");
    if (ToUpper(crystal_.ChemicalName) == "END") crystal_.ChemicalName.clear();  // a title block left empty
    if (crystal_.ChemicalName.empty()) {
        const int i = FindKeyword(lines, "name");
        if (i >= 0)
            crystal_.ChemicalName = std::string(TrimView(std::string_view(lines[static_cast<size_t>(i)]).substr(4)));
    }
    std::printf("Crystal: %s\n", crystal_.ChemicalName.c_str());

    // A molecule, or a cell given by vectors with Cartesian positions, has no
    // fractional structure to write.
    const int frac = FindKeyword(lines, "frac");
    double p[6];
    if (FindKeyword(lines, "cell") < 0 || ScanNumbers(LineAfter(lines, "cell"), p, 6) < 6 || frac < 0) {
        std::printf(
            "Error in CGULP::ReadCrystalStructure: [%s] has no cell with fractional coordinates; no CIF is "
            "written.\n",
            path_.c_str());
        return false;
    }
    std::printf("Lattice parameters: %lg %lg %lg A  %lg %lg %lg\n", p[0], p[1], p[2], p[3], p[4], p[5]);
    for (int i = 0; i < 6; ++i) {
        if (!(p[i] > 0 && p[i] < (i < 3 ? 1e6 : 180))) {
            std::printf("Error in CGULP::ReadCrystalStructure: [%s] has no valid cell.\n", path_.c_str());
            return false;
        }
    }
    crystal_.SetLatticeParameters(p[0] * units::kAngstromToNm, p[1] * units::kAngstromToNm,
                                  p[2] * units::kAngstromToNm, p[3], p[4], p[5]);

    std::vector<Site> sites;
    std::map<std::string, double> ionCharges;
    ReadSites(lines, frac, ReadSpecies(lines), sites, ionCharges);
    const Origin origin = ReadOrigin(lines, path_);
    // One type per element, with the charge of its first ion; the input's names as site labels.
    std::vector<std::string> labels;
    for (const Site& site : sites) labels.push_back(site.label);
    labels = UniqueLabels(labels);
    for (size_t i = 0; i < sites.size(); ++i) {
        const Site& site = sites[i];
        const std::string element = ElementOfSpecies(site.name);
        crystal_.AddAtomType(element, ionCharges[site.name], true);
        crystal_.AddAtomAsymSite(labels[i], element, site.occupancy, site.x + origin.shift[0], site.y + origin.shift[1],
                                 site.z + origin.shift[2]);
    }
    ReadSpaceGroup(lines, origin.choice);
    crystal_.FillUnitCell();
    return true;
}

}  // namespace

int CGULP::ReadCrystalStructure(const std::string& path, CCrystal& crystal, const CSpaceGroupDatabase& spaceGroups) {
    InputReader reader(path, crystal, spaceGroups);
    return reader.Read() ? 1 : -1;
}

int GULPMakeCIFFromInput(const RunContext& context, const std::string& inputPath) {
    CCrystal crystal;
    crystal.AtomDatabase = &context.atoms;
    std::printf("glp file: %s\n", inputPath.c_str());
    if (CGULP::ReadCrystalStructure(inputPath, crystal, context.spaceGroups) < 0) return -1;
    return WriteCIFBesideInput(crystal, inputPath);
}
