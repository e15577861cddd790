#pragma once
// The stage as a session showed it, one step after another: what the animated PNG and the tests draw.
#include "common/Result.h"
#include "export/take/BmpReader.h"
#include "export/take/SessionTimeline.h"
#include "output/StepsFile.h"

#include <optional>
#include <string>
#include <vector>

class CStageComposer
{
public:
    // The stage starts as kStageBackground. ComposeStep may keep copies of the stage, as many as fit in
    // `checkpointBytes`, so that going back replays few steps.
    CStageComposer(const SessionTimeline& timeline, bool pointer, size_t checkpointBytes = 0);

    // Draws the next step over the stage: its pictures, each read from its file only now, then the
    // pointer at its cursor. Answers the union box of the step's pictures and of the pointer's old and
    // new boxes (the whole stage for a whole grab), kNoBox when nothing changed. Refused, with the file
    // and the reason, when a picture cannot be read although its header could.
    CResult<Region> DrawNextStep();

    // The stage as it is after step `step` (from 0), whichever step was composed before: an edited take
    // shows the recorded steps in any order. Going back replays from the latest of a copy kept on the
    // way and the step's window grabbed whole; no more than the copies and one stage is ever held.
    // Answers a box around every pixel that may differ from the stage as the call found it: the whole
    // stage when it started over, kNoBox when the stage was at that step already.
    // With `mark`, the stage shows the mark around that rectangle, under the pointer; the mark of the
    // call before is taken away first, and the boxes of both count as changed.
    CResult<Region> ComposeStep(size_t step, const std::optional<StepRect>& mark = std::nullopt);

    const RgbImage& Stage() const { return m_stage; }
    // For drawing over the stage for a moment; what is drawn must be put back before the next step.
    RgbImage& Stage() { return m_stage; }

private:
    struct Checkpoint
    {
        size_t step;
        std::vector<uint8_t> rgb;
        Region pointerBox;
        std::vector<uint8_t> underPointer;
    };

    void Clear();
    CResult<> Paint(const TimelinePicture& p);
    void SaveUnderPointer(const Region& box);
    void RestoreUnderPointer();
    void DrawPointerOfLastStep();
    // The mark goes under the pointer: both change it with the pointer lifted, and put the pointer back.
    Region LiftMark();
    Region PlaceMark(const StepRect& mark);

    const SessionTimeline& m_timeline;
    bool m_pointer;
    size_t m_next = 0;
    RgbImage m_stage;
    Region m_pointerBox = kNoBox; // where the arrow is drawn, and the pixels it covers
    std::vector<uint8_t> m_underPointer;
    Region m_markBox = kNoBox; // the mark's pixels on the stage, and what they cover
    std::vector<uint8_t> m_underMark;
    size_t m_checkpointEvery = 0; // steps between two copies; 0 keeps none
    std::vector<Checkpoint> m_checkpoints;
};
