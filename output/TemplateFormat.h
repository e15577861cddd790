#pragma once
// How values are stored in the destination file, for the patcher that writes them and for the export
// tool that reads them back.
#include <cstdint>

// Positions are stored in twentieths of a pixel.
constexpr int32_t kTwips = 20;
// A placement record lies this many bytes after the offset its bitmap row names.
constexpr int32_t kPlacementValueOffset = 16;
