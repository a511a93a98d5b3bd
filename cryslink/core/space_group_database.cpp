#include "core/space_group_database.h"

#include <fstream>
#include <sstream>

#include "core/text_lines.h"

namespace {

struct SPGHeader {
    int number = 0, setting = 0, count = 0;
    std::string name;
};

// The header of a record: five integers, a blank and the symbol (the rest of the line).
bool ParseHeader(const std::string& line, SPGHeader& header) {
    std::istringstream in(line);
    int unused1 = 0, unused2 = 0;
    if (!(in >> header.number >> header.setting >> unused1 >> unused2 >> header.count)) return false;
    std::string rest;
    std::getline(in, rest);
    header.name = TrimView(rest);
    return !header.name.empty();
}

}  // namespace

bool CSpaceGroupDatabase::Read(const std::string& path) {
    path_ = path;
    records_.clear();
    std::ifstream in(path, std::ios::binary);
    std::string line;
    SPGHeader header;
    while (std::getline(in, line) && ParseHeader(line, header)) {
        SPGRecordInfo record;
        record.Number = header.number;
        record.Setting = header.setting;
        record.Name = header.name;
        // "Hall symbol ; full symbol"
        if (!std::getline(in, line)) break;
        const size_t semicolon = line.find(';');
        record.HallSymbol = TrimView(std::string_view(line).substr(0, semicolon));
        if (semicolon != std::string::npos) record.FullSymbol = TrimView(std::string_view(line).substr(semicolon + 1));
        for (int i = 0; i < header.count && std::getline(in, line); ++i) record.OperationTexts.emplace_back(TrimView(line));
        records_.push_back(std::move(record));
    }
    return IsLoaded();
}

const SPGRecordInfo* CSpaceGroupDatabase::Find(int number, int setting) const {
    for (const SPGRecordInfo& record : records_)
        if (record.Number == number && record.Setting == setting) return &record;
    return nullptr;
}
