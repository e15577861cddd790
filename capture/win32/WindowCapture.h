#pragma once
#include "common/Region.h"
#include "output/UnwrittenPictures.h"

#include <windows.h>

#include <cstdint>
#include <optional>
#include <vector>

// What one capture step came to. In every case the session goes on.
enum class GrabOutcome
{
    // The changes, if there were any, are written.
    Written,
    // No picture could be taken (graphics resources short); nothing was saved.
    GrabFailed,
    // Nothing of the window is visible; nothing was saved.
    WindowNotVisible,
    // Pictures that could not be written keep their place; `unwritten` names them.
    PicturesNotWritten,
};

struct CaptureStep
{
    // -1 when the target window no longer exists (nothing is recorded), else the number of pictures
    // the session has written after this step.
    int written = -1;
    GrabOutcome outcome = GrabOutcome::Written;
    UnwrittenPictures unwritten;
};

// One capture of the target window for a press of the capturing key at screen point (x, y).
CaptureStep CaptureTargetWindow(int x, int y);

// The capture step: grabs the visible part of the target window, compares it with the previous grab
// and hands the changed regions to the output step. Shows nothing: the caller tells the user.
CaptureStep GrabWindowImage(const CursorPoint& cursor);

// What the user is told of a capture step, in one box. Held without allocation, like the pictures it
// may name: running out of memory is one way to get here. The caption is a text of the program's, valid
// until the language changes.
constexpr int kNoticeBytes = 260;
struct CaptureNotice
{
    char text[kNoticeBytes] = "";
    const char* caption = "";
    UINT icon = MB_ICONWARNING;
};

// Nothing for a step that went as it should.
std::optional<CaptureNotice> NoticeOf(const CaptureStep& step);

// Reads the grab bitmap (selected into `context`, which `replaced` was selected into before) as 16-bit
// pixels, top row first, into `pixels`; `stride` receives the row length in pixels. Returns false
// when the memory cannot be had or not every row could be read.
bool MakeComparisonImage(HDC context, HGDIOBJ replaced, std::vector<uint16_t>& pixels, int& stride);
