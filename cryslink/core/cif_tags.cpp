#include "core/cif_tags.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "core/atom_type.h"
#include "core/elements.h"
#include "core/symmetry_operation.h"
#include "core/text_lines.h"
#include "core/units.h"

namespace {

// CIF marks an unknown value with "?" and an inapplicable one with ".".
bool IsUnknown(std::string_view value) { return value == "?" || value == "."; }

// The element a site label names when the file gives no type symbol: its
// letters when they spell a symbol, in any letter case ("Ca1", "CL2", "o1"),
// else its first two letters or its first letter ("NaM1" gives Na, "OW2"
// and "Oa3" give O); "" when none does.
std::string ElementOfLabel(const std::string& label) {
    const std::string letters = LeadingLetters(label);
    if (letters.size() <= 2) {
        if (AtomicNumberOfSymbol(letters)) return letters;
        if (AtomicNumberOfSymbol(Capitalised(letters))) return Capitalised(letters);
    }
    for (bool anyCase : {false, true})
        for (size_t n = std::min<size_t>(2, letters.size()); n >= 1; --n) {
            const std::string symbol = anyCase ? Capitalised(letters.substr(0, n)) : letters.substr(0, n);
            if (AtomicNumberOfSymbol(symbol)) return symbol;
        }
    return "";
}

bool StartsWithWord(const std::string& label, const char* word) {
    const size_t n = std::strlen(word);
    return StartsWithNoCase(label, word) &&
           (label.size() == n || !std::isalpha(static_cast<unsigned char>(label[n])));
}

// A row of the site loop that is no atom: a dummy atom by its calc flag, or,
// without a type symbol, a residual-density peak ("Q1", "max", "min",
// "peak3", "hole"), a ring centroid ("Cg1", "Cp2", "Cnt1") or a label that
// names no element.
bool IsNoAtom(const std::string& label, bool typeGiven, std::string_view calcFlag) {
    if (EqualsNoCase(calcFlag, "dum")) return true;
    if (typeGiven) return false;
    if (label.size() >= 2 && (label[0] == 'Q' || label[0] == 'q') && std::isdigit(static_cast<unsigned char>(label[1])))
        return true;
    for (const char* word : {"max", "min", "peak", "hole", "Cg", "Cp", "Cnt"})
        if (StartsWithWord(label, word)) return true;
    return ElementOfLabel(label).empty();
}

// The number a value starts with (5.4310(2) gives 5.431); `otherwise` for "?",
// ".", a text that does not start with a number, and infinities or NaN.
double Number(std::string_view value, double otherwise) {
    // A plain decimal number, the usual value, is read by from_chars: the same
    // correctly rounded value as strtod gives. Anything else goes to strtod.
    double quick = 0;
    const char* last = value.data() + value.size();
    const auto [stop, error] = std::from_chars(value.data(), last, quick);
    if (error == std::errc() && stop != value.data() && (stop == last || *stop == '(') && std::isfinite(quick))
        return quick;
    // A fraction such as 1/4 or -2/3, as some files give special positions;
    // "1/0" or "1/x" is no number.
    if (error == std::errc() && stop != value.data() && stop < last && *stop == '/') {
        double denominator = 0;
        const auto [end, e] = std::from_chars(stop + 1, last, denominator);
        const bool fraction = e == std::errc() && end != stop + 1 && (end == last || *end == '(') && denominator != 0;
        return fraction && std::isfinite(quick / denominator) ? quick / denominator : otherwise;
    }
    char buffer[64];
    std::string longText;
    const char* text = buffer;
    if (value.size() < sizeof buffer) {
        buffer[value.copy(buffer, value.size())] = '\0';
    } else {
        longText.assign(value);
        text = longText.c_str();
    }
    char* end = nullptr;
    const double number = std::strtod(text, &end);
    return end != text && std::isfinite(number) ? number : otherwise;
}

}  // namespace

int CCIFTags::FindTag(const std::string& tag) const {
    return (block.FindItem(tag) || block.FindLoop(tag)) ? 1 : -1;
}

int CCIFTags::GetTagString(const std::string& tag, std::string& out) const {
    out = "Undefined";
    const std::string* value = block.FindItem(tag);
    if (!value) return -1;
    out = Unquote(TrimView(*value));
    return 1;
}

int CCIFTags::GetTagInt(const std::string& tag, int& out) const {
    std::string text;
    if (GetTagString(tag, text) < 0) return -1;
    out = std::atoi(text.c_str());
    return 1;
}

int CCIFTags::GetTagDouble(const std::string& tag, double& out) const {
    std::string text;
    if (GetTagString(tag, text) < 0) return -1;
    out = std::atof(text.c_str());
    return 1;
}

int CCIFTags::ReadCIFFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return -1;
    // One buffer for the whole text, sized once for a regular file; a pipe or
    // a directory is read as far as it can be.
    CifText text;
    std::error_code ec;
    if (std::filesystem::is_regular_file(path, ec)) {
        const auto size = std::filesystem::file_size(path, ec);
        if (!ec) text.reserve(static_cast<size_t>(size));
    }
    char chunk[1 << 16];
    while (in.read(chunk, sizeof chunk) || in.gcount() > 0) text.append(chunk, static_cast<size_t>(in.gcount()));
    if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) text.erase(0, 3);  // a UTF-8 byte-order mark
    FileName = path;
    DataBlock = Unquote(TrimView(std::string_view(text).substr(0, text.find('\n'))));
    ChooseBlock(std::move(text));
    if (block.empty()) return 0;

    GetTagString("_audit_creation_date", AuditCreationDate);
    GetTagString("_audit_creation_method", AuditCreationMethod);
    GetTagInt("_database_code_ICSD", DatabaseCodeICSD);
    GetTagString("_chemical_name_systematic", ChemicalNameSystematic);
    GetTagString("_chemical_name_mineral", ChemicalNameMineral);
    GetTagString("_chemical_compound_source", ChemicalCompoundSource);
    GetTagString("_chemical_formula_structural", ChemicalFormulaStructural);
    GetTagString("_chemical_formula_sum", ChemicalFormulaSum);
    GetTagString("_publ_section_title", PublSectionTitle);
    if (GetTagDouble("_cell_length_a", a) > 0) a *= units::kAngstromToNm;
    if (GetTagDouble("_cell_length_b", b) > 0) b *= units::kAngstromToNm;
    if (GetTagDouble("_cell_length_c", c) > 0) c *= units::kAngstromToNm;
    GetTagDouble("_cell_angle_alpha", alpha);
    GetTagDouble("_cell_angle_beta", beta);
    GetTagDouble("_cell_angle_gamma", gamma);
    if (GetTagDouble("_cell_volume", Volume) > 0) Volume *= units::kCubicAngstromToNm3;
    GetTagDouble("_cell_formula_units_Z", Z);
    GetTagDouble("_exptl_crystal_density_meas", DensityMeasured);
    // Newer dictionaries name the space group differently; the older names win.
    if (GetTagString("_symmetry_space_group_name_H-M", SpaceGroupName) < 0 &&
        GetTagString("_space_group_name_H-M_alt", SpaceGroupName) < 0)
        GetTagString("_space_group_name_H-M_full", SpaceGroupName);
    if (GetTagString("_symmetry_space_group_name_Hall", SpaceGroupNameHall) < 0)
        GetTagString("_space_group_name_Hall", SpaceGroupNameHall);
    if (GetTagInt("_symmetry_Int_Tables_number", SpaceGroupNumber) < 0)
        GetTagInt("_space_group_IT_number", SpaceGroupNumber);
    GetTagString("_symmetry_cell_setting", CellSetting);
    ReadLoops();
    return 1;
}

// Journal and refinement files often open with a block of publication data
// and give the structure in a later one: the first block with a cell and an
// atom-site loop is read, else the first block.
void CCIFTags::ChooseBlock(CifText&& text) {
    CifReader reader(std::move(text));
    CifBlock first, next;
    for (int index = 0; reader.Next(next); ++index) {
        if (next.FindItem("_cell_length_a") && next.FindLoop("_atom_site_fract_x")) {
            if (index > 0)
                std::printf("Data block [data_%s] of [%s] is read: the blocks before it hold no cell with atom sites.\n",
                            next.name.c_str(), FileName.c_str());
            block = std::move(next);
            return;
        }
        if (index == 0) first = std::move(next);
    }
    block = std::move(first);
}

// The operation texts of the first of `tags` the block holds, as a loop or,
// for a list of one, a single item. With `positionPart`, the texts of magnetic
// or superspace operations become those of their action on positions.
std::vector<std::string> CCIFTags::ReadOperations(std::initializer_list<const char*> tags, bool positionPart) const {
    std::vector<std::string> texts;
    auto add = [&](std::string_view value) {
        if (IsUnknown(value)) return;
        std::string text(TrimView(value)), position;
        texts.push_back(positionPart && PositionPartOfOperation(text, position) ? position : text);
    };
    for (const char* tag : tags) {
        if (const CifLoop* loop = block.FindLoop(tag)) {
            const int col = loop->Column(tag);
            for (const auto& row : loop->rows) add(row[col]);
            break;
        }
        if (const std::string* single = block.FindItem(tag)) {
            add(*single);
            break;
        }
    }
    return texts;
}

void CCIFTags::ReadLoops() {
    // The older dictionary name first; then the operations of magnetic
    // groups, with their centrings, and of superspace groups.
    SymmetryText = ReadOperations({"_symmetry_equiv_pos_as_xyz", "_space_group_symop_operation_xyz"}, false);
    CenteringText.clear();
    if (SymmetryText.empty()) {
        SymmetryText = ReadOperations({"_space_group_symop_magn_operation_xyz"}, true);
        CenteringText = ReadOperations({"_space_group_symop_magn_centering_xyz"}, true);
    }
    if (SymmetryText.empty()) {
        SymmetryText = ReadOperations({"_space_group_symop_magn_ssg_operation_algebraic"}, true);
        CenteringText = ReadOperations({"_space_group_symop_magn_ssg_centering_algebraic"}, true);
    }
    if (SymmetryText.empty()) SymmetryText = ReadOperations({"_space_group_symop_ssg_operation_algebraic"}, true);
    nSymmetry = static_cast<int>(SymmetryText.size());

    TypeSymbol.clear();
    OxidationNumber.clear();
    if (const CifLoop* types = block.FindLoop("_atom_type_oxidation_number")) {
        const int symbolCol = types->Column("_atom_type_symbol");
        const int oxCol = types->Column("_atom_type_oxidation_number");
        for (const auto& row : types->rows) {
            if (symbolCol >= 0 && IsUnknown(row[symbolCol])) continue;  // a row for no type
            TypeSymbol.emplace_back(symbolCol >= 0 ? row[symbolCol] : "");
            OxidationNumber.push_back(Number(row[oxCol], 0.0));
        }
    }
    nAtomTypes = static_cast<int>(TypeSymbol.size());

    SiteLabel.clear();
    SiteTypeSymbol.clear();
    SiteMultiplicity.clear();
    SiteWyckoff.clear();
    SiteX.clear();
    SiteY.clear();
    SiteZ.clear();
    SiteOccupancy.clear();
    if (const CifLoop* sites = block.FindLoop("_atom_site_fract_x")) {
        const int label = sites->Column("_atom_site_label");
        const int type = sites->Column("_atom_site_type_symbol");
        const int mult = sites->Column("_atom_site_symmetry_multiplicity");
        const int wyckoff = sites->Column("_atom_site_wyckoff_symbol");
        const int x = sites->Column("_atom_site_fract_x");
        const int y = sites->Column("_atom_site_fract_y");
        const int z = sites->Column("_atom_site_fract_z");
        const int occ = sites->Column("_atom_site_occupancy");
        const int calc = sites->Column("_atom_site_calc_flag");
        size_t noAtoms = 0;
        for (auto* column : {&SiteLabel, &SiteTypeSymbol, &SiteWyckoff}) column->reserve(sites->rows.size());
        for (auto* column : {&SiteX, &SiteY, &SiteZ, &SiteOccupancy}) column->reserve(sites->rows.size());
        SiteMultiplicity.reserve(sites->rows.size());
        for (const auto& row : sites->rows) {
            const std::string siteLabel(label >= 0 ? row[label] : "");
            const bool typeGiven = type >= 0 && !IsUnknown(row[type]);
            if (IsNoAtom(siteLabel, typeGiven, calc >= 0 ? row[calc] : std::string_view())) {
                ++noAtoms;
                continue;
            }
            // Some database exports write a zero coordinate as ".".
            bool dotAsZero = false;
            auto coordinate = [&row, &dotAsZero](int col) {
                if (col >= 0 && row[col] == ".") dotAsZero = true;
                return col < 0 ? NAN : row[col] == "." ? 0.0 : Number(row[col], NAN);
            };
            const double fx = coordinate(x), fy = coordinate(y), fz = coordinate(z);
            if (std::isnan(fx) || std::isnan(fy) || std::isnan(fz)) {
                std::printf("Warning in ReadCIFFile: site [%s] of [%s] has no coordinates; it is left out.\n",
                            siteLabel.c_str(), FileName.c_str());
                continue;
            }
            if (dotAsZero)
                std::printf("Warning in ReadCIFFile: site [%s] of [%s] has a coordinate \".\"; it is read as 0.\n",
                            siteLabel.c_str(), FileName.c_str());
            std::string siteType(typeGiven ? row[type] : ElementOfLabel(siteLabel));
            SiteLabel.push_back(siteLabel);
            SiteTypeSymbol.push_back(siteType);
            SiteMultiplicity.push_back(mult >= 0 ? std::atoi(std::string(row[mult]).c_str()) : 0);
            SiteWyckoff.emplace_back(wyckoff >= 0 ? row[wyckoff] : "");
            SiteX.push_back(fx);
            SiteY.push_back(fy);
            SiteZ.push_back(fz);
            SiteOccupancy.push_back(occ >= 0 ? Number(row[occ], 1.0) : 1.0);
        }
        if (noAtoms > 0)
            std::printf("Warning in ReadCIFFile: %zu %s of the atom-site loop of [%s] %s (residual density peaks, "
                        "dummy atoms, centroids); %s left out.\n",
                        noAtoms, noAtoms == 1 ? "row" : "rows", FileName.c_str(),
                        noAtoms == 1 ? "is no atom" : "are no atoms", noAtoms == 1 ? "it is" : "they are");
    }
    nAtomSites = static_cast<int>(SiteLabel.size());
}
