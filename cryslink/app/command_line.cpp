#include "app/command_line.h"

#include "core/text_lines.h"

namespace {
const std::string kEmpty;
}  // namespace

CCommandLine::CCommandLine(int capacity) : nCapacity(capacity > 0 ? capacity : 0) {}

int CCommandLine::AddOption(const std::string& name, const std::string& defaultValue,
                            const std::string& hint) {
    if (OptionCount() >= nCapacity) return -OptionCount();
    names.push_back(name);
    values.push_back(defaultValue);
    hints.push_back(hint);
    return OptionCount() - 1;
}

const std::string& CCommandLine::GetValue(const std::string& name) const {
    for (size_t i = 0; i < names.size(); ++i)
        if (EqualsNoCase(names[i], name)) return values[i];
    return kEmpty;
}

const std::string& CCommandLine::GetName(int i) const {
    return (i >= 0 && i < OptionCount()) ? names[i] : kEmpty;
}

const std::string& CCommandLine::GetHint(int i) const {
    return (i >= 0 && i < OptionCount()) ? hints[i] : kEmpty;
}

const std::string& CCommandLine::GetFile(int i) const {
    return (i >= 0 && i < FileCount()) ? files[i] : kEmpty;
}

bool CCommandLine::SetFromArgument(const std::string& argument) {
    for (size_t i = 0; i < names.size(); ++i) {
        const std::string prefix = "--" + names[i] + "=";
        if (StartsWithNoCase(argument, prefix)) {
            values[i] = argument.substr(argument.find('=') + 1);
            return true;
        }
    }
    return false;
}

bool CCommandLine::AddFile(const std::string& file) {
    if (FileCount() >= nCapacity) return false;
    files.push_back(file);
    return true;
}
