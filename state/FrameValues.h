#pragma once

// The timing the patcher writes when a key press closes the previous capture step. The popup keeps
// frame > offset for every pair it takes over. Owned by the popup module.
struct FrameValues
{
    int frame = 50;
    int offset = 5;
};

extern FrameValues g_frameValues;
