#pragma once
// Tokenising a CIF file into the items and loops of its data blocks.
// Loop values are views into the text of the file, which the block keeps.
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "core/large_allocator.h"

// One row of a loop: one value per tag.
class CifRow {
public:
    CifRow(const std::string_view* values, size_t n) : values_(values), n_(n) {}
    std::string_view operator[](size_t i) const { return values_[i]; }
    size_t size() const { return n_; }

private:
    const std::string_view* values_;
    size_t n_;
};

// The rows of a loop, over its values stored row after row.
class CifRows {
public:
    class iterator {
    public:
        iterator(const std::string_view* p, size_t n) : p_(p), n_(n) {}
        CifRow operator*() const { return CifRow(p_, n_); }
        iterator& operator++() {
            p_ += n_;
            return *this;
        }
        bool operator!=(const iterator& other) const { return p_ != other.p_; }

    private:
        const std::string_view* p_;
        size_t n_;
    };

    CifRows() = default;
    CifRows(const std::string_view* values, size_t width, size_t count)
        : values_(values), width_(width), count_(count) {}
    size_t size() const { return count_; }
    bool empty() const { return count_ == 0; }
    CifRow operator[](size_t i) const { return CifRow(values_ + i * width_, width_); }
    iterator begin() const { return iterator(values_, width_); }
    iterator end() const { return iterator(values_ + count_ * width_, width_); }

private:
    const std::string_view* values_ = nullptr;
    size_t width_ = 0, count_ = 0;
};

// The text of a CIF file, held in one buffer of the large-table allocator.
using CifText = std::basic_string<char, std::char_traits<char>, LargeAllocator<char>>;

struct CifLoop {
    std::vector<std::string> tags;        // as looked up: lower case, "_a.b" as "_a_b"
    LargeVector<std::string_view> values;  // row after row; "?" for a value a row leaves out
    CifRows rows;                          // over `values`

    CifLoop() = default;
    CifLoop(const CifLoop& other) : tags(other.tags), values(other.values) { Bind(other.rows.size()); }
    CifLoop(CifLoop&&) noexcept = default;  // a moved vector keeps its storage, so `rows` stays right
    CifLoop& operator=(const CifLoop& other) {
        tags = other.tags;
        values = other.values;
        Bind(other.rows.size());
        return *this;
    }
    CifLoop& operator=(CifLoop&&) noexcept = default;
    void Bind(size_t nRows) { rows = CifRows(values.data(), tags.size(), nRows); }

    // Column of `tag` (any letter case), -1 when the loop has none.
    int Column(const std::string& tag) const;
};

struct CifBlock {
    std::string name;  // text after "data_"
    std::unordered_map<std::string, std::string> items;  // tag as looked up -> value; first occurrence kept
    std::vector<CifLoop> loops;
    std::shared_ptr<const CifText> text;  // the file's text, which the loop values view
    bool empty() const { return items.empty() && loops.empty(); }

    // The value of the single item `tag` (any letter case), or nullptr.
    const std::string* FindItem(const std::string& tag) const;
    // The loop holding `tag` (any letter case), or nullptr.
    const CifLoop* FindLoop(const std::string& tag) const;
};

// Reads the data blocks of a CIF text one after the other: quoted values with
// blanks, semicolon text fields (their first non-empty line is the value),
// comments, values on the line after their tag, loop rows over several lines
// or short of their last columns; in a CIF 2.0 text also lists, tables and
// strings in triple quotes, each one value. Names are found in any letter
// case, and "_cell.length_a" is the item "_cell_length_a".
class CifReader {
public:
    explicit CifReader(CifText&& text);
    ~CifReader();
    // The next data block; the first also holds what stands before any
    // "data_". False, with an empty block, after the last.
    bool Next(CifBlock& block);

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// The first data block of CIF text.
CifBlock ParseCif(CifText&& text);
// The same on a copy of `text`.
CifBlock ParseCifCopy(std::string_view text);
