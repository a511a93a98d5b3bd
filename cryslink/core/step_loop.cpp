#include "core/step_loop.h"

#include <cstdio>

#include "core/crystal.h"
#include "core/paths.h"
#include "core/trajectory_format.h"

StepPlan PlanFixedSteps(int nStep, int nOutputInterval) {
    StepPlan plan;
    plan.nStep = nStep;
    plan.nOutputInterval = nOutputInterval <= 0 ? 1 : nOutputInterval;
    plan.nOutput = (plan.nStep - 1) / plan.nOutputInterval + 1;
    return plan;
}

StepPlan PlanSteps(int nCounted, int nLastStep, int nOutputInterval) {
    const int nStep = (nLastStep >= 1 && nLastStep < nCounted) ? nLastStep : nCounted;
    return PlanFixedSteps(nStep, nOutputInterval);
}

void PrintStepPlan(const CCrystal& crystal, const StepPlan& plan, const std::string& afterNStep) {
    std::printf("nAtomSites: %d  nAtomType: %d\n", crystal.nAtomAsymSites, crystal.nAtomTypes);
    std::printf("nStep: %d\n", plan.nStep);
    if (!afterNStep.empty()) std::printf("%s\n", afterNStep.c_str());
    std::printf("nOutputInterval: %d\n", plan.nOutputInterval);
    std::printf("nOutput: %d\n", plan.nOutput);
}

CTrajectoryFile::CTrajectoryFile(const std::string& formatName, const std::string& xsfName,
                                 double forceToEvPerAngstrom)
    : format_(TrajectoryFormatOf(formatName)), name_(xsfName), forceFactor_(forceToEvPerAngstrom) {
    if (format_.name != std::string("xsf")) ChangeFileExtension(name_, format_.name);
}

std::string CTrajectoryFile::Line() const { return format_.label + name_; }

bool CTrajectoryFile::Open() {
    if (file_.Open(name_)) return true;
    std::printf("Can not write to [%s].\n", name_.c_str());
    return false;
}

void CTrajectoryFile::Begin(int nFrames) { format_.begin(file_.get(), nFrames); }

void CTrajectoryFile::Frame(int number, const CCrystal& crystal) {
    format_.frame(file_.get(), number, crystal, forceFactor_);
}

bool CTrajectoryFile::Commit() {
    if (file_.Commit()) return true;
    std::printf("Can not write to [%s].\n", name_.c_str());
    return false;
}

StepLoopResult RunStepLoop(CTrajectoryFile& file, const StepPlan& plan, CCrystal& crystal, const StepReader& readStep,
                           FrameLineNumber lineNumber, const StepVisitor& afterStep) {
    StepLoopResult result;
    for (int s = 0; s < plan.nStep; ++s) {
        if (readStep(s, crystal) < 1) break;
        ++result.nRead;
        if (s == 0) file.Begin(plan.nOutput);
        if (s % plan.nOutputInterval == 0) {
            ++result.nFrames;
            file.Frame(result.nFrames, crystal);
            std::printf("...Frame %d (T=%lg, P=%lg, D=%lg)\n",
                        lineNumber == FrameLineNumber::FrameNumber ? result.nFrames : s, crystal.Temperature,
                        crystal.Pressure, crystal.Density);
        }
        if (afterStep) afterStep(s, crystal);
    }
    return result;
}

int WriteTrajectory(CTrajectoryFile& file, const std::string& input, const StepPlan& plan, CCrystal& crystal,
                    const StepReader& readStep) {
    if (!file.Open()) return -1;
    if (plan.nStep >= 1) {
        const StepLoopResult result = RunStepLoop(file, plan, crystal, readStep, FrameLineNumber::StepIndex);
        if (result.nRead < plan.nStep) {
            std::printf("Error: step %d could not be read; [%s] is not written.\n", result.nRead, file.Name().c_str());
            return -1;
        }
    }
    if (!file.Commit()) return -1;
    if (plan.nStep < 1)
        std::printf("The animation [%s] is empty: [%s] holds no step with forces.\n", file.Name().c_str(),
                    input.c_str());
    return 1;
}
