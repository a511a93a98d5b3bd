#pragma once
// The step loop every trajectory converter shares: how many steps to read and
// which to write, the printed plan, and the XSF animation they make (the
// "ANIMSTEPS" header, the frames, and one progress line per frame).
#include <cstdio>
#include <functional>
#include <string>

class CCrystal;

struct StepPlan {
    int nStep = 0;            // steps to read
    int nOutputInterval = 1;  // every n-th step is written
    int nOutput = 0;          // frames announced in the header
};

// The plan of the ab-initio converters: nStep is the count of steps found,
// cut to nLastStep when 1 <= nLastStep < count; an interval of 0 or less is 1;
// nOutput = (nStep - 1) / interval + 1.
StepPlan PlanSteps(int nCounted, int nLastStep, int nOutputInterval);
// The same with nStep given as it is (it may exceed the steps in the file).
StepPlan PlanFixedSteps(int nStep, int nOutputInterval);

// Prints "nAtomSites: %d  nAtomType: %d", "nStep: %d", then `afterNStep`
// (a whole line, when not empty), "nOutputInterval: %d" and "nOutput: %d".
void PrintStepPlan(const CCrystal& crystal, const StepPlan& plan, const std::string& afterNStep = "");

// Reads step s into the crystal; a result below 1 ends the loop.
using StepReader = std::function<int(int step, CCrystal& crystal)>;
// Runs after every step read (and after its frame was written).
using StepVisitor = std::function<void(int step, CCrystal& crystal)>;

// What the "...Frame %d (T=%lg, P=%lg, D=%lg)" line counts.
enum class FrameLineNumber { FrameNumber, StepIndex };

struct StepLoopResult {
    int nRead = 0;     // steps read in full
    int nFrames = 0;   // frames written
};

// For s = 0 .. nStep-1: reads the step; before the first frame writes
// "ANIMSTEPS <nOutput>", "CRYSTAL" and an empty line; writes every
// nOutputInterval-th step as the next frame (numbered from 1) and prints its
// progress line; then calls `afterStep`. Stops at the first step that cannot
// be read.
StepLoopResult RunStepLoop(std::FILE* xsf, const StepPlan& plan, CCrystal& crystal, const StepReader& readStep,
                           FrameLineNumber lineNumber, const StepVisitor& afterStep = {});
