#include "output/UnwrittenPictures.h"

#include "common/SessionNames.h"
#include "common/TextFormat.h"

#include <cstring>

bool FormatUnwrittenPictures(char* out, size_t size, const UnwrittenPictures& pictures)
{
    if (size > 0)
        out[0] = '\0';
    if (pictures.count == 0)
        return false;
    char names[kMergedRegions * 32] = "";
    for (int i = 0; i < pictures.count; ++i) {
        const size_t used = std::strlen(names);
        FormatText(names + used, sizeof names - used, i == 0 ? "%s%d%s" : ", %s%d%s",
                   {kPictureStem, pictures.numbers[i], kPictureExtension});
    }
    FormatText(out, size,
               "Could not write %s: out of memory, or the disk is full.\nThe session goes on without %s.",
               {names, pictures.count == 1 ? "it" : "them"});
    return true;
}
