#include "output/TemplatePatcher.h"

#include "common/File.h"
#include "common/LittleEndian.h"
#include "common/TextFormat.h"
#include "output/FatalOutput.h"
#include "output/OffsetTables.h"
#include "output/TemplateFormat.h"
#include "state/FrameValues.h"
#include "state/SessionState.h"
#include "state/TextTable.h"

#include <cstdio>

namespace {

constexpr int kMessageBytes = 256;

const char kFixedCantOpen[] = "Can't open template file: %s\n";
const char kFixedCorrupt[] = "Corrupt file: %s\n";

[[noreturn]] void Fail(const char* format)
{
    char message[kMessageBytes];
    FormatText(message, sizeof message, format, {g_session.destinationFile});
    FailOutput(message);
}

// Arithmetic "in 32 bits": wraps instead of overflowing.
int32_t Wrap(int64_t v)
{
    return static_cast<int32_t>(static_cast<uint32_t>(v));
}

class CDestinationFile
{
public:
    explicit CDestinationFile(const char* cantOpenFormat) : m_file(g_session.destinationFile, "r+b")
    {
        if (!m_file)
            Fail(cantOpenFormat);
    }

    // Positions from the start; a negative position fails. Beyond the end is fine: the write lengthens
    // the file.
    void Seek(int32_t offset, const char* corruptFormat)
    {
        if (offset < 0 || std::fseek(m_file.Get(), offset, SEEK_SET) != 0)
            Fail(corruptFormat);
    }
    void Write32(int32_t value)
    {
        uint8_t bytes[4];
        Put32(bytes, static_cast<uint32_t>(value));
        std::fwrite(bytes, 1, sizeof bytes, m_file.Get());
    }
    void Write16(uint16_t value)
    {
        uint8_t bytes[2];
        Put16(bytes, value);
        std::fwrite(bytes, 1, sizeof bytes, m_file.Get());
    }

private:
    CFile m_file;
};

} // namespace

SpanParts SplitSpan(int32_t v)
{
    const uint16_t low = static_cast<uint16_t>(static_cast<uint32_t>(v));
    const uint16_t a = static_cast<uint16_t>(low / 2);
    const int32_t b = Wrap(int64_t{v} - a);
    return {a, static_cast<uint16_t>(static_cast<uint32_t>(b))};
}

void PatchImagePlacement(int32_t x, int32_t y, int32_t image)
{
    CDestinationFile file(kFixedCantOpen);
    const int row = image + 1;
    const int count = PlacementCount(row);
    for (int j = 1; j <= count; ++j) {
        file.Seek(Wrap(int64_t{PlacementOffset(row, j)} + kPlacementValueOffset), kFixedCorrupt);
        file.Write32(Wrap(int64_t{x} * kTwips));
        file.Write32(Wrap(int64_t{y} * kTwips));
    }
}

void PatchCursorPoint(int32_t first, int32_t second, int32_t x, int32_t y)
{
    CDestinationFile file(CurrentText(kTextCantOpenTemplate));
    for (int32_t offset : {first, second}) {
        file.Seek(offset, CurrentText(kTextCorruptFile));
        file.Write32(Wrap(int64_t{x} * kTwips));
        file.Write32(Wrap(int64_t{y} * kTwips));
    }
}

void PatchFrameCounts(std::optional<int32_t> firstSpan, std::optional<int32_t> secondSpan,
                      std::optional<int32_t> imageFrame, FrameMode mode)
{
    CDestinationFile file(CurrentText(kTextCantOpenTemplate));
    if (mode == FrameMode::Zero) {
        if (imageFrame) {
            file.Seek(*imageFrame, kFixedCorrupt);
            file.Write16(0);
        }
        return;
    }
    const int32_t v = Wrap(int64_t{g_session.previousOffset} - g_frameValues.offset + g_frameValues.frame);
    g_session.previousOffset = g_frameValues.offset;
    const SpanParts span = SplitSpan(v);
    g_session.frameTotal = Wrap(int64_t{g_session.frameTotal} + g_frameValues.frame);
    if (span.first != 0 && firstSpan) {
        file.Seek(*firstSpan, kFixedCorrupt);
        file.Write16(span.first);
    }
    if (span.second != 0 && secondSpan) {
        file.Seek(*secondSpan, kFixedCorrupt);
        file.Write16(span.second);
    }
    if (imageFrame) {
        file.Seek(*imageFrame, kFixedCorrupt);
        file.Write16(static_cast<uint16_t>(static_cast<uint32_t>(g_frameValues.frame)));
    }
}
