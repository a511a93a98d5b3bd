#include "md/torv_files.h"

#include <algorithm>
#include <cstdio>
#include <string_view>

#include "core/crystal.h"
#include "core/units.h"

namespace {

// Table sizes a FILE07 may declare; larger counts are taken for a damaged file.
constexpr int kMaxFILE07Types = 1000;
constexpr int kMaxFILE07Sites = 1000000;

// Whitespace-separated words of a text file that may span lines.
class WordReader {
public:
    explicit WordReader(CTextScanner& scanner) : scanner_(scanner) {}
    bool Next(std::string& word) {
        for (;;) {
            while (pos_ < line_.size() && IsBlank(line_[pos_])) ++pos_;
            if (pos_ < line_.size()) break;
            if (!scanner_.ReadLine(line_)) return false;
            pos_ = 0;
        }
        const size_t start = pos_;
        while (pos_ < line_.size() && !IsBlank(line_[pos_])) ++pos_;
        word = line_.substr(start, pos_ - start);
        return true;
    }

private:
    static bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }
    CTextScanner& scanner_;
    std::string line_;
    size_t pos_ = 0;
};

}  // namespace

double ReadXFactor(const std::string& file05) {
    CTextScanner scanner;
    std::string line;
    if (!scanner.Open(file05) || !scanner.ReadLine(line)) return 1.0;
    if (StartsWithNoCase(line, "MD")) return 1.0 / 9000.0;
    if (StartsWithNoCase(line, "XD")) return 0.0005;
    return 1.0;
}

bool ReadFILE05AtomTypes(const std::string& file05, CCrystal& crystal) {
    CTextScanner scanner;
    if (!scanner.Open(file05)) return false;
    crystal.Name = file05;
    std::string line;
    if (!scanner.FindLine([](std::string_view l) { return !l.empty() && (l[0] == 'V' || l[0] == 'v'); }, line) ||
        !scanner.SkipLines(1))
        return true;
    while (scanner.ReadLine(line)) {
        int number = 0;
        double mass = 0, charge = 0;
        std::string name(line.size() + 1, '\0');
        if (std::sscanf(line.c_str(), "%d %s %lg %lg", &number, name.data(), &mass, &charge) < 4) break;
        crystal.AddAtomType(name.c_str(), charge, true);
    }
    return true;
}

bool ReadFILE07(const std::string& file07, CCrystal& crystal) {
    CTextScanner scanner;
    if (!scanner.Open(file07)) return false;
    std::string line;
    scanner.ReadLine(line);
    crystal.ChemicalName = std::string(TrimView(line));
    crystal.Name = file07;

    int nTypes = -1, nSites = -1;
    scanner.ReadLine(line);
    if (std::sscanf(line.c_str(), "%d %d", &nTypes, &nSites) < 2 || nTypes < 0 || nSites < 0 ||
        nTypes > kMaxFILE07Types || nSites > kMaxFILE07Sites) {
        std::printf("Can not read the numbers of atom types and sites in [%s].\n", file07.c_str());
        crystal.Initialize();
        return true;
    }
    crystal.AllocAtomTypes(nTypes);
    crystal.AllocAtomAsymSites(nSites);
    // The whole cell is the asymmetric unit (P1): the site list holds every site.
    if (crystal.nMaxAtomSites < nSites) crystal.AllocAtomSites(nSites);

    // Type names, then the number of sites of each type; both may span lines.
    WordReader words(scanner);
    std::string word;
    for (int i = 0; i < nTypes && words.Next(word); ++i) {
        CAtomType& type = crystal.AtomTypes[i];
        type.Initialize();
        type.Name = word;
        crystal.ReadTypeProperties(type, word);
        type.Label = word;
        // A name that is no element keeps the numbering by type.
        if (type.AtomicNumber <= 0) type.AtomicNumber = i + 1;
        type.Charge = 0;
        crystal.nAtomTypes = i + 1;
    }
    WordReader counts(scanner);
    for (int i = 0; i < nTypes && counts.Next(word); ++i)
        crystal.nEachAtoms[i] = static_cast<int>(LeadingInteger(word));

    scanner.SkipLines(3);
    double unused = 0, a = 0, b = 0, c = 0;
    scanner.ReadLine(line);
    std::sscanf(line.c_str(), "%lg %lg %lg %lg", &unused, &a, &b, &c);
    crystal.SetLatticeParameters(a * units::kAngstromToNm, b * units::kAngstromToNm, c * units::kAngstromToNm, 90, 90,
                                 90);
    scanner.ReadLine(line);
    if (line.find("H-TENSOR") != std::string::npos) scanner.SkipLines(3);

    for (int i = 0; i < crystal.nAtomTypes; ++i) {
        const std::string typeName = crystal.AtomTypes[i].Name;
        for (int j = 1; j <= crystal.nEachAtoms[i]; ++j) {
            if (!scanner.ReadLine(line)) break;
            const double x = ReduceFractionalCoordinate(FixedField(line, 53, 9));
            const double y = ReduceFractionalCoordinate(FixedField(line, 62, 9));
            const double z = ReduceFractionalCoordinate(FixedField(line, 71, 9));
            crystal.AddAtomAsymSite(typeName + std::to_string(j), typeName, 1.0, x, y, z);
        }
    }
    crystal.SpaceGroup.SetP1();
    crystal.CalculateLatticeVectors();
    return true;
}

bool CFILE09PReader::Open(const std::string& path, double xFactor) {
    xFactor_ = xFactor;
    return scanner_.Open(path);
}

bool CFILE09PReader::ReadFrame(int nSites, std::vector<double>& xyz) {
    cutShort_ = false;
    if (!scanner_.ReadLine(line_)) return false;  // the header
    cutShort_ = true;
    xyz.resize(static_cast<size_t>(nSites) * 3);
    size_t pos = line_.size();
    for (int i = 0; i < nSites; ++i) {
        // A site starts on the next line when this one is used up; empty lines are passed over.
        while (pos >= line_.size()) {
            if (!scanner_.ReadLine(line_)) return false;
            pos = 0;
        }
        // A last line cut short ends the file inside the site.
        if (pos + 12 > line_.size() && scanner_.AtEnd()) return false;
        for (int k = 0; k < 3; ++k) xyz[static_cast<size_t>(i) * 3 + k] = FixedField(line_, pos + 4 * k, 4) * xFactor_;
        pos += 12;
    }
    // The rest of the last line is not read.
    cutShort_ = false;
    return true;
}

bool CFILE09VReader::ReadFrame(CCrystal& crystal) {
    if (!scanner_.ReadLine(line_) || line_.size() < 40) return false;
    crystal.Temperature = LeadingNumber(line_);
    crystal.Pressure = LeadingNumber(std::string_view(line_).substr(8));
    scanner_.SkipLines(1);
    if (!scanner_.ReadLine(line_)) return false;
    auto angle = [this](size_t column) {
        const double value = FixedField(line_, column, 9);
        return value == 0.0 ? 90.0 : value;
    };
    crystal.Density = FixedField(line_, 0, 9);
    crystal.SetLatticeParameters(FixedField(line_, 18, 9) * units::kAngstromToNm,
                                 FixedField(line_, 27, 9) * units::kAngstromToNm,
                                 FixedField(line_, 36, 9) * units::kAngstromToNm, angle(45), angle(54), angle(63));
    scanner_.SkipLines(2);
    return true;
}
