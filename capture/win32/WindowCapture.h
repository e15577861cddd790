#pragma once
#include "capture/PressResult.h"
#include "common/Region.h"

#include <windows.h>

#include <cstdint>
#include <vector>

// The capture step of a press of the capturing key at screen point (x, y): nothing when the target
// window no longer exists, else one capture of it.
[[nodiscard]] PressResult CaptureTargetWindow(int x, int y);

// The capture: grabs the visible part of the target window, compares it with the previous grab and
// hands the changed regions to the output step. Shows nothing: the caller tells the user. The result's
// picture count is the caller's to fill in.
[[nodiscard]] PressResult GrabWindowImage(const CursorPoint& cursor);

// Reads the grab bitmap (selected into `context`, which `replaced` was selected into before) as 16-bit
// pixels, top row first, into `pixels`; `stride` receives the row length in pixels. Returns false
// when the memory cannot be had or not every row could be read.
[[nodiscard]] bool MakeComparisonImage(HDC context, HGDIOBJ replaced, std::vector<uint16_t>& pixels,
                                       int& stride);
