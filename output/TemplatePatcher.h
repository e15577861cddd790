#pragma once
#include "common/Result.h"
#include <cstddef>
#include <cstdint>
#include <optional>

// Each patch opens the session's destination file for update, writes little-endian values at byte
// offsets and closes it again. A file that cannot be opened, positioned, written or closed ends the
// process (status 2): later patches would build on records that are not there.

// The placement records of one picture: x * 20 and y * 20 at every offset of bitmap row image + 1,
// plus 16. `image` is the number of pictures written before this one.
void PatchImagePlacement(int32_t x, int32_t y, int32_t image);

// The cursor record, x * 20 and y * 20, at both offsets.
void PatchCursorPoint(int32_t first, int32_t second, int32_t x, int32_t y);

enum class FrameMode
{
    Full, // closes a capture step: span parts and the step's last frame count
    Zero  // the previous picture belongs to the same capture step: its frame count is 0
};

// An offset that no offset file supplied is empty and its value is not written; the counters still
// advance, so the session report stays right.
void PatchFrameCounts(std::optional<int32_t> firstSpan, std::optional<int32_t> secondSpan,
                      std::optional<int32_t> imageFrame, FrameMode mode);

// The two span parts of v frames: a = (v mod 65536) / 2 and b = v - a, of which only the low 16 bits
// are stored.
struct SpanParts
{
    uint16_t first;
    uint16_t second;
};
SpanParts SplitSpan(int32_t v);

// Checked when a session starts, before anything is created: every record the offset tables can send
// the patcher to, for as many pictures as the template has slots, lies inside `templatePath`. A record
// beyond its end would silently grow the destination file (a typo can make it gigabytes), one before
// its start ends the session half done. Refused, naming the offset file and its row, for the first
// record outside; taken also when the template cannot be read, which its copy reports.
[[nodiscard]] CResult<> TemplateHoldsEveryRecord(const char* templatePath);
