#pragma once
#include <cstddef>
#include <cstdint>

// The 40-byte BITMAPINFOHEADER, laid out as Windows lays it out, so that the core can read a DIB block
// without <windows.h>.
struct DibHeader
{
    uint32_t biSize;
    int32_t biWidth;
    int32_t biHeight;
    uint16_t biPlanes;
    uint16_t biBitCount;
    uint32_t biCompression;
    uint32_t biSizeImage;
    int32_t biXPelsPerMeter;
    int32_t biYPelsPerMeter;
    uint32_t biClrUsed;
    uint32_t biClrImportant;
};
static_assert(sizeof(DibHeader) == 40, "BITMAPINFOHEADER is 40 bytes");

constexpr uint32_t kBiRgb = 0;
constexpr uint32_t kFileHeaderBytes = 14;
constexpr uint32_t kWriteChunkBytes = 0x8000;

// Colour-table entries: biClrUsed when set, else 2, 16 or 256 for 1, 4 or 8 bits per pixel, else 0.
// Both results are 16-bit, as the header's consumers have always kept them; a biClrUsed above 65535
// is cut to its low 16 bits.
uint16_t DibColourCount(const DibHeader& header);
uint16_t DibColourTableSize(const DibHeader& header);

// Bytes of one pixel row, padded to a multiple of 4.
uint32_t DibRowBytes(int32_t width, uint16_t bitsPerPixel);

// Where the bitmap file goes. The real one writes with the C runtime; tests observe the pieces.
// A created file ends in exactly one of Commit or Discard.
class IFileSink
{
public:
    virtual bool Create(const char* fileName) = 0;
    // Returns the number of bytes written; fewer when the data cannot be kept (out of memory, say).
    virtual uint32_t Write(const void* data, uint32_t size) = 0;
    // Completes the file. Returns false, and leaves no file behind, when it could not be completed.
    virtual bool Commit() = 0;
    // Removes the file: a picture that is not whole is worse than none.
    virtual void Discard() = 0;

protected:
    ~IFileSink() = default;
};

// Writes `size` bytes in pieces of at most 32768 bytes; returns `size` when every byte was written,
// else 0 (and stops at the first short piece).
uint32_t WriteChunked(IFileSink& file, const uint8_t* data, uint32_t size);

// Writes a packed DIB block (header, colour table, pixels) as a .bmp file: the 14-byte file header,
// then the block. An existing file is replaced. Returns 1 when the whole file was written, 0 when
// there was no block, the file could not be created or a write fell short; a file that was created
// but not completed is removed.
int WritePackedDib(const char* fileName, const uint8_t* block, uint32_t blockSize, IFileSink& file);
int WritePackedDib(const char* fileName, const uint8_t* block, uint32_t blockSize);
