#pragma once
#include "common/Result.h"
#include "export/AnimationFrames.h"
#include "export/codec/ByteSink.h"
#include "export/take/Project.h"
#include "export/take/SessionTimeline.h"

// The take as an animated PNG, handed to `sink` frame by frame as each step is drawn: as recorded, or
// as `edit` (when given) edits it, each of its steps showing the stage of its source step with the
// step's caption, cut to the crop. The first frame is the whole canvas, then one frame per step holding
// the box around the pixels it changed, shown for the step's whole time; a frame that the next one
// undoes (a menu that closes) goes back once its time is up. Browsers show a frame of 10 ms or less for
// 100 ms, so no frame is that short: a step that short is shown together with the steps after it, in
// one frame that lasts them all, until they last more than 10 ms; a last step that short lasts 11 ms.
// A step longer than the largest delay goes on over frames that change nothing. Fails when a picture
// cannot be read any more, the edit does not fit the take, compression fails or the sink refuses.
CResult<void> WriteApng(const SessionTimeline& timeline, const Project* edit,
                        const std::vector<StepFacts>& facts, const AnimationOptions& options,
                        const ByteSink& sink);
