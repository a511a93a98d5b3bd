#pragma once
// WIEN2k densities of states (.dos1ev ... .dos3evdn) as CSV tables, with the
// column titles taken from the case's .int file.
#include <string>
#include <vector>

#include "core/containers.h"

struct RunContext;

namespace CWIEN {

// The whole action for case.int: case.dos.csv, case.dosup.csv and
// case.dosdn.csv from the DOS files of the case that exist. 1, or -1 when
// the .int file cannot be read or no spectra are found.
int MakeDOSCSVFile(const std::string& intPath);

// Rows of data after the three header lines, up to the first empty line, and
// the spectra of the first row (its numbers but the energy). nData, or -1
// when the file cannot be read (both counts are then 0).
int GetDOSnData(const std::string& path, int& nData, int& nSpectrum);

// Reads nData rows: the energies into `energy` and the nSpectrum spectra into
// table[firstColumn] to table[firstColumn + nSpectrum - 1] (the table holds
// one row per spectrum, one column per energy). 1, or -1 when unreadable.
int ReadDOSFile(const std::string& path, CMyVector<double>& energy, CMyMatrix& table, int firstColumn, int nSpectrum,
                int nData);

// "Energy(eV),name,..." and one line per energy with the first nColumns
// spectra. 1, or -1 when the file cannot be written.
int CreateDOSCSVFile(const std::string& csvPath, const CMyVector<double>& energy, const std::vector<std::string>& names,
                     const CMyMatrix& table, int nColumns, int nData);

}  // namespace CWIEN

// The action: A is the case's .int file. Returns what MakeDOSCSVFile returns.
int WIENConvDOS(const RunContext& context, const std::string& intPath);
