#pragma once
#include "state/FrameValues.h"

enum class FramePair
{
    Unchanged,
    TakenOver,
    // Not kMaxFrameValue >= frame > offset: the previous pair is still in force, and the popup shows it
    // again.
    Refused,
};

// Takes over the frame and offset typed into the popup. Both are read with the atoi rule (leading
// digits; none gives 0). A changed pair stands only if kMaxFrameValue >= frame > offset.
FramePair TakeOverFramePair(const char* frameText, const char* offsetText, FrameValues& values);

// atoi without its undefined overflow: leading white space, an optional sign, decimal digits, the
// value saturating at the int range.
int ReadLeadingInt(const char* text);
