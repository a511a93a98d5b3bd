#pragma once
// Pieces every ab-initio converter shares: the base of the file names, a
// fresh crystal of the converters' capacities, and its structure files.
#include <string>

class CCrystal;

// The argument without the extension of its file name ("run/a.out" gives
// "run/a"; a dot in a directory name is no extension).
std::string PathBase(const std::string& path);

// Space group P1, room for 100 atom types and 10000 sites, and the database
// paths of this run.
void PrepareConverterCrystal(CCrystal& crystal);

// The integer options every trajectory converter reads (0 when absent).
struct ConverterOptions {
    int nLastStep = 0;
    int nOutputInterval = 0;
    int CalcRDF = 0;
};
ConverterOptions ReadConverterOptions();
