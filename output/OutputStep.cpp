#include "output/OutputStep.h"

#include "common/SessionNames.h"
#include "common/TextFormat.h"
#include "output/OffsetTables.h"
#include "output/TemplatePatcher.h"
#include "state/SessionState.h"
#include "state/WorkingDirectory.h"

bool BitmapFileName(char* out, int size, int session, int image)
{
    return FormatText(out, size, "%s%s%s%d%s%s%d%s",
                      {g_workDir, kPathSeparator, kSessionWord, session, kPathSeparator, kPictureStem, image,
                       kPictureExtension});
}

UnwrittenPictures RunOutputStep(int count, const CursorPoint& cursor, const Region* regions,
                                IImageWriter& writer)
{
    SessionState& s = g_session;
    s.imagesWritten = s.imageCounter - 1;
    UnwrittenPictures unwritten;
    bool wroteImage = false;
    for (int i = 0; i < count && s.imagesWritten < TemplateCapacity(); ++i) {
        const Region& region = regions[i];
        char fileName[kPathBytes];
        const bool written = BitmapFileName(fileName, sizeof fileName, s.sessionNumber, s.imageCounter) &&
                             writer.WriteImage(region, fileName);
        if (!written && unwritten.count < kMergedRegions)
            unwritten.numbers[unwritten.count++] = s.imageCounter;

        PatchImagePlacement(region.left, region.top, s.imagesWritten);
        const int previousImage = s.imageCounter - 1;
        if (!wroteImage) {
            const int row = s.patcherSteps + 1;
            const auto first = CursorOffset(row, 1);
            const auto second = CursorOffset(row, 2);
            if (first && second)
                PatchCursorPoint(*first, *second, cursor.x, cursor.y);
            if (s.patcherSteps != 0) {
                PatchFrameCounts(CursorOffset(s.patcherSteps, 3), CursorOffset(s.patcherSteps, 4),
                                 FrameOffset(previousImage), FrameMode::Full);
            }
            ++s.patcherSteps;
            wroteImage = true;
        } else {
            PatchFrameCounts(std::nullopt, std::nullopt, FrameOffset(previousImage), FrameMode::Zero);
        }
        ++s.imageCounter;
        ++s.imagesWritten;
    }
    return unwritten;
}
