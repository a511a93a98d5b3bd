#pragma once
// The formats a run's frames can be written in, one table row each. A format
// is a writer of two functions: the header, given the number of frames the
// file will hold, then one frame at a time. Adding a format is one writer
// (a source file with its header) and one row in trajectory_format.cpp.
#include <cstdio>
#include <string>

class CCrystal;

struct TrajectoryFormat {
    const char* name;   // the value of --TrajectoryFormat, and the extension of the file
    const char* label;  // how the converters' printout names the file ("XSF file    : ")
    void (*begin)(std::FILE* file, int nFrames);
    // Frame `number` (from 1) of the crystal's site table; forces as stored
    // times `forceToEvPerAngstrom` give eV/A.
    void (*frame)(std::FILE* file, int number, const CCrystal& crystal, double forceToEvPerAngstrom);
};

// The format of that name (letter case ignored); nullptr when there is none.
const TrajectoryFormat* FindTrajectoryFormat(const std::string& name);
// The format a run writes: the one named, XSF when the name is no format.
const TrajectoryFormat& TrajectoryFormatOf(const std::string& name);
// Every format's name in table order, joined by `separator`.
std::string TrajectoryFormatNames(const char* separator);
