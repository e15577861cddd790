#pragma once
// The part of the stage a step's picture in the guide shows: what the step changed, where the pointer
// is and the control it marks, with room around them, never so small that the reader loses the place.
#include "common/Region.h"

// Room left around what matters, in stage pixels.
constexpr int kGuideMargin = 24;
// The smallest picture the guide shows, where the stage (or its crop) is at least that large: a change
// of a few pixels (a check box ticked) is shown with what is around it.
constexpr int kGuideMinWidth = 360;
constexpr int kGuideMinHeight = 200;

// What a step's picture must show, in stage coordinates.
struct GuideFocus
{
    Region bounds;           // what may be shown at all: the stage, cut to the project's crop
    Region change = kNoBox;  // the pixels that differ from the stage before the step
    Region pointer = kNoBox; // the arrow's box
    Region mark = kNoBox;    // the marked control
    bool first = false;      // the first step, whose change is all it shows
};

// The union of the change (for the first step: the whole of `bounds`, or the marked control when
// there is one), the pointer and the mark, grown by kGuideMargin and cut to `bounds`, then grown about
// its middle to the smallest size (moved, not cut, where it meets an edge of `bounds`). All of `bounds`
// where nothing of that lies within it.
Region GuideCropBox(const GuideFocus& focus);
