#pragma once
// The six data files of a run, by unit number, and their opening and closing.
//   unit 1 symmetry data (input)     unit 7 structure data (input, rewritten by the fit)
//   unit 2 atomic data (input)       unit 8 coordinate data (output)
//   unit 4 crystal data (output)     unit 9 distance data (output)
#include <string>

#include "list_reader.h"
#include "output_file.h"

struct Units {
  ListReader symmetry;     // unit 1
  ListReader atomic;       // unit 2
  OutputFile crystal;      // unit 4
  ListReader structure;    // unit 7
  OutputFile coordinates;  // unit 8
  OutputFile distances;    // unit 9
};
extern Units units;

// Path of a unit's file: its stored name without the trailing blanks.
std::string filePath(int unit);

// Mode 1: echoes the six names and opens units 1, 2, 7 (must exist) and 8.
// Mode 2: opens unit 4 if CRFLAG is non-zero and unit 9 if RCFLAG is.
// Prints " FILE OPEN ERR" and returns false at the first failure.
bool openfl(int mode);

// Closes units 1, 2, 4 (if CRFLAG), 7, 8, 9 (if RCFLAG); prints
// " FILE CLOSE ERR" and returns false at the first failure.
bool closfl();
