#include "core/car_writer.h"

#include <cstdio>
#include <ctime>
#include <vector>

#include "core/crystal.h"
#include "core/staged_file.h"
#include "core/units.h"

namespace {

constexpr int kCountedTypes = 100;

}  // namespace

int WriteCARFile(const std::string& fileName, const CCrystal& crystal) {
    CStagedFile file;
    if (!file.Open(fileName)) {
        std::printf("Can not write to [%s].\n", fileName.c_str());
        return -1;
    }
    std::FILE* f = file.get();
    static const char* const kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    static const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                          "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    const std::time_t now = std::time(nullptr);
    std::tm t{};
    localtime_r(&now, &t);

    std::fprintf(f, "!BIOSYM archive 3\n");
    std::fprintf(f, "PBC=ON\n");
    // The title line: readers of the layout take the line after PBC=ON as the title.
    std::fprintf(f, "%s\n", crystal.Name.c_str());
    std::fprintf(f, "!DATE %3s %3s %2d %2d:%2d:%2d %4d\n", kDays[t.tm_wday], kMonths[t.tm_mon], t.tm_mday, t.tm_hour,
                 t.tm_min, t.tm_sec, t.tm_year + 1900);
    constexpr double k = units::kNmToAngstrom;
    std::fprintf(f, "PBC  %8.4f  %8.4f  %8.4f  %8.4f  %8.4f  %8.4f (%s)\n", crystal.a * k, crystal.b * k,
                 crystal.c * k, crystal.alpha, crystal.beta, crystal.gamma, "P 1");

    std::vector<int> perType(kCountedTypes, 0);
    for (int i = 0; i < crystal.nAtomSites; ++i) {
        const CAtomSite& site = crystal.AtomSites[i];
        const std::string element = site.GetElementName();
        int number = 0;
        if (site.iAtomType >= 0 && site.iAtomType < kCountedTypes) number = ++perType[site.iAtomType];
        const std::string label = element + std::to_string(number);
        double X, Y, Z;
        crystal.FractionalToCartesian(site.x, site.y, site.z, X, Y, Z);
        std::fprintf(f, "%-5s %14.9f %14.9f %14.9f %-4s %-7s%-7s %-2s %6.3f\n", label.c_str(), X * k, Y * k,
                     Z * k, "XXXX", "1", "xx", element.c_str(), 0.0);
    }
    std::fprintf(f, "end\nend\n\n");
    if (!file.Commit()) {
        std::printf("Can not write to [%s].\n", fileName.c_str());
        return -1;
    }
    return 1;
}
