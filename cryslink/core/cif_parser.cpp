#include "core/cif_parser.h"

#include <algorithm>
#include <cstring>

#include "core/text_lines.h"

namespace {

struct Token {
    std::string_view text;
    bool quoted = false;  // a quoted string or text field: never a tag or keyword
    size_t line = 0;      // line the token starts on
};

// Tokens are views into the text. A CIF 2.0 text may also hold lists "[...]",
// tables "{...}" and strings in triple quotes, which may run over lines.
class Tokenizer {
public:
    Tokenizer(std::string_view text, bool cif2) : text_(text), cif2_(cif2) {}

    size_t Position() const { return pos_; }

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
            } else if (cif2_ && (c == '[' || c == '{' || TripleQuoteAt(pos_))) {
                lineStart_ = false;
                return Compound(token);
            } else {
                lineStart_ = false;
                return (c == '\'' || c == '"') ? Quoted(token) : Bare(token);
            }
        }
        return false;
    }

private:
    void SkipToLineEnd() {
        const size_t end = text_.find('\n', pos_);
        pos_ = end == std::string_view::npos ? text_.size() : end;
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
        token = {TrimView(text_.substr(start, pos_ - start)), true, line_};
        return true;
    }

    bool TripleQuoteAt(size_t pos) const {
        const char c = text_[pos];
        return (c == '\'' || c == '"') && text_.compare(pos, 3, std::string(3, c)) == 0;
    }

    // Where the string in quotes at `pos` ends (after its closing quotes): a
    // triple-quoted one may run over lines, one in single quotes ends with its line.
    size_t QuotedEnd(size_t pos) const {
        if (TripleQuoteAt(pos)) {
            const size_t close = text_.find(text_.substr(pos, 3), pos + 3);
            return close == std::string_view::npos ? text_.size() : close + 3;
        }
        const size_t close = text_.find_first_of(std::string{text_[pos], '\n'}, pos + 1);
        if (close == std::string_view::npos) return text_.size();
        return text_[close] == '\n' ? close : close + 1;
    }

    // A list or table with whatever it nests, as one value, or a string in
    // triple quotes (the value is what they enclose). Unclosed, it runs to the
    // end of the text.
    bool Compound(Token& token) {
        const size_t startLine = line_, start = pos_;
        if (TripleQuoteAt(pos_)) {
            pos_ = QuotedEnd(pos_);
            const bool closed = pos_ - start >= 6 && text_.compare(pos_ - 3, 3, text_.substr(start, 3)) == 0;
            token = {text_.substr(start + 3, pos_ - start - (closed ? 6 : 3)), true, startLine};
        } else {
            for (int depth = 0; pos_ < text_.size();) {
                const char c = text_[pos_];
                if (c == '\'' || c == '"') {
                    pos_ = QuotedEnd(pos_);
                    continue;
                }
                ++pos_;
                if (c == '[' || c == '{') ++depth;
                if ((c == ']' || c == '}') && --depth == 0) break;
            }
            token = {text_.substr(start, pos_ - start), true, startLine};
        }
        line_ += static_cast<size_t>(std::count(text_.begin() + start, text_.begin() + pos_, '\n'));
        return true;
    }

    // A field from a line starting with ";" to the next line starting with ";".
    bool TextField(Token& token) {
        const size_t startLine = line_;
        ++pos_;
        std::string_view first;
        for (bool opening = true; pos_ < text_.size(); opening = false) {
            size_t end = text_.find('\n', pos_);
            if (end == std::string_view::npos) end = text_.size();
            const std::string_view line = text_.substr(pos_, end - pos_);
            if (!opening && !line.empty() && line[0] == ';') {
                pos_ = end;
                break;
            }
            if (first.empty()) first = TrimView(line);
            if (end < text_.size()) ++line_;
            pos_ = end < text_.size() ? end + 1 : end;
        }
        lineStart_ = false;
        token = {first, true, startLine};
        return true;
    }

    std::string_view text_;
    bool cif2_;
    size_t pos_ = 0;
    size_t line_ = 0;
    bool lineStart_ = true;
};

// A name as it is looked up: lower case, and the dot between category and
// item of the newer dictionaries read as the underscore of the older ones.
std::string TagKey(std::string_view text) {
    std::string key = ToLower(text);
    if (const size_t dot = key.find('.'); dot != std::string::npos) key[dot] = '_';
    return key;
}

// A CIF 2.0 text starts with its magic comment.
bool IsCif2(std::string_view text) { return text.substr(0, 10) == "#\\#CIF_2.0"; }

bool IsTag(const Token& t) { return !t.quoted && !t.text.empty() && t.text[0] == '_'; }
bool IsKeyword(const Token& t, const char* word) { return !t.quoted && StartsWithNoCase(t.text, word); }
bool IsReserved(const Token& t) {
    if (t.quoted || t.text.size() < 5 || !std::strchr("dDlLsSgG", t.text[0])) return false;  // the common case, quickly
    return IsKeyword(t, "data_") || IsKeyword(t, "loop_") || IsKeyword(t, "save_") || IsKeyword(t, "global_") ||
           IsKeyword(t, "stop_");
}

// Where the rows of a loop begin when each row is taken from the line it
// starts on: a line with fewer values than a row is a row of its own when the
// next line would overfill it (files that end a site line after the
// occupancy); otherwise rows run over lines or share a line as in CIF.
// `lineStart` marks the values that are the first of their line.
std::vector<size_t> RowStartsByLines(const std::vector<char>& lineStart, size_t n) {
    const size_t count = lineStart.size();
    auto lineEnd = [&](size_t i) {
        for (++i; i < count && !lineStart[i];) ++i;
        return i;
    };
    std::vector<size_t> starts;
    for (size_t i = 0; i < count;) {
        starts.push_back(i);
        const size_t firstLineEnd = lineEnd(i);
        size_t end = firstLineEnd;
        while (end < count && end - i < n) end = lineEnd(end);
        i = end - i <= n ? end : (firstLineEnd - i < n ? firstLineEnd : i + n);
    }
    return starts;
}

// Splits the values of a loop into rows of one value per tag, in CIF's way
// (every row takes the next n values), unless that puts rows in mid-line while
// reading by lines keeps every row at the start of a line: then the file has
// rows short of their last columns. Missing values are "?".
void SplitRows(LargeVector<std::string_view>&& values, const std::vector<char>& lineStart, CifLoop& loop) {
    const size_t n = loop.tags.size();
    bool everyNAtLineStarts = true;
    for (size_t i = 0; i < values.size() && everyNAtLineStarts; i += n) everyNAtLineStarts = lineStart[i];
    std::vector<size_t> byLines;
    if (!everyNAtLineStarts) {
        byLines = RowStartsByLines(lineStart, n);
        if (!std::all_of(byLines.begin(), byLines.end(), [&lineStart](size_t i) { return lineStart[i]; }))
            byLines.clear();
    }
    if (byLines.empty()) {
        // Every row takes the next n values; only the last may be short.
        const size_t nRows = (values.size() + n - 1) / n;
        values.resize(nRows * n, "?");
        loop.values = std::move(values);
        loop.Bind(nRows);
        return;
    }
    loop.values.reserve(byLines.size() * n);
    for (size_t k = 0; k < byLines.size(); ++k) {
        const size_t end = k + 1 < byLines.size() ? byLines[k + 1] : values.size();
        const size_t count = std::min(end - byLines[k], n);
        loop.values.insert(loop.values.end(), values.begin() + byLines[k], values.begin() + byLines[k] + count);
        loop.values.resize(loop.values.size() + (n - count), "?");
    }
    loop.Bind(byLines.size());
}

}  // namespace

int CifLoop::Column(const std::string& tag) const {
    const std::string key = TagKey(tag);
    for (size_t i = 0; i < tags.size(); ++i)
        if (tags[i] == key) return static_cast<int>(i);
    return -1;
}

const std::string* CifBlock::FindItem(const std::string& tag) const {
    auto it = items.find(TagKey(tag));
    return it == items.end() ? nullptr : &it->second;
}

const CifLoop* CifBlock::FindLoop(const std::string& tag) const {
    for (const CifLoop& loop : loops)
        if (loop.Column(tag) >= 0) return &loop;
    return nullptr;
}

struct CifReader::Impl {
    explicit Impl(CifText&& source)
        : text(std::make_shared<const CifText>(std::move(source))),
          tokenizer(std::string_view(text->data(), text->size()), IsCif2(*text)) {
        haveToken = tokenizer.Next(token);
    }
    void ReadLoop(CifBlock& block);
    void ReadItem(CifBlock& block);

    std::shared_ptr<const CifText> text;
    Tokenizer tokenizer;
    Token token;
    bool haveToken = false;
};

CifReader::CifReader(CifText&& text) : impl_(std::make_unique<Impl>(std::move(text))) {}
CifReader::~CifReader() = default;

bool CifReader::Next(CifBlock& block) {
    Impl& r = *impl_;
    block = CifBlock();
    block.text = r.text;
    if (!r.haveToken) return false;
    bool named = false;
    while (r.haveToken) {
        if (IsKeyword(r.token, "data_")) {
            if (named) break;  // the next block starts
            named = true;
            block.name = std::string(r.token.text.substr(5));
            r.haveToken = r.tokenizer.Next(r.token);
        } else if (IsKeyword(r.token, "loop_")) {
            r.ReadLoop(block);
        } else if (IsTag(r.token)) {
            r.ReadItem(block);
        } else {
            r.haveToken = r.tokenizer.Next(r.token);  // a stray value or save frame keyword: passed over
        }
    }
    return true;
}

void CifReader::Impl::ReadLoop(CifBlock& block) {
    CifLoop loop;
    haveToken = tokenizer.Next(token);
    while (haveToken && IsTag(token)) {
        loop.tags.push_back(TagKey(token.text));
        haveToken = tokenizer.Next(token);
    }
    LargeVector<std::string_view> values;
    std::vector<char> lineStart;
    // Room for the values of a loop that fills the rest of the file (a value
    // with its blank takes four characters or more in all but small loops),
    // so a big loop is stored without being moved; a loop that used little of
    // it gives the rest back.
    const size_t room = (text->size() - std::min(text->size(), tokenizer.Position())) / 4 + 1;
    values.reserve(room);
    lineStart.reserve(room);
    size_t previousLine = 0;
    while (haveToken && !IsTag(token) && !IsReserved(token)) {
        values.push_back(token.text);
        lineStart.push_back(values.size() == 1 || token.line != previousLine);
        previousLine = token.line;
        haveToken = tokenizer.Next(token);
    }
    if (values.capacity() > 2 * values.size() + 1024) values.shrink_to_fit();
    if (!loop.tags.empty()) {
        SplitRows(std::move(values), lineStart, loop);
        block.loops.push_back(std::move(loop));
    }
}

void CifReader::Impl::ReadItem(CifBlock& block) {
    std::string tag = TagKey(token.text);
    haveToken = tokenizer.Next(token);
    std::string value;
    if (haveToken && !IsTag(token) && !IsReserved(token)) {
        value = std::string(token.text);
        haveToken = tokenizer.Next(token);
    }
    block.items.emplace(std::move(tag), std::move(value));
}

CifBlock ParseCifCopy(std::string_view text) { return ParseCif(CifText(text)); }

CifBlock ParseCif(CifText&& text) {
    CifReader reader(std::move(text));
    CifBlock block;
    reader.Next(block);
    return block;
}
