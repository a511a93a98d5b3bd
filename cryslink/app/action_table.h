#pragma once
// The actions Cryslink can run, selected by the option Action.
#include <string>

// A handler gets the first and second positional file names ("" when absent).
using ActionHandler = int (*)(const std::string& file1, const std::string& file2);

struct ActionEntry {
    const char* name;
    // Printed before the handler runs; a "%d" in it takes the option sn.
    const char* description;
    ActionHandler handler;
};

// The entry whose name equals `action` without regard to case, or nullptr.
const ActionEntry* FindAction(const std::string& action);
