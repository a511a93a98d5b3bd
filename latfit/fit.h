#pragma once
// Fitting cycle: refines the switched coordinates and lattice constants.
#include <string>

// Runs the fitting cycle on the state held in the shared data areas.
void fitlsq(const std::string& spaceGroupSymbol);
