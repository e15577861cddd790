#pragma once
// A step's mark: the rounded outline of MarkStyle.h around a control's rectangle, in stage pixels. The
// outline is made of whole pixels, row by row, with no smoothing, so that the page, which fills the same
// runs on its canvas (player/marks.js), draws exactly these pixels.
#include "common/Region.h"
#include "common/RgbImage.h"
#include "output/StepsFile.h"

#include <functional>

// The box around every pixel of the mark of `rect`; it may reach outside the stage.
Region MarkBounds(const StepRect& rect);

// Calls `run(y, left, right)` for each run of the outline's pixels, right inclusive, row by row from the
// top, left before right; at most two runs a row.
void ForEachMarkRun(const StepRect& rect, const std::function<void(int y, int left, int right)>& run);

// Draws the mark of `rect` over `stage`, cut to it.
void DrawMark(RgbImage& stage, const StepRect& rect);
