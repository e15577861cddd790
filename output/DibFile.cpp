#include "output/DibFile.h"

#include <cstdio>
#include <cstring>

namespace {

class CStdioFileSink final : public IFileSink
{
public:
    ~CStdioFileSink() { Close(); }

    bool Create(const char* fileName) override
    {
        m_file = std::fopen(fileName, "wb");
        return m_file != nullptr;
    }
    uint32_t Write(const void* data, uint32_t size) override
    {
        return static_cast<uint32_t>(std::fwrite(data, 1, size, m_file));
    }
    bool Close() override
    {
        if (!m_file)
            return true;
        const bool ok = std::fclose(m_file) == 0;
        m_file = nullptr;
        return ok;
    }

private:
    std::FILE* m_file = nullptr;
};

void Put16(uint8_t* p, uint16_t v)
{
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}

void Put32(uint8_t* p, uint32_t v)
{
    Put16(p, static_cast<uint16_t>(v));
    Put16(p + 2, static_cast<uint16_t>(v >> 16));
}

} // namespace

uint16_t DibColourCount(const DibHeader& header)
{
    if (header.biClrUsed != 0)
        return static_cast<uint16_t>(header.biClrUsed);
    switch (header.biBitCount) {
    case 1:
        return 2;
    case 4:
        return 16;
    case 8:
        return 256;
    default:
        return 0;
    }
}

uint16_t DibColourTableSize(const DibHeader& header)
{
    return static_cast<uint16_t>(DibColourCount(header) * 4u);
}

uint32_t DibRowBytes(int32_t width, uint16_t bitsPerPixel)
{
    return ((uint32_t{bitsPerPixel} * static_cast<uint32_t>(width) + 31) / 32) * 4;
}

uint32_t WriteChunked(IFileSink& file, const uint8_t* data, uint32_t size)
{
    uint32_t remaining = size;
    while (remaining > kWriteChunkBytes) {
        if (file.Write(data, kWriteChunkBytes) != kWriteChunkBytes)
            return 0;
        data += kWriteChunkBytes;
        remaining -= kWriteChunkBytes;
    }
    return file.Write(data, remaining) == remaining ? size : 0;
}

int WritePackedDib(const char* fileName, const uint8_t* block, uint32_t blockSize, IFileSink& file)
{
    if (!block || blockSize < sizeof(DibHeader))
        return 0;
    if (!file.Create(fileName))
        return 0;
    DibHeader header;
    std::memcpy(&header, block, sizeof header);

    uint8_t fileHeader[kFileHeaderBytes];
    fileHeader[0] = 'B';
    fileHeader[1] = 'M';
    Put32(fileHeader + 2, blockSize + kFileHeaderBytes);
    Put16(fileHeader + 6, 0);
    Put16(fileHeader + 8, 0);
    Put32(fileHeader + 10, kFileHeaderBytes + header.biSize + DibColourTableSize(header));

    // A write that falls short anywhere makes the whole file count as not written.
    bool complete = file.Write(fileHeader, 2) == 2;
    complete = file.Write(fileHeader + 2, kFileHeaderBytes - 2) == kFileHeaderBytes - 2 && complete;
    complete = WriteChunked(file, block, blockSize) == blockSize && complete;
    complete = file.Close() && complete;
    return complete ? 1 : 0;
}

int WritePackedDib(const char* fileName, const uint8_t* block, uint32_t blockSize)
{
    CStdioFileSink file;
    return WritePackedDib(fileName, block, blockSize, file);
}
