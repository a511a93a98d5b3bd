// Damaged and hostile inputs for every action of Cryslink and for latfit:
// empty, cut short, binary and oversized files, missing siblings and outputs
// that cannot be written. Every run must end in time, without a signal or a
// sanitizer report, with its status and its message; it must leave its input
// files as they were (the two files a run rewrites are either untouched or
// complete) and no temporary file behind.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace fs = std::filesystem;

namespace {

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void WriteFile(const fs::path& path, const std::string& content) { std::ofstream(path, std::ios::binary) << content; }

// One program, its arguments and the real files it reads. `rewrites` is the
// input the run may replace (with a complete file only).
struct Action {
    const char* name;
    const char* program;  // CRYSLINK_EXE or LATFIT_EXE
    std::vector<std::string> args;
    std::vector<std::pair<std::string, std::string>> files;  // name in the run -> file beside the checkout
    const char* rewrites = "";
    bool finishes = true;  // the run ends with "Cryslink finished." (not so the usage text)
};

const char* const kF9p = "examples/cryslink/torv/sio2.";
const std::vector<std::pair<std::string, std::string>> kTorv = {{"sio2.f05", std::string(kF9p) + "f05"},
                                                               {"sio2.f06", std::string(kF9p) + "f06"},
                                                               {"sio2.f07", std::string(kF9p) + "f07"},
                                                               {"sio2.f9p", std::string(kF9p) + "f9p"},
                                                               {"sio2.f9v", std::string(kF9p) + "f9v"}};

// TranSIESTA-C/ATK runs of the two layouts the reader knows (no real file of them is at hand).
const char* const kBulkATK =
    "text:UnitCell::LatticeConstant 5.43 Ang\n%block Bulk::UnitCell\n 1.0 0.0 0.0\n 0.0 1.0 0.0\n 0.0 0.0 1.0\n"
    "%endblock Bulk::UnitCell\n%block Bulk::AtomList\n Si 0.0 0.0 0.0\n Si 1.3575 1.3575 1.3575\n"
    "%endblock Bulk::AtomList\n#   Forces     in eV/Ang\n# -\n# -\n# -\n"
    " 0.0 0.0 0.0  0 0 0  0.0 0.0 0.0\n 1.4 1.4 1.4  0 0 0  -0.3 0.2 0.1\n# ----\n"
    "#   Forces     in eV/Ang\n# -\n# -\n# -\n"
    " 0.0 0.0 0.0  0 0 0  0.0 0.0 0.0\n 1.3 1.4 1.4  0 0 0  -0.2 0.2 0.1\n# ----\n";
const char* const kNumOrbATK =
    "text:UnitCell::LatticeConstant 1.0 Ang\n%block Bulk::UnitCell\n 4.0 0.0 0.0\n 0.0 4.0 0.0\n 0.0 0.0 4.0\n"
    "%endblock Bulk::UnitCell\n%block Bulk::AtomList\n Na 0.0 0.0 0.0\n Cl 2.0 2.0 2.0\n%endblock Bulk::AtomList\n"
    "NumOrb: Forces\n -\n siesta:  1  0.1  0.2  0.3\n siesta:  2 -0.1 -0.2 -0.3\nUpdating coords\n -\n -\n"
    " :  1 Na 0.1 0.0 0.0\n :  2 Cl 2.1 2.0 2.0\n";

const std::map<std::string, Action> kActions = {
    {"ConvF09p", {"ConvF09p", CRYSLINK_EXE, {"sio2.f9p"}, kTorv}},
    {"UpdateFILE05", {"UpdateFILE05", CRYSLINK_EXE, {"--sn=4", "sio2.f05"}, kTorv}},
    {"AddHistoryCSV", {"AddHistoryCSV", CRYSLINK_EXE, {"sio2.f06"}, kTorv}},
    {"PWScfConvOutput",
     {"PWScfConvOutput", CRYSLINK_EXE, {"t.out"},
      {{"t.out", "corpus/pwscf/TiO2_vc-relax_sg136.out"}, {"t.in", "corpus/pwscf/TiO2_vc-relax_sg136.in"}}}},
    {"DVXaF01Conv", {"DVXaF01Conv", CRYSLINK_EXE, {"F01"}, {{"F01", "examples/cryslink/F01"}}, "F01"}},
    {"DVXa-second-run",
     {"DVXaF01Conv", CRYSLINK_EXE, {"F01"}, {{"F01", "examples/cryslink/F01"}, {"F01.prev", "examples/cryslink/F01"}}, "F01"}},
    {"DVXa-no-file", {"DVXaF01Conv", CRYSLINK_EXE, {"adir"}, {}}},
    {"VASPConvCONTCAR",
     {"VASPConvCONTCAR", CRYSLINK_EXE, {"v/POSCAR"},
      {{"v/POSCAR", "corpus/vasp/AlN_static/POSCAR"},
       {"v/CONTCAR", "corpus/vasp/AlN_static/CONTCAR"},
       {"v/POTCAR", "corpus/vasp/AlN_static/POTCAR"}}}},
    {"VASPMakeXSF",
     {"VASPMakeXSF", CRYSLINK_EXE, {"v/POSCAR"},
      {{"v/INCAR", "examples/cryslink/vasp-h2o-md/INCAR"},
       {"v/POSCAR", "examples/cryslink/vasp-h2o-md/POSCAR"},
       {"v/CONTCAR", "examples/cryslink/vasp-h2o-md/CONTCAR"},
       {"v/OUTCAR", "examples/cryslink/vasp-h2o-md/OUTCAR"}}}},
    {"VASPMakeXSF-ML",
     {"VASPMakeXSF", CRYSLINK_EXE, {"v/POSCAR"},
      {{"v/INCAR", "tests/data/cryslink/vasp/ch4_ml/INCAR"},
       {"v/POSCAR", "tests/data/cryslink/vasp/ch4_ml/POSCAR"},
       {"v/OUTCAR", "tests/data/cryslink/vasp/ch4_ml/OUTCAR"}}}},
    {"TranSIESTAConvOutput",
     {"TranSIESTAConvOutput", CRYSLINK_EXE, {"run.out"}, {{"run.out", "corpus/siesta/h2o_relax_siesta4.0.out"}}}},
    {"TranSIESTA-4.1",
     {"TranSIESTAConvOutput", CRYSLINK_EXE, {"run.out"}, {{"run.out", "tests/data/cryslink/siesta/siesta41_cg_C2.out"}}}},
    {"TranSIESTA-5.1",
     {"TranSIESTAConvOutput", CRYSLINK_EXE, {"run.out"},
      {{"run.out", "tests/data/cryslink/siesta/siesta51_single_point_Bi.out"}}}},
    {"TranSIESTA-ATK", {"TranSIESTAConvOutput", CRYSLINK_EXE, {"run.out"}, {{"run.out", kBulkATK}}}},
    {"TranSIESTA-NumOrb", {"TranSIESTAConvOutput", CRYSLINK_EXE, {"run.out"}, {{"run.out", kNumOrbATK}}}},
    {"PWScf-Wyckoff",
     {"PWScfConvOutput", CRYSLINK_EXE, {"q.out"},
      {{"q.out", "tests/data/cryslink/pwscf/lattice-wyckoff-sio2.out"},
       {"q.in", "tests/data/cryslink/pwscf/lattice-wyckoff-sio2.in"}}}},
    {"PWScf-sg225",
     {"PWScfConvOutput", CRYSLINK_EXE, {"pt.out"},
      {{"pt.out", "tests/data/cryslink/pwscf/Pt_sg225_scf.out"}, {"pt.in", "tests/data/cryslink/pwscf/Pt_sg225_scf.in"}}}},
    {"CASTEPConvOutput",
     {"CASTEPConvOutput", CRYSLINK_EXE, {"si.castep"}, {{"si.castep", "examples/cryslink/Si8-md-NPT.castep"}}}},
    {"CASTEP-one-forces-table",
     {"CASTEPConvOutput", CRYSLINK_EXE, {"si.castep"}, {{"si.castep", "corpus/castep/Si2_opt.castep"}}}},
    {"CASTEP-rotated",
     {"CASTEPConvOutput", CRYSLINK_EXE, {"r.castep"}, {{"r.castep", "tests/data/cryslink/castep/Si2_rotated_geom.castep"}}}},
    {"WIENConvDOS",
     {"WIENConvDOS", CRYSLINK_EXE, {"case.int"},
      {{"case.int", "examples/cryslink/wien2k-dos/case.int"},
       {"case.dos1ev", "examples/cryslink/wien2k-dos/case.dos1ev"}}}},
    {"WIENMakeCIFFromStruct",
     {"WIENMakeCIFFromStruct", CRYSLINK_EXE, {"c.struct"}, {{"c.struct", "corpus/wien2k/CrO2-sp_rutile_bohr.struct"}}}},
    {"GULPMakeCIFFromInput",
     {"GULPMakeCIFFromInput", CRYSLINK_EXE, {"m.gin"}, {{"m.gin", "examples/cryslink/MgO.gin"}}}},
    {"ShowCIFInf",
     {"ShowCIFInf", CRYSLINK_EXE, {"--ShowAllAtoms=1", "s.cif"},
      {{"s.cif", "corpus/cif/spinel_NiAl2O4_COD9006030_Fd-3m.cif"}}}},
    {"CalRDF", {"CalRDF", CRYSLINK_EXE, {"--CalcRDF=1", "r.cif"}, {{"r.cif", "examples/cryslink/rutile.cif"}}}},
    {"CalDistance",
     {"CalDistance", CRYSLINK_EXE, {"r.cif", "dist.txt"}, {{"r.cif", "examples/cryslink/rutile.cif"}}}},
    {"ShowCIFInf-databases",
     {"ShowCIFInf", CRYSLINK_EXE, {"--DBDir=db", "r.cif"},
      {{"r.cif", "examples/cryslink/rutile.cif"}, {"db/nonrel", "data/nonrel"}, {"db/asfdc", "data/asfdc"},
       {"db/spgra", "data/spgra"}}}},
    {"VASPMakeXSF-databases",
     {"VASPMakeXSF", CRYSLINK_EXE, {"--DBDir=db", "v/POSCAR"},
      {{"v/POSCAR", "examples/cryslink/vasp-h2o-md/POSCAR"}, {"v/OUTCAR", "examples/cryslink/vasp-h2o-md/OUTCAR"},
       {"db/nonrel", "data/nonrel"}, {"db/asfdc", "data/asfdc"}}}},
    {"help", {"ShowCIFInf", CRYSLINK_EXE, {"r.cif", "--help"}, {{"r.cif", "examples/cryslink/rutile.cif"}}, "", false}},
    {"unknown-action", {"ShowCIFInfo", CRYSLINK_EXE, {"r.cif"}, {{"r.cif", "examples/cryslink/rutile.cif"}}}},
    {"latfit",
     {"latfit", LATFIT_EXE, {},
      {{"control.txt", "examples/latfit/mgo/control.txt"},
       {"symmetry.dat", "data/latfit/spacegroups.dat"},
       {"mgo.atm", "examples/latfit/mgo/mgo.atm"},
       {"mgo.str", "examples/latfit/mgo/mgo.str"}},
      "mgo.str"}},
};

enum Damage {
    kCut,          // cut at the lines holding the reader's markers ("a|b") and at every 5%
    kEmpty,        // an empty file
    kBinary,       // bytes of every value, with NULs and no line ends
    kHugeLine,     // a line of 5 MB after the first line
    kEdit,         // "from|to": the first `from` replaced by `to`
    kMissing,      // the file is not there
    kDirectory,    // a directory stands where the file is written
    kWriteFails,   // writes fail: a name makes that file a link to /dev/full; a number limits the size of
                   // every file written (none limits it to the damaged input's size and a byte)
    kOverOlder,    // "limit[|elsewhere]": the file an earlier run wrote stands under the output's name (or,
                   // moved elsewhere, a link to it does), and writes fail beyond `limit` bytes
};

// A latfit run that may stop (status 1) or, where the cut leaves what it needs, end normally (0).
constexpr int kStopsOrEnds = -2;

// An action run on one damaged file. `expect` is a line the output must hold;
// status 255 marks the bounds-check exits of the containers, the only runs that
// end before the finish line.
struct Case {
    const char* action;
    Damage damage;
    const char* file;
    const char* detail;
    const char* expect;
    int status = 0;
    bool rewrote = false;  // `expect` is the line of a run that rewrote its input whole
};

const Case kCases[] = {
    // TORV files: the trajectory, its cell file, the structure and control files, the log.
    {"ConvF09p", kCut, "sio2.f9p", "", ""},
    {"ConvF09p", kCut, "sio2.f9v", "", ""},
    {"ConvF09p", kCut, "sio2.f07", "", ""},
    {"ConvF09p", kEmpty, "sio2.f9p", "", "AvrCount: 0"},
    {"ConvF09p", kBinary, "sio2.f9p", "", "AvrCount: 0"},
    {"ConvF09p", kHugeLine, "sio2.f9p", "", "AvrCount: 11"},
    {"ConvF09p", kBinary, "sio2.f07", "", "Make CIFFile of averaged structure [sio2-averaged.cif]."},
    {"ConvF09p", kMissing, "sio2.f9p", "", "Can not read [sio2.f9p]."},
    {"ConvF09p", kMissing, "sio2.f9v", "", "Can not read [sio2.f9v]."},
    {"ConvF09p", kMissing, "sio2.f07", "", "Make CIFFile of averaged structure [sio2-averaged.cif]."},
    {"ConvF09p", kDirectory, "sio2.xsf", "", "Can not write to [sio2.xsf]."},
    {"ConvF09p", kWriteFails, "sio2.xsf", "2000", "Can not write to [sio2.xsf]."},
    {"ConvF09p", kWriteFails, "sio2-final.cif", "sio2-final.cif", "Can not write to [sio2-final.cif]."},
    {"ConvF09p", kOverOlder, "sio2-final.cif", "2000", "Can not write to [sio2-final.cif]."},
    {"ConvF09p", kOverOlder, "sio2.xsf", "2000", "Can not write to [sio2.xsf]."},
    {"UpdateFILE05", kCut, "sio2.f05", "", ""},
    {"UpdateFILE05", kEmpty, "sio2.f05", "", "Sequential N  : 4"},
    {"UpdateFILE05", kBinary, "sio2.f05", "", "Sequential N  : 4"},
    {"UpdateFILE05", kHugeLine, "sio2.f05", "", "Sequential N  : 4"},
    {"UpdateFILE05", kMissing, "sio2.f05", "", "Can not read sio2.f05."},
    {"UpdateFILE05", kDirectory, "sio2-004.f05", "", "Can not write to sio2-004.f05."},
    {"UpdateFILE05", kWriteFails, "sio2-004.f05", "200", "Can not write to sio2-004.f05."},
    {"UpdateFILE05", kOverOlder, "sio2-004.f05", "200", "Can not write to sio2-004.f05."},
    {"AddHistoryCSV", kCut, "sio2.f06", "", ""},
    {"AddHistoryCSV", kEmpty, "sio2.f06", "", "nStep: 0"},
    {"AddHistoryCSV", kBinary, "sio2.f06", "", "nStep: 0"},
    {"AddHistoryCSV", kHugeLine, "sio2.f06", "", "Add to sio2-History2.csv"},
    {"AddHistoryCSV", kMissing, "sio2.f06", "", "Error: Can not read [sio2.f06]."},
    {"AddHistoryCSV", kDirectory, "sio2-History.csv", "", "Error: Can not add to [sio2-History.csv]."},
    {"AddHistoryCSV", kWriteFails, "sio2-History.csv", "1000", "Error: Can not add to [sio2-History.csv]."},
    {"AddHistoryCSV", kOverOlder, "sio2-History.csv", "2000", "Error: Can not add to [sio2-History.csv]."},
    {"AddHistoryCSV", kOverOlder, "sio2-History.csv", "2000|old/sio2-History.csv", "Error: Can not add to [sio2-History.csv]."},
    // PWscf output and input.
    {"PWScfConvOutput", kCut, "t.out", "celldm(1)=|crystal axes:|site n.|Forces acting on atoms|force =|Begin final coordinates|End final coordinates|CELL_PARAMETERS|ATOMIC_POSITIONS", ""},
    {"PWScfConvOutput", kCut, "t.in", "", ""},
    {"PWScfConvOutput", kEmpty, "t.out", "", "**No data for initial structure."},
    {"PWScfConvOutput", kBinary, "t.out", "", "**No data for initial structure."},
    {"PWScfConvOutput", kHugeLine, "t.out", "", "Create update INP file: t.in.new"},
    {"PWScfConvOutput", kEdit, "t.out", "number of atoms/cell      =            6|number of atoms/cell      = 2147483648",
     "Create update INP file: t.in.new"},
    {"PWScfConvOutput", kEdit, "t.in", "= 4.59373|= 1e308", "The cell of [t.in] is missing or singular."},
    {"PWScfConvOutput", kEdit, "t.in", "nat              = 2|nat              = 2147483648",
     "Create update INP file: t.in.new"},
    {"PWScfConvOutput", kMissing, "t.in", "", "Error in CPWScf::UpdateInpFile: Can not read [t.inp]."},
    {"PWScfConvOutput", kMissing, "t.out", "", "Can not read [t.out]."},
    {"PWScfConvOutput", kDirectory, "t.xsf", "", "Can not write to [t.xsf]."},
    {"PWScfConvOutput", kWriteFails, "t.xsf", "1000", "Can not write to [t.xsf]."},
    {"PWScfConvOutput", kDirectory, "t.in.new", "", "Error in CPWScf::UpdateInpFile: Can not write to [t.in.new]."},
    {"PWScfConvOutput", kOverOlder, "t.xsf", "1000", "Can not write to [t.xsf]."},
    {"PWScfConvOutput", kOverOlder, "t.in.new", "900", "Error in CPWScf::UpdateInpFile: Can not write to [t.in.new]."},
    // A run whose atoms come from the output's header: Wyckoff positions, the primitive cell of a space group.
    {"PWScf-Wyckoff", kCut, "q.out", "number of atoms/cell|crystal axes:|site n.|positions (alat units)", ""},
    {"PWScf-Wyckoff", kEdit, "q.out", "number of atoms/cell      =            9|number of atoms/cell      =           10",
     "**No data for initial structure."},
    {"PWScf-sg225", kCut, "pt.out", "number of atoms/cell|crystal axes:|site n.|Forces acting on atoms|force =", ""},
    {"PWScf-sg225", kMissing, "pt.in", "", "Make CIFFile of final structure [pt-final.cif]."},
    // DV-Xa: F01 is rewritten in place, so a failed write must leave it whole.
    {"DVXaF01Conv", kCut, "F01", "", ""},
    {"DVXaF01Conv", kEmpty, "F01", "", ""},
    {"DVXaF01Conv", kBinary, "F01", "", ""},
    {"DVXaF01Conv", kHugeLine, "F01", "", ""},
    {"DVXaF01Conv", kMissing, "F01", "", "Creation of backup file [F01.prev] was failed."},
    {"DVXaF01Conv", kDirectory, "F01.prev", "", "Backup file [F01.prev2] is created.", 0, true},
    {"DVXaF01Conv", kWriteFails, "F01", "", "Can not write to [F01]."},
    {"DVXa-second-run", kEmpty, "F01.prev", "", "Backup file [F01.prev2] is created.", 0, true},
    {"DVXa-no-file", kDirectory, "adir", "", "Error: [adir] is no regular file; it is not converted and no backup is made."},
    // VASP run directories.
    {"VASPConvCONTCAR", kCut, "v/POSCAR", "", ""},
    {"VASPConvCONTCAR", kCut, "v/CONTCAR", "Direct|Cartesian|Selective", ""},
    {"VASPConvCONTCAR", kCut, "v/POTCAR", "TITEL|VRHFIN|POMASS|End of Dataset", ""},
    {"VASPConvCONTCAR", kEmpty, "v/POSCAR", "", "Error: [v/POSCAR] is empty (line 0)."},
    {"VASPConvCONTCAR", kBinary, "v/CONTCAR", "", "Error: [v/CONTCAR] ends before the scaling factor (line 1)."},
    {"VASPConvCONTCAR", kHugeLine, "v/POSCAR", "", "Error: [v/POSCAR] has no three numbers for a lattice vector (line 3)."},
    {"VASPConvCONTCAR", kEdit, "v/POSCAR", "1.0|1e308", "Error: [v/POSCAR] has a lattice vector beyond any size after scaling (line 5)."},
    {"VASPConvCONTCAR", kEdit, "v/POSCAR", "   59   71|   2147483648   71", "Error: [v/POSCAR] has an atom count that is no count (line 7)."},
    {"VASPConvCONTCAR", kMissing, "v/POSCAR", "", "Error: Can not read [v/POSCAR]"},
    {"VASPConvCONTCAR", kMissing, "v/CONTCAR", "", "Error: Can not read [v/CONTCAR]"},
    {"VASPConvCONTCAR", kMissing, "v/POTCAR", "", "Error in CVASP::ReadPOTCARFile: Can not read [v/POTCAR]."},
    {"VASPConvCONTCAR", kDirectory, "v/XYZ-final.cif", "", "Can not write to [v/XYZ-final.cif]."},
    {"VASPConvCONTCAR", kOverOlder, "v/XYZ-final.cif", "10000", "Can not write to [v/XYZ-final.cif]."},
    {"VASPMakeXSF", kCut, "v/OUTCAR", "POSITION|TOTAL-FORCE|----|direct lattice vectors|ions per type|POTCAR:|TITEL", ""},
    {"VASPMakeXSF", kCut, "v/POSCAR", "", ""},
    {"VASPMakeXSF", kCut, "v/INCAR", "", ""},
    {"VASPMakeXSF", kEmpty, "v/OUTCAR", "", "nStep: 0"},
    {"VASPMakeXSF", kEmpty, "v/OUTCAR", "", "The animation [v/h2o-md.xsf] is empty: [v/OUTCAR] holds no step with forces."},
    {"VASPMakeXSF", kBinary, "v/OUTCAR", "", "nStep: 0"},
    {"VASPMakeXSF", kHugeLine, "v/OUTCAR", "", "...Frame 2 (T=0, P=0, D=0)"},
    {"VASPMakeXSF", kMissing, "v/OUTCAR", "", "Can not read [v/OUTCAR]."},
    {"VASPMakeXSF", kMissing, "v/POSCAR", "", "Error: Can not read [v/POSCAR]"},
    {"VASPMakeXSF", kDirectory, "v/h2o-md.xsf", "", "Can not write to [v/h2o-md.xsf]."},
    {"VASPMakeXSF", kOverOlder, "v/h2o-md.xsf", "1000", "Can not write to [v/h2o-md.xsf]."},
    {"VASPMakeXSF-ML", kCut, "v/OUTCAR", "(ML)|VOLUME and BASIS|direct lattice vectors|---", ""},
    // SIESTA output.
    {"TranSIESTAConvOutput", kCut, "run.out", "outcoor:|%block|%endblock|LatticeConstant|siesta: Atomic forces|outcell:|----", ""},
    {"TranSIESTAConvOutput", kEmpty, "run.out", "", "Error: [run.out] has no readable unit cell after UnitCell::LatticeConstant."},
    {"TranSIESTAConvOutput", kBinary, "run.out", "", "Error: [run.out] has no readable unit cell after UnitCell::LatticeConstant."},
    {"TranSIESTAConvOutput", kHugeLine, "run.out", "", "Make CIFFile of final structure [run-final.cif]."},
    {"TranSIESTAConvOutput", kMissing, "run.out", "", "Can not read [run.out]."},
    {"TranSIESTAConvOutput", kDirectory, "run.xsf", "", "Can not write to [run.xsf]."},
    {"TranSIESTAConvOutput", kOverOlder, "run.xsf", "1000", "Can not write to [run.xsf]."},
    {"TranSIESTA-4.1", kCut, "run.out", "Species number|siesta: Atomic coordinates|outcoor:|siesta: Atomic forces|outcell:|---", ""},
    {"TranSIESTA-5.1", kCut, "run.out", "Species number|siesta: Atomic coordinates|siesta: Atomic forces|outcell:|---", ""},
    // CASTEP output.
    {"TranSIESTA-ATK", kCut, "run.out", "", ""},
    {"TranSIESTA-NumOrb", kCut, "run.out", "", ""},
    {"CASTEPConvOutput", kCut, "si.castep", "Unit Cell|Real Lattice|Lattice parameters(A)|Fractional coordinates of atoms|xxxxxx|** Forces **|* Symmetrised Forces *|* Constrained Forces *", ""},
    {"CASTEPConvOutput", kEmpty, "si.castep", "", "**No data for initial structure."},
    {"CASTEP-one-forces-table", kHugeLine, "si.castep", "", "nStep: 0\n"},
    {"CASTEP-one-forces-table", kHugeLine, "si.castep", "", "The animation [si.xsf] is empty: [si.castep] holds no step with forces."},
    {"CASTEPConvOutput", kBinary, "si.castep", "", "**No data for initial structure."},
    {"CASTEPConvOutput", kHugeLine, "si.castep", "", "Create update CAR file: si.car.new"},
    {"CASTEPConvOutput", kMissing, "si.castep", "", "Can not read [si.castep]."},
    {"CASTEPConvOutput", kDirectory, "si.car.new", "", "Can not write to [si.car.new]."},
    {"CASTEPConvOutput", kWriteFails, "si.xsf", "1000", "Can not write to [si.xsf]."},
    {"CASTEPConvOutput", kWriteFails, "si.car.new", "si.car.new", "Can not write to [si.car.new]."},
    {"CASTEPConvOutput", kOverOlder, "si.xsf", "1000", "Can not write to [si.xsf]."},
    {"CASTEPConvOutput", kOverOlder, "si.car.new", "700", "Can not write to [si.car.new]."},
    {"CASTEP-rotated", kCut, "r.castep", "Unit Cell|Real Lattice|Lattice parameters(A)|Fractional coordinates of atoms|xxxxxx|** Forces **", ""},
    // WIEN2k DOS and structure.
    {"WIENConvDOS", kCut, "case.int", "", ""},
    {"WIENConvDOS", kCut, "case.dos1ev", "", ""},
    {"WIENConvDOS", kEmpty, "case.int", "", "Error in CWIEN::MakeDOSCSVFile: [case.int] ends before its number of DOS cases."},
    {"WIENConvDOS", kMissing, "case.int", "", "Error in CWIEN::MakeDOSCSVFile: Can not read [case.int]."},
    {"WIENConvDOS", kBinary, "case.dos1ev", "", "Error: nTotalSpectrum is zero."},
    {"WIENConvDOS", kHugeLine, "case.dos1ev", "", "Warning: Data in .int (nOrb=3) is not consistent with .dos (nTot=4)."},
    {"WIENConvDOS", kEdit, "case.dos1ev", "0.13533528|1e-400", "Create CSV File for non-polarized DOS: case.dos.csv"},
    {"WIENConvDOS", kMissing, "case.dos1ev", "", ".dos1ev: case.dos1ev\n.dos2ev: case.dos2ev\n.dos3ev: case.dos3ev\n  dose not exist. Skipped."},
    {"WIENConvDOS", kDirectory, "case.dos.csv", "", "Error in CWIEN::CreateDOSCSVFile: Can not write to [case.dos.csv]."},
    {"WIENConvDOS", kWriteFails, "case.dos.csv", "200", "Error in CWIEN::CreateDOSCSVFile: Can not write to [case.dos.csv]."},
    {"WIENConvDOS", kOverOlder, "case.dos.csv", "200", "Error in CWIEN::CreateDOSCSVFile: Can not write to [case.dos.csv]."},
    {"WIENMakeCIFFromStruct", kCut, "c.struct", "", ""},
    {"WIENMakeCIFFromStruct", kMissing, "c.struct", "", "Error in CWIEN::ReadCrystalStructure: Can not read [c.struct]."},
    {"WIENMakeCIFFromStruct", kEmpty, "c.struct", "", "Error in CWIEN::ReadCrystalStructure: [c.struct] ends before its lattice parameters."},
    {"WIENMakeCIFFromStruct", kBinary, "c.struct", "", "Error in CWIEN::ReadCrystalStructure: [c.struct] ends before its lattice parameters."},
    {"WIENMakeCIFFromStruct", kHugeLine, "c.struct", "", "Error in CWIEN::ReadCrystalStructure: [c.struct] has no valid lattice parameters on line 4."},
    {"WIENMakeCIFFromStruct", kEdit, "c.struct", "-1 0 0 0.00000000|-1 0 0 0.12345678",
     "Space group: P 1, since no database record has the operations of the file (16); the cell is written with its"},
    {"WIENMakeCIFFromStruct", kDirectory, "c.cif", "", "Can not write to [c.cif]."},
    {"WIENMakeCIFFromStruct", kWriteFails, "c.cif", "500", "Can not write to [c.cif]."},
    {"WIENMakeCIFFromStruct", kOverOlder, "c.cif", "500", "Can not write to [c.cif]."},
    // GULP input.
    {"GULPMakeCIFFromInput", kCut, "m.gin", "", ""},
    {"GULPMakeCIFFromInput", kMissing, "m.gin", "", "Error in CGULP::ReadCrystalStructure: Can not read [m.gin]."},
    {"GULPMakeCIFFromInput", kEmpty, "m.gin", "", "Error in CGULP::ReadCrystalStructure: [m.gin] has no cell with fractional coordinates; no CIF is written."},
    {"GULPMakeCIFFromInput", kBinary, "m.gin", "", "Error in CGULP::ReadCrystalStructure: [m.gin] has no cell with fractional coordinates; no CIF is written."},
    {"GULPMakeCIFFromInput", kHugeLine, "m.gin", "", "Create CIF file: m.cif"},
    {"GULPMakeCIFFromInput", kEdit, "m.gin", "F M -3 M|F M -3 M\norigin\n0 inf 0.25",
     "Warning: the origin of [m.gin] is no shift and no origin choice; it is left out."},
    {"GULPMakeCIFFromInput", kDirectory, "m.cif", "", "Can not write to [m.cif]."},
    {"GULPMakeCIFFromInput", kWriteFails, "m.cif", "m.cif", "Can not write to [m.cif]."},
    {"GULPMakeCIFFromInput", kOverOlder, "m.cif", "1000", "Can not write to [m.cif]."},
    // CIF analyses.
    {"ShowCIFInf", kCut, "s.cif", "", ""},
    {"ShowCIFInf", kMissing, "s.cif", "", "Error in ShowCIFInf: Can not read [s.cif]."},
    {"ShowCIFInf", kEmpty, "s.cif", "", "Error in ShowCIFInf: Can not read [s.cif]."},
    {"ShowCIFInf", kBinary, "s.cif", "", "Error in ShowCIFInf: Can not read [s.cif]."},
    {"ShowCIFInf", kHugeLine, "s.cif", "", "Chemical composition:"},
    {"CalRDF", kCut, "r.cif", "", ""},
    {"CalRDF", kEmpty, "r.cif", "", "Error in CalRDF: Can not read [r.cif]."},
    {"CalRDF", kHugeLine, "r.cif", "", "Writing to [O-O-RDF.csv]..."},
    {"CalRDF", kBinary, "r.cif", "", "Error in CalRDF: Can not read [r.cif]."},
    {"CalRDF", kEdit, "r.cif", "4.5937|1e308", "Error in CalculateRDF: Can not search [r.cif] within 5 A: the cell has no volume."},
    {"CalRDF", kMissing, "r.cif", "", "Error in CalRDF: Can not read [r.cif]."},
    {"CalRDF", kDirectory, "Ti-O-RDF.csv", "", "Error: Can not write to [Ti-O-RDF.csv]."},
    {"CalRDF", kWriteFails, "Ti-O-RDF.csv", "1000", "Error: Can not write to [Ti-O-RDF.csv]."},
    {"CalRDF", kOverOlder, "Ti-O-RDF.csv", "1000", "Error: Can not write to [Ti-O-RDF.csv]."},
    {"CalDistance", kCut, "r.cif", "", ""},
    {"CalDistance", kBinary, "r.cif", "", "Error in CalDistance: Can not read [r.cif]."},
    {"CalDistance", kHugeLine, "r.cif", "", "  Lattice Range: 2 2 2"},
    {"CalDistance", kMissing, "r.cif", "", "Error in CalDistance: Can not read [r.cif]."},
    {"CalDistance", kEmpty, "r.cif", "", "Error in CalDistance: Can not read [r.cif]."},
    {"CalDistance", kDirectory, "dist.txt", "", "Error: Can not write to [dist.txt]."},
    {"CalDistance", kWriteFails, "dist.txt", "1000", "Error: Can not write to [dist.txt]."},
    {"CalDistance", kOverOlder, "dist.txt", "1000", "Error: Can not write to [dist.txt]."},
    {"CalDistance", kOverOlder, "dist.txt", "1000|lists/rutile.txt", "Error: Can not write to [dist.txt]."},
    // Databases missing or a directory in their place: the action names each one and does not run.
    {"ShowCIFInf-databases", kMissing, "db/nonrel", "", "Show CIF Information.\nError: Can not read the database [db/nonrel].\n\nCryslink finished."},
    {"ShowCIFInf-databases", kMissing, "db/spgra", "", "Show CIF Information.\nError: Can not read the database [db/spgra].\n\nCryslink finished."},
    {"ShowCIFInf-databases", kEmpty, "db/spgra", "", "Show CIF Information.\nError: Can not read the database [db/spgra].\n\nCryslink finished."},
    {"VASPMakeXSF-databases", kDirectory, "db/asfdc", "", "Error: Can not read the database [db/asfdc].\n\nCryslink finished."},
    // The command line: help, and an action that does not exist.
    {"help", kMissing, "r.cif", "", "   Usage: "},
    {"unknown-action", kEmpty, "r.cif", "", "\nError: Invalid Action: [ShowCIFInfo]\n\nValid actions: ConvF09p, UpdateFILE05,"},
    // latfit: stops with one line and status 1; the structure file is rewritten whole or not at all.
    {"latfit", kCut, "mgo.str", "", "***ERROR  mgo.str", 1},
    {"latfit", kCut, "mgo.atm", "", "***ERROR  mgo.atm", 1},
    {"latfit", kCut, "symmetry.dat", "Fm-3m| 1 4 24| 0 0 0  0 0.5 0.5  0.5 0 0.5  0.5 0.5 0|Fd-3m", "", kStopsOrEnds},
    {"latfit", kEmpty, "mgo.str", "", "***ERROR  mgo.str, record 1: end of file after line 0", 1},
    {"latfit", kBinary, "mgo.str", "", "***ERROR  mgo.str, record 1, line 1: cannot read an integer", 1},
    {"latfit", kHugeLine, "mgo.str", "", "***ERROR  mgo.str, record 3 (lattice constants), line 3", 1},
    {"latfit", kMissing, "mgo.atm", "", " FILE OPEN ERR", 1},
    {"latfit", kMissing, "mgo.str", "", " FILE OPEN ERR", 1},
    {"latfit", kMissing, "symmetry.dat", "", " FILE OPEN ERR", 1},
    {"latfit", kBinary, "mgo.atm", "", "***ERROR  mgo.atm, record 1 (number of kinds), line 1: cannot read an integer", 1},
    {"latfit", kEdit, "mgo.str", " 4.212 4.212 4.212| 1e308 4.212 4.212",
     "***ERROR  mgo.str, record 3 (lattice constants): a length outside 0 to 1e6 A", 1},
    {"latfit", kEdit, "mgo.str", " 2\n 1 1.0| 2147483648\n 1 1.0",
     "***ERROR  mgo.str, record 5 (number of atoms), line 5: cannot read an integer from \"2147483648\"", 1},
    {"latfit", kDirectory, "mgo.cry", "", " FILE OPEN ERR", 1},
    {"latfit", kWriteFails, "mgo.str", "mgo.str.tmp", "***ERROR  Can not write the structure data file mgo.str; it is left unchanged.", 0},
};

struct Outcome {
    int status = -1;
    int signal = 0;
    bool timedOut = false;
    std::string output;
};

// Runs `program` in `dir` with a time limit, standard input from control.txt
// when there is one and optionally a limit on the size of written files (the
// output goes through a pipe, which the limit does not touch).
Outcome RunIn(const std::string& dir, const char* program, const std::vector<std::string>& args, long fileSizeLimit) {
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0) return {};
    const pid_t pid = fork();
    if (pid == 0) {
        if (chdir(dir.c_str()) != 0) _exit(127);
        const int in = open("control.txt", O_RDONLY);
        dup2(pipeEnds[1], 1);
        dup2(pipeEnds[1], 2);
        close(pipeEnds[0]);
        if (in >= 0) dup2(in, 0);
        // The limit is met as the shell sets it, with SIGXFSZ at its default: a
        // program that does not see to it is ended by the signal.
        if (fileSizeLimit > 0) {
            const rlimit limit{static_cast<rlim_t>(fileSizeLimit), static_cast<rlim_t>(fileSizeLimit)};
            setrlimit(RLIMIT_FSIZE, &limit);
        }
        std::vector<char*> argv{const_cast<char*>(program)};
        for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        execv(program, argv.data());
        _exit(127);
    }
    close(pipeEnds[1]);
    fcntl(pipeEnds[0], F_SETFL, O_NONBLOCK);
    Outcome run;
    int status = 0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    for (bool ended = false; !ended;) {
        char buffer[65536];
        ssize_t n;
        while ((n = read(pipeEnds[0], buffer, sizeof buffer)) > 0) run.output.append(buffer, static_cast<size_t>(n));
        ended = waitpid(pid, &status, WNOHANG) != 0;
        if (!ended && std::chrono::steady_clock::now() > deadline) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            run.timedOut = ended = true;
        }
        if (!ended) std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    char buffer[65536];
    for (ssize_t n; (n = read(pipeEnds[0], buffer, sizeof buffer)) > 0;) run.output.append(buffer, static_cast<size_t>(n));
    close(pipeEnds[0]);
    if (WIFEXITED(status)) run.status = WEXITSTATUS(status);
    if (WIFSIGNALED(status)) run.signal = WTERMSIG(status);
    return run;
}

// Offsets to cut `text` at: every line start of a short file; else the start
// and end of the first two and the last line holding each marker, and every 5%.
std::vector<size_t> CutPoints(const std::string& text, const std::string& markers) {
    std::vector<size_t> starts{0};
    for (size_t i = 0; i < text.size(); ++i)
        if (text[i] == '\n' && i + 1 < text.size()) starts.push_back(i + 1);
    std::vector<size_t> cuts;
    if (starts.size() <= 150) {
        cuts = starts;
    } else {
        for (size_t from = 0, to; from <= markers.size(); from = to + 1) {
            to = markers.find('|', from);
            if (to == std::string::npos) to = markers.size();
            const std::string marker = markers.substr(from, to - from);
            std::vector<size_t> hits;
            for (size_t at = text.find(marker); !marker.empty() && at != std::string::npos; at = text.find(marker, at + 1)) {
                const size_t line = text.rfind('\n', at) == std::string::npos ? 0 : text.rfind('\n', at) + 1;
                if (hits.empty() || hits.back() != line) hits.push_back(line);
            }
            for (size_t k = 0; k < hits.size(); ++k) {
                if (k >= 2 && k + 1 != hits.size()) continue;
                cuts.push_back(hits[k]);
                const size_t end = text.find('\n', hits[k]);
                if (end != std::string::npos) cuts.push_back(end + 1);
            }
        }
        for (int p = 1; p < 20; ++p) cuts.push_back(text.size() * p / 20);
    }
    std::sort(cuts.begin(), cuts.end());
    cuts.erase(std::unique(cuts.begin(), cuts.end()), cuts.end());
    if (!cuts.empty() && cuts.back() >= text.size()) cuts.pop_back();
    return cuts;
}

std::string Source(const std::string& relative) {
    if (relative.starts_with("corpus/")) return std::string(SOURCE_DIR) + "/../shared/" + relative;
    return std::string(SOURCE_DIR) + "/" + relative;
}

// The text of an input: inline ("text:...") or a file beside the checkout; empty when absent.
std::optional<std::string> InputText(const std::string& source) {
    if (source.starts_with("text:")) return source.substr(5);
    if (!fs::exists(Source(source))) return std::nullopt;
    return ReadFile(Source(source));
}

void PrintTo(const Case& c, std::ostream* out) { *out << c.action << " on " << c.file; }

class BadInput : public testing::TestWithParam<Case> {};

TEST_P(BadInput, EndsCleanlyWithItsMessage) {
    const Case& c = GetParam();
    const Action& action = kActions.at(c.action);
    std::map<std::string, std::string> originals;
    for (const auto& [name, source] : action.files) {
        const std::optional<std::string> text = InputText(source);
        if (!text) GTEST_SKIP() << "no " << source << " beside the checkout";
        originals[name] = *text;
    }
    std::vector<std::string> variants;  // contents of the damaged file, one run each
    const std::string whole = originals.count(c.file) ? originals[c.file] : "";
    const std::string detail = c.detail;
    switch (c.damage) {
        case kCut:
            for (size_t at : CutPoints(whole, detail)) variants.push_back(whole.substr(0, at));
            break;
        case kEmpty: variants.push_back(""); break;
        case kBinary: {
            std::string bytes;
            for (int i = 0; i < 4096; ++i) bytes += static_cast<char>((i * 7919 + i / 256) % 256);
            for (char& b : bytes) if (b == '\n') b = 0;
            variants.push_back(bytes);
            break;
        }
        case kHugeLine: {
            const size_t first = whole.find('\n') + 1;
            variants.push_back(whole.substr(0, first) + std::string(5 << 20, '7') + "\n" + whole.substr(first));
            break;
        }
        case kEdit: {
            const size_t bar = detail.find('|'), at = whole.find(detail.substr(0, bar));
            ASSERT_NE(at, std::string::npos) << detail;
            variants.push_back(std::string(whole).replace(at, bar, detail.substr(bar + 1)));
            break;
        }
        default: variants.push_back(whole); break;
    }
    const bool cryslink = std::string(action.program) == CRYSLINK_EXE;
    std::vector<std::string> args;
    if (cryslink) args.push_back(std::string("--Action=") + action.name);
    args.insert(args.end(), action.args.begin(), action.args.end());

    for (const std::string& variant : variants) {
        SCOPED_TRACE(std::string(c.file) + " of " + std::to_string(variant.size()) + " bytes");
        char pattern[] = "/tmp/bad-input-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        const fs::path dir = pattern;
        std::map<std::string, std::string> inputs = originals;
        if (c.damage != kDirectory && c.damage != kWriteFails && c.damage != kOverOlder) inputs[c.file] = variant;
        if (c.damage == kMissing || c.damage == kDirectory) inputs.erase(c.file);
        for (const auto& [name, text] : inputs) {
            fs::create_directories((dir / name).parent_path());
            WriteFile(dir / name, text);
        }
        if (c.damage == kDirectory) fs::create_directories(dir / c.file / "x");
        long fileSizeLimit = 0;
        if (c.damage == kWriteFails && detail.empty()) fileSizeLimit = static_cast<long>(whole.size()) + 1;
        if (c.damage == kWriteFails && !detail.empty()) {
            if (std::isdigit(static_cast<unsigned char>(detail[0])))
                fileSizeLimit = std::stol(detail);
            else
                fs::create_symlink("/dev/full", dir / detail);
        }
        // An earlier run's output under the name (or moved elsewhere, and a link to it under the
        // name) counts among the files that must stay as they are.
        fs::path link, linkTarget;
        if (c.damage == kOverOlder) {
            const size_t bar = detail.find('|');
            fileSizeLimit = std::stol(detail.substr(0, bar));
            const Outcome earlier = RunIn(dir.string(), action.program, args, 0);
            ASSERT_TRUE(fs::is_regular_file(dir / c.file)) << "the earlier run wrote no " << c.file << "\n" << earlier.output;
            std::string older = c.file;
            if (bar != std::string::npos) {
                older = detail.substr(bar + 1);
                fs::create_directories((dir / older).parent_path());
                fs::rename(dir / c.file, dir / older);
                link = dir / c.file;
                linkTarget = fs::relative(dir / older, link.parent_path());
                fs::create_symlink(linkTarget, link);
            }
            inputs[older] = ReadFile(dir / older);
        }

        const Outcome run = RunIn(dir.string(), action.program, args, fileSizeLimit);
        EXPECT_FALSE(run.timedOut) << "no end within the time limit";
        EXPECT_EQ(run.signal, 0) << run.output;
        EXPECT_EQ(run.output.find("Sanitizer"), std::string::npos) << run.output;
        EXPECT_EQ(run.output.find("runtime error"), std::string::npos) << run.output;
        if (c.status == kStopsOrEnds) {
            EXPECT_TRUE(run.status == 1 || (run.status == 0 && run.output.ends_with("PROGRAM END\n ***************\n")))
                << run.output;
        } else {
            EXPECT_EQ(run.status, c.status) << run.output;
        }
        if (cryslink && c.status == 0 && action.finishes) {
            const size_t end = run.output.find_last_not_of('\n');
            EXPECT_TRUE(end != std::string::npos && run.output.substr(0, end + 1).ends_with("\nCryslink finished."))
                << run.output;
        }
        if (*c.expect) {
            EXPECT_NE(run.output.find(c.expect), std::string::npos) << "expected: " << c.expect << "\n" << run.output;
        }
        // A link to /dev/full under an output's name stays (latfit's row links its own temporary file).
        if (cryslink && c.damage == kWriteFails && !detail.empty() && !std::isdigit(static_cast<unsigned char>(detail[0]))) {
            link = dir / detail;
            linkTarget = "/dev/full";
        }
        if (!link.empty()) {
            EXPECT_TRUE(fs::is_symlink(link) && fs::read_symlink(link) == linkTarget) << link << " is no longer the link it was";
        }

        // The inputs are as they were; the rewritten one is untouched after a failure.
        const bool failed = (*c.expect && !c.rewrote) || c.damage == kWriteFails;
        for (const auto& [name, text] : inputs) {
            if (name == action.rewrites && !failed) {
                EXPECT_TRUE(fs::is_regular_file(dir / name) && (ReadFile(dir / name).empty() || ReadFile(dir / name).ends_with('\n'))) << name;
                continue;
            }
            EXPECT_EQ(ReadFile(dir / name), text) << name << " was changed";
        }
        for (const auto& entry : fs::recursive_directory_iterator(dir)) {
            const std::string name = entry.path().filename().string(), ext = entry.path().extension().string();
            const bool staged = name.find(".part") != std::string::npos || ext == ".tmp" ||
                                (*action.rewrites && !ext.starts_with(".prev") && name.starts_with(std::string(action.rewrites) + "."));
            EXPECT_FALSE(staged) << entry.path() << " is left behind";
            // A file that reached the size limit was cut short by it.
            if (fileSizeLimit > 0 && entry.is_regular_file() && !inputs.count(fs::relative(entry.path(), dir).string())) {
                EXPECT_NE(entry.file_size(), static_cast<uintmax_t>(fileSizeLimit)) << entry.path() << " is half-written";
            }
        }
        fs::remove_all(dir);
        ASSERT_TRUE(fs::is_character_file("/dev/full")) << "a failed write removed the device it wrote to";
    }
}

std::string CaseName(const testing::TestParamInfo<Case>& info) {
    static const char* const kDamage[] = {"Cut", "Empty", "Binary", "HugeLine", "Edit", "Missing", "Directory", "WriteFails", "OverOlder"};
    std::string name = std::string(info.param.action) + "_" + kDamage[info.param.damage] + "_" + info.param.file;
    for (char& ch : name) if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
    return name + "_" + std::to_string(info.index);
}

INSTANTIATE_TEST_SUITE_P(Cases, BadInput, testing::ValuesIn(kCases), CaseName);

}  // namespace
