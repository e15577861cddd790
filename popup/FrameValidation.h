#pragma once
#include "state/FrameValues.h"

// Takes over the frame and offset typed into the popup. Both are read with the atoi rule (leading
// digits; none gives 0). A changed pair stands only if frame > offset; otherwise the previous pair is
// put back and the function returns true, so that the popup shows it again.
bool TakeOverFramePair(const char* frameText, const char* offsetText, FrameValues& values);

// atoi without its undefined overflow: leading white space, an optional sign, decimal digits, the
// value saturating at the int range.
int ReadLeadingInt(const char* text);
