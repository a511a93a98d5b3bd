#include "md/torv.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <vector>

#include "analysis/rdf.h"
#include "core/cif_writer.h"
#include "core/paths.h"
#include "core/run_context.h"
#include "core/step_loop.h"
#include "core/text_scanner.h"
#include "md/torv_files.h"

namespace {

std::string SiblingName(const std::string& inputFile, const char* runFileName, const char* extension) {
    const PathParts parts = SplitPath(inputFile);
    const std::string name = StartsWithNoCase(parts.base, "FILE") ? std::string(runFileName) : parts.base + extension;
    return JoinPath(parts.drive + parts.directory, name);
}

void PrepareCrystal(CCrystal& crystal, const CAtomDatabase* atoms) {
    crystal.AtomDatabase = atoms;
    crystal.AllocAtomTypes(100);
    crystal.AllocAtomAsymSites(10000);
    crystal.AllocAtomSites(10000);
}

// A coordinate made continuous with its value in the previous step: the
// move is taken as the shortest one, so an atom leaving the cell goes on
// beyond 1 (0.98 then 0.02 reads as 1.02).
double Continuous(double previous, double current) {
    double d = ReduceFractionalCoordinate(current - previous);
    if (d > 0.5) d -= 1.0;
    return previous + d;
}

}  // namespace

CTORV::CTORV(const CAtomDatabase* atoms) {
    PrepareCrystal(Crystal, atoms);
    PrepareCrystal(InitialCrystal, atoms);
    PrepareCrystal(AveragedCrystal, atoms);
}

std::string CTORV::GetFILE05Name(const std::string& inputFile) { return SiblingName(inputFile, "FILE05.DAT", ".f05"); }
std::string CTORV::GetFILE07Name(const std::string& inputFile) { return SiblingName(inputFile, "FILE07.DAT", ".f07"); }
std::string CTORV::GetFILE09PName(const std::string& inputFile) {
    return SiblingName(inputFile, "FILE09P.DAT", ".f9p");
}
std::string CTORV::GetFILE09VName(const std::string& inputFile) {
    return SiblingName(inputFile, "FILE09V.DAT", ".f9v");
}

int CTORV::GetnFrameInFile09(const std::string& name) {
    CTextScanner scanner;
    if (!scanner.Open(name)) {
        std::printf("Error in CTORV::GetnFrameInFile09: Can not read [%s].\n", name.c_str());
        return 0;
    }
    // A frame cut short by the end of the file is not counted: it cannot be read.
    const long nLines = scanner.CountLines([](std::string_view) { return true; });
    return static_cast<int>(nLines / FILE09PLinesPerFrame(Crystal.nAtomAsymSites));
}

void CTORV::AddToAverage(const CCrystal& crystal) {
    const int n = std::min(crystal.nAtomAsymSites, AveragedCrystal.nAtomAsymSites);
    for (int i = 0; i < n; ++i) {
        CAtomSite& sum = AveragedCrystal.AtomAsymSites[i];
        const CAtomSite& site = crystal.AtomAsymSites[i];
        sum.x += site.x;
        sum.y += site.y;
        sum.z += site.z;
    }
    CCrystal& avr = AveragedCrystal;
    avr.SetLatticeParameters(avr.a + crystal.a, avr.b + crystal.b, avr.c + crystal.c, avr.alpha + crystal.alpha,
                             avr.beta + crystal.beta, avr.gamma + crystal.gamma);
    ++AvrCount;
}

void CTORV::WriteAverage(const std::string& cifStem) {
    CCrystal& avr = AveragedCrystal;
    const double n = AvrCount;
    for (int i = 0; i < avr.nAtomAsymSites; ++i) {
        CAtomSite& site = avr.AtomAsymSites[i];
        site.x /= n;
        site.y /= n;
        site.z /= n;
    }
    avr.SetLatticeParameters(avr.a / n, avr.b / n, avr.c / n, avr.alpha / n, avr.beta / n, avr.gamma / n);
    avr.ChemicalFormula = Crystal.ChemicalFormula;
    avr.CalculateLatticeVectors();
    avr.CopyAsymSitesToSites();
    avr.CalculateDensity();
    const std::string cif = cifStem + "-averaged.cif";
    MakeCIFFile(avr, "averaged", cif);
}

int CTORV::ConvF09p(const RunOptions& options, const std::string& inputFile) {
    const std::string file05 = GetFILE05Name(inputFile), file07 = GetFILE07Name(inputFile);
    const std::string file09p = GetFILE09PName(inputFile), file09v = GetFILE09VName(inputFile);
    std::string xsfName = inputFile;
    CTrajectoryFile frames(options.TrajectoryFormat, ChangeFileExtension(xsfName, "xsf"));
    std::printf("\nInput file  : %s\n", inputFile.c_str());
    std::printf("FILE05 file : %s\n", file05.c_str());
    std::printf("FILE07 file : %s\n", file07.c_str());
    std::printf("FILE09P file: %s\n", file09p.c_str());
    std::printf("FILE09V file: %s\n", file09v.c_str());
    std::printf("%s\n\n", frames.Line().c_str());

    ReadFILE05AtomTypes(file05, Crystal);
    ReadFILE07(file07, Crystal);

    nFrame = GetnFrameInFile09(file09p);
    xFactor = ReadXFactor(file05);
    const StepPlan plan =
        PlanFixedSteps(options.nLastStep > 0 ? options.nLastStep : nFrame, options.nOutputInterval);
    iAvrFirstStep = options.iAvrFirstStep;
    if (iAvrFirstStep <= 0) iAvrFirstStep = 1;
    iAvrLastStep = options.iAvrLastStep;
    if (iAvrLastStep <= 0) iAvrLastStep = plan.nStep;

    char line[64];
    std::snprintf(line, sizeof line, "xFactor: %lg", xFactor);
    PrintStepPlan(Crystal, plan, line);
    std::printf("For averaged crystal structure: use steps in %d - %d\n", iAvrFirstStep, iAvrLastStep);

    CFILE09PReader trajectory;
    if (!trajectory.Open(file09p, xFactor)) {
        std::printf("Can not read [%s].\n", file09p.c_str());
        return -1;
    }
    CFILE09VReader cells;
    if (!cells.Open(file09v)) {
        std::printf("Can not read [%s].\n", file09v.c_str());
        return -1;
    }
    // A TORV run stops before its first step when its animation cannot be written
    // (a directory in its place), as it does when a file of the run cannot be read.
    std::error_code ec;
    if (std::filesystem::is_directory(frames.Name(), ec)) {
        std::printf("Can not write to [%s].\n", frames.Name().c_str());
        return -1;
    }
    if (!frames.Open()) return -1;

    // A frame is taken whole or not at all: one cut short by the end of the
    // file leaves the last complete step in place.
    std::vector<double> xyz;
    auto readStep = [&](int step, CCrystal& crystal) {
        const int n = crystal.nAtomAsymSites;
        if (!trajectory.ReadFrame(n, xyz)) {
            if (trajectory.CutShort())
                std::printf("[%s] ends inside step %d: the step is left out.\n", file09p.c_str(), step);
            return 0;
        }
        for (int i = 0; i < n; ++i) {
            CAtomSite& site = crystal.AtomAsymSites[i];
            const double* p = &xyz[static_cast<size_t>(i) * 3];
            site.x = step > 0 ? Continuous(site.x, p[0]) : p[0];
            site.y = step > 0 ? Continuous(site.y, p[1]) : p[1];
            site.z = step > 0 ? Continuous(site.z, p[2]) : p[2];
            site.Occupancy = 1.0;
            site.ForceX = site.ForceY = site.ForceZ = 0.0;
        }
        crystal.CopyAsymSitesToSites();
        if (cells.ReadFrame(crystal)) crystal.CalculateLatticeVectors();
        return 1;
    };
    auto afterStep = [&](int step, CCrystal& crystal) {
        if (step == 0) {
            InitialCrystal.Copy(crystal);
            // The sums start empty.
            AveragedCrystal.Copy(crystal);
            for (int i = 0; i < AveragedCrystal.nAtomAsymSites; ++i) {
                CAtomSite& site = AveragedCrystal.AtomAsymSites[i];
                site.x = site.y = site.z = 0.0;
            }
            AveragedCrystal.SetLatticeParameters(0, 0, 0, 0, 0, 0);
        }
        if (iAvrFirstStep <= step && step <= iAvrLastStep) AddToAverage(crystal);
    };
    RunStepLoop(frames, plan, Crystal, readStep, FrameLineNumber::FrameNumber, afterStep);
    frames.Commit();

    const PathParts parts = SplitPath(inputFile);
    const std::string cifStem = JoinPath(parts.drive + parts.directory, parts.base);
    std::printf("CIFHeader: %s\n\n", cifStem.c_str());

    const std::string initialCif = cifStem + "-initial.cif";
    InitialCrystal.ChemicalFormula = Crystal.ChemicalFormula;
    MakeCIFFile(InitialCrystal, "initial", initialCif);

    const std::string finalCif = cifStem + "-final.cif";
    MakeCIFFile(Crystal, "final", finalCif);

    std::printf("AvrCount: %d\n", AvrCount);
    if (AvrCount > 0) WriteAverage(cifStem);

    if (options.CalcRDF != 0) {
        std::printf("Calculate RDF for final structure.\n");
        CalculateRDF(options, Crystal, 0);
        if (AvrCount > 0) {
            std::printf("Calculate RDF for averaged structure.\n");
            CalculateRDF(options, AveragedCrystal, 2);
        }
    }
    return 1;
}

int ConvF09p(const RunContext& context, const std::string& inputFile) {
    CTORV torv(&context.atoms);
    return torv.ConvF09p(context.options, inputFile);
}
