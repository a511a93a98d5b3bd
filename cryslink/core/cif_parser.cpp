#include "core/cif_parser.h"

#include <algorithm>
#include <cctype>
#include <strings.h>

#include "core/text_lines.h"

namespace {

struct Token {
    std::string text;
    bool quoted = false;  // a quoted string or text field: never a tag or keyword
    size_t line = 0;      // line the token starts on
};

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

bool StartsWithNoCase(const std::string& text, const char* prefix) {
    const size_t n = std::char_traits<char>::length(prefix);
    return text.size() >= n && strncasecmp(text.c_str(), prefix, n) == 0;
}

class Tokenizer {
public:
    explicit Tokenizer(const std::string& text) : text_(text) {}

    bool Next(Token& token) {
        while (pos_ < text_.size()) {
            const char c = text_[pos_];
            if (c == '\n') {
                lineStart_ = true;
                ++line_;
                ++pos_;
            } else if (IsBlank(c)) {
                lineStart_ = false;
                ++pos_;
            } else if (c == '#') {
                SkipToLineEnd();
            } else if (c == ';' && lineStart_) {
                return TextField(token);
            } else {
                lineStart_ = false;
                return (c == '\'' || c == '"') ? Quoted(token) : Bare(token);
            }
        }
        return false;
    }

private:
    void SkipToLineEnd() {
        while (pos_ < text_.size() && text_[pos_] != '\n') ++pos_;
    }

    bool Bare(Token& token) {
        const size_t start = pos_;
        while (pos_ < text_.size() && !IsBlank(text_[pos_])) ++pos_;
        token = {text_.substr(start, pos_ - start), false, line_};
        return true;
    }

    // A quote ends the value only when a blank or the line end follows it.
    bool Quoted(Token& token) {
        const char quote = text_[pos_];
        const size_t start = ++pos_;
        while (pos_ < text_.size() && text_[pos_] != '\n') {
            if (text_[pos_] == quote && (pos_ + 1 >= text_.size() || IsBlank(text_[pos_ + 1]))) {
                token = {text_.substr(start, pos_ - start), true, line_};
                ++pos_;
                return true;
            }
            ++pos_;
        }
        // No closing quote on the line: the rest of the line is the value.
        token = {TrimLine(text_.substr(start, pos_ - start)), true, line_};
        return true;
    }

    // A field from a line starting with ";" to the next line starting with ";".
    bool TextField(Token& token) {
        const size_t startLine = line_;
        ++pos_;
        std::string first;
        for (bool opening = true; pos_ < text_.size(); opening = false) {
            size_t end = text_.find('\n', pos_);
            if (end == std::string::npos) end = text_.size();
            const std::string line = text_.substr(pos_, end - pos_);
            if (!opening && !line.empty() && line[0] == ';') {
                pos_ = end;
                break;
            }
            if (first.empty()) first = TrimLine(line);
            if (end < text_.size()) ++line_;
            pos_ = end < text_.size() ? end + 1 : end;
        }
        lineStart_ = false;
        token = {first, true, startLine};
        return true;
    }

    const std::string& text_;
    size_t pos_ = 0;
    size_t line_ = 0;
    bool lineStart_ = true;
};

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

bool IsTag(const Token& t) { return !t.quoted && !t.text.empty() && t.text[0] == '_'; }
bool IsKeyword(const Token& t, const char* word) { return !t.quoted && StartsWithNoCase(t.text, word); }
bool IsReserved(const Token& t) {
    return IsKeyword(t, "data_") || IsKeyword(t, "loop_") || IsKeyword(t, "save_") || IsKeyword(t, "global_") ||
           IsKeyword(t, "stop_");
}

// Where the rows of a loop begin when each row is taken from the line it
// starts on: a line with fewer values than a row is a row of its own when the
// next line would overfill it (files that end a site line after the
// occupancy); otherwise rows run over lines or share a line as in CIF.
std::vector<size_t> RowStartsByLines(const std::vector<Token>& values, size_t n) {
    std::vector<size_t> starts;
    for (size_t i = 0; i < values.size();) {
        starts.push_back(i);
        size_t firstLineEnd = i;
        while (firstLineEnd < values.size() && values[firstLineEnd].line == values[i].line) ++firstLineEnd;
        size_t end = firstLineEnd;
        while (end < values.size() && end - i < n) {
            const size_t line = values[end].line;
            while (end < values.size() && values[end].line == line) ++end;
        }
        i = end - i <= n ? end : (firstLineEnd - i < n ? firstLineEnd : i + n);
    }
    return starts;
}

bool AllAtLineStarts(const std::vector<Token>& values, const std::vector<size_t>& starts) {
    return std::all_of(starts.begin(), starts.end(),
                       [&values](size_t i) { return i == 0 || values[i - 1].line != values[i].line; });
}

// Splits the values of a loop into rows of one value per tag, in CIF's way
// (every row takes the next n values), unless that puts rows in mid-line while
// reading by lines keeps every row at the start of a line: then the file has
// rows short of their last columns. Missing values are "?".
void SplitRows(const std::vector<Token>& values, CifLoop& loop) {
    const size_t n = loop.tags.size();
    std::vector<size_t> starts;
    for (size_t i = 0; i < values.size(); i += n) starts.push_back(i);
    if (!AllAtLineStarts(values, starts)) {
        std::vector<size_t> byLines = RowStartsByLines(values, n);
        if (AllAtLineStarts(values, byLines)) starts = std::move(byLines);
    }
    for (size_t k = 0; k < starts.size(); ++k) {
        const size_t end = k + 1 < starts.size() ? starts[k + 1] : values.size();
        std::vector<std::string> row;
        row.reserve(n);
        for (size_t i = starts[k]; i < end; ++i) row.push_back(values[i].text);
        row.resize(n, "?");
        loop.rows.push_back(std::move(row));
    }
}

}  // namespace

int CifLoop::Column(const std::string& tag) const {
    const std::string key = Lower(tag);
    for (size_t i = 0; i < tags.size(); ++i)
        if (tags[i] == key) return static_cast<int>(i);
    return -1;
}

const std::string* CifBlock::FindItem(const std::string& tag) const {
    auto it = items.find(Lower(tag));
    return it == items.end() ? nullptr : &it->second;
}

const CifLoop* CifBlock::FindLoop(const std::string& tag) const {
    for (const CifLoop& loop : loops)
        if (loop.Column(tag) >= 0) return &loop;
    return nullptr;
}

CifBlock ParseCif(const std::string& text) {
    CifBlock block;
    Tokenizer tokenizer(text);
    Token token;
    bool haveToken = tokenizer.Next(token);
    bool inBlock = false;
    while (haveToken) {
        if (IsKeyword(token, "data_")) {
            if (inBlock) break;  // only the first data block is read
            inBlock = true;
            block.name = token.text.substr(5);
            haveToken = tokenizer.Next(token);
        } else if (IsKeyword(token, "loop_")) {
            CifLoop loop;
            haveToken = tokenizer.Next(token);
            while (haveToken && IsTag(token)) {
                loop.tags.push_back(Lower(token.text));
                haveToken = tokenizer.Next(token);
            }
            std::vector<Token> values;
            while (haveToken && !IsTag(token) && !IsReserved(token)) {
                values.push_back(std::move(token));
                haveToken = tokenizer.Next(token);
            }
            if (!loop.tags.empty()) {
                SplitRows(values, loop);
                block.loops.push_back(std::move(loop));
            }
        } else if (IsTag(token)) {
            const std::string tag = Lower(token.text);
            haveToken = tokenizer.Next(token);
            std::string value;
            if (haveToken && !IsTag(token) && !IsReserved(token)) {
                value = token.text;
                haveToken = tokenizer.Next(token);
            }
            block.items.emplace(tag, value);
        } else {
            haveToken = tokenizer.Next(token);  // a stray value or save frame keyword: passed over
        }
    }
    return block;
}
