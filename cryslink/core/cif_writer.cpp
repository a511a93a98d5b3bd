#include "core/cif_writer.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <ctime>
#include <string_view>
#include <vector>

#include "core/crystal.h"
#include "core/elements.h"
#include "core/staged_file.h"
#include "core/text_lines.h"
#include "core/units.h"

namespace {

// A charge written after an element symbol: digits and a sign in either
// order ("3+", "+3"), or a sign alone; not a charge of zero ("0+").
bool IsChargeSuffix(std::string_view text) {
    if (text.empty()) return false;
    if (text.front() == '+' || text.front() == '-')
        text.remove_prefix(1);
    else if (text.back() == '+' || text.back() == '-')
        text.remove_suffix(1);
    else
        return false;
    return text.find_first_not_of("0123456789") == std::string_view::npos && (text.empty() || text[0] != '0');
}

// The symbol a type is written with: its name when that is an element symbol,
// optionally with a charge ("Fe", "Fe3+", "O2-"); else the element its name
// starts with ("Bi1" gives Bi, "O{b}" O); else the name as it is.
std::string TypeSymbol(const CAtomType& type) {
    const std::string& name = !type.Name.empty() ? type.Name : type.Label;
    const std::string element = ElementOfName(name);
    if (element.empty() || element.size() == name.size()) return name;
    return IsChargeSuffix(std::string_view(name).substr(element.size())) ? name : element;
}

// The type symbol written for a site: its type's symbol, else its element name.
std::string SiteTypeSymbol(const CAtomSite& site) {
    std::string symbol = site.AtomType ? TypeSymbol(*site.AtomType) : std::string();
    return symbol.empty() ? site.GetElementName() : symbol;
}

// "Si1 O2 ": the atoms of each element in the cell, each entry followed by a
// blank, in the order the types first name the elements; elements without
// atoms are left out.
std::string BuildFormula(const CCrystal& crystal) {
    std::vector<std::string> elements;
    std::vector<int> entryOfType(static_cast<size_t>(crystal.nAtomTypes));
    for (int i = 0; i < crystal.nAtomTypes; ++i) {
        std::string element = ElementOfName(TypeSymbol(crystal.AtomTypes[i]));
        if (element.empty()) element = TypeSymbol(crystal.AtomTypes[i]);
        const auto at = std::find(elements.begin(), elements.end(), element);
        entryOfType[i] = static_cast<int>(at - elements.begin());
        if (at == elements.end()) elements.push_back(element);
    }
    std::vector<int> count(elements.size(), 0);
    for (int i = 0; i < crystal.nAtomSites; ++i) {
        const int t = crystal.AtomSites[i].iAtomType;
        if (t >= 0 && t < crystal.nAtomTypes) ++count[entryOfType[t]];
    }
    std::string formula;
    for (size_t e = 0; e < elements.size(); ++e)
        if (count[e] > 0) formula += elements[e] + std::to_string(count[e]) + " ";
    return formula;
}

// A value as one CIF token: an empty text becomes "?", and a text that a CIF
// reader would split or take for a tag, a comment or a keyword is quoted.
std::string CifToken(const std::string& text) {
    if (text.empty()) return "?";
    bool plain = text.find_first_of(" \t\r\n") == std::string::npos &&
                 std::string("_#$'\"[];").find(text[0]) == std::string::npos;
    for (const char* word : {"data_", "loop_", "save_", "global_", "stop_"})
        if (StartsWithNoCase(text, word)) plain = false;
    if (plain) return text;
    const char quote = text.find("' ") == std::string::npos ? '\'' : '"';
    return quote + text + quote;
}

}  // namespace

int WriteCIFFile(CCrystal& crystal, const std::string& path) {
    CStagedFile file;
    if (!file.Open(path)) {
        std::printf("Can not write to [%s].\n", path.c_str());
        return -1;
    }
    std::FILE* f = file.get();
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);

    std::fprintf(f, "data_99999-ICSD\n\n");
    std::fprintf(f, "_audit_creation_date               %4d/%02d/%02d\n", local.tm_year + 1900, local.tm_mon + 1,
                 local.tm_mday);
    std::fprintf(f, "_audit_creation_method             'Cryslink.exe 0.1'\n\n");
    std::fprintf(f, "_database_code_ICSD                99999\n\n");
    std::fprintf(f, "_chemical_name_systematic          '%s'\n", crystal.ChemicalName.substr(0, 25).c_str());
    if (crystal.ChemicalFormula.empty()) crystal.ChemicalFormula = BuildFormula(crystal);
    std::fprintf(f, "_chemical_formula_structural       '%s'\n", crystal.ChemicalFormula.c_str());
    if (crystal.ChemicalFormula.empty()) crystal.ChemicalFormula = BuildFormula(crystal);
    std::fprintf(f, "_chemical_formula_sum              '%s'\n\n", crystal.ChemicalFormula.c_str());
    std::fprintf(f, "_cell_length_a                     %lg\n", crystal.a * units::kNmToAngstrom);
    std::fprintf(f, "_cell_length_b                     %lg\n", crystal.b * units::kNmToAngstrom);
    std::fprintf(f, "_cell_length_c                     %lg\n", crystal.c * units::kNmToAngstrom);
    std::fprintf(f, "_cell_angle_alpha                  %lg\n", crystal.alpha);
    std::fprintf(f, "_cell_angle_beta                   %lg\n", crystal.beta);
    std::fprintf(f, "_cell_angle_gamma                  %lg\n\n", crystal.gamma);
    const CSpaceGroup& sg = crystal.SpaceGroup;
    std::fprintf(f, "_symmetry_space_group_name_H-M     '%s'\n", sg.Name.c_str());
    std::fprintf(f, "_symmetry_Int_Tables_number        %d\n\n", sg.Number);
    std::fprintf(f, "loop_\n_symmetry_equiv_pos_as_xyz         \n");
    // A text that could not be read as an operation is not applied, nor written.
    for (int o = 0; o < sg.nSymmetry; ++o)
        if (sg.HasNumbers(o)) std::fprintf(f, "  '%s'\n", sg.OperationText[o].c_str());
    std::fprintf(f, "\nloop_\n_atom_type_symbol  \n_atom_type_oxidation_number        \n");
    // Two types written with one symbol and one charge are one row.
    std::vector<std::pair<std::string, double>> rows;
    for (int i = 0; i < crystal.nAtomTypes; ++i) {
        std::pair<std::string, double> row{TypeSymbol(crystal.AtomTypes[i]), crystal.AtomTypes[i].Charge};
        if (std::find(rows.begin(), rows.end(), row) != rows.end()) continue;
        rows.push_back(row);
        std::fprintf(f, "  %8s   %f\n", CifToken(row.first).c_str(), row.second);
    }
    std::fprintf(f,
                 "\nloop_\n_atom_site_label\n_atom_site_type_symbol\n_atom_site_symmetry_multiplicity\n"
                 "_atom_site_Wyckoff_symbol\n_atom_site_fract_x\n_atom_site_fract_y\n_atom_site_fract_z\n"
                 "_atom_site_occupancy\n_atom_site_attached_hydrogens\n_atom_site_calc_flag\n");
    for (int i = 0; i < crystal.nAtomAsymSites; ++i) {
        const CAtomSite& s = crystal.AtomAsymSites[i];
        std::fprintf(f, "  %8s  %8s  %2d %c  %10.6f  %10.6f  %10.6f  %10.4f %2d %c\n", CifToken(s.Label).c_str(),
                     CifToken(SiteTypeSymbol(s)).c_str(), 1, 'i', ReduceFractionalCoordinate(s.x + 1e-8),
                     ReduceFractionalCoordinate(s.y + 1e-8), ReduceFractionalCoordinate(s.z + 1e-8), s.Occupancy, 0,
                     'a');
    }
    std::fprintf(f, "\n\n#End of data_99999-ICSD\n");
    if (!file.Commit()) {
        std::printf("Can not write to [%s].\n", path.c_str());
        return -1;
    }
    return 1;
}

int MakeCIFFile(CCrystal& crystal, const char* stage, const std::string& path) {
    std::printf("Make CIFFile of %s structure [%s].\n", stage, path.c_str());
    return WriteCIFFile(crystal, path);
}
