#include "app/cryslink_main.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/action_table.h"
#include "app/command_line.h"
#include "app/paths.h"
#include "core/database_paths.h"

namespace {

struct OptionDefinition {
    const char* name;
    const char* defaultValue;
    const char* hint;
};

// Registration order is the order of the usage text and of argument matching.
const OptionDefinition kOptions[] = {
    {"Action", "", nullptr},  // the hint lists the actions of the action table
    {"DBDir", "", "AtomDB_Directory"},
    {"nCycle", "0", "[0|>=1]"},
    {"nOutputInterval", "0", "[-1|>=1]"},
    {"nLastStep", "0", "[-1|>=1]"},
    {"iAvrFirstStep", "0", "[-1|>=1]"},
    {"iAvrLastStep", "0", "[-1|>=1]"},
    {"NextTemperature", "-1e50", "[-1e50|>-1e20]"},
    {"TemperatureRate", "-1e50", "[-1e50|>-1e20]"},
    {"ControlStep", "1", "[-1|>=1]"},
    {"NextPressure", "-1e50", "[-1e50|>-1e20]"},
    {"sn", "0", "[-1|0|>=1]"},
    {"Spin", "s", "[n|s]"},
    {"Madelung", "1", "[0|1]"},
    {"CoordinationNumber", "0", "[>0]"},
    {"ShowAsymmetricUnit", "0", "[0|1]"},
    {"ShowAllAtoms", "0", "[0|1]"},
    {"CalcRDF", "0", "[0|1]"},
    {"MaximumDistance", "5.0", "[>0]"},
    {"MinimumDistance", "0.1", "[>0]"},
    {"nMesh", "201", "[>1]"},
};

void PrintBanner() {
    printf("\n");
    printf("===================================================\n");
    printf("      File Converter for MD/ab-initio programs\n");
    printf("===================================================\n");
    printf("\n");
}

void PrintUsage(const char* programName) {
    printf("\n");
    printf("   Usage: %s [Options] %s\n", programName, "infile [outfile]");
    printf("              Options:\n");
    for (int i = 0; i < gCommandLine.OptionCount(); ++i) {
        if (gCommandLine.GetHint(i).empty())
            printf("                 --%s=[values]\n", gCommandLine.GetName(i).c_str());
        else
            printf("                 --%s=%s\n", gCommandLine.GetName(i).c_str(), gCommandLine.GetHint(i).c_str());
    }
}

bool AnyDatabaseIn(const std::string& directory) {
    std::error_code ec;
    for (const char* name : {"nonrel", "asfdc", "spgra"})
        if (std::filesystem::is_regular_file(JoinPath(directory, name), ec)) return true;
    return false;
}

// The directory of the databases when no DBDir is given: beside the executable,
// else <prefix>/share/cryslink of an installed executable in <prefix>/bin.
std::string DefaultDatabaseDirectory(const std::string& argv0) {
    const std::string beside = ExecutableDirectory(argv0);
    if (beside.empty() || AnyDatabaseIn(beside)) return beside;
    const std::string installed = JoinPath(JoinPath(DirectoryWithoutSeparator(beside), "share"), "cryslink");
    return AnyDatabaseIn(installed) ? installed : beside;
}

// Fills the database paths from DBDir, else from the executable's place.
void ResolveDatabasePaths(const std::string& argv0) {
    std::string directory = ResolveBackslashPath(gCommandLine.GetValue("DBDir"));
    if (directory.empty()) directory = DefaultDatabaseDirectory(argv0);
    NONRELPath = JoinPath(directory, "nonrel");
    ASFDCPath = JoinPath(directory, "asfdc");
    AtomDBPath = JoinPath(directory, "nonrel");
    SPGDBPath = JoinPath(directory, "spgra");
    printf("NONRELPath:  %s\n", NONRELPath.c_str());
    printf("ASFDCPath :  %s\n", ASFDCPath.c_str());
    printf("AtomDBPath:  %s\n", AtomDBPath.c_str());
    printf("SPGDBPath :  %s\n", SPGDBPath.c_str());
    printf("\n\n");
}

// "[ConvF09p|UpdateFILE05|...]": every action of the action table.
std::string ActionHint() {
    std::string hint = "[";
    hint += ActionNames("|");
    hint += ']';
    return hint;
}

// A database is a regular file with something in it that can be opened.
bool CanRead(const std::string& path) {
    std::error_code ec;
    return std::filesystem::is_regular_file(path, ec) && std::filesystem::file_size(path, ec) > 0 && !ec &&
           std::ifstream(path).is_open();
}

// True when every database the action reads can be opened; each one that
// cannot is named in one line, and the action is then not run.
bool DatabasesReadable(unsigned needs) {
    std::vector<const std::string*> paths;
    if (needs & kAtomDatabase) paths.insert(paths.end(), {&NONRELPath, &ASFDCPath});
    if (needs & kSpaceGroupDatabase) paths.push_back(&SPGDBPath);
    bool readable = true;
    for (const std::string* path : paths) {
        if (CanRead(*path)) continue;
        printf("Error: Can not read the database [%s].\n", path->c_str());
        readable = false;
    }
    return readable;
}

}  // namespace

int RunCryslink(int argc, char** argv) {
    gCommandLine = CCommandLine();
    PrintBanner();
    for (const OptionDefinition& option : kOptions)
        gCommandLine.AddOption(option.name, option.defaultValue,
                               option.hint ? std::string(option.hint) : ActionHint());

    const char* programName = argc > 0 ? argv[0] : "Cryslink";
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            PrintUsage(programName);
            return 0;
        }
    }

    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        printf("arg: %s\n", argument.c_str());
        if (gCommandLine.SetFromArgument(argument)) continue;
        const bool invalid = !argument.empty() && argument[0] == '-';
        if (invalid) {
            printf("Invalid argument: %s\n", argument.c_str());
            gCommandLine.CountInvalid();
        }
        if (gCommandLine.AddFile(argument)) {
            printf("Add File [%s].\n", argument.c_str());
        } else if (!invalid) {
            // The file list is full: a further file is refused like an invalid argument.
            printf("Invalid argument: %s\n", argument.c_str());
            gCommandLine.CountInvalid();
        }
    }
    if (gCommandLine.InvalidCount() > 0) return -1;

    if (argc <= 1) {
        PrintUsage(programName);
        return -1;
    }

    ResolveDatabasePaths(programName);

    const std::string& action = gCommandLine.GetValue("Action");
    if (const ActionEntry* entry = FindAction(action)) {
        printf(entry->description, GetIntOption("sn"));
        if (DatabasesReadable(entry->databases))
            entry->handler(ResolveBackslashPath(gCommandLine.GetFile(0)), ResolveBackslashPath(gCommandLine.GetFile(1)));
    } else {
        printf("\nError: Invalid Action: [%s]\n\n", action.c_str());
        printf("Valid actions: %s\n", ActionNames(", ").c_str());
    }

    printf("\n");
    printf("Cryslink finished.\n");
    printf("\n");
    return 0;
}
