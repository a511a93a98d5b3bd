#include "abinitio/wien2k_dos.h"

#include <algorithm>
#include <cstdio>

#include "core/paths.h"
#include "core/staged_file.h"
#include "core/text_scanner.h"

namespace {

// One table: three DOS files whose spectra stand side by side, and the CSV made of them.
struct DOSPass {
    const char* inputs[3];
    const char* csv;
    const char* message;
};

const DOSPass kPasses[] = {
    {{"dos1ev", "dos2ev", "dos3ev"}, "dos.csv", "Create CSV File for non-polarized DOS: %s\n"},
    {{"dos1evup", "dos2evup", "dos3evup"}, "dosup.csv", "Create CSV File for up spin DOS: %s\n"},
    {{"dos1evdn", "dos2evdn", "dos3evdn"}, "dosdn.csv", "Create CSV File for down spin DOS: %s\n"},
};

std::string WithExtension(const std::string& path, const char* extension) {
    std::string name = path;
    return ChangeFileExtension(name, extension);
}

bool CanRead(const std::string& path) { return CTextScanner().Open(path); }

// The label of a DOS case on its .int line "atom column label # comment":
// the text between the quotes when it is quoted ("Co d total", a doubled
// quote standing for one), else its word; the comment is no part of it.
// Empty when the line has fewer than three words.
std::string OrbitalLabel(std::string_view line) {
    std::string_view rest = TrimView(line);
    for (int word = 0; word < 2; ++word) {
        const size_t blank = rest.find_first_of(" \t");
        if (blank == std::string_view::npos) return {};
        rest = TrimView(rest.substr(blank));
    }
    if (rest.empty() || (rest[0] != '"' && rest[0] != '\''))
        return std::string(rest.substr(0, rest.find_first_of(" \t#")));
    const char quote = rest[0];
    std::string label;
    for (size_t i = 1; i < rest.size(); ++i) {
        if (rest[i] == quote && (i + 1 == rest.size() || rest[i + 1] != quote)) break;
        if (rest[i] == quote) ++i;
        label += rest[i];
    }
    return label;
}

// A CSV field: in double quotes, its own doubled, when it holds a comma or a quote.
std::string CSVField(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
    std::string field = "\"";
    for (char c : text) field += c == '"' ? std::string("\"\"") : std::string(1, c);
    return field + "\"";
}

}  // namespace

int CWIEN::GetDOSnData(const std::string& path, int& nData, int& nSpectrum) {
    nData = nSpectrum = 0;
    CTextScanner in;
    if (!in.Open(path)) {
        std::printf("Error in CWIEN::GetDOSnData: Can not read [%s].\n", path.c_str());
        return -1;
    }
    std::string line;
    in.SkipLines(3);
    while (in.ReadLine(line) && !TrimView(line).empty()) {
        if (nData == 0) nSpectrum = static_cast<int>(SplitWords(line).size()) - 1;
        ++nData;
    }
    return nData;
}

int CWIEN::ReadDOSFile(const std::string& path, CMyVector<double>& energy, CMyMatrix& table, int firstColumn,
                       int nSpectrum, int nData) {
    CTextScanner in;
    if (!in.Open(path)) {
        std::printf("Error in CWIEN::ReadDOSFile: Can not read [%s].\n", path.c_str());
        return -1;
    }
    std::string line;
    in.SkipLines(3);
    // Every spectrum of the row is read, however many the file holds.
    std::vector<double> values(static_cast<size_t>(std::max(0, nSpectrum)) + 1);
    for (int row = 0; row < nData && in.ReadLine(line); ++row) {
        const int n = ScanNumbers(line, values.data(), static_cast<int>(values.size()));
        if (n > 0) energy[row] = values[0];
        for (int k = 1; k < n; ++k) table[firstColumn + k - 1][row] = values[static_cast<size_t>(k)];
    }
    return 1;
}

int CWIEN::CreateDOSCSVFile(const std::string& csvPath, const CMyVector<double>& energy,
                            const std::vector<std::string>& names, const CMyMatrix& table, int nColumns, int nData) {
    CStagedFile file;
    if (!file.Open(csvPath)) {
        std::printf("Error in CWIEN::CreateDOSCSVFile: Can not write to [%s].\n", csvPath.c_str());
        return -1;
    }
    std::FILE* f = file.get();
    std::fprintf(f, "Energy(eV)");
    for (int k = 0; k < nColumns; ++k) std::fprintf(f, ",%s", CSVField(names[static_cast<size_t>(k)]).c_str());
    std::fprintf(f, "\n");
    for (int row = 0; row < nData; ++row) {
        std::fprintf(f, "%lg", energy[row]);
        for (int k = 0; k < nColumns; ++k) std::fprintf(f, ",%lg", table[k][row]);
        std::fprintf(f, "\n");
    }
    if (!file.Commit()) {
        std::printf("Error in CWIEN::CreateDOSCSVFile: Can not write to [%s].\n", csvPath.c_str());
        return -1;
    }
    return 1;
}

int CWIEN::MakeDOSCSVFile(const std::string& intPath) {
    CTextScanner in;
    if (!in.Open(intPath)) {
        std::printf("Error in CWIEN::MakeDOSCSVFile: Can not read [%s].\n", intPath.c_str());
        return -1;
    }
    std::string line;
    if (!in.SkipLines(2) || !in.ReadLine(line)) {
        std::printf("Error in CWIEN::MakeDOSCSVFile: [%s] ends before its number of DOS cases.\n", intPath.c_str());
        return -1;
    }
    int nOrbitals = static_cast<int>(std::max(0L, LeadingInteger(line)));
    std::printf("nOrbitals: %d\n", nOrbitals);
    std::vector<std::string> names;
    for (int i = 0; i < nOrbitals; ++i) {
        if (!in.ReadLine(line)) {
            nOrbitals = i;
            break;
        }
        names.push_back(OrbitalLabel(line));
        if (!names.back().empty()) std::printf("  Orb[%d]: %s\n", i, names.back().c_str());
    }
    in.Close();

    for (const DOSPass& pass : kPasses) {
        std::string inputs[3];
        for (int f = 0; f < 3; ++f) {
            inputs[f] = WithExtension(intPath, pass.inputs[f]);
            std::printf(".%s: %s\n", pass.inputs[f], inputs[f].c_str());
        }
        if (!CanRead(inputs[0])) {
            std::printf("  dose not exist. Skipped.\n\n");
            continue;
        }
        int nData = 0, nSpectrum[3] = {0, 0, 0}, unused = 0;
        GetDOSnData(inputs[0], nData, nSpectrum[0]);
        std::printf("  nData     : %d\n", nData);
        std::printf("  nSpectrum1: %d\n", nSpectrum[0]);
        GetDOSnData(inputs[1], unused, nSpectrum[1]);
        std::printf("  nSpectrum2: %d\n", nSpectrum[1]);
        GetDOSnData(inputs[2], unused, nSpectrum[2]);
        std::printf("  nSpectrum3: %d\n", nSpectrum[2]);
        for (int& n : nSpectrum) n = std::max(0, n);
        const int nTotalSpectrum = nSpectrum[0] + nSpectrum[1] + nSpectrum[2];
        std::printf("  nTotalSpectrum: %d\n", nTotalSpectrum);
        if (nTotalSpectrum <= 0) {
            std::printf("\nError: nTotalSpectrum is zero.\n");
            std::printf("Program exited.\n");
            return -1;
        }
        if (nTotalSpectrum != nOrbitals)
            std::printf("\nWarning: Data in .int (nOrb=%d) is not consistent with .dos (nTot=%d).\n\n", nOrbitals,
                        nTotalSpectrum);

        // Columns the DOS files do not fill (the .int lists more cases) stay 0.
        const int nColumns = std::max(nTotalSpectrum, nOrbitals);
        CMyVector<double> energy;
        CMyMatrix table;
        if (nData > 0 && (energy.Alloc(0, nData - 1) == 0 || table.Alloc(nColumns, nData) == 0)) {
            std::printf("Error in CWIEN::MakeDOSCSVFile: no memory for %d x %d DOS values.\n", nData, nColumns);
            return -1;
        }
        for (int row = 0; row < nData; ++row) {
            energy[row] = 0;
            for (int k = 0; k < nColumns; ++k) table[k][row] = 0;
        }
        for (int f = 0, first = 0; f < 3; first += nSpectrum[f], ++f)
            ReadDOSFile(inputs[f], energy, table, first, nSpectrum[f], nData);

        const std::string csv = WithExtension(intPath, pass.csv);
        std::printf(pass.message, csv.c_str());
        if (IsSameFile(csv, intPath))
            std::printf("Error in CWIEN::CreateDOSCSVFile: Can not write to [%s].\n", csv.c_str());
        else
            CreateDOSCSVFile(csv, energy, names, table, nOrbitals, nData);
        std::printf("\n");
    }
    return 1;
}

int WIENConvDOS(const RunContext&, const std::string& intPath) { return CWIEN::MakeDOSCSVFile(intPath); }
