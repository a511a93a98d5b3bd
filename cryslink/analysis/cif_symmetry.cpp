#include "analysis/cif_symmetry.h"

#include <cmath>
#include <cstdio>
#include <vector>

#include "core/cif_tags.h"
#include "core/crystal.h"
#include "core/space_group_lookup.h"
#include "core/symmetry_operation.h"

namespace {

struct Operation {
    double rot[3][3] = {};
    double trans[3] = {};
};

bool Parse(const std::string& text, Operation& op) { return ParseSymmetryOperation(text, op.rot, op.trans); }

bool IsIdentity(const Operation& op) {
    for (int i = 0; i < 3; ++i) {
        if (std::fabs(op.trans[i] - std::round(op.trans[i])) > 1e-9) return false;
        for (int j = 0; j < 3; ++j)
            if (op.rot[i][j] != (i == j ? 1.0 : 0.0)) return false;
    }
    return true;
}

bool IsIdentity(const std::string& text) {
    Operation op;
    return Parse(text, op) && IsIdentity(op);
}

bool SameRotation(const Operation& a, const Operation& b) {
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            if (std::fabs(a.rot[i][j] - b.rot[i][j]) > 1e-9) return false;
    return true;
}

// Two operations that move every position alike: one rotation, translations
// that differ by whole cells.
bool Same(const Operation& a, const Operation& b) {
    for (int i = 0; i < 3; ++i) {
        const double d = a.trans[i] - b.trans[i];
        if (std::fabs(d - std::round(d)) > 1e-6) return false;
    }
    return SameRotation(a, b);
}

bool Contains(const std::vector<Operation>& list, const Operation& op) {
    for (const Operation& o : list)
        if (Same(o, op)) return true;
    return false;
}

// `second` applied after `first`.
Operation Product(const Operation& second, const Operation& first) {
    Operation p;
    for (int i = 0; i < 3; ++i) {
        p.trans[i] = second.trans[i];
        for (int j = 0; j < 3; ++j) {
            p.trans[i] += second.rot[i][j] * first.trans[j];
            for (int k = 0; k < 3; ++k) p.rot[i][j] += second.rot[i][k] * first.rot[k][j];
        }
    }
    return p;
}

void AddNumbers(CSpaceGroup& sg, const Operation& op) {
    CMyMatrix rotation;
    CMyVector<double> translation;
    rotation.Alloc(3, 3);
    translation.Alloc(0, 2);
    for (int i = 0; i < 3; ++i) {
        translation[i] = op.trans[i];
        for (int j = 0; j < 3; ++j) rotation[i][j] = op.rot[i][j];
    }
    sg.AddOperation(rotation, translation);
}

// The identity stays operation 0, so the cell starts with the asymmetric
// sites; it takes the file's text, wherever the list has it, and is applied
// also when the list leaves it out.
void TakeFileOperations(CSpaceGroup& sg, const CCIFTags& tags) {
    bool identitySeen = false;
    for (const std::string& text : tags.SymmetryText) {
        if (!identitySeen && IsIdentity(text)) {
            sg.OperationText[0] = text;
            identitySeen = true;
        } else {
            sg.AddOperationText(text);
        }
    }
}

// A magnetic group lists its operations and its centrings apart: the group
// on positions is every operation followed by every centring, each distinct
// product once. A text that cannot be read is reported and not applied.
void TakeMagneticOperations(CSpaceGroup& sg, const CCIFTags& tags) {
    auto parseAll = [&sg](const std::vector<std::string>& texts) {
        std::vector<Operation> ops;
        for (const std::string& text : texts) {
            Operation op;
            if (Parse(text, op))
                ops.push_back(op);
            else
                sg.AddOperationText(text);
        }
        return ops;
    };
    const std::vector<Operation> operations = parseAll(tags.SymmetryText), centrings = parseAll(tags.CenteringText);
    std::vector<Operation> group;
    for (const Operation& op : operations)
        for (const Operation& centring : centrings) {
            const Operation product = Product(centring, op);
            if (IsIdentity(product) || Contains(group, product)) continue;  // the identity is operation 0
            if (sg.nSymmetry >= CSpaceGroup::kMaxOperations) {
                std::printf("Error in CSpaceGroup: more than %d symmetry operations; the rest of [%s] is left out.\n",
                            CSpaceGroup::kMaxOperations, tags.FileName.c_str());
                return;
            }
            group.push_back(product);
            AddNumbers(sg, product);
        }
}

// The centring translations of a lattice letter, the null one first.
std::vector<Operation> Centrings(char lattice) {
    std::vector<std::vector<double>> vectors = {{0, 0, 0}};
    const double h = 0.5, t = 1.0 / 3, tt = 2.0 / 3;
    switch (lattice) {
        case 'A': vectors.push_back({0, h, h}); break;
        case 'B': vectors.push_back({h, 0, h}); break;
        case 'C': vectors.push_back({h, h, 0}); break;
        case 'I': vectors.push_back({h, h, h}); break;
        case 'F': vectors.insert(vectors.end(), {{0, h, h}, {h, 0, h}, {h, h, 0}}); break;
        case 'R': vectors.insert(vectors.end(), {{tt, t, t}, {t, tt, tt}}); break;
        default: break;
    }
    std::vector<Operation> ops(vectors.size());
    for (size_t k = 0; k < vectors.size(); ++k)
        for (int i = 0; i < 3; ++i) {
            ops[k].rot[i][i] = 1.0;
            ops[k].trans[i] = vectors[k][i];
        }
    return ops;
}

// A symbol the database has only with another lattice letter ("A -1" is -1
// with the translation (0, 1/2, 1/2)): the operations of the record with its
// point-group part, one per rotation, with the centring translations of the
// symbol's letter, when together they form a group.
bool TakeOperationsWithOtherCentring(CCrystal& crystal, const CCIFTags& tags, const CSpaceGroupDatabase& database) {
    SpaceGroupRecord record;
    char lattice = 'P';
    if (!FindRecordWithOtherCentring(tags.SpaceGroupNameHall, tags.SpaceGroupName, database, record, lattice))
        return false;
    CSpaceGroup source;
    source.ReadSPG(record.Number, record.Setting, database);
    std::vector<Operation> rotations;
    for (int o = 0; o < source.nSymmetry; ++o) {
        if (!source.HasNumbers(o)) continue;
        Operation op;
        for (int i = 0; i < 3; ++i) {
            op.trans[i] = source.Translation[o][i];
            for (int j = 0; j < 3; ++j) op.rot[i][j] = source.Rotation[o][i][j];
        }
        bool seen = false;
        for (const Operation& r : rotations) seen = seen || SameRotation(r, op);
        if (!seen) rotations.push_back(op);  // the record's own centring copies left out
    }
    const std::vector<Operation> centrings = Centrings(lattice);
    std::vector<Operation> group;
    for (const Operation& centring : centrings)
        for (const Operation& op : rotations) group.push_back(Product(centring, op));
    for (const Operation& a : group)
        for (const Operation& b : group)
            if (!Contains(group, Product(a, b))) return false;

    // Centring copies listed as operations, as the database records list
    // them, so a CIF written of the crystal keeps them.
    CSpaceGroup& sg = crystal.SpaceGroup;
    sg.SetP1();
    for (const Operation& op : group)
        if (!IsIdentity(op)) AddNumbers(sg, op);
    sg.Name = tags.SpaceGroupName;
    sg.Number = tags.SpaceGroupNumber;
    sg.Setting = 1;
    std::printf("Space group [%s] of [%s]: the operations of [%s] of the space-group database with the centring "
                "translations of %c.\n",
                tags.SpaceGroupName.c_str(), tags.FileName.c_str(), record.Name.c_str(), lattice);
    return true;
}

// Operations for a file that names its space group but lists no operations:
// from the record of the space-group database that its Hall symbol, its
// Hermann-Mauguin symbol or its number names. False when there is none.
bool TakeOperationsFromDatabase(CCrystal& crystal, const CCIFTags& tags, const CSpaceGroupDatabase& database,
                                SpaceGroupRecord& record) {
    const bool rhombohedral = IsRhombohedralCell(tags.a, tags.b, tags.c, tags.alpha, tags.beta, tags.gamma);
    if (!FindSpaceGroupRecord(tags.SpaceGroupNameHall, tags.SpaceGroupName, tags.SpaceGroupNumber, rhombohedral,
                              database, tags.FileName, record)) {
        const std::string& symbol = tags.SpaceGroupName != "Undefined" ? tags.SpaceGroupName : tags.SpaceGroupNameHall;
        if (!symbol.empty() && symbol != "Undefined" && symbol != "?")
            std::printf("Warning: space group [%s] of [%s] is not in the space-group database; its sites are not "
                        "expanded.\n",
                        symbol.c_str(), tags.FileName.c_str());
        return false;
    }
    crystal.SpaceGroup.ReadSPG(record.Number, record.Setting, database);
    std::printf("Space group: number %d, setting %d [%s] of the space-group database.\n", record.Number,
                record.Setting, record.Name.c_str());
    return true;
}

}  // namespace

void SetSpaceGroupFromCIF(CCrystal& crystal, const CCIFTags& tags, const CSpaceGroupDatabase& database) {
    CSpaceGroup& sg = crystal.SpaceGroup;
    if (tags.nSymmetry > 0) {
        if (tags.CenteringText.empty())
            TakeFileOperations(sg, tags);
        else
            TakeMagneticOperations(sg, tags);
        sg.Name = tags.SpaceGroupName;
        sg.Number = tags.SpaceGroupNumber;
        sg.Setting = 1;
    } else if (!TakeOperationsWithOtherCentring(crystal, tags, database)) {
        // The group is the database record, named as the file names it.
        SpaceGroupRecord record;
        const bool found = TakeOperationsFromDatabase(crystal, tags, database, record);
        sg.Name = tags.SpaceGroupName != "Undefined" || !found ? tags.SpaceGroupName : record.Name;
        sg.Number = found ? record.Number : tags.SpaceGroupNumber;
        sg.Setting = found ? record.Setting : 1;
    }
}
