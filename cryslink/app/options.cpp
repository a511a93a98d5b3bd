#include "app/options.h"

#include <cstdlib>
#include <string>

#include "app/action_table.h"
#include "app/command_line.h"
#include "core/trajectory_format.h"

namespace {

// An option, its default, its hint in the usage text and the field of the
// run's options it fills (none for Action and DBDir, which the run uses itself).
struct OptionDefinition {
    const char* name;
    const char* defaultValue;
    const char* hint;
    int RunOptions::*whole = nullptr;
    double RunOptions::*real = nullptr;
    std::string RunOptions::*text = nullptr;
    std::string (*names)(const char* separator) = nullptr;  // a table whose names the hint lists instead
};

// "[a|b|c]" of the names of a table.
std::string Choices(const std::string& names) {
    std::string hint = "[";
    hint += names;
    hint += ']';
    return hint;
}

// Registration order is the order of the usage text and of argument matching.
const OptionDefinition kOptions[] = {
    {.name = "Action", .defaultValue = "", .hint = nullptr, .names = ActionNames},
    {"DBDir", "", "AtomDB_Directory"},
    {"nCycle", "0", "[0|>=1]", &RunOptions::nCycle},
    {"nOutputInterval", "0", "[-1|>=1]", &RunOptions::nOutputInterval},
    {"nLastStep", "0", "[-1|>=1]", &RunOptions::nLastStep},
    {"iAvrFirstStep", "0", "[-1|>=1]", &RunOptions::iAvrFirstStep},
    {"iAvrLastStep", "0", "[-1|>=1]", &RunOptions::iAvrLastStep},
    {"NextTemperature", "-1e50", "[-1e50|>-1e20]", nullptr, &RunOptions::NextTemperature},
    {"TemperatureRate", "-1e50", "[-1e50|>-1e20]", nullptr, &RunOptions::TemperatureRate},
    {"ControlStep", "1", "[-1|>=1]", &RunOptions::ControlStep},
    {"NextPressure", "-1e50", "[-1e50|>-1e20]", nullptr, &RunOptions::NextPressure},
    {"sn", "0", "[-1|0|>=1]", &RunOptions::sn},
    {"Spin", "s", "[n|s]", nullptr, nullptr, &RunOptions::Spin},
    {"Madelung", "1", "[0|1]", &RunOptions::Madelung},
    {"CoordinationNumber", "0", "[>0]", &RunOptions::CoordinationNumber},
    {"ShowAsymmetricUnit", "0", "[0|1]", &RunOptions::ShowAsymmetricUnit},
    {"ShowAllAtoms", "0", "[0|1]", &RunOptions::ShowAllAtoms},
    {"CalcRDF", "0", "[0|1]", &RunOptions::CalcRDF},
    {"MaximumDistance", "5.0", "[>0]", nullptr, &RunOptions::MaximumDistance},
    {"MinimumDistance", "0.1", "[>0]", nullptr, &RunOptions::MinimumDistance},
    {"nMesh", "201", "[>1]", &RunOptions::nMesh},
    {.name = "TrajectoryFormat", .defaultValue = "xsf", .hint = nullptr, .text = &RunOptions::TrajectoryFormat,
     .names = TrajectoryFormatNames},
};

}  // namespace

void RegisterOptions(CCommandLine& commandLine) {
    for (const OptionDefinition& option : kOptions)
        commandLine.AddOption(option.name, option.defaultValue,
                              option.names ? Choices(option.names("|")) : std::string(option.hint));
}

RunOptions ReadRunOptions(const CCommandLine& commandLine) {
    RunOptions options;
    for (const OptionDefinition& option : kOptions) {
        const std::string& value = commandLine.GetValue(option.name);
        if (option.whole) options.*option.whole = std::atoi(value.c_str());
        if (option.real) options.*option.real = std::atof(value.c_str());
        if (option.text) options.*option.text = value;
    }
    return options;
}
