// What every converter writes, read as other programs read it: on each real
// run of the corpus (and the TORV example), the formula lines of each CIF
// equal the composition of the cell its own operations expand to (each element
// once, counts positive), every atom type is written as an element symbol
// (a charge may follow), and the atomic numbers of every XSF frame are the
// elements of the structure.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <regex>
#include <sstream>

#include "analysis/cif_load.h"
#include "core/cif_tags.h"
#include "core/crystal.h"
#include "core/elements.h"
#include "program_runner.h"
#include "xsf_frames.h"

using namespace testing_support;
using testing::internal::CaptureStdout;
using testing::internal::GetCapturedStdout;

namespace {

using Composition = std::map<std::string, int>;

struct ConverterRun {
    const char* action;
    std::vector<std::pair<std::string, std::string>> files;  // name in the run -> corpus file ("src:" from the checkout)
    std::vector<std::string> args;
    std::vector<std::string> cifs;  // the CIF files the run writes
    std::string xsf;                // its XSF animation, "" when none
    std::string frameAtoms = "";    // the atoms of every frame ("Si2"); those of the last CIF when ""
    double firstEnergy = std::nan("");  // eV, of the first frame, when the program prints one there
};

void PrintTo(const ConverterRun& run, std::ostream* out) { *out << run.action << " on " << run.files.back().second; }

std::string SourceOf(const std::string& file) {
    return file.starts_with("src:") ? SourcePath(file.substr(4)) : CorpusPath(file);
}

// "Si4 O8" as element -> count; an entry that is no element and count fails the test.
Composition ParseFormula(const std::string& formula, const std::string& where) {
    Composition entries;
    std::istringstream in(formula);
    for (std::string entry; in >> entry;) {
        std::smatch m;
        if (!std::regex_match(entry, m, std::regex("([A-Z][a-z]?)([0-9]+)"))) {
            ADD_FAILURE() << where << ": formula entry [" << entry << "] is no element and count";
            continue;
        }
        EXPECT_TRUE(AtomicNumberOfSymbol(m[1].str()) > 0 || m[1] == "D" || m[1] == "T") << where << ": " << entry;
        EXPECT_EQ(entries.count(m[1]), 0u) << where << ": " << m[1] << " twice in [" << formula << "]";
        EXPECT_GT(std::stoi(m[2]), 0) << where << ": " << entry;
        entries[m[1]] += std::stoi(m[2]);
    }
    return entries;
}

// The atoms of the cell by element, as our own CIF loading expands the file.
Composition ExpandedComposition(const std::string& cif) {
    CaptureStdout();
    auto crystal = LoadCrystalFromCIF(TestContext(), cif, "");
    GetCapturedStdout();
    Composition cell;
    if (!crystal) {
        ADD_FAILURE() << cif << " does not load";
        return cell;
    }
    for (int i = 0; i < crystal->nAtomSites; ++i) {
        const CAtomSite& s = crystal->AtomSites[i];
        cell[s.AtomType ? ElementOfName(s.AtomType->Name) : "?"]++;
    }
    return cell;
}

void CheckCIF(const std::string& path, Composition& elements) {
    CCIFTags tags;
    ASSERT_EQ(tags.ReadCIFFile(path), 1) << path;
    EXPECT_EQ(tags.ChemicalFormulaStructural, tags.ChemicalFormulaSum) << path;
    const Composition formula = ParseFormula(tags.ChemicalFormulaSum, path);
    EXPECT_FALSE(formula.empty()) << path;
    for (const std::string& symbol : tags.TypeSymbol)
        EXPECT_TRUE(std::regex_match(symbol, std::regex("[A-Z][a-z]?([0-9]*[+-]|[+-][0-9]*)?")) &&
                    AtomicNumberOfSymbol(ElementOfName(symbol)) > 0)
            << path << ": atom type [" << symbol << "]";
    EXPECT_EQ(ExpandedComposition(path), formula) << path;
    elements = formula;
}

// The atoms of a frame by element.
Composition FrameComposition(const XSFFrame& frame, const std::string& where) {
    Composition atoms;
    for (const auto& atom : frame.atoms) {
        const std::string symbol(ElementSymbolOfNumber(static_cast<int>(atom[0])));
        EXPECT_FALSE(symbol.empty()) << where << ": atomic number " << atom[0];
        atoms[symbol]++;
    }
    return atoms;
}

class WrittenFiles : public testing::TestWithParam<ConverterRun> {};

TEST_P(WrittenFiles, AreTheElementsOfTheStructure) {
    const ConverterRun& run = GetParam();
    TempDir dir;
    for (const auto& [name, file] : run.files) {
        if (!std::filesystem::exists(SourceOf(file))) GTEST_SKIP() << "no " << file << " beside the checkout";
        std::filesystem::create_directories(std::filesystem::path(dir / name).parent_path());
        std::filesystem::copy_file(SourceOf(file), dir / name);
    }
    std::vector<std::string> args{std::string("--Action=") + run.action};
    args.insert(args.end(), run.args.begin(), run.args.end());
    const RunResult r = RunCryslinkIn(dir.path(), args);
    ASSERT_EQ(r.status, 0) << r.output;

    Composition last = ParseFormula(run.frameAtoms, "the expected frame");
    for (const std::string& cif : run.cifs) {
        ASSERT_TRUE(std::filesystem::exists(dir / cif)) << cif << " is not written\n" << r.output;
        CheckCIF(dir / cif, last);
    }
    if (run.xsf.empty()) return;
    const XSFAnimation xsf = ParseXSF(ReadFile(dir / run.xsf));
    ASSERT_FALSE(xsf.frames.empty()) << run.xsf << "\n" << r.output;
    for (size_t f = 0; f < xsf.frames.size(); ++f) {
        const Composition atoms = FrameComposition(xsf.frames[f], run.xsf + " frame " + std::to_string(f + 1));
        // Every frame holds the atoms of the final structure (a P1 cell of the same atoms).
        EXPECT_EQ(atoms, last) << run.xsf << " frame " << f + 1;
    }

    // The same run as extended XYZ: the frames of the XSF file, forces in eV/A, and the energy.
    args.push_back("--TrajectoryFormat=extxyz");
    ASSERT_EQ(RunCryslinkIn(dir.path(), args).status, 0);
    const std::string extxyz = dir / (run.xsf.substr(0, run.xsf.size() - 3) + "extxyz");
    const std::string text = ReadFile(extxyz);
    const size_t comment = text.find('\n') + 1, energy = text.find(" energy=", comment);
    if (!std::isnan(run.firstEnergy)) {
        ASSERT_LT(energy, text.find('\n', comment)) << text.substr(0, 300);
        EXPECT_NEAR(std::atof(text.c_str() + energy + 8), run.firstEnergy, 1e-8);
    }
    if (std::system("/usr/bin/python3 -c 'import ase' 2>/dev/null") != 0) return;  // no outside reading here
    const std::string factor = run.action == std::string("PWScfConvOutput") ? "25.71104309541616" : "1";
    const RunResult ase = RunProgram("/usr/bin/python3", {SourcePath("tools/check_extxyz.py"), dir / run.xsf, extxyz, factor},
                                     dir.path(), "/usr/bin/python3");
    EXPECT_EQ(ase.status, 0) << ase.output;
    EXPECT_EQ(static_cast<size_t>(std::count(ase.output.begin(), ase.output.end(), '\n')), xsf.frames.size())
        << ase.output;
}

const ConverterRun kRuns[] = {
    {"ConvF09p",
     {{"sio2.f05", "src:examples/cryslink/torv/sio2.f05"},
      {"sio2.f07", "src:examples/cryslink/torv/sio2.f07"},
      {"sio2.f9p", "src:examples/cryslink/torv/sio2.f9p"},
      {"sio2.f9v", "src:examples/cryslink/torv/sio2.f9v"}},
     {"sio2.f9p"},
     {"sio2-initial.cif", "sio2-averaged.cif", "sio2-final.cif"},
     "sio2.xsf"},
    {"VASPConvCONTCAR",
     {{"r/POSCAR", "vasp/AlN_static/POSCAR"}, {"r/CONTCAR", "vasp/AlN_static/CONTCAR"},
      {"r/POTCAR", "vasp/AlN_static/POTCAR"}},
     {"r/POSCAR"},
     {"r/XYZ-initial.cif", "r/XYZ-final.cif"},
     ""},
    {"VASPConvCONTCAR",
     {{"r/POSCAR", "vasp/h2o_md/POSCAR"}, {"r/CONTCAR", "vasp/h2o_md/CONTCAR"}},
     {"r/POSCAR"},
     {"r/POSCAR-initial.cif", "r/POSCAR-final.cif"},
     ""},
    {"VASPMakeXSF",
     {{"r/POSCAR", "vasp/Si_relax/POSCAR"}, {"r/OUTCAR", "vasp/Si_relax/OUTCAR"}},
     {"r/POSCAR"},
     {},
     "r/generated.xsf",
     "Si2"},
    {"VASPMakeXSF",
     {{"r/POSCAR", "vasp/h2o_md/POSCAR"}, {"r/OUTCAR", "vasp/h2o_md/OUTCAR"}},
     {"r/POSCAR"},
     {},
     "r/POSCAR.xsf",
     "O2 H4"},
    {"VASPMakeXSF",
     {{"r/POSCAR", "src:tests/data/cryslink/vasp/ch4_ml/POSCAR"},
      {"r/INCAR", "src:tests/data/cryslink/vasp/ch4_ml/INCAR"},
      {"r/OUTCAR", "src:tests/data/cryslink/vasp/ch4_ml/OUTCAR"}},
     {"r/POSCAR"},
     {},
     "r/CH4.xsf",
     "H4 C1"},
    {"TranSIESTAConvOutput", {{"C2.out", "src:tests/data/cryslink/siesta/siesta41_cg_C2.out"}}, {"C2.out"},
     {"C2-initial.cif", "C2-final.cif"}, "C2.xsf"},
    {"TranSIESTAConvOutput", {{"Bi.out", "src:tests/data/cryslink/siesta/siesta51_single_point_Bi.out"}}, {"Bi.out"},
     {"Bi-initial.cif", "Bi-final.cif"}, "Bi.xsf"},
    {"TranSIESTAConvOutput", {{"MgCO3.out", "src:tests/data/cryslink/siesta/siesta51_md_MgCO3.out"}}, {"MgCO3.out"},
     {"MgCO3-initial.cif", "MgCO3-final.cif"}, "MgCO3.xsf"},
    {"TranSIESTAConvOutput", {{"Si.out", "src:tests/data/cryslink/siesta/siesta_max1_cg_Si.out"}}, {"Si.out"},
     {"Si-initial.cif", "Si-final.cif"}, "Si.xsf"},
    // Forces only as totals: no step, no frame.
    {"TranSIESTAConvOutput", {{"Si.out", "src:tests/data/cryslink/siesta/siesta_max1_cg_totals_Si.out"}}, {"Si.out"},
     {"Si-initial.cif", "Si-final.cif"}, ""},
    {"TranSIESTAConvOutput",
     {{"h2o.out", "siesta/h2o_relax_siesta4.0.out"}},
     {"h2o.out"},
     {"h2o-initial.cif", "h2o-final.cif"},
     "h2o.xsf",
     "",
     -466.9866},
    {"TranSIESTAConvOutput",
     {{"MgO.out", "siesta/MgO_siesta4.0.out"}},
     {"MgO.out"},
     {"MgO-initial.cif", "MgO-final.cif"},
     "MgO.xsf"},
    {"CASTEPConvOutput",
     {{"TiO2.castep", "castep/TiO2-geom.castep"}},
     {"TiO2.castep"},
     {"TiO2-initial.cif", "TiO2-final.cif"},
     "TiO2.xsf",
     "",
     -2293.724688940},
    {"CASTEPConvOutput",
     {{"Si8.castep", "castep/Si8-md-NPT.castep"}},
     {"Si8.castep"},
     {"Si8-initial.cif", "Si8-final.cif"},
     "Si8.xsf",
     "",
     -855.5216695357},
    {"CASTEPConvOutput", {{"Si2.castep", "castep/Si2_opt.castep"}}, {"Si2.castep"}, {"Si2-initial.cif", "Si2-final.cif"}, ""},
    {"PWScfConvOutput",
     {{"NaCl.in", "pwscf/NaCl-001_scf_ibrav0.in"}, {"NaCl.out", "pwscf/NaCl-001_scf.out"}},
     {"NaCl.out"},
     {"NaCl-initial.cif", "NaCl-final.cif"},
     "NaCl.xsf"},
    {"PWScfConvOutput",
     {{"Al.in", "pwscf/relax2_Al_slab_ibrav6.in"}, {"Al.out", "pwscf/relax2_Al_slab.out"}},
     {"Al.out"},
     {"Al-initial.cif", "Al-final.cif"},
     "Al.xsf",
     "",
     -29.22017344 * 13.605693122994},  // Ry
    {"PWScfConvOutput",
     {{"TiO2.in", "pwscf/TiO2_vc-relax_sg136.in"}, {"TiO2.out", "pwscf/TiO2_vc-relax_sg136.out"}},
     {"TiO2.out"},
     {"TiO2-initial.cif", "TiO2-final.cif"},
     "TiO2.xsf"},
    {"PWScfConvOutput", {{"Si.out", "pwscf/Si_md_v5.3.out"}}, {"Si.out"}, {"Si-initial.cif", "Si-final.cif"}, "Si.xsf"},
    {"PWScfConvOutput",
     {{"FeO.in", "src:tests/data/cryslink/pwscf/lda+U_force.in"}, {"FeO.out", "src:tests/data/cryslink/pwscf/lda+U_force.out"}},
     {"FeO.out"}, {"FeO-initial.cif", "FeO-final.cif"}, "FeO.xsf"},
    {"PWScfConvOutput",
     {{"q.in", "src:tests/data/cryslink/pwscf/lattice-wyckoff-sio2.in"},
      {"q.out", "src:tests/data/cryslink/pwscf/lattice-wyckoff-sio2.out"}},
     {"q.out"}, {"q-initial.cif", "q-final.cif"}, ""},
    {"PWScfConvOutput",
     {{"Pt.in", "src:tests/data/cryslink/pwscf/Pt_sg225_scf.in"}, {"Pt.out", "src:tests/data/cryslink/pwscf/Pt_sg225_scf.out"}},
     {"Pt.out"}, {"Pt-initial.cif", "Pt-final.cif"}, "Pt.xsf"},
    {"PWScfConvOutput",
     {{"Si.in", "src:tests/data/cryslink/pwscf/Si2_vc-relax_ibrav2.in"},
      {"Si.out", "src:tests/data/cryslink/pwscf/Si2_vc-relax_ibrav2.out"}},
     {"Si.out"}, {"Si-initial.cif", "Si-final.cif"}, "Si.xsf"},
    {"CASTEPConvOutput", {{"Si.castep", "src:tests/data/cryslink/castep/Si2_rotated_geom.castep"}}, {"Si.castep"},
     {"Si-initial.cif", "Si-final.cif"}, "Si.xsf"},
    {"WIENMakeCIFFromStruct", {{"BaGa2.struct", "wien2k/BaGa2_bohr_P6mmm.struct"}}, {"BaGa2.struct"}, {"BaGa2.cif"}, ""},
    {"WIENMakeCIFFromStruct", {{"NaCl.struct", "wien2k/NaCl_P_8atoms.struct"}}, {"NaCl.struct"}, {"NaCl.cif"}, ""},
    {"WIENMakeCIFFromStruct", {{"CrO2.struct", "wien2k/CrO2-sp_rutile_bohr.struct"}}, {"CrO2.struct"}, {"CrO2.cif"}, ""},
    {"WIENMakeCIFFromStruct", {{"ok.struct", "wien2k/ok_graphene_H_P-6m2.struct"}}, {"ok.struct"}, {"ok.cif"}, ""},
    {"WIENMakeCIFFromStruct", {{"NaCl.struct", "src:examples/cryslink/NaCl.struct"}}, {"NaCl.struct"}, {"NaCl.cif"}, ""},
    {"WIENMakeCIFFromStruct", {{"a.struct", "src:tests/data/cryslink/wien2k/TiC_Fm-3m.struct"}}, {"a.struct"}, {"a.cif"}, ""},
    {"WIENMakeCIFFromStruct", {{"a.struct", "src:tests/data/cryslink/wien2k/CuGaO2_R-3m.struct"}}, {"a.struct"}, {"a.cif"}, ""},
    {"WIENMakeCIFFromStruct", {{"a.struct", "src:tests/data/cryslink/wien2k/F_no_group_NaCl.struct"}}, {"a.struct"}, {"a.cif"}, ""},
    {"WIENMakeCIFFromStruct", {{"a.struct", "src:tests/data/cryslink/wien2k/Si_Fd-3m_origin2.struct"}}, {"a.struct"}, {"a.cif"}, ""},
    {"WIENMakeCIFFromStruct", {{"a.struct", "src:tests/data/cryslink/wien2k/La2CuO4_damaged_line2.struct"}}, {"a.struct"},
     {"a.cif"}, ""},
    {"GULPMakeCIFFromInput", {{"BaSO4.gin", "gulp/example8_BaSO4_Pnma.gin"}}, {"BaSO4.gin"}, {"BaSO4.cif"}, ""},
    {"GULPMakeCIFFromInput", {{"Al2O3.gin", "gulp/example1_alumina_R-3c_sg167.gin"}}, {"Al2O3.gin"}, {"Al2O3.cif"}, ""},
    {"GULPMakeCIFFromInput", {{"MgO.gin", "src:examples/cryslink/MgO.gin"}}, {"MgO.gin"}, {"MgO.cif"}, ""},
    {"GULPMakeCIFFromInput", {{"Si3N4.gin", "src:tests/data/cryslink/gulp/Si3N4_origin_shift.gin"}}, {"Si3N4.gin"},
     {"Si3N4.cif"}, ""},
};

std::string RunName(const testing::TestParamInfo<ConverterRun>& info) {
    std::string name = std::string(info.param.action) + "_" + info.param.files.back().first;
    for (char& c : name)
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
    return name + "_" + std::to_string(info.index);
}

INSTANTIATE_TEST_SUITE_P(CorpusRuns, WrittenFiles, testing::ValuesIn(kRuns), RunName);

}  // namespace
