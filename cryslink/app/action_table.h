#pragma once
// The actions Cryslink can run, selected by the option Action.
#include <string>

struct RunContext;

// A handler gets the run's options and databases and the first and second
// positional file names ("" when absent).
using ActionHandler = int (*)(const RunContext& context, const std::string& file1, const std::string& file2);

struct ActionEntry {
    const char* name;
    // Printed before the handler runs; a "%d" in it takes the option sn.
    const char* description;
    ActionHandler handler;
    unsigned databases;  // DatabaseNeed flags
};

// The entry whose name equals `action` without regard to case, or nullptr.
const ActionEntry* FindAction(const std::string& action);

// Every action name in table order, joined by `separator`.
std::string ActionNames(const char* separator);
