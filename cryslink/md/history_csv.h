#pragma once
// The run history of a TORV run, taken from its printed log (.f06) and
// appended to two CSV tables: one row per step (temperature, pressure
// tensor, energies, density) and one per cell block (cell, energies, mean
// square displacements).
#include <string>

struct RunContext;

// The step table: `historyName` when given, else the log's name without
// its extension followed by "-History.csv".
std::string MakeHistoryName(const std::string& f06Name, const std::string& historyName);
// The cell table beside it: the step table's name cut before "-History"
// (or its extension), followed by "-History2.csv".
std::string MakeHistory2Name(const std::string& historyName);

// The AddHistoryCSV action. Rows go after those already in the tables, with
// step numbers and times shifted on from the tables' last rows. 1, or -1
// when the log cannot be read or a table cannot be appended to.
int AddHistoryCSV(const RunContext& context, const std::string& f06Name, const std::string& historyName);
