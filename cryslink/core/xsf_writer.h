#pragma once
#include <cstdio>
#include <memory>
#include <string>

class CCrystal;

// Writes one animation frame (lattice vectors and every site of the cell with
// its force) to an open XSF file. Returns the number of atom lines written.
int WriteXSFFrame(std::FILE* file, int frame, const CCrystal& crystal);

struct XSFFileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using XSFFile = std::unique_ptr<std::FILE, XSFFileCloser>;

// Opens an XSF file for writing in binary mode (line ends "\n" everywhere);
// prints "Can not write to [<name>]." and gives no file when it cannot.
XSFFile OpenXSFFile(const std::string& name);
