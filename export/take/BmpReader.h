#pragma once
#include "common/File.h"
#include "common/Result.h"
#include "common/RgbImage.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

// A 24-bit BI_RGB Windows bitmap, bottom-up or top-down, read a row at a time so that a picture never
// needs more memory than one of its rows. Anything else (other depths, compression, an OS/2 header, a
// file shorter than its pixel rows) is refused with the reason, without the file name.
class CBmpFile
{
public:
    // Reads and checks the header, and that the file holds every pixel row.
    CResult<> Open(const std::filesystem::path& path);
    int Width() const { return m_width; }
    int Height() const { return m_rows; }
    // Hands every row to `row` as RGB with its distance from the top, in the order the file keeps them.
    CResult<> ReadRows(const std::function<void(int y, const uint8_t* rgb)>& row);

private:
    CFile m_file;
    int m_width = 0;
    int m_rows = 0;
    bool m_topDown = false;
    uint32_t m_pixelOffset = 0;
    uint32_t m_rowBytes = 0;
};

// The whole picture at once.
CResult<RgbImage> ReadBmpFile(const std::filesystem::path& path);
