// Feeds arbitrary bytes to one offset-file reader. The tables are fixed-size, so the point is that no
// input makes a reader store outside them or read past its text.
#include "output/OffsetTables.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const char* text = reinterpret_cast<const char*>(data);
    ResetOffsetTables();
#if defined(FUZZ_KIND_bmpoffs)
    const int rows = ParseBitmapOffsets(text, size, g_offsets);
    for (int r = 1; r <= rows; ++r)
        if (PlacementCount(r) < 1 || PlacementCount(r) > kMaxPlacements)
            std::abort();
#elif defined(FUZZ_KIND_curoffs)
    const int rows = ParseCursorOffsets(text, size, g_offsets);
#else
    const int rows = ParseFrameOffsets(text, size, g_offsets);
#endif
    if (rows < 0 || rows > kOffsetRows)
        std::abort();
    return 0;
}
