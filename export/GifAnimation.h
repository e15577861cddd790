#pragma once
#include "common/Result.h"
#include "export/AnimationFrames.h"
#include "export/codec/ByteSink.h"
#include "export/take/Project.h"
#include "export/take/SessionTimeline.h"

// The take as an animated GIF, for the programs that animate GIF but not PNG: the same frames as the
// animated PNG (WriteApng), as recorded or as `edit` edits it, each with a colour table of its own.
// A frame keeps its colours exactly where it has at most 256 (with the transparent one); one with more
// shows the nearest of 256 chosen for it. Pixels a frame does not change are transparent. Delays are
// in hundredths of a second, rounded so that the take keeps its length; browsers show a delay of 0 or
// 1 as 10 hundredths, so a step shorter than 2 is shown together with the steps after it, and a last
// step that short lasts 2.
CResult<void> WriteGif(const SessionTimeline& timeline, const Project* edit,
                       const std::vector<StepFacts>& facts, const AnimationOptions& options,
                       const ByteSink& sink);
