#pragma once
// A space group: its symbol and number, the listed operations (text, rotation
// and translation), the centring translations and the inversion flag.
#include <string>
#include <vector>

#include "core/containers.h"

class CSpaceGroup {
public:
    static constexpr int kMaxOperations = 512;
    static constexpr int kMaxCenterings = 4;

    CSpaceGroup();
    virtual ~CSpaceGroup() = default;

    void SetP1();
    // Loads group (number, setting) from the space-group database; the texts
    // are turned into rotations and translations. 1 after reading, 0 for an
    // empty path, -1 when the file cannot be read.
    int ReadSPG(int number, int setting, const std::string& path);
    // Image of a fractional position under operation o, centring t and, for
    // s > 0, inversion; each component reduced into the cell.
    void ApplyOperation(int o, int t, int s, double x, double y, double z, double& xo, double& yo, double& zo) const;
    // The "x,y,z" text of an operation, with translations as signed fractions.
    static std::string MakeOperationText(const CMyMatrix& rotation, const CMyVector<double>& translation);

    // Appends an operation given as text; the text is parsed into its rotation
    // and translation. A text that cannot be parsed is reported in one line and
    // kept without numbers, so it never moves an atom. Returns the new count.
    int AddOperationText(const std::string& text);
    // Appends an operation given by numbers, with its text made by MakeOperationText.
    int AddOperation(const CMyMatrix& rotation, const CMyVector<double>& translation);
    // True when operation o has a rotation and translation to apply.
    bool HasNumbers(int o) const;

    std::string Name;
    int Number = 1;
    int Setting = 1;
    int nSymmetry = 1;
    int bInversion = 0;
    int nCentering = 1;
    std::vector<CMyVector<double>> Centering;   // kMaxCenterings entries
    std::vector<std::string> OperationText;     // kMaxOperations entries
    std::vector<CMyVector<double>> Translation; // kMaxOperations entries
    std::vector<CMyMatrix> Rotation;            // kMaxOperations entries
};

// The header and symbol line of one database record.
struct SPGRecordInfo {
    int Number = 0;
    int Setting = 0;
    std::string Name;        // the record's own symbol, e.g. "P21/n", "Fd-3m:2"
    std::string HallSymbol;  // e.g. "-P 2yn"
    std::string FullSymbol;  // full Hermann-Mauguin symbol, e.g. "P 1 2_1/n 1"
    std::vector<std::string> OperationTexts;  // the record's operations but the identity, trimmed
};

// Every record of the space-group database in file order; empty when the file
// cannot be read. The list ends at the first line that is no record header.
std::vector<SPGRecordInfo> ReadSPGRecordList(const std::string& path);

// Number and setting of the first record of the space-group database whose
// symbol, blanks removed, equals `symbol` with blanks removed (letter case
// ignored). Returns false when there is none or the file cannot be read.
bool FindSPGBySymbol(const std::string& symbol, const std::string& path, int& number, int& setting);
