#pragma once

// The timing the patcher writes when a key press closes the previous capture step. Only the popup sets
// them, and it keeps frame > offset for every pair it takes over.
constexpr int kDefaultFrameValue = 50;
constexpr int kDefaultOffsetValue = 5;

struct FrameValues
{
    int frame = kDefaultFrameValue;
    int offset = kDefaultOffsetValue;
};

extern FrameValues g_frameValues;
