#pragma once
#include "common/Region.h"
#include "output/UnwrittenPictures.h"

#include <windows.h>

// The output step of one capture step: `grab` is a memory device context with the grab bitmap
// selected into it, `regions` holds 1 to 4 changed regions. Each region that fits in the template is
// cut out, written as the session's next bitmap file and patched into the destination file. The
// device context is not kept; it stays the caller's. Returns the pictures that could not be written.
[[nodiscard]] UnwrittenPictures WriteCaptureOutput(HDC grab, int count, const CursorPoint& cursor,
                                                   const Region* regions);
