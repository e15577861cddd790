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
#include <filesystem>
#include <string>
#include <system_error>

namespace {

constexpr int kMessageBytes = 256;

const char kFixedCantOpen[] = "Can't open template file: %s\n";
const char kFixedCorrupt[] = "Corrupt file: %s\n";
// A full disk or a lost network share: the file no longer holds what the session wrote.
const char kFixedCantWrite[] = "Can't write destination file: %s\n";

[[noreturn]] void FailFatally(const char* format)
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
            FailFatally(cantOpenFormat);
    }

    // Positions from the start; a negative position fails. Beyond the end is fine: the write lengthens
    // the file.
    void Seek(int32_t offset, const char* corruptFormat)
    {
        if (offset < 0)
            FailFatally(corruptFormat);
        // A seek first writes out what the previous record left in the buffer.
        if (std::fseek(m_file.Get(), offset, SEEK_SET) != 0)
            FailFatally(std::ferror(m_file.Get()) ? kFixedCantWrite : corruptFormat);
    }
    void Write32(int32_t value)
    {
        uint8_t bytes[4];
        Put32(bytes, static_cast<uint32_t>(value));
        Write(bytes, sizeof bytes);
    }
    void Write16(uint16_t value)
    {
        uint8_t bytes[2];
        Put16(bytes, value);
        Write(bytes, sizeof bytes);
    }
    // The close writes what is still buffered, so it fails like a write.
    void Close()
    {
        if (!m_file.Close())
            FailFatally(kFixedCantWrite);
    }

private:
    void Write(const uint8_t* bytes, size_t size)
    {
        if (std::fwrite(bytes, 1, size, m_file.Get()) != size)
            FailFatally(kFixedCantWrite);
    }

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
    file.Close();
}

void PatchCursorPoint(int32_t first, int32_t second, int32_t x, int32_t y)
{
    CDestinationFile file(CurrentText(kTextCantOpenTemplate));
    for (int32_t offset : {first, second}) {
        file.Seek(offset, CurrentText(kTextCorruptFile));
        file.Write32(Wrap(int64_t{x} * kTwips));
        file.Write32(Wrap(int64_t{y} * kTwips));
    }
    file.Close();
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
        file.Close();
        return;
    }
    const int32_t v = Wrap(int64_t{g_session.previousOffset} - g_frameValues.offset + g_frameValues.frame);
    g_session.previousOffset = g_frameValues.offset;
    const SpanParts span = SplitSpan(v);
    g_session.frameTotal = Wrap(int64_t{g_session.frameTotal} + g_frameValues.frame);
    // A half of 0 is written too: left out, it would keep what the template holds there, and the step
    // would last that much longer.
    if (firstSpan) {
        file.Seek(*firstSpan, kFixedCorrupt);
        file.Write16(span.first);
    }
    if (secondSpan) {
        file.Seek(*secondSpan, kFixedCorrupt);
        file.Write16(span.second);
    }
    if (imageFrame) {
        file.Seek(*imageFrame, kFixedCorrupt);
        file.Write16(static_cast<uint16_t>(static_cast<uint32_t>(g_frameValues.frame)));
    }
    file.Close();
}

namespace {

constexpr int32_t kPointBytes = 8;
constexpr int32_t kCountBytes = 2;

bool Inside(int32_t offset, int32_t bytes, uintmax_t templateSize)
{
    return offset >= 0 && static_cast<uintmax_t>(offset) + static_cast<uintmax_t>(bytes) <= templateSize;
}

} // namespace

CResult<> TemplateHoldsEveryRecord(const char* templatePath)
{
    std::error_code error;
    const uintmax_t templateSize = std::filesystem::file_size(templatePath, error);
    if (error)
        return {};
    // The file a row comes from, and how many rows it has: the cursor and frame tables fill rows the
    // file lacks with the program's built-in ones.
    struct OffsetFile
    {
        const char* name;
        int rows;
    };
    const OffsetFile bitmaps{"bmpoffs.ini", g_offsets.bitmapRows},
        cursors{"curoffs.ini", g_offsets.cursorRows}, frames{"frmoffs.ini", g_offsets.frameRows};
    const OffsetFile* file = nullptr;
    int row = 0;
    // Steps and pictures are numbered up to the capacity; the closing frame counts of a step belong to
    // the step before the last picture, so their rows stop one short.
    const int capacity = TemplateCapacity();
    for (int r = 1; r <= capacity && !file; ++r) {
        for (int j = 1; j <= PlacementCount(r) && !file; ++j)
            if (!Inside(Wrap(int64_t{PlacementOffset(r, j)} + kPlacementValueOffset), kPointBytes,
                        templateSize))
                file = &bitmaps;
        for (int column = 1; column <= 4 && !file; ++column) {
            const bool used = column <= 2 || r < capacity;
            const std::optional<int32_t> offset = used ? CursorOffset(r, column) : std::nullopt;
            if (offset && !Inside(*offset, column <= 2 ? kPointBytes : kCountBytes, templateSize))
                file = &cursors;
        }
        const std::optional<int32_t> frame = r < capacity ? FrameOffset(r) : std::nullopt;
        if (!file && frame && !Inside(*frame, kCountBytes, templateSize))
            file = &frames;
        row = r;
    }
    if (!file)
        return {};
    const std::string bytes = std::to_string(templateSize);
    char message[2 * kMessageBytes]; // the built-in row's message is the longer one
    if (row <= file->rows)
        FormatText(message, sizeof message,
                   "Row %d of %s points outside template.fla, which is %s bytes long: the destination file "
                   "would be damaged or grow.\nCorrect the row, then press Capture again.",
                   {row, file->name, bytes.c_str()});
    else
        FormatText(message, sizeof message,
                   "%s has no row %d, so the program's built-in row %d is used, and it points outside "
                   "template.fla, which is %s bytes long: the destination file would be damaged or grow.\n"
                   "Add row %d to %s, then press Capture again.",
                   {file->name, row, row, bytes.c_str(), row, file->name});
    return ::Fail(message);
}
