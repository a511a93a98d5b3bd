#include "md/history_csv.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstring>
#include <string_view>
#include <vector>

#include "core/run_context.h"
#include "core/staged_file.h"
#include "core/text_scanner.h"

namespace {

// Where the file name begins: an extension or a suffix is looked for there only.
size_t NameStart(const std::string& path) {
    const size_t sep = path.find_last_of("/\\");
    return sep == std::string::npos ? 0 : sep + 1;
}

std::string WithoutExtension(const std::string& path) {
    const size_t dot = path.rfind('.');
    return dot == std::string::npos || dot < NameStart(path) ? path : path.substr(0, dot);
}

// A whole number of the log or a table, kept within int so that sums cannot overflow.
int WholeNumber(std::string_view text) {
    const long value = LeadingInteger(text);
    return static_cast<int>(std::clamp<long>(value, INT_MIN, INT_MAX));
}

// Where a table goes on: the step number and time of its last row.
struct TableEnd {
    bool exists = false;
    int step = 0;
    double time = 0;
};

TableEnd ReadTableEnd(const std::string& table) {
    TableEnd end;
    CTextScanner scanner;
    if (!scanner.Open(table)) return end;
    end.exists = true;
    std::string line, last;
    while (scanner.ReadLine(line))
        if (!TrimView(line).empty()) last.swap(line);
    end.step = WholeNumber(last);
    const size_t comma = last.find(',');
    if (comma != std::string::npos) end.time = LeadingNumber(std::string_view(last).substr(comma + 1));
    return end;
}

bool StartsWith(std::string_view line, std::string_view prefix) { return line.substr(0, prefix.size()) == prefix; }
bool IsStepHeader(std::string_view line) { return StartsWithNoCase(line, " Step T"); }
bool IsCellBlockStart(std::string_view line) { return StartsWith(line, "<<<<<<") || StartsWith(line, "1<<<<<<"); }
bool IsListEnd(std::string_view line) { return StartsWith(line, "I----") || StartsWith(line, " I----"); }

// The column of "Temp" in the step-table header; right after " Step " when absent.
int TemperatureColumn(const std::string& header) {
    const size_t at = ToUpper(header).find("TEMP");
    return at == std::string::npos ? 6 : static_cast<int>(at);
}

// Fixed fields of `widths` characters, one after the other from `column`.
void ReadFields(std::string_view line, size_t column, const std::vector<size_t>& widths, double* values) {
    for (size_t k = 0; k < widths.size(); ++k) {
        values[k] = FixedField(line, column, widths[k]);
        column += widths[k];
    }
}

// Step rows: "sn,time,T,P,Pxx..Pyz,Coulomb,Short,3-body,Kinet.,Total,Density".
void AddStepRows(CTextScanner& log, int posTemp, int interval, double timeStep, const TableEnd& table, std::FILE* out) {
    std::string line;
    int lastSn = 0, count = 0;
    while (log.ReadLine(line)) {
        if (StartsWith(line, " ----")) {
            log.FindLine(IsStepHeader, line);
            continue;
        }
        const size_t open = line.find('('), close = line.find(')');
        if (open == std::string::npos || close == std::string::npos) continue;
        const int sn = WholeNumber(std::string_view(line).substr(0, 6));
        if (sn <= 0 || sn <= lastSn) continue;
        lastSn = sn;
        const double temperature = FixedField(line, static_cast<size_t>(posTemp), 5);
        const size_t pStart = open >= 8 ? open - 8 : 0;
        const double pressure = FixedField(line, pStart, open - pStart);
        double tensor[6], energies[6];
        ReadFields(line, open + 1, {6, 6, 6, 6, 6, 6}, tensor);
        ReadFields(line, close + 1, {10, 9, 7, 7, 10, 9}, energies);
        std::printf(" sn=%d  T=%g  P=%f  K=%f  Total=%f  d=%6.3f\n", sn, temperature, pressure, energies[3],
                    energies[4], energies[5]);
        if (count++ % interval != 0) continue;
        std::fprintf(out, "%lld,%lg,%lg,%lg", static_cast<long long>(sn) + table.step, sn * timeStep + table.time,
                     temperature, pressure);
        for (double v : tensor) std::fprintf(out, ",%lg", v);
        for (double v : energies) std::fprintf(out, ",%lg", v);
        std::fprintf(out, "\n");
    }
}

struct MsdEntry {
    std::string name;
    double value;
};

struct CellBlock {
    int sn = 0;
    double temperature = 0;
    double a = 0, b = 0, c = 0, alpha = 0, beta = 0, gamma = 0;
    double U = 0, E = 0, K = 0, H = 0, PV = 0;
    std::vector<MsdEntry> msd;
};

enum class BlockRead { kComplete, kIncomplete, kLogEnded };

// The number after `tag` in `line`; false when the tag is not there.
bool TaggedValue(const std::string& line, const char* tag, double& value) {
    const size_t at = line.find(tag);
    if (at == std::string::npos) return false;
    value = LeadingNumber(std::string_view(line).substr(at + std::strlen(tag)));
    return true;
}

// Every ":" of the line is an entry: the two characters before it name it,
// the number after it is its value.
void AddMsdEntries(const std::string& line, std::vector<MsdEntry>& entries) {
    for (size_t at = line.find(':'); at != std::string::npos; at = line.find(':', at + 1)) {
        const size_t start = at >= 2 ? at - 2 : 0;
        entries.push_back({line.substr(start, at - start), LeadingNumber(std::string_view(line).substr(at + 1))});
    }
}

// Reads the block after its "<<<<<<" line. `missing` names what an
// incomplete block lacks.
BlockRead ReadCellBlock(CTextScanner& log, int posTemp, CellBlock& block, std::string& missing) {
    std::string line;
    if (!log.FindLine([](std::string_view l) { return StartsWith(l, "------"); }, line) || !log.ReadLine(line))
        return BlockRead::kLogEnded;
    block.sn = WholeNumber(line);
    block.temperature = FixedField(line, static_cast<size_t>(posTemp), 5);

    struct Tag {
        const char* text;
        double* value;
        int line;  // lines after the cell header: 0-2 the cell, 4-6 the energies
    };
    const Tag tags[] = {{" A:", &block.a, 0},        {" Alpha:", &block.alpha, 0}, {" B:", &block.b, 1},
                        {" Beta :", &block.beta, 1}, {" C:", &block.c, 2},         {" Gamma:", &block.gamma, 2},
                        {" U =", &block.U, 4},       {" U+K =", &block.E, 4},      {" K =", &block.K, 5},
                        {" E+PV=", &block.H, 5},     {" PV=", &block.PV, 6}};
    if (!log.FindLine([](std::string_view l) { return StartsWith(l, "I--------"); }, line)) {
        missing = "I--------";
        return BlockRead::kIncomplete;
    }
    log.SkipLines(1);
    std::string lines[7];
    for (std::string& l : lines) log.ReadLine(l);
    for (const Tag& tag : tags) {
        if (!TaggedValue(lines[tag.line], tag.text, *tag.value)) {
            missing = tag.text;
            return BlockRead::kIncomplete;
        }
    }
    log.SkipLines(1);
    line.clear();
    // The list is looked for up to the end of the block; the next block's first line is left to be read.
    for (long at = log.Tell(), number = log.LineNumber(); line.find("M.s.d. ") == std::string::npos;
         at = log.Tell(), number = log.LineNumber()) {
        if (!log.ReadLine(line) || IsListEnd(line) || IsCellBlockStart(line)) {
            if (IsCellBlockStart(line)) log.Seek(at, number);
            missing = "M.s.d. ";
            return BlockRead::kIncomplete;
        }
    }
    do {
        AddMsdEntries(line, block.msd);
    } while (log.ReadLine(line) && !IsListEnd(line));
    return BlockRead::kComplete;
}

void PrintCellBlock(const CellBlock& b) {
    std::printf(" T=%g\n", b.temperature);
    std::printf("  Latti: %lg %lg %lg   %lg %lg %lg\n", b.a, b.b, b.c, b.alpha, b.beta, b.gamma);
    std::printf("  U=%lg E=%lg K=%lg H=%lg PV=%lg\n", b.U, b.E, b.K, b.H, b.PV);
    for (size_t k = 0; k < b.msd.size(); ++k)
        std::printf(k == 0 ? " Name=%s(%lg)  " : " %s(%lg)\n", b.msd[k].name.c_str(), b.msd[k].value);
}

// Cell rows: "sn,time,T,a,b,c,alpha,beta,gamma,U,E,K,PV,H,m.s.d. ...".
void AddCellRows(CTextScanner& log, int posTemp, int interval, double timeStep, const TableEnd& table, std::FILE* out) {
    std::string line;
    bool headerWritten = table.exists;
    for (int count = 0; log.FindLine(IsCellBlockStart, line); ++count) {
        CellBlock b;
        std::string missing;
        const BlockRead read = ReadCellBlock(log, posTemp, b, missing);
        if (read == BlockRead::kLogEnded) break;
        if (read == BlockRead::kIncomplete) {
            std::printf("Cell block of step %d has no [%s]: skipped.\n", b.sn, missing.c_str());
            continue;
        }
        PrintCellBlock(b);
        if (count % interval != 0) continue;
        if (!headerWritten) {
            std::fprintf(out, "sn,time(fs),Temp(K),a(A),b(A),c(A),alpha,beta,gamma,U,E,K,PV,H");
            for (const MsdEntry& e : b.msd) std::fprintf(out, ",m.s.d.(%s)", e.name.c_str());
            std::fprintf(out, "\n");
            headerWritten = true;
        }
        std::fprintf(out, "%lld,%lg,%lg,%lg,%lg,%lg,%lg,%lg,%lg,%lg,%lg,%lg,%lg,%lg",
                     static_cast<long long>(b.sn) + table.step, b.sn * timeStep + table.time, b.temperature, b.a, b.b,
                     b.c, b.alpha, b.beta, b.gamma, b.U, b.E, b.K, b.PV, b.H);
        for (const MsdEntry& e : b.msd) std::fprintf(out, ",%lg", e.value);
        std::fprintf(out, "\n");
    }
}

// Puts a table with its rows added in place of the old one. When they could
// not all be written, the old table stays as it was (there is none when there
// was none). False (with the message) in that case.
bool CloseTable(CStagedFile& out, const std::string& name) {
    if (out.Commit()) return true;
    std::printf("Error: Can not add to [%s].\n", name.c_str());
    return false;
}

}  // namespace

std::string MakeHistoryName(const std::string& f06Name, const std::string& historyName) {
    return historyName.empty() ? WithoutExtension(f06Name) + "-History.csv" : historyName;
}

std::string MakeHistory2Name(const std::string& historyName) {
    std::string stem = WithoutExtension(historyName);
    const size_t cut = stem.find("-History", NameStart(stem));
    if (cut != std::string::npos) stem.erase(cut);
    return stem + "-History2.csv";
}

int AddHistoryCSV(const RunContext& context, const std::string& f06Name, const std::string& historyName) {
    const std::string history = MakeHistoryName(f06Name, historyName);
    const std::string history2 = MakeHistory2Name(history);
    std::printf("Input .f06 File  : %s\n", f06Name.c_str());
    std::printf("History CSV  File: %s\n", history.c_str());
    std::printf("History2 CSV File: %s\n", history2.c_str());
    int interval = context.options.nOutputInterval;
    if (interval == 0) interval = 1;
    std::printf("nOutputInterval: %d\n", interval);

    const TableEnd steps = ReadTableEnd(history);
    if (steps.exists) {
        std::printf("StepOffset: %d\n", steps.step);
        std::printf("TimeOffset: %lg fs\n", steps.time);
    }
    CTextScanner log;
    if (!log.Open(f06Name)) {
        std::printf("Error: Can not read [%s].\n", f06Name.c_str());
        return -1;
    }
    // The rows are added to a copy of the table, which replaces it when complete.
    CStagedFile out;
    if (!out.Open(history, CStagedFile::Mode::kAppend)) {
        std::printf("Error: Can not add to [%s].\n", history.c_str());
        return -1;
    }
    if (!steps.exists)
        std::fprintf(out.get(),
                     "sn,time(fs),Temp(K),P(GPa),Pxx,Pyy,Pzz,Pxy,Pxz,Pyz,U:Coulomb(J/mol),Short,3-body,Kinet.,Total,"
                     "Density(cm-3)\n");

    std::string line;
    double timeStep = 0;
    int nStep = 0;
    if (log.FindLineContaining("time step of ", line)) {
        const std::string_view view(line);
        timeStep = LeadingNumber(view.substr(line.find("time step of ") + 13));
        if (line.size() > 18) nStep = WholeNumber(view.substr(18));
    }
    std::printf("TimeStep: %g fs\n", timeStep);
    std::printf("nStep: %d\n", nStep);
    log.SkipLines(1);
    int posTemp = 6;
    if (log.FindLine(IsStepHeader, line)) posTemp = TemperatureColumn(line);
    std::printf(" PosTemp=%d\n", posTemp);

    AddStepRows(log, posTemp, interval, timeStep, steps, out.get());
    if (!CloseTable(out, history)) return -1;
    std::printf("Add to %s\n", history2.c_str());

    const TableEnd cells = ReadTableEnd(history2);
    if (!out.Open(history2, CStagedFile::Mode::kAppend)) {
        std::printf("Error: Can not add to [%s].\n", history2.c_str());
        return -1;
    }
    log.Rewind();
    AddCellRows(log, posTemp, interval, timeStep, cells, out.get());
    return CloseTable(out, history2) ? 1 : -1;
}
