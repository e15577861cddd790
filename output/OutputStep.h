#pragma once
#include "common/Region.h"
#include "output/UnwrittenPictures.h"

// Writes one changed region of the current grab as a bitmap file. The Windows side cuts the region
// out of the grab; tests record the calls.
class IImageWriter
{
public:
    // False when the picture could not be written; no part of its file is left behind then.
    virtual bool WriteImage(const Region& region, const char* fileName) = 0;

protected:
    ~IImageWriter() = default;
};

// The output step of one capture step: while the template has free picture slots, each region becomes
// the session's next imageBMP<k>.bmp and the destination file gets its placement, the step's cursor
// record (with its first picture) and the frame counts that close the previous step. The pictures
// written so far are counted from the image counter, whatever the caller did before. Regions beyond
// the template's capacity are dropped. A picture that cannot be written keeps its place: its patches
// are made and the counters advance, so the destination file stays in step with the numbering, and
// its number is returned for the user to be told.
[[nodiscard]] UnwrittenPictures RunOutputStep(int count, const CursorPoint& cursor, const Region* regions,
                                              IImageWriter& writer);

// session<N>/imageBMP<k>.bmp under the working directory; false when it would not fit a MAX_PATH
// buffer, and then the picture is not written.
bool BitmapFileName(char* out, int size, int session, int image);

#ifdef _WIN32
constexpr char kPathSeparator[] = "\\";
#else
constexpr char kPathSeparator[] = "/";
#endif
