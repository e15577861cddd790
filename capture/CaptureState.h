#pragma once
#include <cstdint>
#include <vector>

// What the window capture keeps between capture steps of a session; only the capture step and the
// session's end change it.
struct CaptureState
{
    // The 16-bit copy of the latest grab, rows top first, `stride` pixels per row; empty when none is
    // held (outside a session, or before the first grab that saw the window).
    std::vector<uint16_t> comparison;
    int comparisonStride = 0;
    // The comparison image before the last one, kept for the next grab to read into: a buffer made
    // anew for every grab costs more in page faults than reading the pixels.
    std::vector<uint16_t> spare;
    // Size of the latest grab; kept across sessions.
    int previousWidth = 0;
    int previousHeight = 0;
};

extern CaptureState g_capture;

bool HoldsComparisonImage();
// Whether a grab of this size is compared with the comparison image, so that only its changes are
// written: not at a session's first picture, after a change of size, or while no image is held.
bool ComparesWithPrevious(int imageCounter, int width, int height);
void ReleaseComparisonImage();
