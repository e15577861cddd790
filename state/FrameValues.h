#pragma once

// The timing the patcher writes when a key press closes the previous capture step. Only the popup sets
// them, and it keeps kMaxFrameValue >= frame > offset for every pair it takes over.
constexpr int kDefaultFrameValue = 50;
constexpr int kDefaultOffsetValue = 5;
// The destination file holds a step's frame count in 16 bits.
constexpr int kMaxFrameValue = 65535;

struct FrameValues
{
    int frame = kDefaultFrameValue;
    int offset = kDefaultOffsetValue;
};

extern FrameValues g_frameValues;
