#pragma once
// Conversion of a TORV molecular-dynamics run (FILE05, FILE07, FILE09P,
// FILE09V) into an XSF animation, CIF files of the initial, final and
// time-averaged structures, and RDF tables.
#include <string>

#include "core/crystal.h"

class CAtomDatabase;
struct RunContext;
struct RunOptions;

class CTORV {
public:
    // The crystals' atom types take their element properties from `atoms`.
    explicit CTORV(const CAtomDatabase* atoms = nullptr);

    // The run's other files, found beside `inputFile`: FILE05.DAT ... when
    // the input's base name begins with "FILE" (any case), else
    // <base>.f05, .f07, .f9p, .f9v.
    static std::string GetFILE05Name(const std::string& inputFile);
    static std::string GetFILE07Name(const std::string& inputFile);
    static std::string GetFILE09PName(const std::string& inputFile);
    static std::string GetFILE09VName(const std::string& inputFile);

    // Complete frames in FILE09P for the working crystal's sites; 0 (with a
    // message) when the file cannot be read.
    int GetnFrameInFile09(const std::string& name);

    // The whole action. 1 when the trajectory was read, -1 when FILE09P,
    // FILE09V or the XSF file cannot be opened.
    int ConvF09p(const RunOptions& options, const std::string& inputFile);

    CCrystal Crystal;          // the structure of the current step
    CCrystal InitialCrystal;   // the structure of step 0
    CCrystal AveragedCrystal;  // sums, then means, of the steps in the window
    double xFactor = 1.0;
    int nFrame = 0;
    int iAvrFirstStep = 1;
    int iAvrLastStep = 0;
    int AvrCount = 0;

private:
    void AddToAverage(const CCrystal& crystal);
    void WriteAverage(const std::string& cifStem);
};

// The ConvF09p action.
int ConvF09p(const RunContext& context, const std::string& inputFile);
