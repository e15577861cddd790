#pragma once
#include "export/codec/ApngEncoder.h"
#include "export/take/Project.h"
#include "export/take/SessionTimeline.h"

#include <string>

struct ApngOptions
{
    int fps;             // a step lasts its frame count divided by this, as in the player (1 to 1000)
    bool pointer = true; // draw the arrow at each step's cursor record
    bool loop = true;    // play for ever, or once
};

// The session as an animated PNG, handed to `sink` frame by frame as each step is drawn: the first
// frame is the whole stage, then one frame per step holding the union box of what it changed, shown
// for the step's whole time. Browsers show a frame of 10 ms or less for 100 ms, so no frame is that
// short: a step that short is shown together with the steps after it, in one frame that lasts them
// all, until they last more than 10 ms; a last step that short lasts 11 ms. A step longer than the
// largest delay goes on over frames that change nothing. Answers false with the reason in `error`
// when a picture cannot be read any more, compression fails or the sink refuses.
bool WriteApng(const SessionTimeline& timeline, const ApngOptions& options, const CApngEncoder::Sink& sink,
               std::string& error);

// The take as its project edits it, the same way: each of the project's steps shows the stage of its
// source step, pointer included, with the step's caption drawn over it, cut to the crop, for the step's
// frames at `options.fps`. What changed from one shown picture to the next is found afresh by the
// change detection, so steps in another order than recorded cost no more than their differences. An
// edit that does not fit the take (FitsTake) is refused.
bool WriteEditedApng(const SessionTimeline& timeline, const Project& project, const ApngOptions& options,
                     const CApngEncoder::Sink& sink, std::string& error);
