#include "output/UnwrittenPictures.h"

#include "common/SessionNames.h"
#include "common/TextFormat.h"
#include "state/Notice.h"

#include <cstring>

std::optional<Notice> UnwrittenPicturesNotice(const UnwrittenPictures& pictures)
{
    if (pictures.count == 0)
        return std::nullopt;
    char names[kMergedRegions * 32] = "";
    for (int i = 0; i < pictures.count; ++i) {
        const size_t used = std::strlen(names);
        FormatText(names + used, sizeof names - used, i == 0 ? "%s%d%s" : ", %s%d%s",
                   {kPictureStem, pictures.numbers[i], kPictureExtension});
    }
    return NoticeOf(pictures.count == 1 ? kTextPictureNotWritten : kTextPicturesNotWritten, {names},
                    CurrentText(kTextError), NoticeIcon::Error, false);
}
