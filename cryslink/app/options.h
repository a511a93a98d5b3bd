#pragma once
// The options of Cryslink: their names, defaults and hints, and their values
// read from the command line as typed values.
#include "core/run_context.h"

class CCommandLine;

// Registers every option in the order of the usage text and of argument matching.
void RegisterOptions(CCommandLine& commandLine);

// The options as typed values: whole numbers as atoi reads them, reals as atof.
RunOptions ReadRunOptions(const CCommandLine& commandLine);
