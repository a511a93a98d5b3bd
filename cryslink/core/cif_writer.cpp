#include "core/cif_writer.h"

#include <cstdio>
#include <cstring>
#include <ctime>
#include <strings.h>

#include "core/crystal.h"
#include "core/output_file.h"

namespace {

// "Si1 O2 ": each type's element text and its count, each followed by a blank.
std::string BuildFormula(const CCrystal& crystal) {
    std::string formula;
    for (int i = 0; i < crystal.nAtomTypes; ++i) {
        const CAtomType& type = crystal.AtomTypes[i];
        const std::string& element = !type.Name.empty() ? type.Name : type.Label;
        formula += element + std::to_string(crystal.nEachAtoms[i]) + " ";
    }
    return formula;
}

// A value as one CIF token: an empty text becomes "?", and a text that a CIF
// reader would split or take for a tag, a comment or a keyword is quoted.
std::string CifToken(const std::string& text) {
    if (text.empty()) return "?";
    bool plain = text.find_first_of(" \t\r\n") == std::string::npos &&
                 std::string("_#$'\"[];").find(text[0]) == std::string::npos;
    for (const char* word : {"data_", "loop_", "save_", "global_", "stop_"})
        if (strncasecmp(text.c_str(), word, std::strlen(word)) == 0) plain = false;
    if (plain) return text;
    const char quote = text.find("' ") == std::string::npos ? '\'' : '"';
    return quote + text + quote;
}

}  // namespace

int WriteCIFFile(CCrystal& crystal, const std::string& path) {
    OutputFile file = CreateOutputFile(path);
    if (!file) {
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
    std::fprintf(f, "_cell_length_a                     %lg\n", crystal.a * 10.0);
    std::fprintf(f, "_cell_length_b                     %lg\n", crystal.b * 10.0);
    std::fprintf(f, "_cell_length_c                     %lg\n", crystal.c * 10.0);
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
    for (int i = 0; i < crystal.nAtomTypes; ++i)
        std::fprintf(f, "  %8s   %f\n", CifToken(crystal.AtomTypes[i].Name).c_str(), crystal.AtomTypes[i].Charge);
    std::fprintf(f,
                 "\nloop_\n_atom_site_label\n_atom_site_type_symbol\n_atom_site_symmetry_multiplicity\n"
                 "_atom_site_Wyckoff_symbol\n_atom_site_fract_x\n_atom_site_fract_y\n_atom_site_fract_z\n"
                 "_atom_site_occupancy\n_atom_site_attached_hydrogens\n_atom_site_calc_flag\n");
    for (int i = 0; i < crystal.nAtomAsymSites; ++i) {
        const CAtomSite& s = crystal.AtomAsymSites[i];
        std::fprintf(f, "  %8s  %8s  %2d %c  %10.6f  %10.6f  %10.6f  %10.4f %2d %c\n", CifToken(s.Label).c_str(),
                     CifToken(s.GetElementName()).c_str(), 1, 'i', ReduceFractionalCoordinate(s.x + 1e-8),
                     ReduceFractionalCoordinate(s.y + 1e-8), ReduceFractionalCoordinate(s.z + 1e-8), s.Occupancy, 0,
                     'a');
    }
    std::fprintf(f, "\n\n#End of data_99999-ICSD\n");
    // A full disk shows only when the buffer is written out.
    if (!CloseOutputFile(file, path)) {
        std::printf("Can not write to [%s].\n", path.c_str());
        return -1;
    }
    return 1;
}

int MakeCIFFile(CCrystal& crystal, const char* stage, const std::string& path) {
    std::printf("Make CIFFile of %s structure [%s].\n", stage, path.c_str());
    return WriteCIFFile(crystal, path);
}
