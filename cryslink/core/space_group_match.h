#pragma once
// Which record of the space-group database holds exactly a given set of
// symmetry operations: the group, setting included, that a structure file
// listing its operations describes. Sets are compared as sets: the order of
// the operations does not count, nor whole cell translations.
#include <array>
#include <string>
#include <vector>

// One operation as exact numbers: the nine integers of the rotation, row by
// row, then the translation in 24ths of each cell edge, reduced into [0, 24).
using OperationKey = std::array<int, 12>;
// Operation keys sorted and without repeats.
using OperationSet = std::vector<OperationKey>;

// The key of an operation; false when the rotation is not integral or a
// translation is no multiple of 1/24 (to 1e-4 of an edge): no space-group
// setting of the database has such an operation.
bool MakeOperationKey(const double rotation[3][3], const double translation[3], OperationKey& key);
// Sorts the keys and removes repeats.
void MakeOperationSet(OperationSet& keys);

struct SPGOperationRecord {
    int Number = 0;
    int Setting = 0;
    std::string Name;  // the record's own symbol, e.g. "Fd-3m:2"
    OperationSet Operations;  // identity and centring copies included
};

class CSpaceGroupDatabase;

// Every record of the database with its operations as numbers.
class CSPGOperationTable {
public:
    // Turns the records of the database into numbers; false when the database
    // holds none (the table is then empty).
    bool Build(const CSpaceGroupDatabase& database);
    // The record (number, setting); nullptr when the database has none.
    const SPGOperationRecord* Record(int number, int setting) const;
    // The first record, in database order, whose operations are exactly `set`; nullptr when none.
    const SPGOperationRecord* FindByOperations(const OperationSet& set) const;

private:
    std::vector<SPGOperationRecord> records_;
};
