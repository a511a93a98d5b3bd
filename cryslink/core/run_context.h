#pragma once
// What every action is handed by the run: the options of the command line,
// read once into typed values, and the databases, each read at most once.
#include <string>
#include <vector>

#include "core/atom_database.h"
#include "core/space_group_database.h"

// The options with the values they have when the command line does not give
// them. Whole numbers are read as atoi reads them and reals as atof (an empty
// or non-numeric value is 0).
struct RunOptions {
    int nCycle = 0;
    int nOutputInterval = 0;
    int nLastStep = 0;
    int iAvrFirstStep = 0;
    int iAvrLastStep = 0;
    double NextTemperature = -1e50;
    double TemperatureRate = -1e50;
    int ControlStep = 1;
    double NextPressure = -1e50;
    int sn = 0;
    std::string Spin = "s";
    int Madelung = 1;
    int CoordinationNumber = 0;
    int ShowAsymmetricUnit = 0;
    int ShowAllAtoms = 0;
    int CalcRDF = 0;
    double MaximumDistance = 5.0;
    double MinimumDistance = 0.1;
    int nMesh = 201;
    std::string TrajectoryFormat = "xsf";
};

struct RunContext {
    RunOptions options;
    CAtomDatabase atoms;              // read when the action makes atom types
    CSpaceGroupDatabase spaceGroups;  // read when the action looks up space groups
};

// The databases an action reads.
enum DatabaseNeed : unsigned {
    kNoDatabase = 0,
    kAtomDatabase = 1,        // nonrel and asfdc: atomic numbers and weights
    kSpaceGroupDatabase = 2,  // spgra
    kAllDatabases = kAtomDatabase | kSpaceGroupDatabase,
};

// The database files of a directory: "nonrel", "asfdc" and "spgra" joined to it.
struct DatabasePaths {
    explicit DatabasePaths(const std::string& directory);
    std::string nonrel, asfdc, spgra;
};

// Reads the databases `needs` names into the context, each file once. Returns
// the paths of those that could not be read (missing, empty, a directory).
std::vector<std::string> ReadDatabases(RunContext& context, const DatabasePaths& paths,
                                       unsigned needs = kAllDatabases);
