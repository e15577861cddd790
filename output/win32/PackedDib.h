#pragma once
#include "common/win32/Handles.h"

// Converts a device-dependent bitmap (not selected into any device context) into a packed DIB block:
// BITMAPINFOHEADER, colour table, pixel rows bottom row first. Returns an empty handle on failure;
// the caller owns the block.
[[nodiscard]] CGlobalMemory MakePackedDib(HBITMAP bitmap, DWORD compression, WORD bitsPerPixel,
                                          HPALETTE palette);

// WritePackedDib over a block made by MakePackedDib: 1 when the whole file was written, else 0.
[[nodiscard]] int WritePackedDib(const char* fileName, HGLOBAL block);
