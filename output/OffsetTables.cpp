#include "output/OffsetTables.h"

#include "common/File.h"
#include "common/IntScan.h"

#include <vector>

OffsetTables g_offsets;

namespace {

// The two built-in rows that a template without offset files would still find its first records at.
constexpr int32_t kBuiltInRow1 = 555880;
constexpr int32_t kBuiltInRow2 = 556020;
constexpr int kBuiltInRows = 2;

struct ResetAtStart
{
    ResetAtStart() { ResetOffsetTables(); }
} g_resetAtStart;

// Opened for update although nothing is written: a file that could not be written counts as missing.
template <typename Parse> int LoadWith(const char* fileName, Parse parse)
{
    std::vector<uint8_t> text;
    if (!ReadWholeFile(fileName, text, "r+b"))
        return -1;
    return parse(reinterpret_cast<const char*>(text.data()), text.size(), g_offsets);
}

} // namespace

void ResetOffsetTables()
{
    ResetOffsetTables(g_offsets);
}

void ResetOffsetTables(OffsetTables& t)
{
    for (auto& column : t.cursor) {
        for (int i = 0; i < kOffsetRows; ++i)
            column[i] = 0;
        column[0] = kBuiltInRow1;
        column[1] = kBuiltInRow2;
    }
    for (auto& row : t.bitmap)
        for (auto& v : row)
            v = 0;
    for (auto& v : t.frame)
        v = 0;
    t.frame[0] = kBuiltInRow1;
    t.frame[1] = kBuiltInRow2;
    t.bitmapRows = 0;
    t.cursorRows = 0;
    t.frameRows = 0;
}

// Row pattern "%i;%i;%i;%i;\n". A missing ";" after any of the first three numbers ends the reading;
// after the fourth it goes unnoticed, since only the numbers read decide.
int ParseCursorOffsets(const char* text, size_t size, OffsetTables& tables)
{
    CIntScanner in(text, size);
    int rows = 0;
    for (int i = 0; i < kOffsetRows; ++i) {
        int numbers = 0;
        for (int column = 0; column < 4; ++column) {
            int32_t value;
            if (!in.ReadInt(value))
                break;
            tables.cursor[column][i] = value;
            ++numbers;
            if (!in.Match(';'))
                break;
        }
        if (numbers < 4)
            break;
        in.SkipSpace();
        ++rows;
    }
    tables.cursorRows = rows;
    return rows;
}

// Row pattern "%i;\n".
int ParseFrameOffsets(const char* text, size_t size, OffsetTables& tables)
{
    CIntScanner in(text, size);
    int rows = 0;
    for (int i = 0; i < kOffsetRows; ++i) {
        int32_t value;
        if (!in.ReadInt(value))
            break;
        tables.frame[i] = value;
        if (in.Match(';'))
            in.SkipSpace();
        ++rows;
    }
    tables.frameRows = rows;
    return rows;
}

// Row: "%i;" for the count n, "%i;" for each of the first n - 1 offsets, "%i;\n" for the last one.
int ParseBitmapOffsets(const char* text, size_t size, OffsetTables& tables)
{
    CIntScanner in(text, size);
    int rows = 0;
    for (int r = 0; r < kOffsetRows; ++r) {
        int32_t count;
        if (!in.ReadInt(count))
            break;
        in.Match(';');
        // A count outside 1..400 has no room in its row (0 would even put the only offset over the
        // count), so the reading ends here and the rows before it stand.
        if (count < 1 || count > kMaxPlacements)
            break;
        int32_t* row = tables.bitmap[r];
        row[0] = count;
        for (int j = 1; j < count; ++j) {
            if (!in.ReadInt(row[j]))
                break;
            in.Match(';');
        }
        if (!in.ReadInt(row[count]))
            break;
        if (in.Match(';'))
            in.SkipSpace();
        ++rows;
    }
    tables.bitmapRows = rows;
    return rows;
}

int LoadBitmapOffsets(const char* fileName)
{
    return LoadWith(fileName, ParseBitmapOffsets);
}

int LoadCursorOffsets(const char* fileName)
{
    return LoadWith(fileName, ParseCursorOffsets);
}

int LoadFrameOffsets(const char* fileName)
{
    return LoadWith(fileName, ParseFrameOffsets);
}

int TemplateCapacity()
{
    return g_offsets.bitmapRows;
}

std::optional<int32_t> CursorOffset(int row, int column)
{
    return CursorOffset(g_offsets, row, column);
}

std::optional<int32_t> FrameOffset(int entry)
{
    return FrameOffset(g_offsets, entry);
}

int PlacementCount(int row)
{
    return PlacementCount(g_offsets, row);
}

int32_t PlacementOffset(int row, int j)
{
    return PlacementOffset(g_offsets, row, j);
}

std::optional<int32_t> CursorOffset(const OffsetTables& tables, int row, int column)
{
    if (row < 1 || row > kOffsetRows || column < 1 || column > 4)
        return std::nullopt;
    if (row > tables.cursorRows && row > kBuiltInRows)
        return std::nullopt;
    return tables.cursor[column - 1][row - 1];
}

std::optional<int32_t> FrameOffset(const OffsetTables& tables, int entry)
{
    if (entry < 1 || entry > kOffsetRows)
        return std::nullopt;
    if (entry > tables.frameRows && entry > kBuiltInRows)
        return std::nullopt;
    return tables.frame[entry - 1];
}

int PlacementCount(const OffsetTables& tables, int row)
{
    if (row < 1 || row > tables.bitmapRows)
        return 0;
    return tables.bitmap[row - 1][0];
}

int32_t PlacementOffset(const OffsetTables& tables, int row, int j)
{
    return tables.bitmap[row - 1][j];
}
