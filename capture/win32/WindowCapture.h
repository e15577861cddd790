#pragma once
#include "common/Region.h"

#include <windows.h>

#include <cstdint>
#include <vector>

// One capture of the target window for a press of the capturing key at screen point (x, y). Returns -1
// when the target window no longer exists (nothing is recorded), else the number of pictures the
// session has written after this step.
int CaptureTargetWindow(int x, int y);

// The capture step: grabs the visible part of the target window, compares it with the previous grab
// and hands the changed regions to the output step. A grab that fails, or pictures that cannot be
// written, are told in one box; the session goes on.
void GrabWindowImage(const CursorPoint& cursor);

// Reads the grab bitmap (selected into `context`, which `replaced` was selected into before) as 16-bit
// pixels, top row first, into `pixels`; `stride` receives the row length in pixels. Returns false
// when the memory cannot be had or not every row could be read.
bool MakeComparisonImage(HDC context, HGDIOBJ replaced, std::vector<uint16_t>& pixels, int& stride);
