#pragma once
// Tokenising a CIF file into the items and loops of its first data block.
#include <string>
#include <unordered_map>
#include <vector>

struct CifLoop {
    std::vector<std::string> tags;               // lower case
    std::vector<std::vector<std::string>> rows;  // one value per tag; "?" for a value a row leaves out

    // Column of `tag` (any letter case), -1 when the loop has none.
    int Column(const std::string& tag) const;
};

struct CifBlock {
    std::string name;  // text after "data_"
    std::unordered_map<std::string, std::string> items;  // lower-case tag -> value; first occurrence kept
    std::vector<CifLoop> loops;
    bool empty() const { return items.empty() && loops.empty(); }

    // The value of the single item `tag` (any letter case), or nullptr.
    const std::string* FindItem(const std::string& tag) const;
    // The loop holding `tag` (any letter case), or nullptr.
    const CifLoop* FindLoop(const std::string& tag) const;
};

// Parses CIF text: quoted values with blanks, semicolon text fields (their
// first non-empty line is the value), comments, values on the line after
// their tag, loop rows over several lines or short of their last columns.
// Only the first data block is read.
CifBlock ParseCif(const std::string& text);
