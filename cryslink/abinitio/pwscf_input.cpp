#include "abinitio/pwscf_input.h"

#include <cctype>
#include <array>
#include <cmath>
#include <cstdio>

#include "core/crystal.h"
#include "core/elements.h"
#include "core/space_group_database.h"
#include "core/text_scanner.h"
#include "core/units.h"

namespace {

const char* const kCards[] = {"ATOMIC_SPECIES", "ATOMIC_POSITIONS",  "K_POINTS",    "CELL_PARAMETERS",
                              "CONSTRAINTS",    "OCCUPATIONS",       "ATOMIC_VELOCITIES", "ATOMIC_FORCES",
                              "ADDITIONAL_K_POINTS", "SOLVENTS",    "HUBBARD"};

bool LogicalTrue(std::string_view text) { return ContainsNoCase(text, "T") && !ContainsNoCase(text, "F"); }

// A card row: a name and three numbers; `rest` keeps what follows them.
bool ParseRow(std::string_view line, PWScfSite& site) {
    const std::vector<std::string_view> words = SplitWords(line);
    if (words.size() < 4) return false;
    for (int i = 0; i < 3; ++i)
        if (!ParseNumber(words[i + 1], site.r[i])) return false;
    site.name.assign(words[0]);
    const size_t end = static_cast<size_t>(words[3].data() + words[3].size() - line.data());
    site.rest.assign(line.substr(end));
    while (!site.rest.empty() && (site.rest.back() == '\r' || site.rest.back() == ' ')) site.rest.pop_back();
    return true;
}

bool IsComment(std::string_view line) {
    const std::string_view t = TrimView(line);
    return !t.empty() && (t[0] == '!' || t[0] == '#');
}

// The first letter in upper case and the second, when it is one, in lower case ("ti" and "TI" give "Ti").
std::string SymbolCase(std::string_view text) {
    std::string out(text);
    if (!out.empty()) out[0] = ToUpper(out[0]);
    if (out.size() > 1 && std::isalpha(static_cast<unsigned char>(out[1]))) out[1] = ToLower(out[1]);
    return out;
}

}  // namespace

std::vector<PWScfAssignment> ParsePWScfAssignments(std::string_view line, bool& closes) {
    std::vector<PWScfAssignment> found;
    closes = false;
    size_t i = 0;
    const size_t n = line.size();
    while (i < n) {
        while (i < n && (std::isspace(static_cast<unsigned char>(line[i])) || line[i] == ',')) ++i;
        if (i >= n || line[i] == '!') break;
        if (line[i] == '/') {
            closes = true;
            break;
        }
        if (line[i] == '&') {  // the namelist's own name
            while (i < n && !std::isspace(static_cast<unsigned char>(line[i]))) ++i;
            continue;
        }
        const size_t eq = line.find('=', i);
        if (eq == std::string_view::npos) break;
        std::string name;
        for (char c : line.substr(i, eq - i))
            if (!std::isspace(static_cast<unsigned char>(c))) name += ToLower(c);
        if (name.empty() || name.find_first_of("'\",") != std::string::npos) break;
        size_t v = eq + 1;
        while (v < n && std::isspace(static_cast<unsigned char>(line[v]))) ++v;
        size_t e = v;
        char quote = 0;
        for (; e < n; ++e) {
            const char c = line[e];
            if (quote) {
                if (c == quote) quote = 0;
            } else if (c == '\'' || c == '"') {
                quote = c;
            } else if (c == ',' || c == '!' || c == '/') {
                break;
            }
        }
        size_t end = e;
        while (end > v && std::isspace(static_cast<unsigned char>(line[end - 1]))) --end;
        found.push_back({name, v, end});
        i = e;
        if (i < n && line[i] == '!') break;
        if (i < n && line[i] == ',') ++i;
    }
    return found;
}

std::string PWScfCardOf(std::string_view line, std::string* option, double* alat) {
    const std::string_view t = TrimView(line);
    const size_t end = t.find_first_of(" \t({");
    const std::string keyword = ToUpper(t.substr(0, end));
    for (const char* card : kCards) {
        if (keyword != card) continue;
        if (option || alat) {
            std::string rest = ToLower(end == std::string_view::npos ? std::string_view() : t.substr(end));
            for (char& c : rest)
                if (c == '(' || c == ')' || c == '{' || c == '}' || c == '=') c = ' ';
            const std::vector<std::string_view> words = SplitWords(rest);
            if (option) *option = words.empty() ? std::string() : std::string(words[0]);
            double value;
            if (alat && words.size() >= 2 && words[0] == "alat" && ParseNumber(words[1], value)) *alat = value;
        }
        return keyword;
    }
    return std::string();
}

bool EndsPWScfCard(std::string_view line) {
    const std::string_view t = TrimView(line);
    return t.empty() || t[0] == '&' || t[0] == '/' || !PWScfCardOf(t).empty();
}

std::string PWScfSpeciesElement(std::string_view species, std::string_view pseudopotential) {
    // The file's own name: its leading letters, when one or two, are the element.
    const size_t slash = pseudopotential.find_last_of("/\\");
    if (slash != std::string_view::npos) pseudopotential.remove_prefix(slash + 1);
    size_t letters = 0;
    while (letters < pseudopotential.size() && std::isalpha(static_cast<unsigned char>(pseudopotential[letters])))
        ++letters;
    if (letters >= 1 && letters <= 2) {
        const std::string symbol = SymbolCase(pseudopotential.substr(0, letters));
        if (AtomicNumberOfSymbol(symbol)) return symbol;
    }
    // A species name is a symbol in any case, perhaps followed by a digit, a letter, "_" or "-" and more.
    return ElementOfName(SymbolCase(species));
}

void PWScfTypes::Declare(const PWScfInput& input) {
    types_.clear();
    for (size_t i = 0; i < input.species.size(); ++i) {
        const std::string element = PWScfSpeciesElement(input.species[i], input.pseudopotentials[i]);
        types_.emplace(input.species[i], element.empty() ? input.species[i] : element);
    }
}

const std::string& PWScfTypes::Of(const std::string& species) {
    auto found = types_.find(species);
    if (found == types_.end()) {
        const std::string element = PWScfSpeciesElement(species, "");
        found = types_.emplace(species, element.empty() ? species : element).first;
    }
    return found->second;
}

void AddPWScfSites(CCrystal& crystal, const std::vector<PWScfAtom>& atoms, PWScfTypes& types,
                   const std::vector<std::array<double, 3>>& forces) {
    std::unordered_map<std::string, int> perSpecies;
    for (size_t i = 0; i < atoms.size(); ++i) {
        const PWScfAtom& a = atoms[i];
        const std::array<double, 3> f = i < forces.size() ? forces[i] : std::array<double, 3>{0, 0, 0};
        const std::string label = a.species + std::to_string(++perSpecies[a.species]);
        crystal.AddAtomAsymSite(label, types.Of(a.species), 1.0, a.f[0], a.f[1], a.f[2], f[0], f[1], f[2]);
    }
}

bool PWScfToFractional(const std::string& unit, const double r[3], const CCellVectors& cellBohr, double alat,
                       double f[3]) {
    if (unit == "crystal" || unit == "crystal_sg") {
        for (int i = 0; i < 3; ++i) f[i] = r[i];
        return true;
    }
    double scale;
    if (unit == "alat" || unit.empty())
        scale = alat;
    else if (unit == "bohr")
        scale = 1.0;
    else if (unit == "angstrom")
        scale = 1.0 / units::kBohr;
    else
        return false;
    if (!cellBohr.IsValid()) return false;
    const double rb[3] = {r[0] * scale, r[1] * scale, r[2] * scale};
    cellBohr.ToFractional(rb, f);
    return true;
}

bool ReadPWScfInput(const std::string& path, PWScfInput& in) {
    if (!ReadTextLines(path, in.lines)) return false;
    bool inNamelist = false;
    for (size_t k = 0; k < in.lines.size(); ++k) {
        std::string_view line = in.lines[k];
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        const std::string_view t = TrimView(line);
        if (!inNamelist && !t.empty() && t[0] == '&') inNamelist = true;
        if (inNamelist) {
            bool closes = false;
            for (const PWScfAssignment& a : ParsePWScfAssignments(line, closes)) {
                const std::string_view value = line.substr(a.valueBegin, a.valueEnd - a.valueBegin);
                const double number = LeadingNumber(value);
                if (a.name == "title") {
                    in.title = Unquote(TrimView(value));
                    in.hasTitle = true;
                } else if (a.name == "ibrav") {
                    in.ibrav = static_cast<int>(number);
                    in.hasIbrav = true;
                } else if (a.name.size() == 9 && a.name.compare(0, 7, "celldm(") == 0 && a.name[8] == ')' &&
                           a.name[7] >= '1' && a.name[7] <= '6') {
                    in.celldm.v[a.name[7] - '1'] = number;
                    in.celldmGiven[a.name[7] - '1'] = true;
                } else if (a.name == "space_group") {
                    in.spaceGroup = static_cast<int>(number);
                } else if (a.name == "uniqueb") {
                    in.uniqueb = LogicalTrue(value);
                } else if (a.name == "rhombohedral") {
                    in.rhombohedral = LogicalTrue(value);
                } else if (a.name == "origin_choice") {
                    in.originChoice = static_cast<int>(number);
                } else {
                    static const char* const kABC[] = {"a", "b", "c", "cosab", "cosac", "cosbc"};
                    for (int i = 0; i < 6; ++i)
                        if (a.name == kABC[i]) {
                            in.abc[i] = number;
                            in.abcGiven[i] = true;
                        }
                }
            }
            if (closes) inNamelist = false;
            continue;
        }
        std::string option;
        const std::string card = PWScfCardOf(line, &option);
        if (card.empty()) continue;
        // The rows of the card, up to a line that is none (blank, keyword, end of file).
        size_t r = k + 1;
        std::vector<PWScfSite> rows;
        for (; r < in.lines.size(); ++r) {
            if (IsComment(in.lines[r])) continue;
            PWScfSite row;
            if (card == "ATOMIC_SPECIES") {
                const std::vector<std::string_view> words = SplitWords(in.lines[r]);
                if (words.size() < 2 || !ParseNumber(words[1], row.r[0])) break;
                row.name.assign(words[0]);
                if (words.size() > 2) row.rest.assign(words[2]);
            } else if (card == "CELL_PARAMETERS") {
                if (rows.size() == 3 || ScanNumbers(in.lines[r], row.r, 3) != 3) break;
            } else if (card == "ATOMIC_POSITIONS") {
                if (!ParseRow(in.lines[r], row)) break;
            } else {
                break;
            }
            rows.push_back(row);
        }
        if (card == "ATOMIC_SPECIES") {
            for (const PWScfSite& s : rows) {
                in.species.push_back(s.name);
                in.pseudopotentials.push_back(s.rest);
            }
        } else if (card == "CELL_PARAMETERS" && rows.size() == 3) {
            in.cellUnit = option;
            in.hasCellCard = true;
            for (int i = 0; i < 3; ++i)
                for (int j = 0; j < 3; ++j) in.cellCard[i][j] = rows[i].r[j];
        } else if (card == "ATOMIC_POSITIONS") {
            in.positionsUnit = option.empty() ? "alat" : option;
            in.sites = rows;
        }
        if (r > k + 1) k = r - 1;
    }
    in.effectiveIbrav = in.ibrav;
    return true;
}

bool PWScfInputCell(const PWScfInput& in, CCellVectors& cell, double& alat) {
    PWScfCelldm celldm = in.celldm;
    const bool byCelldm = in.celldmGiven[0];
    if (!byCelldm && in.abcGiven[0])
        celldm = PWScfCelldmFromABC(in.effectiveIbrav, in.abc[0], in.abcGiven[1] ? in.abc[1] : 0,
                                    in.abcGiven[2] ? in.abc[2] : 0, in.abc[3], in.abc[4], in.abc[5]);
    alat = celldm.v[0];
    double v[3][3];
    if (in.spaceGroup > 0 || in.effectiveIbrav != 0) {
        // Lengths and cosines the lattice does not take from the input are its own.
        const int ibrav = in.spaceGroup > 0 ? PWScfConventionalIbrav(in.effectiveIbrav) : in.effectiveIbrav;
        if (!PWScfLatticeVectors(ibrav, celldm, v)) return false;
    } else {
        if (!in.hasCellCard) return false;
        double scale = 1.0;
        if (in.cellUnit == "angstrom")
            scale = 1.0 / units::kBohr;
        else if (in.cellUnit == "alat" || (in.cellUnit.empty() && alat > 0))
            scale = alat;
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 3; ++j) v[i][j] = in.cellCard[i][j] * scale;
        if (alat <= 0) alat = std::sqrt(v[0][0] * v[0][0] + v[0][1] * v[0][1] + v[0][2] * v[0][2]);
    }
    return cell.Set(v);
}

int FindPWScfSetting(const CSpaceGroupDatabase& spaceGroups, int number, bool uniqueb, int originChoice,
                     bool rhombohedral, std::string& name) {
    struct Setting {
        int setting;
        std::string name, symbol;
    };
    std::vector<Setting> settings;
    for (const SPGRecordInfo& record : spaceGroups.Records())
        if (record.Number == number) settings.push_back({record.Setting, record.Name, record.FullSymbol});
    if (settings.empty()) return 0;
    auto pick = [&](auto predicate) -> const Setting* {
        for (const Setting& s : settings)
            if (predicate(s)) return &s;
        return nullptr;
    };
    auto endsWith = [](const std::string& text, const char* tail) {
        const std::string t(tail);
        return text.size() >= t.size() && text.compare(text.size() - t.size(), t.size(), t) == 0;
    };
    const Setting* chosen = &settings[0];
    if (number >= 3 && number <= 15 && !uniqueb) {
        // Unique axis c, cell choice 1: the first full symbol "X 1 1 ...".
        if (const Setting* s = pick([](const Setting& s) {
                const std::vector<std::string_view> w = SplitWords(s.symbol);
                return w.size() >= 4 && w[1] == "1" && w[2] == "1";
            }))
            chosen = s;
    } else if (originChoice == 2) {
        if (const Setting* s = pick([&](const Setting& s) { return endsWith(s.name, ":2"); })) chosen = s;
    } else if (rhombohedral) {
        if (const Setting* s = pick([&](const Setting& s) { return endsWith(s.name, ":R"); })) chosen = s;
    }
    name = chosen->name;
    return chosen->setting;
}

bool BuildPWScfInputCrystal(PWScfInput& in, const CSpaceGroupDatabase& spaceGroups, PWScfTypes& types,
                            CCrystal& crystal, std::vector<PWScfAtom>& atoms, const std::string& fileName) {
    atoms.clear();
    if (in.hasTitle) crystal.ChemicalName = in.title;
    for (const std::string& s : in.species) crystal.AddAtomType(types.Of(s), 0.0, true);
    if (in.spaceGroup > 0) {
        in.setting = FindPWScfSetting(spaceGroups, in.spaceGroup, in.uniqueb, in.originChoice, in.rhombohedral,
                                      in.settingName);
        if (in.setting == 0) {
            std::printf("Space group %d of [%s] is not in [%s].\n", in.spaceGroup, fileName.c_str(),
                        spaceGroups.Path().c_str());
            return false;
        }
        in.effectiveIbrav = PWScfIbravOfSpaceGroup(in.spaceGroup, in.settingName, in.uniqueb, in.rhombohedral);
    }
    CCellVectors cell;
    double alat = 0;
    if (!PWScfInputCell(in, cell, alat)) {
        std::printf("The cell of [%s] is missing or singular.\n", fileName.c_str());
        return false;
    }
    SetCrystalCell(crystal, cell, units::kBohrToNm);
    atoms.resize(in.sites.size());
    for (size_t i = 0; i < in.sites.size(); ++i) {
        atoms[i].species = in.sites[i].name;
        if (!PWScfToFractional(in.positionsUnit, in.sites[i].r, cell, alat, atoms[i].f)) {
            std::printf("ATOMIC_POSITIONS of [%s] in an unknown unit [%s].\n", fileName.c_str(),
                        in.positionsUnit.c_str());
            atoms.clear();
            return false;
        }
    }
    AddPWScfSites(crystal, atoms, types);
    if (in.positionsUnit == "crystal_sg" && in.spaceGroup > 0) {
        crystal.SpaceGroup.ReadSPG(in.spaceGroup, in.setting, spaceGroups);
        crystal.ExpandAsymSites();
        // The cell holds every atom; the crystal stays P1 like the steps of the output.
        std::vector<PWScfAtom> all(static_cast<size_t>(crystal.nAtomSites));
        for (int i = 0; i < crystal.nAtomSites; ++i) {
            const CAtomSite& s = crystal.AtomSites[i];
            all[i] = {atoms[static_cast<size_t>(s.iAsymSite)].species, {s.x, s.y, s.z}};
        }
        atoms.swap(all);
        crystal.SpaceGroup.SetP1();
        crystal.ClearSites();
        AddPWScfSites(crystal, atoms, types);
    }
    crystal.CopyAsymSitesToSites();
    return true;
}
