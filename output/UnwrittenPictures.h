#pragma once
#include "common/ChangeDetection.h"

#include <cstddef>
#include <optional>

struct Notice;

// The pictures of one capture step that could not be written, by their number k; at most one per
// region handed over. Kept without allocation, since running out of memory is one way to get here.
struct UnwrittenPictures
{
    int numbers[kMergedRegions] = {};
    int count = 0;
};

// The one box a capture step shows when some of its pictures are missing, naming each file; none when
// nothing is missing.
std::optional<Notice> UnwrittenPicturesNotice(const UnwrittenPictures& pictures);
