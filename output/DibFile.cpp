#include "output/DibFile.h"

#include "common/File.h"
#include "common/LittleEndian.h"

#include <cstdio>
#include <cstring>
#include <new>
#include <string>
#include <vector>

namespace {

// Gathers the pieces and hands them to the C runtime in one write when the file is committed. On some
// file systems every write call costs about as much as copying a megabyte, while the buffer, kept
// from one picture to the next, costs only the copy.
class CStdioFileSink final : public IFileSink
{
public:
    ~CStdioFileSink() { Discard(); }

    bool Create(const char* fileName) override
    {
        Pending().clear();
        m_name = fileName;
        m_file = CFile(fileName, "wb");
        return static_cast<bool>(m_file);
    }
    uint32_t Write(const void* data, uint32_t size) override
    {
        const auto* bytes = static_cast<const uint8_t*>(data);
        try {
            Pending().insert(Pending().end(), bytes, bytes + size);
        } catch (const std::bad_alloc&) {
            // Reported as a short write: the caller discards the file and says the picture is lost.
            return 0;
        }
        return size;
    }
    bool Commit() override
    {
        if (!m_file)
            return false;
        std::vector<uint8_t>& pending = Pending();
        bool ok = std::fwrite(pending.data(), 1, pending.size(), m_file.Get()) == pending.size();
        ok = m_file.Close() && ok;
        ReleaseBuffer();
        if (!ok)
            std::remove(m_name.c_str());
        return ok;
    }
    void Discard() override
    {
        if (!m_file)
            return;
        m_file.Close();
        ReleaseBuffer();
        std::remove(m_name.c_str());
    }

private:
    // Enough for a 4K picture; a larger one's buffer is given back after its file. A buffer made anew
    // for every picture would cost more in page faults than the write itself.
    static constexpr size_t kKeptBufferBytes = 64u << 20;

    static std::vector<uint8_t>& Pending()
    {
        static std::vector<uint8_t> buffer;
        return buffer;
    }
    static void ReleaseBuffer()
    {
        std::vector<uint8_t>& pending = Pending();
        pending.clear();
        if (pending.capacity() > kKeptBufferBytes)
            std::vector<uint8_t>().swap(pending);
    }

    std::string m_name;
    CFile m_file;
};

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
    const bool complete = file.Write(fileHeader, 2) == 2 &&
                          file.Write(fileHeader + 2, kFileHeaderBytes - 2) == kFileHeaderBytes - 2 &&
                          WriteChunked(file, block, blockSize) == blockSize;
    if (!complete) {
        file.Discard();
        return 0;
    }
    return file.Commit() ? 1 : 0;
}

int WritePackedDib(const char* fileName, const uint8_t* block, uint32_t blockSize)
{
    CStdioFileSink file;
    return WritePackedDib(fileName, block, blockSize, file);
}
