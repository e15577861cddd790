#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>

constexpr int kOffsetRows = 400;
constexpr int kMaxPlacements = 400;

// Byte offsets into the destination file, read once at start-up from bmpoffs.ini, curoffs.ini and
// frmoffs.ini. Rows are numbered from 1 in the lookups; the arrays are 0-based.
struct OffsetTables
{
    // curoffs.ini: per capture step the two cursor records and the two span parts.
    int32_t cursor[4][kOffsetRows];
    // bmpoffs.ini: per picture slot the count n (1..400), then n placement offsets.
    int32_t bitmap[kOffsetRows][kMaxPlacements + 1];
    // frmoffs.ini: per picture the offset of its 16-bit frame count.
    int32_t frame[kOffsetRows];

    // Rows that counted in each file. bitmapRows is the template capacity.
    int bitmapRows;
    int cursorRows;
    int frameRows;
};

// The loaders below fill it once at start-up; the patcher and the export only read it.
extern OffsetTables g_offsets;

// Puts back the built-in initial contents: the first two rows of the cursor and frame tables hold
// 555880 and 556020, everything else is 0.
void ResetOffsetTables();
void ResetOffsetTables(OffsetTables& tables);

// The loaders open their file by its bare name in the current directory, for update (a read-only file
// counts as missing), and return -1 when it cannot be opened, else the number of rows read.
int LoadBitmapOffsets(const char* fileName = "bmpoffs.ini");
int LoadCursorOffsets(const char* fileName = "curoffs.ini");
int LoadFrameOffsets(const char* fileName = "frmoffs.ini");

// The same parsers over text already in memory (used by the loaders, the fuzzers and the export tool).
int ParseBitmapOffsets(const char* text, size_t size, OffsetTables& tables);
int ParseCursorOffsets(const char* text, size_t size, OffsetTables& tables);
int ParseFrameOffsets(const char* text, size_t size, OffsetTables& tables);

int TemplateCapacity();

// Lookups for the patcher. They answer nothing for an offset that neither a file nor the built-in
// initial values supply: such a patch is skipped rather than written at offset 0.
std::optional<int32_t> CursorOffset(int row, int column);
std::optional<int32_t> FrameOffset(int entry);
// Placement offsets of bitmap row `row` (1-based); the count is 0 for a row that was not read.
int PlacementCount(int row);
int32_t PlacementOffset(int row, int j);

// The same lookups in tables of the caller's own: the export reads a session's offset files without
// touching the program's.
std::optional<int32_t> CursorOffset(const OffsetTables& tables, int row, int column);
std::optional<int32_t> FrameOffset(const OffsetTables& tables, int entry);
int PlacementCount(const OffsetTables& tables, int row);
int32_t PlacementOffset(const OffsetTables& tables, int row, int j);
