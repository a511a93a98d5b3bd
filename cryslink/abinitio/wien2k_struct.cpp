#include "abinitio/wien2k_struct.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <vector>

#include "abinitio/converter_support.h"
#include "core/cif_writer.h"
#include "core/crystal.h"
#include "core/elements.h"
#include "core/paths.h"
#include "core/run_context.h"
#include "core/space_group_match.h"
#include "core/text_scanner.h"
#include "core/units.h"

namespace {

constexpr int kMaxAtomTypes = 100;
constexpr int kMaxSites = 10000;

// Line 2: lattice type, number of non-equivalent atoms, space-group number and symbol.
struct StructHeader {
    std::string lattice;
    std::string symbol = "P 1";
    int number = 0;
    int nAsymSites = 0;
};

// The fields stand in fixed columns: the lattice type in the first four, the
// atom count in columns 28-30 and the group number from column 31, which runs
// into the count in some files ("  2186_P63mc"). The symbol follows the last
// "_", or, in files without one, the group number after a blank.
StructHeader ReadHeader(std::string_view text) {
    StructHeader header;
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r')) text.remove_suffix(1);
    header.lattice = std::string(TrimView(text.substr(0, 4)));
    const size_t underscore = text.rfind('_');
    const std::string_view head = underscore == std::string_view::npos ? text : text.substr(0, underscore);
    if (head.size() > 28) header.nAsymSites = static_cast<int>(LeadingInteger(head.substr(28, 2)));
    if (head.size() > 27 && head[27] >= '0' && head[27] <= '9') header.nAsymSites += 100 * (head[27] - '0');
    if (head.size() > 30) header.number = static_cast<int>(LeadingInteger(head.substr(30)));
    std::string_view symbol;
    if (underscore != std::string_view::npos) {
        symbol = TrimView(text.substr(underscore + 1));
    } else if (head.size() > 30) {
        const std::vector<std::string_view> words = SplitWords(head.substr(30));
        if (words.size() > 1) symbol = TrimView(head.substr(static_cast<size_t>(words[1].data() - head.data())));
    }
    if (!symbol.empty()) header.symbol = std::string(symbol);
    return header;
}

// Centring translations the lattice type adds to the listed operations.
std::vector<std::array<double, 3>> CentringsOf(const std::string& lattice) {
    if (lattice == "F") return {{0, 0, 0}, {0, 0.5, 0.5}, {0.5, 0, 0.5}, {0.5, 0.5, 0}};
    if (lattice == "B") return {{0, 0, 0}, {0.5, 0.5, 0.5}};
    if (lattice == "CXY") return {{0, 0, 0}, {0.5, 0.5, 0}};
    if (lattice == "CXZ") return {{0, 0, 0}, {0.5, 0, 0.5}};
    if (lattice == "CYZ") return {{0, 0, 0}, {0, 0.5, 0.5}};
    return {{0, 0, 0}};
}

struct Operation {
    double rotation[3][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    double translation[3] = {0, 0, 0};

    bool SameAs(const Operation& other) const {
        for (int i = 0; i < 3; ++i) {
            const double d = translation[i] - other.translation[i];
            if (std::fabs(d - std::round(d)) > 1e-6) return false;
            for (int j = 0; j < 3; ++j)
                if (rotation[i][j] != other.rotation[i][j]) return false;
        }
        return true;
    }
};

// The number after `key` on the line ("X=", "MULT="); false when the key is absent.
bool ValueAfter(std::string_view line, std::string_view key, double& value) {
    const size_t at = line.find(key);
    if (at == std::string_view::npos) return false;
    value = LeadingNumber(line.substr(at + key.size()));
    return true;
}

// The name field of an atom, which ends where "NPT=" begins ("Bi1", "Ba0+", "O 1").
std::string_view NameField(std::string_view line) { return TrimView(line.substr(0, line.find("NPT="))); }

// The name line of a non-equivalent atom.
struct StructAtom {
    std::string name;  // the name field
    double atomicNumber = 0;
};

// The element of an atom: the one its name starts with, checked against the
// atomic number of its name line, which wins when they differ ("CA" with
// Z: 20 is Ca). Without a whole atomic number (a virtual atom) the name's
// element; without either, the name's first word.
std::string ElementOfAtom(const StructAtom& atom, const std::string& path) {
    const std::string named = ElementOfName(atom.name);
    const double z = atom.atomicNumber;
    const std::string_view numbered =
        z == std::floor(z) && z >= 1 && z <= 118 ? ElementSymbolOfNumber(static_cast<int>(z)) : std::string_view();
    if (numbered.empty()) return named.empty() ? FirstWord(atom.name) : named;
    if (!named.empty() && named != numbered)
        std::printf("Warning: atom [%s] of [%s] has Z: %lg; it is taken as %s.\n", atom.name.c_str(), path.c_str(), z,
                    std::string(numbered).c_str());
    return std::string(numbered);
}

// The site label: the atom's name without blanks ("O 1" gives O1), else its element.
std::string LabelOfAtom(const StructAtom& atom, const std::string& element) {
    std::string label;
    for (char c : atom.name)
        if (c != ' ' && c != '\t') label += c;
    return label.empty() ? element : label;
}

class StructReader {
public:
    StructReader(const std::string& path, CCrystal& crystal, const CSpaceGroupDatabase& spaceGroups)
        : path_(path), crystal_(crystal), spaceGroups_(spaceGroups) {}

    bool Read();

private:
    // One line naming the file and what is wrong with it.
    bool Fail(const std::string& what) {
        std::printf("Error in CWIEN::ReadCrystalStructure: [%s] %s.\n", path_.c_str(), what.c_str());
        return false;
    }
    bool EndsWithin(const char* part, int number) {
        return Fail("ends within " + std::string(part) + " " + std::to_string(number));
    }
    bool ReadAtoms(int nAtoms, std::string& countLine, bool& haveCountLine);
    void MakeLabelsUnique();
    bool ReadOperations(int nOperations, std::vector<Operation>& operations);
    std::vector<Operation> SetOperations(std::vector<Operation> listed, const std::string& lattice);
    void NameGroup(const std::vector<Operation>& written, const StructHeader& header);
    void WriteWholeCellInP1();
    void UseRhombohedralAxes();

    const std::string& path_;
    CCrystal& crystal_;
    CTextScanner in_;
    std::string line_;
    const CSpaceGroupDatabase& spaceGroups_;
    CSPGOperationTable records_;
    bool haveRecords_ = false;
};

bool StructReader::ReadAtoms(int nAtoms, std::string& countLine, bool& haveCountLine) {
    for (int i = 0; i < nAtoms; ++i) {
        if (!in_.ReadLine(line_)) return EndsWithin("atom", i + 1);
        double x = 0, y = 0, z = 0;
        if (!ValueAfter(line_, "X=", x) || !ValueAfter(line_, "Y=", y) || !ValueAfter(line_, "Z=", z)) {
            // Line 2 counted more atoms than the file lists: this line starts the symmetry section.
            std::printf("Warning: line %ld of [%s] is no atom position; the atom list ends after %d atoms.\n",
                        in_.LineNumber(), path_.c_str(), i);
            countLine = line_;
            haveCountLine = true;
            return true;
        }
        // MULT - 1 further positions of the atom precede its name line.
        if (!in_.ReadLine(line_)) return EndsWithin("atom", i + 1);
        double mult = 1;
        ValueAfter(line_, "MULT=", mult);
        if (mult > 1 && !in_.SkipLines(static_cast<int>(std::min(mult, 1e9)) - 1)) return EndsWithin("atom", i + 1);
        if (!in_.ReadLine(line_)) return EndsWithin("atom", i + 1);
        double atomicNumber = 0;
        if (!ValueAfter(line_, "Z:", atomicNumber)) {
            std::printf("Warning: line %ld of [%s] has no \"Z:\"; the atom list ends after %d atoms.\n",
                        in_.LineNumber(), path_.c_str(), i);
            return true;
        }
        const StructAtom atom{std::string(NameField(line_)), atomicNumber};
        if (!in_.SkipLines(3)) return EndsWithin("atom", i + 1);  // the local rotation matrix
        std::printf("%d: %s (%lg): (%lg,%lg,%lg)\n", i, FirstWord(atom.name).c_str(), atomicNumber, x, y, z);
        // One type per element, the file's name as the site label.
        const std::string element = ElementOfAtom(atom, path_);
        crystal_.AddAtomAsymSite(LabelOfAtom(atom, element), element, 1.0, x, y, z);
    }
    return true;
}

// A name the file gives several atoms ("Na" four times) is numbered.
void StructReader::MakeLabelsUnique() {
    std::vector<std::string> labels;
    for (int i = 0; i < crystal_.nAtomAsymSites; ++i) labels.push_back(crystal_.AtomAsymSites[i].Label);
    labels = UniqueLabels(labels);
    for (int i = 0; i < crystal_.nAtomAsymSites; ++i) crystal_.AtomAsymSites[i].Label = labels[static_cast<size_t>(i)];
}

// Three rows "r1 r2 r3 t" per operation, each operation followed by its index line.
bool StructReader::ReadOperations(int nOperations, std::vector<Operation>& operations) {
    for (int k = 0; k < nOperations; ++k) {
        Operation op;
        for (int i = 0; i < 3; ++i) {
            double v[4];
            if (!in_.ReadLine(line_)) return EndsWithin("symmetry operation", k + 1);
            if (ScanNumbers(line_, v, 4) < 4)
                return Fail("has no row of symmetry operation " + std::to_string(k + 1) + " on line " +
                            std::to_string(in_.LineNumber()));
            for (int j = 0; j < 3; ++j) op.rotation[i][j] = v[j];
            op.translation[i] = v[3];
        }
        operations.push_back(op);
        // The index line holds one number; a file without index lines goes on with a row.
        const long offset = in_.Tell(), lineNumber = in_.LineNumber();
        double index[2];  // room for a second number, which makes the line no index line
        if (in_.ReadLine(line_) && ScanNumbers(line_, index, 2) != 1) in_.Seek(offset, lineNumber);
    }
    return true;
}

// The listed operations, each also with every centring translation of the
// lattice; returns the operations set, all of them unless there were too many.
std::vector<Operation> StructReader::SetOperations(std::vector<Operation> listed, const std::string& lattice) {
    // The identity, which a reader adds to a list without it, is written too.
    const Operation identity;
    if (std::none_of(listed.begin(), listed.end(), [&](const Operation& o) { return o.SameAs(identity); }))
        listed.insert(listed.begin(), identity);
    std::vector<Operation> all;
    for (const auto& centring : CentringsOf(lattice)) {
        for (Operation op : listed) {
            for (int i = 0; i < 3; ++i) op.translation[i] = ReduceFractionalCoordinate(op.translation[i] + centring[i]);
            if (std::none_of(all.begin(), all.end(), [&](const Operation& o) { return o.SameAs(op); }))
                all.push_back(op);
        }
    }
    CSpaceGroup& sg = crystal_.SpaceGroup;
    sg.nSymmetry = 0;
    CMyMatrix rotation;
    rotation.Alloc(3, 3);
    CMyVector<double> translation;
    translation.Alloc(0, 2);
    for (const Operation& op : all) {
        if (sg.nSymmetry >= CSpaceGroup::kMaxOperations) {
            std::printf("Warning: [%s] gives more than %d symmetry operations; the rest are left out.\n", path_.c_str(),
                        CSpaceGroup::kMaxOperations);
            all.resize(CSpaceGroup::kMaxOperations);
            break;
        }
        for (int i = 0; i < 3; ++i) {
            translation[i] = op.translation[i];
            for (int j = 0; j < 3; ++j) rotation[i][j] = op.rotation[i][j];
        }
        sg.AddOperation(rotation, translation);
    }
    return all;
}

// Readers trust the group's name or its operations; the CIF must name the
// database record whose operations (any setting) are the set written: line
// 2's record when it has them, else the first that has. With none, the
// whole cell is written in P 1.
void StructReader::NameGroup(const std::vector<Operation>& written, const StructHeader& header) {
    OperationSet set(written.size());
    bool exact = true;
    for (size_t k = 0; k < written.size() && exact; ++k)
        exact = MakeOperationKey(written[k].rotation, written[k].translation, set[k]);
    if (!exact) set.clear();
    MakeOperationSet(set);
    const SPGOperationRecord* record = records_.Record(header.number, header.lattice == "R" ? 2 : 1);
    if (!record || record->Operations != set) record = records_.FindByOperations(set);
    CSpaceGroup& sg = crystal_.SpaceGroup;
    if (record) {
        sg.Name = record->Name;
        sg.Number = record->Number;
        sg.Setting = record->Setting;
        std::printf("Space group: %s (%d, setting %d), the database record with the operations of the file (%zu).\n",
                    sg.Name.c_str(), sg.Number, sg.Setting, set.size());
        return;
    }
    if (haveRecords_)
        std::printf("Space group: P 1, since no database record has the operations of the file (%zu); ",
                    written.size());
    else
        std::printf("Space group: P 1, since the space-group database could not be read; ");
    WriteWholeCellInP1();
    std::printf("the cell is written with its %d sites.\n", crystal_.nAtomAsymSites);
}

// Every site of the cell becomes a site of its own under the identity alone.
void StructReader::WriteWholeCellInP1() {
    struct Image {
        std::string type;
        double x, y, z;
    };
    std::vector<Image> images;
    std::vector<std::string> labels;
    for (int i = 0; i < crystal_.nAtomSites; ++i) {
        const CAtomSite& site = crystal_.AtomSites[i];
        images.push_back({site.GetElementName(), site.x, site.y, site.z});
        labels.push_back(site.Label);
    }
    labels = UniqueLabels(labels);
    crystal_.AllocAtomAsymSites(std::max(crystal_.nMaxAtomAsymSites, static_cast<int>(images.size())));
    crystal_.SpaceGroup.SetP1();
    crystal_.SpaceGroup.Name = "P 1";
    for (size_t i = 0; i < images.size(); ++i)
        crystal_.AddAtomAsymSite(labels[i], images[i].type, 1.0, images[i].x, images[i].y, images[i].z);
    crystal_.FillUnitCell();
}

// An R lattice is given by its hexagonal a and c, and its positions and
// operations by rhombohedral axes: the crystal takes the rhombohedral cell.
void StructReader::UseRhombohedralAxes() {
    const double a = crystal_.a, c = crystal_.c;
    const double length = std::sqrt(3 * a * a + c * c) / 3;
    const double angle = std::acos((2 * c * c - 3 * a * a) / (6 * a * a + 2 * c * c)) * 180.0 / units::kPi;
    crystal_.SetLatticeParameters(length, length, length, angle, angle, angle);
    std::printf("Rhombohedral axes: %lg A  %lg\n", length * units::kNmToAngstrom, angle);
}

bool StructReader::Read() {
    crystal_.SpaceGroup.SetP1();
    crystal_.AllocAtomTypes(kMaxAtomTypes);
    crystal_.AllocAtomAsymSites(kMaxSites);
    crystal_.AllocAtomSites(kMaxSites);
    if (!in_.Open(path_)) {
        std::printf("Error in CWIEN::ReadCrystalStructure: Can not read [%s].\n", path_.c_str());
        return false;
    }
    std::string title, line2, line3, cell;
    if (!in_.ReadLine(title) || !in_.ReadLine(line2) || !in_.ReadLine(line3) || !in_.ReadLine(cell))
        return Fail("ends before its lattice parameters");
    crystal_.ChemicalName = std::string(TrimView(title));
    std::printf("Crystal: %s\n", crystal_.ChemicalName.c_str());

    const StructHeader header = ReadHeader(line2);
    std::printf("SPGName: %s (%d)\n", header.symbol.c_str(), header.number);
    std::printf("nAsymSites: %d\n", header.nAsymSites);
    haveRecords_ = records_.Build(spaceGroups_);
    if (!haveRecords_) std::printf("Error in CSpaceGroup::ReadSPG: Can not read [%s].\n", spaceGroups_.Path().c_str());

    // Six fields of ten columns, which run together ("90.000000120.000000").
    // The lengths are in bohr whatever line 3 says: its unit keyword only
    // records what the structure generator showed its user.
    double p[6];
    for (int i = 0; i < 6; ++i) p[i] = FixedField(cell, static_cast<size_t>(10 * i), 10);
    for (int i = 0; i < 3; ++i) p[i] *= units::kBohr;
    std::printf("Lattice parameters: %lg %lg %lg A  %lg %lg %lg\n", p[0], p[1], p[2], p[3], p[4], p[5]);
    for (int i = 0; i < 6; ++i)
        if (!(p[i] > 0 && p[i] < (i < 3 ? 1e6 : 180))) return Fail("has no valid lattice parameters on line 4");
    crystal_.SetLatticeParameters(p[0] * units::kAngstromToNm, p[1] * units::kAngstromToNm, p[2] * units::kAngstromToNm,
                                  p[3], p[4], p[5]);
    if (header.lattice == "R") UseRhombohedralAxes();

    std::string countLine;
    bool haveCountLine = false;
    if (!ReadAtoms(header.nAsymSites, countLine, haveCountLine)) return false;
    MakeLabelsUnique();
    if (!haveCountLine && !in_.ReadLine(countLine)) return Fail("ends before its symmetry operations");
    double count = 0;
    if (ScanNumbers(countLine, &count, 1) != 1 || count < 0 || count != std::floor(count))
        return Fail("has no number of symmetry operations on line " + std::to_string(in_.LineNumber()));
    const int nOperations = static_cast<int>(std::min(count, 1e9));
    std::printf("nSymmetry: %d\n", nOperations);
    std::vector<Operation> operations;
    if (!ReadOperations(nOperations, operations)) return false;
    const std::vector<Operation> written = SetOperations(std::move(operations), header.lattice);
    crystal_.FillUnitCell();
    NameGroup(written, header);
    return true;
}

}  // namespace

int CWIEN::ReadCrystalStructure(const std::string& path, CCrystal& crystal, const CSpaceGroupDatabase& spaceGroups) {
    StructReader reader(path, crystal, spaceGroups);
    return reader.Read() ? 1 : -1;
}

int WIENMakeCIFFromStruct(const RunContext& context, const std::string& structPath) {
    CCrystal crystal;
    crystal.AtomDatabase = &context.atoms;
    std::printf("Struct file: %s\n", structPath.c_str());
    if (CWIEN::ReadCrystalStructure(structPath, crystal, context.spaceGroups) < 0) return -1;
    return WriteCIFBesideInput(crystal, structPath);
}
