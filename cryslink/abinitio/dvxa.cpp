#include "abinitio/dvxa.h"

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "core/paths.h"
#include "core/run_context.h"
#include "core/staged_file.h"

namespace {

// The next line with its line end as it stands in the file ("\n", "\r\n" or none at the end).
bool ReadRawLine(std::istream& in, std::string& line) {
    if (!std::getline(in, line)) return false;
    if (!in.eof()) line += '\n';
    return true;
}

void Write(std::FILE* f, const std::string& text) { std::fwrite(text.data(), 1, text.size(), f); }

}  // namespace

bool CopyFileBytes(const std::string& source, const std::string& target) {
    if (IsSameFile(source, target)) return true;
    // The copy appears under its name only when complete, and never over a
    // file that has the name already, not even one that took it meanwhile.
    CStagedFile out;
    if (!out.Open(target, CStagedFile::Mode::kNew) || !out.CopyFrom(source)) return false;
    return out.Commit();
}

namespace {

// The first of F.prev, F.prev2, F.prev3 ... that names nothing yet, so that no
// earlier backup is overwritten; "" when all of a thousand are taken.
std::string FreeBackupName(const std::string& f01Path) {
    for (int n = 1; n <= 1000; ++n) {
        const std::string name = f01Path + ".prev" + (n == 1 ? "" : std::to_string(n));
        std::error_code ec;
        if (!std::filesystem::exists(std::filesystem::symlink_status(name, ec))) return name;
    }
    return "";
}

}  // namespace

int DVXaF01Conv(const RunContext& context, const std::string& f01Path) {
    std::printf("Input file to be converted: [%s]\n", f01Path.c_str());
    std::error_code ec;
    if (std::filesystem::exists(f01Path, ec) && !std::filesystem::is_regular_file(f01Path, ec)) {
        std::printf("Error: [%s] is no regular file; it is not converted and no backup is made.\n", f01Path.c_str());
        return -1;
    }
    const std::string backup = FreeBackupName(f01Path);
    if (backup.empty() || !CopyFileBytes(f01Path, backup)) {
        std::printf("Creation of backup file [%s] was failed.\n", (backup.empty() ? f01Path + ".prev" : backup).c_str());
        return -1;
    }
    std::printf("Backup file [%s] is created.\n", backup.c_str());

    const std::string& spinOption = context.options.Spin;
    const int madelung = context.options.Madelung;
    const int spin = (!spinOption.empty() && (spinOption[0] == 'n' || spinOption[0] == 'N')) ? 0 : 1;
    std::printf("Spin: %s\n", spinOption.c_str());
    std::printf("Madelung: %d\n", madelung);

    std::ifstream in(backup, std::ios::binary);
    if (!in) {
        std::printf("Can not read [%s].\n", backup.c_str());
        return -2;
    }
    // The converted text goes to a file beside F01 first, so F01 is replaced only when complete.
    CStagedFile out;
    if (!out.Open(f01Path)) {
        std::printf("Can not write to [%s].\n", f01Path.c_str());
        return -3;
    }

    std::FILE* f = out.get();
    std::string title, line;
    if (ReadRawLine(in, line)) {
        std::printf("F: %s", line.c_str());
        if (line[0] == '|')
            Write(f, line);
        else
            title = line;
    }
    while (ReadRawLine(in, line)) {
        size_t at = line.find("Spin");
        int value = spin;
        if (at == std::string::npos) {
            at = line.find("M.P.");
            value = madelung;
        }
        if (at == std::string::npos) {
            Write(f, line);
            continue;
        }
        std::printf("b: %s", line.c_str());
        std::fprintf(f, "%5d     %s", value, line.c_str() + at);
    }
    if (!title.empty()) std::fprintf(f, "\n\n%s", title.c_str());

    if (in.bad()) out.Discard();
    if (!out.Commit()) {
        std::printf("Can not write to [%s].\n", f01Path.c_str());
        return -3;
    }
    return 1;
}
