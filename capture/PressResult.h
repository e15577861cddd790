#pragma once
// What one press of the capturing key came to, as the capture step reports it to the main dialog.
#include "output/UnwrittenPictures.h"

// Why a press did not record everything it should have. In every case the session goes on.
enum class PressProblem
{
    None,
    // No picture could be taken (graphics resources short); nothing was saved.
    GrabFailed,
    // Nothing of the window is visible; nothing was saved.
    WindowNotVisible,
    // Pictures that could not be written keep their place; `unwritten` names them.
    PicturesNotWritten,
};

struct PressResult
{
    // The target window no longer exists: nothing was recorded.
    bool targetGone = true;
    // The pictures the session has written after this press.
    int picturesWritten = 0;
    PressProblem problem = PressProblem::None;
    UnwrittenPictures unwritten;
};
