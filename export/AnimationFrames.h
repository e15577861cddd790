#pragma once
// A take's animation frame by frame, whatever file it goes into: which steps share a frame, the box
// each frame must draw, and which frames go back to what was there before them once their time is up.
// The animated PNG and the GIF are written from the same plan.
#include "common/Result.h"
#include "export/render/EditedCanvas.h"
#include "export/take/Project.h"
#include "export/take/SessionTimeline.h"
#include "export/take/StepFacts.h"

#include <cstdint>
#include <functional>
#include <vector>

struct AnimationOptions
{
    int fps;             // a step lasts its frame count divided by this, as in the player (1 to 1000)
    bool pointer = true; // draw the arrow at each step's cursor record
    bool loop = true;    // play for ever, or once
};

// Steps shown as one frame: up to and including `lastStep`, from `begin` to `end` counted in frames of
// the take's rate since the start.
struct FrameSpan
{
    size_t lastStep = 0;
    int64_t begin = 0;
    int64_t end = 0;
};

// Groups the project's steps into frames that `longEnough(begin, end)` accepts: a step too short for a
// frame of its own is shown together with the steps after it, in one frame that lasts them all; the
// last frame takes what is left, however short.
std::vector<FrameSpan> GroupSteps(const Project& project,
                                  const std::function<bool(int64_t begin, int64_t end)>& longEnough);

struct PlannedFrame
{
    size_t index = 0;   // of the frame, from 0
    CanvasView picture; // the whole canvas as the frame shows it
    CanvasView base;    // the canvas as the viewer has it before the frame; nothing for the first frame
    // The smallest box around every pixel where the two differ: the whole canvas for the first frame,
    // kNoBox when nothing changed.
    Region box = kNoBox;
    // When its time is up, the frame's box goes back to `base` (rather than staying), because the next
    // frame is then smaller: a menu or a dialog that opened and closed again.
    bool revert = false;
};

using FrameSink = std::function<CResult<void>(const PlannedFrame& frame)>;

// The mark each step of `project` shows: the rectangle of its source step's control where the step says
// so, or says nothing and the control is a click target (MarkedByDefault); none without facts.
using ShownMarks = std::vector<std::optional<StepRect>>;
ShownMarks MarksOf(const Project& project, const std::vector<StepFacts>& facts);

// What an animation shows, and its steps grouped into frames by `longEnough` (GroupSteps).
struct ShownTake
{
    Project project;
    std::vector<FrameSpan> spans;
    ShownMarks marks; // one per step of `project`
};

// `edit`, refused where it does not fit the take (FitsTake), or without one the take as recorded, as a
// project that changes nothing (every step in its order and length at `fps`, no crop, no caption), with
// the marks that `facts` (one per recorded step, or none) give its steps.
CResult<ShownTake> TakeToShow(const SessionTimeline& timeline, const Project* edit, int fps,
                              const std::vector<StepFacts>& facts,
                              const std::function<bool(int64_t begin, int64_t end)>& longEnough);

// How many bytes of copies of the stage a CStageComposer may keep to show the project's steps: none
// unless it goes back to an earlier recorded step.
size_t CheckpointBytesFor(const Project& project);

// The canvas of the edited take: its crop of the stage.
Region CropOf(const Project& project, const SessionTimeline& timeline);

// Draws each of `spans` as the project edits the take (the stage of the span's last step, with the
// pointer when `pointer`, the step's mark under it, the step's caption, cut to the crop) and hands it
// to `sink`, one frame ahead of the drawing. `mayRevert(i)` says whether frame i may go back once its time is
// up. Fails when a picture cannot be read any more, or with the sink's failure.
CResult<void> PlanFrames(const SessionTimeline& timeline, const ShownTake& shown, bool pointer,
                         const std::function<bool(size_t)>& mayRevert, const FrameSink& sink);

// PlanFrames into a file's writer, which answers MayRevert(i), Write(frame) and Finish().
template <typename Writer>
CResult<void> WriteFrames(const SessionTimeline& timeline, const ShownTake& shown, bool pointer,
                          Writer& writer)
{
    if (auto planned = PlanFrames(
            timeline, shown, pointer, [&writer](size_t i) { return writer.MayRevert(i); },
            [&writer](const PlannedFrame& frame) { return writer.Write(frame); });
        !planned)
        return planned;
    return writer.Finish();
}

// The smallest box around every pixel of `within` where the two canvases differ; kNoBox where none does.
Region DifferingBox(const CanvasView& a, const CanvasView& b, const Region& within);
