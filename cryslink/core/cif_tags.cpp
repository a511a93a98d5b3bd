#include "core/cif_tags.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "core/atom_type.h"
#include "core/elements.h"
#include "core/text_lines.h"

namespace {

std::string Unquote(const std::string& text) {
    if (text.size() >= 2 && (text.front() == '\'' || text.front() == '"') && text.back() == text.front())
        return text.substr(1, text.size() - 2);
    return text;
}

// CIF marks an unknown value with "?" and an inapplicable one with ".".
bool IsUnknown(std::string_view value) { return value == "?" || value == "."; }

// The element a site label starts with: its first letter, with the second
// when the two spell an element ("NaM1" gives "Na", "OW2" and "Oa3" give "O").
std::string ElementOfLabel(const std::string& label) {
    const std::string element = ElementOfName(label);
    return element.empty() ? LeadingLetters(label).substr(0, 1) : element;
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
    out = Unquote(TrimLine(*value));
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
    DataBlock = Unquote(TrimLine(std::string(std::string_view(text).substr(0, text.find('\n')))));
    block = ParseCif(std::move(text));
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
    if (GetTagDouble("_cell_length_a", a) > 0) a *= 0.1;
    if (GetTagDouble("_cell_length_b", b) > 0) b *= 0.1;
    if (GetTagDouble("_cell_length_c", c) > 0) c *= 0.1;
    GetTagDouble("_cell_angle_alpha", alpha);
    GetTagDouble("_cell_angle_beta", beta);
    GetTagDouble("_cell_angle_gamma", gamma);
    if (GetTagDouble("_cell_volume", Volume) > 0) Volume *= 0.001;
    GetTagDouble("_cell_formula_units_Z", Z);
    GetTagDouble("_exptl_crystal_density_meas", DensityMeasured);
    // Newer dictionaries name the space group differently; the older names win.
    if (GetTagString("_symmetry_space_group_name_H-M", SpaceGroupName) < 0)
        GetTagString("_space_group_name_H-M_alt", SpaceGroupName);
    if (GetTagString("_symmetry_space_group_name_Hall", SpaceGroupNameHall) < 0)
        GetTagString("_space_group_name_Hall", SpaceGroupNameHall);
    if (GetTagInt("_symmetry_Int_Tables_number", SpaceGroupNumber) < 0)
        GetTagInt("_space_group_IT_number", SpaceGroupNumber);
    GetTagString("_symmetry_cell_setting", CellSetting);
    ReadLoops();
    return 1;
}

void CCIFTags::ReadLoops() {
    SymmetryText.clear();
    // The older dictionary name first; a list of one operation may be a single item.
    for (const char* tag : {"_symmetry_equiv_pos_as_xyz", "_space_group_symop_operation_xyz"}) {
        if (const CifLoop* loop = block.FindLoop(tag)) {
            const int col = loop->Column(tag);
            for (const auto& row : loop->rows)
                if (!IsUnknown(row[col])) SymmetryText.push_back(TrimLine(std::string(row[col])));
            break;
        }
        if (const std::string* single = block.FindItem(tag)) {
            SymmetryText.push_back(TrimLine(*single));
            break;
        }
    }
    nSymmetry = static_cast<int>(SymmetryText.size());

    TypeSymbol.clear();
    OxidationNumber.clear();
    if (const CifLoop* types = block.FindLoop("_atom_type_oxidation_number")) {
        const int symbolCol = types->Column("_atom_type_symbol");
        const int oxCol = types->Column("_atom_type_oxidation_number");
        for (const auto& row : types->rows) {
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
        for (auto* column : {&SiteLabel, &SiteTypeSymbol, &SiteWyckoff}) column->reserve(sites->rows.size());
        for (auto* column : {&SiteX, &SiteY, &SiteZ, &SiteOccupancy}) column->reserve(sites->rows.size());
        SiteMultiplicity.reserve(sites->rows.size());
        for (const auto& row : sites->rows) {
            const std::string siteLabel(label >= 0 ? row[label] : "");
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
            std::string siteType(type >= 0 && !IsUnknown(row[type]) ? row[type] : ElementOfLabel(siteLabel));
            SiteLabel.push_back(siteLabel);
            SiteTypeSymbol.push_back(siteType);
            SiteMultiplicity.push_back(mult >= 0 ? std::atoi(std::string(row[mult]).c_str()) : 0);
            SiteWyckoff.emplace_back(wyckoff >= 0 ? row[wyckoff] : "");
            SiteX.push_back(fx);
            SiteY.push_back(fy);
            SiteZ.push_back(fz);
            SiteOccupancy.push_back(occ >= 0 ? Number(row[occ], 1.0) : 1.0);
        }
    }
    nAtomSites = static_cast<int>(SiteLabel.size());
}
