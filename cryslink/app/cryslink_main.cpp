#include "app/cryslink_main.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "app/action_table.h"
#include "app/command_line.h"
#include "app/options.h"
#include "core/paths.h"
#include "core/run_context.h"
#include "core/trajectory_format.h"

namespace {

void PrintBanner() {
    printf("\n");
    printf("===================================================\n");
    printf("      File Converter for MD/ab-initio programs\n");
    printf("===================================================\n");
    printf("\n");
}

void PrintUsage(const CCommandLine& commandLine, const char* programName) {
    printf("\n");
    printf("   Usage: %s [Options] %s\n", programName, "infile [outfile]");
    printf("              Options:\n");
    for (int i = 0; i < commandLine.OptionCount(); ++i) {
        if (commandLine.GetHint(i).empty())
            printf("                 --%s=[values]\n", commandLine.GetName(i).c_str());
        else
            printf("                 --%s=%s\n", commandLine.GetName(i).c_str(), commandLine.GetHint(i).c_str());
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

// The database paths from DBDir, else from the executable's place; printed.
DatabasePaths ResolveDatabasePaths(const std::string& dbDir, const std::string& argv0) {
    std::string directory = ResolveBackslashPath(dbDir);
    if (directory.empty()) directory = DefaultDatabaseDirectory(argv0);
    const DatabasePaths paths(directory);
    printf("NONRELPath:  %s\n", paths.nonrel.c_str());
    printf("ASFDCPath :  %s\n", paths.asfdc.c_str());
    printf("AtomDBPath:  %s\n", paths.nonrel.c_str());
    printf("SPGDBPath :  %s\n", paths.spgra.c_str());
    printf("\n\n");
    return paths;
}

// Reads the databases the action needs, each once; each one that cannot be
// read (missing, empty, a directory) is named in one line, and the action is
// then not run.
bool DatabasesRead(unsigned needs, const DatabasePaths& paths, RunContext& context) {
    const std::vector<std::string> unread = ReadDatabases(context, paths, needs);
    for (const std::string& path : unread) printf("Error: Can not read the database [%s].\n", path.c_str());
    return unread.empty();
}

}  // namespace

int RunCryslink(int argc, char** argv) {
    CCommandLine commandLine;
    PrintBanner();
    RegisterOptions(commandLine);

    const char* programName = argc > 0 ? argv[0] : "Cryslink";
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            PrintUsage(commandLine, programName);
            return 0;
        }
    }

    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        printf("arg: %s\n", argument.c_str());
        if (commandLine.SetFromArgument(argument)) continue;
        const bool invalid = !argument.empty() && argument[0] == '-';
        if (invalid) {
            printf("Invalid argument: %s\n", argument.c_str());
            commandLine.CountInvalid();
        }
        if (commandLine.AddFile(argument)) {
            printf("Add File [%s].\n", argument.c_str());
        } else if (!invalid) {
            // The file list is full: a further file is refused like an invalid argument.
            printf("Invalid argument: %s\n", argument.c_str());
            commandLine.CountInvalid();
        }
    }
    if (commandLine.InvalidCount() > 0) return -1;

    if (argc <= 1) {
        PrintUsage(commandLine, programName);
        return -1;
    }

    const DatabasePaths paths = ResolveDatabasePaths(commandLine.GetValue("DBDir"), programName);
    RunContext context;
    context.options = ReadRunOptions(commandLine);

    const std::string& action = commandLine.GetValue("Action");
    if (!FindTrajectoryFormat(context.options.TrajectoryFormat)) {
        printf("\nError: Invalid TrajectoryFormat: [%s]\n\n", context.options.TrajectoryFormat.c_str());
        printf("Valid trajectory formats: %s\n", TrajectoryFormatNames(", ").c_str());
    } else if (const ActionEntry* entry = FindAction(action)) {
        printf(entry->description, context.options.sn);
        if (DatabasesRead(entry->databases, paths, context))
            entry->handler(context, ResolveBackslashPath(commandLine.GetFile(0)),
                           ResolveBackslashPath(commandLine.GetFile(1)));
    } else {
        printf("\nError: Invalid Action: [%s]\n\n", action.c_str());
        printf("Valid actions: %s\n", ActionNames(", ").c_str());
    }

    printf("\n");
    printf("Cryslink finished.\n");
    printf("\n");
    return 0;
}
