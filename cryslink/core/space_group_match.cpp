#include "core/space_group_match.h"

#include <algorithm>
#include <cmath>

#include "core/space_group_database.h"
#include "core/symmetry_operation.h"

namespace {

constexpr int kGrid = 24;  // translations of every setting are multiples of 1/24

bool NearInteger(double value, double tolerance, int& rounded) {
    const double r = std::round(value);
    if (!(std::fabs(value - r) <= tolerance) || std::fabs(r) > 1e6) return false;
    rounded = static_cast<int>(r);
    return true;
}

}  // namespace

bool MakeOperationKey(const double rotation[3][3], const double translation[3], OperationKey& key) {
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j)
            if (!NearInteger(rotation[i][j], 1e-6, key[static_cast<size_t>(3 * i + j)])) return false;
        int t = 0;
        if (!NearInteger(translation[i] * kGrid, 1e-4 * kGrid, t)) return false;
        key[static_cast<size_t>(9 + i)] = ((t % kGrid) + kGrid) % kGrid;
    }
    return true;
}

void MakeOperationSet(OperationSet& keys) {
    std::sort(keys.begin(), keys.end());
    keys.erase(std::unique(keys.begin(), keys.end()), keys.end());
}

bool CSPGOperationTable::Build(const CSpaceGroupDatabase& database) {
    records_.clear();
    const double identity[3][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}, zero[3] = {0, 0, 0};
    for (const SPGRecordInfo& info : database.Records()) {
        SPGOperationRecord record{info.Number, info.Setting, info.Name, {}};
        record.Operations.resize(1 + info.OperationTexts.size());
        bool exact = MakeOperationKey(identity, zero, record.Operations[0]);
        for (size_t k = 0; k < info.OperationTexts.size() && exact; ++k) {
            double rotation[3][3], translation[3];
            exact = ParseSymmetryOperation(info.OperationTexts[k], rotation, translation) &&
                    MakeOperationKey(rotation, translation, record.Operations[k + 1]);
        }
        if (!exact) record.Operations.clear();  // a damaged record matches nothing
        MakeOperationSet(record.Operations);
        records_.push_back(std::move(record));
    }
    return database.IsLoaded();
}

const SPGOperationRecord* CSPGOperationTable::Record(int number, int setting) const {
    for (const SPGOperationRecord& record : records_)
        if (record.Number == number && record.Setting == setting) return &record;
    return nullptr;
}

const SPGOperationRecord* CSPGOperationTable::FindByOperations(const OperationSet& set) const {
    if (set.empty()) return nullptr;
    for (const SPGOperationRecord& record : records_)
        if (record.Operations == set) return &record;
    return nullptr;
}
