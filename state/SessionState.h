#pragma once
#include "state/WorkingDirectory.h"

// The counters and paths of the running (or last) capture session. A session's start and end
// (capture/SessionLifecycle) set them; the capture step and the patcher advance the counters. The
// window and hook handles live with the Windows side of the session (state/win32/SessionWindows).
struct SessionState
{
    int sessionNumber;
    int highestSessionFound;
    // Number k of the next imageBMP<k>.bmp; 1 between sessions.
    int imageCounter;
    // imageCounter - 1, set by every output step and advanced with every picture written.
    int imagesWritten;
    // Capture steps of this session that wrote at least one picture.
    int patcherSteps;
    int frameTotal;
    // The offset value of the latest full frame-count patch.
    int previousOffset;
    // Presses of the capturing key that reached a capture step of this session.
    int presses;
    int lastCaptureX;
    int lastCaptureY;
    // The last ended session that wrote pictures, kept to show its report again in another language.
    bool reportPresent;
    int reportSession;
    int reportFrame;
    int reportImage;
    char destinationFile[kPathBytes];
};

extern SessionState g_session;

// The state at program start.
void ResetSessionState();
