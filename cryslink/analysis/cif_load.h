#pragma once
// Reading a CIF file into a crystal with its whole cell, the first step of
// every analysis action.
#include <memory>
#include <string>

class CCrystal;
struct RunContext;

// Loads and expands the structure of `fileName` with the run's databases. `errorMessage` (a format with
// one %s for the file name, or empty for none) is printed when the file cannot
// be read. Returns nullptr on failure.
std::unique_ptr<CCrystal> LoadCrystalFromCIF(const RunContext& context, const std::string& fileName,
                                             const char* errorMessage);
