#pragma once
// The files a TORV run leaves: the control input (FILE05), the starting
// structure (FILE07), the trajectory of fractional coordinates (FILE09P) and
// the per-step state and cell (FILE09V), read into a CCrystal.
#include <string>
#include <vector>

#include "core/text_scanner.h"

class CCrystal;

// FILE09P coordinates are stored as whole numbers: with "MD" in the first
// line of FILE05, 9000 is one lattice period, with "XD" 2000; otherwise (or
// without a FILE05) they are fractions as they stand.
double ReadXFactor(const std::string& file05);

// Names the crystal after FILE05 and adds the atom types listed after its
// "V" line ("number name mass charge"). False when FILE05 cannot be read.
bool ReadFILE05AtomTypes(const std::string& file05, CCrystal& crystal);

// Reads the title, atom types, cell (angstrom) and sites of FILE07 into the
// crystal, in P1. False when FILE07 cannot be read.
bool ReadFILE07(const std::string& file07, CCrystal& crystal);

// FILE09P coordinate lines per frame: six sites to a line.
inline long FILE09PLinesPerFrame(int nAsymSites) { return 1 + (nAsymSites + 5) / 6; }

// Reads FILE09P frame by frame: a header line, then for each site three
// four-character fields, six sites to a line.
class CFILE09PReader {
public:
    bool Open(const std::string& path, double xFactor);
    // The next frame's fractional coordinates, x y z per site. False when the
    // file ends before the frame is complete; `xyz` is then undefined.
    bool ReadFrame(int nSites, std::vector<double>& xyz);
    // Whether the last ReadFrame met the end of the file after the frame had begun.
    bool CutShort() const { return cutShort_; }

private:
    CTextScanner scanner_;
    std::string line_;
    double xFactor_ = 1.0;
    bool cutShort_ = false;
};

// Reads FILE09V frame by frame: temperature and pressure in line 1, density
// and cell in line 3 of a five-line frame. A frame whose first line is
// shorter than 40 characters is that line alone and changes nothing.
class CFILE09VReader {
public:
    bool Open(const std::string& path) { return scanner_.Open(path); }
    // Reads the next frame into the crystal; true when its cell was read.
    bool ReadFrame(CCrystal& crystal);

private:
    CTextScanner scanner_;
    std::string line_;
};
