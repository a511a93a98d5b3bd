#pragma once
// The step loop every trajectory converter shares: how many steps to read and
// which to write, the printed plan, the file the frames go to in the format the
// run chose, and one progress line per frame. A converter is a step reader: it
// counts its steps, then reads the next step into a crystal; the loop hands
// every nOutputInterval-th one to the trajectory writer.
#include <functional>
#include <string>

#include "core/staged_file.h"

class CCrystal;
struct TrajectoryFormat;

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

// The file a run's frames go to, in the format named by the option
// TrajectoryFormat: the XSF name the converter forms, with the extension of
// the format. It is written under a temporary name and appears only when
// complete. Forces as the converter stores them, times
// `forceToEvPerAngstrom`, are eV/A (for the formats that want eV/A).
class CTrajectoryFile {
public:
    CTrajectoryFile(const std::string& formatName, const std::string& xsfName, double forceToEvPerAngstrom = 1.0);

    const std::string& Name() const { return name_; }
    // The line naming the file in a converter's printout ("XSF file    : run.xsf").
    std::string Line() const;
    // False, with "Can not write to [...]", when the file cannot be created.
    bool Open();
    void Begin(int nFrames);
    void Frame(int number, const CCrystal& crystal);
    // False, with "Can not write to [...]", when it could not be written whole.
    bool Commit();

private:
    const TrajectoryFormat& format_;
    std::string name_;
    double forceFactor_;
    CStagedFile file_;
};

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

// For s = 0 .. nStep-1: reads the step; before the first frame begins the file
// with nOutput frames; writes every nOutputInterval-th step as the next frame
// (numbered from 1) and prints its progress line; then calls `afterStep`.
// Stops at the first step that cannot be read.
StepLoopResult RunStepLoop(CTrajectoryFile& file, const StepPlan& plan, CCrystal& crystal, const StepReader& readStep,
                           FrameLineNumber lineNumber, const StepVisitor& afterStep = {});

// The trajectory of a run whose every planned step must be read from `input`:
// the file appears only when complete; for no steps it is empty, and one line
// says so. 1, or -1 with "Can not write to [...]" or a line saying which step
// could not be read (no file then).
int WriteTrajectory(CTrajectoryFile& file, const std::string& input, const StepPlan& plan, CCrystal& crystal,
                    const StepReader& readStep);
