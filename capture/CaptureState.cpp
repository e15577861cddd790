#include "capture/CaptureState.h"

CaptureState g_capture;

bool HoldsComparisonImage()
{
    return !g_capture.comparison.empty();
}

bool ComparesWithPrevious(int imageCounter, int width, int height)
{
    return imageCounter != 1 && width == g_capture.previousWidth && height == g_capture.previousHeight &&
           HoldsComparisonImage();
}

void ReleaseComparisonImage()
{
    // swap with an empty vector: clear() alone would keep the memory of a 4K frame until the next grab.
    std::vector<uint16_t>().swap(g_capture.comparison);
    std::vector<uint16_t>().swap(g_capture.spare);
    g_capture.comparisonStride = 0;
}
