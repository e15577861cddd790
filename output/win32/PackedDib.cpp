#include "output/win32/PackedDib.h"

#include "output/DibFile.h"

#include <cstring>

namespace {

// Selects a palette into the screen's device context and puts the previous one back on every path.
class CPaletteSelection
{
public:
    CPaletteSelection(HDC dc, HPALETTE palette) : m_dc(dc), m_previous(::SelectPalette(dc, palette, FALSE))
    {
        ::RealizePalette(dc);
    }
    ~CPaletteSelection()
    {
        if (m_previous)
            ::SelectPalette(m_dc, m_previous, FALSE);
    }
    CPaletteSelection(const CPaletteSelection&) = delete;
    CPaletteSelection& operator=(const CPaletteSelection&) = delete;

private:
    HDC m_dc;
    HPALETTE m_previous;
};

} // namespace

CGlobalMemory MakePackedDib(HBITMAP bitmap, DWORD compression, WORD bitsPerPixel, HPALETTE palette)
{
    if (!bitmap)
        return CGlobalMemory();
    if (!palette)
        palette = static_cast<HPALETTE>(::GetStockObject(DEFAULT_PALETTE));

    BITMAP info{};
    ::GetObjectA(bitmap, sizeof info, &info);

    BITMAPINFOHEADER header{};
    header.biSize = sizeof header;
    header.biWidth = info.bmWidth;
    header.biHeight = info.bmHeight;
    header.biPlanes = 1;
    header.biBitCount = bitsPerPixel;
    header.biCompression = compression;

    CWindowDc screen = CWindowDc::FromGetDC(nullptr);
    CPaletteSelection selection(screen.Get(), palette);

    DibHeader portable;
    std::memcpy(&portable, &header, sizeof header);
    const DWORD tableSize = DibColourTableSize(portable);
    CGlobalMemory block(::GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, header.biSize + tableSize));
    if (!block)
        return CGlobalMemory();

    {
        // GetDIBits without a pixel buffer completes the header, notably biSizeImage.
        CGlobalLock lock(block.Get());
        if (!lock.Data())
            return CGlobalMemory();
        std::memcpy(lock.Data(), &header, sizeof header);
        ::GetDIBits(screen.Get(), bitmap, 0, static_cast<UINT>(info.bmHeight), nullptr,
                    static_cast<BITMAPINFO*>(lock.Data()), DIB_RGB_COLORS);
        std::memcpy(&header, lock.Data(), sizeof header);
    }
    if (header.biSizeImage == 0)
        header.biSizeImage = DibRowBytes(header.biWidth, bitsPerPixel) * static_cast<DWORD>(header.biHeight);

    HGLOBAL grown = ::GlobalReAlloc(block.Get(), header.biSize + tableSize + header.biSizeImage, 0);
    if (!grown)
        return CGlobalMemory();
    // GlobalReAlloc has taken the old handle over: it is not freed, the grown block is owned instead.
    static_cast<void>(block.Release());
    block.Reset(grown);

    CGlobalLock lock(block.Get());
    auto* bytes = static_cast<BYTE*>(lock.Data());
    if (!bytes)
        return CGlobalMemory();
    DibHeader stored;
    std::memcpy(&stored, bytes, sizeof stored);
    BYTE* pixels = bytes + stored.biSize + DibColourTableSize(stored);
    if (::GetDIBits(screen.Get(), bitmap, 0, static_cast<UINT>(info.bmHeight), pixels,
                    reinterpret_cast<BITMAPINFO*>(bytes), DIB_RGB_COLORS) == 0)
        return CGlobalMemory();
    return block;
}

int WritePackedDib(const char* fileName, HGLOBAL block)
{
    if (!block)
        return 0;
    CGlobalLock lock(block);
    if (!lock.Data())
        return 0;
    return WritePackedDib(fileName, static_cast<const uint8_t*>(lock.Data()),
                          static_cast<uint32_t>(::GlobalSize(block)));
}
