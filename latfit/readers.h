#pragma once
// Readers of the three input files, each echoing what it reads on standard
// output. They fill the shared data areas; counts beyond the capacities and
// malformed values stop the run.
#include <string>

// Structure data (unit 7). Returns the space-group symbol (10 columns).
std::string rdfl07();

// Symmetry data (unit 1): finds the entry of the symbol and reads its
// operations, doubled by the centre of symmetry when ICENT is 1. An unknown
// symbol prints its message and stops the run.
void rdfl01(const std::string& symbol);

// Atomic data (unit 2): kinds, their parameters and the pair tables.
void rdfl02();
