#include "core/step_loop.h"

#include "core/crystal.h"
#include "core/xsf_writer.h"

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

StepLoopResult RunStepLoop(std::FILE* xsf, const StepPlan& plan, CCrystal& crystal, const StepReader& readStep,
                           FrameLineNumber lineNumber, const StepVisitor& afterStep) {
    StepLoopResult result;
    for (int s = 0; s < plan.nStep; ++s) {
        if (readStep(s, crystal) < 1) break;
        ++result.nRead;
        if (s == 0) std::fprintf(xsf, "ANIMSTEPS %d\nCRYSTAL\n\n", plan.nOutput);
        if (s % plan.nOutputInterval == 0) {
            ++result.nFrames;
            WriteXSFFrame(xsf, result.nFrames, crystal);
            std::printf("...Frame %d (T=%lg, P=%lg, D=%lg)\n",
                        lineNumber == FrameLineNumber::FrameNumber ? result.nFrames : s, crystal.Temperature,
                        crystal.Pressure, crystal.Density);
        }
        if (afterStep) afterStep(s, crystal);
    }
    return result;
}
