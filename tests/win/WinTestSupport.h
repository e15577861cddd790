#pragma once
// Helpers for the Windows-side tests: scratch directories and a memory device context holding a
// bitmap with pixels the test chose.
#include "common/win32/Handles.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace wintest {

// A fresh directory under %TEMP%, deleted with its files by the destructor.
class CScratchDir
{
public:
    CScratchDir();
    ~CScratchDir();
    const std::string& Path() const { return m_path; }
    std::string File(const std::string& name) const { return m_path + "\\" + name; }

private:
    std::string m_path;
};

std::vector<uint8_t> ReadFileBytes(const std::string& path);
int32_t Read32(const std::vector<uint8_t>& bytes, size_t at);

// A template kit of `capacity` slots in `dir`, its offset tables loaded, English texts current, and
// session 1 started there with a fresh destination file, as the Capture button leaves things.
bool StartSessionIn(const CScratchDir& dir, int capacity);
bool FileExists(const std::string& path);

// A 32-bit DIB section of w x h selected into a memory DC, filled by colour(x, y) -> 0x00RRGGBB.
class CPaintedDc
{
public:
    CPaintedDc(int width, int height, const std::function<uint32_t(int, int)>& colour);
    ~CPaintedDc();
    HDC Get() const { return m_dc.Get(); }

private:
    CMemoryDc m_dc;
    CBitmap m_bitmap;
    HGDIOBJ m_previous = nullptr;
};

} // namespace wintest
