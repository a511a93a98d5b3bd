#pragma once
// The space-group database ("spgra"), read once per run into a table that
// every lookup consults: records by number and setting, with their symbols
// and operation texts.
#include <string>
#include <vector>

// The header, symbol line and operations of one database record.
struct SPGRecordInfo {
    int Number = 0;
    int Setting = 0;
    std::string Name;        // the record's own symbol, e.g. "P21/n", "Fd-3m:2"
    std::string HallSymbol;  // e.g. "-P 2yn"
    std::string FullSymbol;  // full Hermann-Mauguin symbol, e.g. "P 1 2_1/n 1"
    std::vector<std::string> OperationTexts;  // the record's operations but the identity, trimmed
};

class CSpaceGroupDatabase {
public:
    // Reads every record of the file, in file order; the table ends at the
    // first line that is no record header. False when the file cannot be read
    // or holds no record (the table is then empty).
    bool Read(const std::string& path);
    bool IsLoaded() const { return !records_.empty(); }
    // The file read (or tried), for messages.
    const std::string& Path() const { return path_; }
    const std::vector<SPGRecordInfo>& Records() const { return records_; }
    // The record (number, setting); nullptr when the table has none.
    const SPGRecordInfo* Find(int number, int setting) const;

private:
    std::string path_;
    std::vector<SPGRecordInfo> records_;
};
