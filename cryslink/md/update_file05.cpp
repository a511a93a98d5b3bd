#include "md/update_file05.h"

#include <cctype>
#include <climits>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/paths.h"
#include "core/run_context.h"
#include "core/staged_file.h"

namespace {

// A number written as a whole number: truncated toward zero, NaN as 0, clamped to int.
int Truncate(double value) {
    if (std::isnan(value)) return 0;
    if (value >= static_cast<double>(INT_MAX)) return INT_MAX;
    if (value <= static_cast<double>(INT_MIN)) return INT_MIN;
    return static_cast<int>(value);
}

std::string Format(const char* format, auto... args) {
    int n = std::snprintf(nullptr, 0, format, args...);
    std::string out(static_cast<size_t>(n), '\0');
    std::snprintf(out.data(), out.size() + 1, format, args...);
    return out;
}

// One line of the control file with the line end it had.
struct Line {
    std::string text;
    bool crlf = false;     // ended with "\r\n"
    bool newline = false;  // ended with a line feed (the last line may not)

    std::string Ending() const { return newline ? (crlf ? "\r\n" : "\n") : (crlf ? "\r" : ""); }
};

bool ReadLine(std::istream& in, Line& line) {
    if (!std::getline(in, line.text)) return false;
    line.newline = !in.eof();
    line.crlf = !line.text.empty() && line.text.back() == '\r';
    if (line.crlf) line.text.pop_back();
    return true;
}

// A rewritten line keeps the line end style of the line it replaces.
const char* Ending(const Line& line) { return line.crlf ? "\r\n" : "\n"; }

std::string RewriteCycleLine(const Line& line, const RunOptions& options) {
    std::vector<char> name(line.text.size() + 1, '\0');
    double v[6] = {0, 0, 0, 0, 0, 0};
    std::sscanf(line.text.c_str(), "%s %lg %lg %lg %lg %lg %lg", name.data(), &v[0], &v[1], &v[2], &v[3], &v[4],
                &v[5]);
    if (options.nCycle > 0) v[0] = options.nCycle;
    return Format("%-8s     %05d.    %05d.    %5d.   %5d.    %5d.            :", name.data(), Truncate(v[0]),
                  Truncate(v[1]), Truncate(v[2]), Truncate(v[3]), Truncate(v[4])) +
           Ending(line);
}

std::string RewriteTemperatureLine(const Line& line, const RunOptions& options) {
    const std::string head = line.text.substr(0, 10);
    double v[3] = {0, 0, 0};
    if (line.text.size() > 10) std::sscanf(line.text.c_str() + 10, "%lg %lg %lg", &v[0], &v[1], &v[2]);
    if (options.NextTemperature > -1000.0) v[0] = options.NextTemperature;
    if (options.TemperatureRate > -1e20) v[1] = options.TemperatureRate;
    if (options.ControlStep > 0) v[2] = options.ControlStep;
    return Format("%9s%9.2f%9.2f%9d.                                :", head.c_str(), v[0], v[1], Truncate(v[2])) +
           Ending(line);
}

std::string RewritePressureLine(const Line& line, const RunOptions& options) {
    if (!(options.NextPressure > -1e20)) return line.text + line.Ending();
    const std::string head = line.text.substr(0, 9);
    const double p = options.NextPressure;
    return Format("%8s%10.4f%10.4f%10.4f                               :", head.c_str(), p, p, p) + Ending(line);
}

}  // namespace

std::string MakeNextFILE05Name(const std::string& inputFile, int sn) {
    // The extension is looked for in the file name only, not in a directory name.
    size_t nameStart = inputFile.find_last_of("/\\");
    nameStart = nameStart == std::string::npos ? 0 : nameStart + 1;
    size_t dot = inputFile.rfind('.');
    std::string base = inputFile, extension;
    if (dot != std::string::npos && dot >= nameStart) {
        base = inputFile.substr(0, dot);
        extension = inputFile.substr(dot);
    }
    size_t n = base.size();
    if (n >= nameStart + 4 && base[n - 4] == '-' && std::isdigit(static_cast<unsigned char>(base[n - 3])))
        base.erase(n - 4);
    if (sn >= 1) return Format("%s-%03d", base.c_str(), sn) + extension;
    return base + extension + ".new";
}

int UpdateFILE05(const RunContext& context, const std::string& inputFile) {
    const RunOptions& options = context.options;
    const std::string newFile = MakeNextFILE05Name(inputFile, options.sn);
    printf("Update [%s] to [%s].\n", inputFile.c_str(), newFile.c_str());
    printf("nCycle: %d\n", options.nCycle);
    printf("NextTempeature: %lg K\n", options.NextTemperature);
    printf("TempeatureRate: %lg K / %d step\n", options.TemperatureRate, options.ControlStep);
    printf("NextPressure  : %lg GPa\n", options.NextPressure);
    printf("Sequential N  : %d\n", options.sn);

    std::error_code ec;
    std::ifstream in;
    if (!std::filesystem::is_directory(inputFile, ec)) in.open(inputFile, std::ios::binary);
    if (!in.is_open()) {
        printf("Can not read %s.\n", inputFile.c_str());
        return -1;
    }
    // Writing the new file over the input would destroy it while it is read.
    if (IsSameFile(inputFile, newFile)) {
        printf("Can not write to %s.\n", newFile.c_str());
        return -1;
    }
    CStagedFile out;
    if (!out.Open(newFile)) {
        printf("Can not write to %s.\n", newFile.c_str());
        return -1;
    }

    auto put = [&](const std::string& text) { std::fwrite(text.data(), 1, text.size(), out.get()); };
    Line line;
    for (int number = 1; ReadLine(in, line); ++number) {
        switch (number) {
            case 3: put(RewriteCycleLine(line, options)); break;
            case 5: put(RewriteTemperatureLine(line, options)); break;
            case 6: put(RewritePressureLine(line, options)); break;
            default: put(line.text + line.Ending()); break;
        }
    }
    if (in.bad() || !out.Commit()) {
        printf("Can not write to %s.\n", newFile.c_str());
        return -1;
    }
    printf("\n");
    return 0;
}
