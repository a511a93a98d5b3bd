// CPWScf::UpdateInpFile: the input of a pw.x run rewritten with the structure
// of its last step, each value in the input's own unit and layout.
#include <cmath>
#include <cstdio>
#include <limits>

#include "abinitio/pwscf.h"
#include "core/crystal.h"
#include "core/staged_file.h"
#include "core/text_scanner.h"
#include "core/units.h"

namespace {

std::string Format(const char* format, double value) {
    char buffer[96];
    std::snprintf(buffer, sizeof buffer, format, value);
    return buffer;
}

// The three rows of a CELL_PARAMETERS card: the vectors (bohr) times `scale`.
std::string CellRows(const CCellVectors& cell, double scale) {
    std::string rows;
    for (int i = 0; i < 3; ++i) {
        char buffer[128];
        std::snprintf(buffer, sizeof buffer, "  %16.10f  %16.10f  %16.10f\n", cell.v[i][0] * scale, cell.v[i][1] * scale,
                      cell.v[i][2] * scale);
        rows += buffer;
    }
    return rows;
}

std::string PositionLine(const std::string& name, const double r[3], const std::string& rest) {
    char buffer[160];
    std::snprintf(buffer, sizeof buffer, " %6s  %14.10f  %14.10f  %14.10f", name.c_str(), r[0], r[1], r[2]);
    return buffer + rest + "\n";
}

// Rows of the card that starts after line k: the index after its last row.
size_t CardEnd(const std::vector<std::string>& lines, size_t k, size_t maxRows) {
    size_t r = k + 1, rows = 0;
    for (; r < lines.size() && rows < maxRows; ++r) {
        const std::string_view t = TrimView(lines[r]);
        if (!t.empty() && (t[0] == '!' || t[0] == '#')) continue;
        double v[3];
        const std::vector<std::string_view> words = SplitWords(lines[r]);
        const bool positionRow = words.size() >= 4 && ScanNumbers(lines[r].substr(words[1].data() - lines[r].data()), v, 3) == 3;
        const bool vectorRow = ScanNumbers(lines[r], v, 3) == 3;
        if (!(maxRows == 3 ? vectorRow : positionRow)) break;
        ++rows;
    }
    return r;
}

}  // namespace

int CPWScf::UpdateInpFile(const std::string& inputName, const std::string& newName, const CCrystal& crystal) const {
    PWScfInput in;
    if (!ReadPWScfInput(inputName, in)) {
        std::printf("Error in CPWScf::UpdateInpFile: Can not read [%s].\n", inputName.c_str());
        return -1;
    }
    in.effectiveIbrav = input_.effectiveIbrav;
    CCellVectors inputCell;
    double inputAlat = 0;
    PWScfInputCell(in, inputCell, inputAlat);
    const CCellVectors& cell = cell_.IsValid() ? cell_ : inputCell;

    // The final cell as the namelist gives it: conventional lengths and cosines.
    const bool latticeByNamelist = in.spaceGroup > 0 || in.effectiveIbrav != 0;
    double lengths[3] = {}, cosines[3] = {};
    PWScfCelldm celldm = in.celldm;
    double alat = inputAlat;
    bool freeCell = false;
    if (latticeByNamelist && PWScfConventionalCell(in.effectiveIbrav, cell.v, lengths, cosines)) {
        celldm = PWScfCelldmFromConventional(in.effectiveIbrav, lengths, cosines);
        alat = celldm.v[0];
        // A relaxation that broke the lattice's symmetry leaves a cell that no
        // ibrav of the input describes: it is written as ibrav=0, its vectors in
        // units of the lattice parameter the input gives (celldm(1) or A).
        // A space group keeps its lattice (pw.x keeps its symmetry).
        double rebuilt[3][3];
        freeCell = in.spaceGroup == 0 && alat > 0 &&
                   (!PWScfLatticeVectors(in.effectiveIbrav, celldm, rebuilt) || !PWScfSameShape(rebuilt, cell.v, 1e-6));
        if (freeCell)
            std::printf("The final cell no longer has the shape of ibrav=%d: [%s] gets ibrav=0 and CELL_PARAMETERS alat.\n",
                        in.effectiveIbrav, newName.c_str());
    }
    // The species of the final atoms, as the input names them.
    auto speciesOf = [&](int j) {
        return static_cast<size_t>(crystal.nAtomSites) == atoms_.size() ? atoms_[static_cast<size_t>(j)].species
                                                                        : crystal.AtomSites[j].GetElementName();
    };

    CStagedFile out;
    if (!out.Open(newName)) {
        std::printf("Error in CPWScf::UpdateInpFile: Can not write to [%s].\n", newName.c_str());
        return -1;
    }
    std::string text;
    bool inNamelist = false;
    for (size_t k = 0; k < in.lines.size(); ++k) {
        std::string line = in.lines[k];
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const std::string_view t = TrimView(line);
        if (!inNamelist && !t.empty() && t[0] == '&') inNamelist = true;
        if (inNamelist) {
            bool closes = false;
            const std::vector<PWScfAssignment> assignments = ParsePWScfAssignments(line, closes);
            if (closes) inNamelist = false;
            if (!latticeByNamelist) {
                text += line + "\n";
                continue;
            }
            static const char* const kNames[] = {"a", "b", "c", "cosab", "cosac", "cosbc"};
            static const char* const kLines[] = {"    A =  %14.10f,\n",      "    B =  %14.10f,\n",
                                                 "    C =  %14.10f,\n",      "    cosAB = %14.10f ,\n",
                                                 "    cosAC = %14.10f ,\n",  "    cosBC = %14.10f ,\n"};
            const double abcValues[6] = {lengths[0] * units::kBohr, lengths[1] * units::kBohr,
                                         lengths[2] * units::kBohr, cosines[0] + 1e-15,
                                         cosines[1] + 1e-15,        cosines[2] + 1e-15};
            std::string rewritten = line;
            bool whole = false;
            for (size_t i = assignments.size(); i-- > 0;) {
                const PWScfAssignment& a = assignments[i];
                double value = std::numeric_limits<double>::quiet_NaN();
                for (int n = 0; n < 6; ++n) {
                    if (a.name != kNames[n]) continue;
                    value = abcValues[n];
                    if (assignments.size() == 1 && !closes) {
                        rewritten = Format(kLines[n], value);
                        whole = true;
                    }
                }
                if (a.name.size() == 9 && a.name.compare(0, 7, "celldm(") == 0 && a.name[7] >= '1' && a.name[7] <= '6')
                    value = celldm.v[a.name[7] - '1'];
                if (!whole && !std::isnan(value))
                    rewritten.replace(a.valueBegin, a.valueEnd - a.valueBegin, Format("%.10f", value));
                if (freeCell && a.name == "ibrav") rewritten.replace(a.valueBegin, a.valueEnd - a.valueBegin, "0");
            }
            text += whole ? rewritten : rewritten + "\n";
            continue;
        }
        std::string unit;
        const std::string card = PWScfCardOf(line, &unit);
        if (freeCell && !card.empty()) {
            // The new card goes before the first card of the input (which then has none of its own).
            text += "CELL_PARAMETERS alat\n" + CellRows(cell, 1.0 / alat);
            freeCell = false;
        }
        if (card == "CELL_PARAMETERS") {
            text += line + "\n";
            const double scale = unit == "angstrom" ? units::kBohr
                                 : (unit == "alat" || (unit.empty() && in.celldmGiven[0]) || (unit.empty() && in.abcGiven[0]))
                                     ? 1.0 / inputAlat
                                     : 1.0;
            text += CellRows(cell, scale);
            k = CardEnd(in.lines, k, 3) - 1;
            continue;
        }
        if (card == "ATOMIC_POSITIONS") {
            text += line + "\n";
            if (unit.empty()) unit = "alat";
            const size_t end = CardEnd(in.lines, k, std::numeric_limits<size_t>::max());
            if (unit == "crystal_sg") {
                // One line per asymmetric site: the final atom of its element
                // nearest to it through the lattice translations of the final cell.
                double conv[3][3];
                CCellVectors conventional;
                if (!PWScfLatticeVectors(PWScfConventionalIbrav(in.effectiveIbrav), celldm, conv) ||
                    !conventional.Set(conv))
                    conventional = cell;
                for (const PWScfSite& site : in.sites) {
                    double target[3], best[3] = {site.r[0], site.r[1], site.r[2]};
                    conventional.ToCartesian(site.r, target);
                    double bestDistance = std::numeric_limits<double>::max();
                    for (int j = 0; j < crystal.nAtomSites; ++j) {
                        const CAtomSite& s = crystal.AtomSites[j];
                        if (speciesOf(j) != site.name) continue;
                        const double f[3] = {s.x, s.y, s.z};
                        double r[3], d[3], df[3];
                        cell.ToCartesian(f, r);
                        for (int i = 0; i < 3; ++i) d[i] = r[i] - target[i];
                        cell.ToFractional(d, df);
                        for (int i = 0; i < 3; ++i) df[i] -= std::round(df[i]);
                        cell.ToCartesian(df, d);
                        const double distance = d[0] * d[0] + d[1] * d[1] + d[2] * d[2];
                        if (distance < bestDistance) {
                            bestDistance = distance;
                            for (int i = 0; i < 3; ++i) r[i] = target[i] + d[i];
                            conventional.ToFractional(r, best);
                        }
                    }
                    text += PositionLine(site.name, best, site.rest);
                }
            } else {
                const bool sameRows = static_cast<size_t>(crystal.nAtomSites) == in.sites.size();
                for (int j = 0; j < crystal.nAtomSites; ++j) {
                    const CAtomSite& s = crystal.AtomSites[j];
                    const double f[3] = {s.x, s.y, s.z};
                    double r[3] = {f[0], f[1], f[2]};
                    if (unit != "crystal") {
                        cell.ToCartesian(f, r);
                        const double scale = unit == "bohr" ? 1.0 : unit == "angstrom" ? units::kBohr : 1.0 / alat;
                        for (double& x : r) x *= scale;
                    }
                    text += PositionLine(speciesOf(j), r, sameRows ? in.sites[j].rest : std::string());
                }
            }
            k = end - 1;
            continue;
        }
        text += line + "\n";
    }
    if (freeCell) text += "CELL_PARAMETERS alat\n" + CellRows(cell, 1.0 / alat);
    if (std::fputs(text.c_str(), out.get()) < 0 || !out.Commit()) {
        std::printf("Error in CPWScf::UpdateInpFile: Can not write to [%s].\n", newName.c_str());
        return -1;
    }
    return 1;
}
