#pragma once
// A space group: its symbol and number, the listed operations (text, rotation
// and translation), the centring translations and the inversion flag.
#include <string>
#include <vector>

#include "core/containers.h"

class CSpaceGroupDatabase;

class CSpaceGroup {
public:
    static constexpr int kMaxOperations = 512;
    static constexpr int kMaxCenterings = 4;

    CSpaceGroup();

    void SetP1();
    // Loads group (number, setting) of the space-group database; the texts are
    // turned into rotations and translations. A group the database lacks
    // leaves P1 with that number and setting. 1, or -1 (with a line) when the
    // database could not be read.
    int ReadSPG(int number, int setting, const CSpaceGroupDatabase& database);
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
