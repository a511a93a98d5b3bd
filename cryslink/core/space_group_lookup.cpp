#include "core/space_group_lookup.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>
#include <regex>
#include <sstream>
#include <vector>

#include "core/space_group_database.h"
#include "core/text_lines.h"

namespace {

// A symbol as compared: no blanks, no underscores, lower case.
std::string Key(const std::string& text) {
    std::string key;
    for (char c : text)
        if (!std::isspace(static_cast<unsigned char>(c)) && c != '_') key += ToLower(c);
    return key;
}

// A Hall symbol as compared: its blank-separated parts, lower case, without
// underscores. The blanks between parts are kept, since without them "P 3 2"
// (P 3 1 2) and "P 32" (P 32) are the same text.
std::string HallParts(const std::string& text) {
    std::istringstream in(text);
    std::string part, parts;
    while (in >> part) {
        if (!parts.empty()) parts += ' ';
        parts += Key(part);
    }
    return parts;
}

bool Given(const std::string& value) {
    const std::string_view v = TrimView(value);
    return !v.empty() && v != "Undefined" && v != "?" && v != ".";
}

struct Entry {
    const SPGRecordInfo* info;
    std::string nameKey, nameStemKey, fullKey, hallParts;
    bool rhombohedralAxes;  // primitive rhombohedral cell ("P 3*" in the Hall symbol)
    bool originAtCentre;    // a Hall symbol that starts with the inversion: origin choice 2 where there are two
};

std::vector<Entry> Entries(const std::vector<SPGRecordInfo>& records) {
    std::vector<Entry> entries;
    entries.reserve(records.size());
    for (const SPGRecordInfo& r : records) {
        const std::string hall(TrimView(r.HallSymbol));
        entries.push_back({&r, Key(r.Name), Key(r.Name.substr(0, r.Name.find(':'))), Key(r.FullSymbol),
                           HallParts(hall), hall.find('*') != std::string::npos, hall.rfind('-', 0) == 0});
    }
    return entries;
}

const Entry* FindByHall(const std::vector<Entry>& entries, const std::string& hall) {
    const std::string parts = HallParts(hall);
    for (const Entry& e : entries)
        if (e.hallParts == parts) return &e;
    // Written without some blanks: taken only when that names one group.
    const std::string key = Key(hall);
    const Entry* found = nullptr;
    for (const Entry& e : entries) {
        if (Key(e.hallParts) != key) continue;
        if (found && found->info->Number != e.info->Number) return nullptr;
        if (!found) found = &e;
    }
    return found;
}

// The symbol's key and its choice of origin or axes ("1", "2", "h", "r", or
// what follows a colon), empty when it names none.
void SplitChoice(const std::string& symbol, std::string& key, std::string& choice) {
    std::string text = symbol;
    choice.clear();
    const size_t colon = text.find(':');
    if (colon != std::string::npos) {
        choice = Key(text.substr(colon + 1));
        text.erase(colon);
    } else {
        static const std::regex kOrigin(R"(\(?\s*(origin\s*choice|origin|choice)\s*([12])\s*\)?)", std::regex::icase);
        std::smatch m;
        if (std::regex_search(text, m, kOrigin)) {
            choice = m[2].str();
            text.erase(static_cast<size_t>(m.position(0)), static_cast<size_t>(m.length(0)));
        }
    }
    key = Key(text);
    // No symbol ends in s, z, h or r: a trailing one is the choice.
    if (choice.empty() && key.size() > 2 && std::strchr("szhr", key.back())) {
        choice = std::string(1, key.back());
        key.pop_back();
    }
    // ICSD writes origin choice 1 as "S" and choice 2 (origin at the centre) as "Z".
    if (choice == "s") choice[0] = '1';
    if (choice == "z") choice[0] = '2';
}

// Older cubic symbols leave out the bar of -3: a 3 after a mirror or glide
// letter (never after the lattice letter) belongs to a centrosymmetric group.
std::string WithCubicBars(const std::string& key) {
    std::string out;
    for (size_t i = 0; i < key.size(); ++i) {
        if (key[i] == '3' && i >= 2 && std::strchr("abcdemn", key[i - 1])) out += '-';
        out += key[i];
    }
    return out;
}

const Entry* FindByHM(const std::vector<Entry>& entries, const std::string& symbol, bool rhombohedralCell) {
    std::string key, choice;
    SplitChoice(symbol, key, choice);
    std::vector<const Entry*> found;
    for (const std::string& k : {key, WithCubicBars(key)}) {
        for (const Entry& e : entries)
            if (k == e.nameKey || k == e.nameStemKey || k == e.fullKey) found.push_back(&e);
        if (!found.empty()) {
            key = k;
            break;
        }
    }
    if (found.empty()) return nullptr;
    auto first = [&found](const std::function<bool(const Entry&)>& wanted) -> const Entry* {
        for (const Entry* e : found)
            if (wanted(*e)) return e;
        return nullptr;
    };
    const Entry* chosen = nullptr;
    if (!choice.empty()) chosen = first([&](const Entry& e) { return e.nameKey == key + ":" + choice; });
    if (chosen) return chosen;
    if (choice == "1") chosen = first([](const Entry& e) { return !e.originAtCentre; });
    else if (choice == "2") chosen = first([](const Entry& e) { return e.originAtCentre; });
    else if (choice == "h") chosen = first([](const Entry& e) { return !e.rhombohedralAxes; });
    else if (choice == "r" || (choice.empty() && rhombohedralCell))
        chosen = first([](const Entry& e) { return e.rhombohedralAxes; });
    return chosen ? chosen : found.front();
}

const Entry* FindByNumber(const std::vector<Entry>& entries, int number, bool rhombohedralCell) {
    const Entry* first = nullptr;
    for (const Entry& e : entries) {
        if (e.info->Number != number) continue;
        if (rhombohedralCell && e.rhombohedralAxes) return &e;
        if (!first) first = &e;
    }
    return first;
}

}  // namespace

bool IsRhombohedralCell(double a, double b, double c, double alpha, double beta, double gamma) {
    auto same = [](double p, double q) { return std::fabs(p - q) < 1e-6 * std::max(1.0, std::fabs(p)); };
    return same(a, b) && same(a, c) && same(alpha, beta) && same(alpha, gamma) && !same(alpha, 90.0);
}

bool FindSpaceGroupRecord(const std::string& hallSymbol, const std::string& hmSymbol, int number,
                          bool rhombohedralCell, const CSpaceGroupDatabase& database, const std::string& fileName,
                          SpaceGroupRecord& record) {
    const bool haveHall = Given(hallSymbol), haveHM = Given(hmSymbol);
    const std::string hall(haveHall ? TrimView(hallSymbol) : ""), hm(haveHM ? TrimView(hmSymbol) : "");
    if (!haveHall && !haveHM && number == 0) return false;
    const std::vector<Entry> entries = Entries(database.Records());

    const Entry* byHall = haveHall ? FindByHall(entries, hall) : nullptr;
    const Entry* byHM = haveHM ? FindByHM(entries, hm, rhombohedralCell) : nullptr;
    const Entry* chosen = byHall ? byHall : byHM;
    const std::string& symbol = byHall ? hall : hm;
    if (byHall && byHM && byHM->info->Number != byHall->info->Number)
        std::printf("Warning: Hall symbol [%s] and space group [%s] of [%s] name different groups; the Hall symbol "
                    "is used.\n",
                    hall.c_str(), hm.c_str(), fileName.c_str());
    if (chosen && number != 0 && chosen->info->Number != number)
        std::printf("Warning: space group [%s] of [%s] is number %d, not %d as the file says; the symbol is used.\n",
                    symbol.c_str(), fileName.c_str(), chosen->info->Number, number);
    if (!chosen && number != 0) chosen = FindByNumber(entries, number, rhombohedralCell);
    if (!chosen) return false;
    if (haveHall && !byHall)
        std::printf("Warning: Hall symbol [%s] of [%s] is not in the space-group database; space group [%s] is "
                    "used.\n",
                    hall.c_str(), fileName.c_str(), chosen->info->Name.c_str());
    record.Number = chosen->info->Number;
    record.Setting = chosen->info->Setting;
    record.Name = chosen->info->Name;
    return true;
}

bool FindRecordWithOtherCentring(const std::string& hallSymbol, const std::string& hmSymbol,
                                 const CSpaceGroupDatabase& database, SpaceGroupRecord& record, char& lattice) {
    if (!Given(hmSymbol)) return false;
    const std::string symbol(TrimView(hmSymbol));
    const char own = ToUpper(symbol[0]);
    const std::string pointGroupPart = symbol.substr(1);
    if (!std::strchr("PABCIFR", own) || Key(pointGroupPart).empty()) return false;
    const std::vector<Entry> entries = Entries(database.Records());
    if ((Given(hallSymbol) && FindByHall(entries, std::string(TrimView(hallSymbol)))) || FindByHM(entries, symbol, false))
        return false;
    for (const char letter : std::string("PCABIFR")) {
        if (letter == own) continue;
        if (const Entry* found = FindByHM(entries, letter + pointGroupPart, false)) {
            record.Number = found->info->Number;
            record.Setting = found->info->Setting;
            record.Name = found->info->Name;
            lattice = own;
            return true;
        }
    }
    return false;
}
