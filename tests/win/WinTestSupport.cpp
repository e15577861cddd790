#include "WinTestSupport.h"

#include <fstream>
#include <iterator>

namespace wintest {

namespace {

void RemoveTree(const std::string& dir)
{
    WIN32_FIND_DATAA data;
    CFindHandle find(::FindFirstFileA((dir + "\\*").c_str(), &data));
    if (find.Get() != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = data.cFileName;
            if (name == "." || name == "..")
                continue;
            const std::string path = dir + "\\" + name;
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(path);
            } else {
                ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                ::DeleteFileA(path.c_str());
            }
        } while (::FindNextFileA(find.Get(), &data));
    } else {
        find.Release();
    }
    ::RemoveDirectoryA(dir.c_str());
}

} // namespace

CScratchDir::CScratchDir()
{
    static int counter = 0;
    char temp[MAX_PATH];
    ::GetTempPathA(sizeof temp, temp);
    m_path = std::string(temp) + "flickmere-wintest-" + std::to_string(::GetCurrentProcessId()) + "-" +
             std::to_string(counter++);
    RemoveTree(m_path);
    ::CreateDirectoryA(m_path.c_str(), nullptr);
}

CScratchDir::~CScratchDir()
{
    RemoveTree(m_path);
}

std::vector<uint8_t> ReadFileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool FileExists(const std::string& path)
{
    return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

CPaintedDc::CPaintedDc(int width, int height, const std::function<uint32_t(int, int)>& colour)
{
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    CWindowDc screen = CWindowDc::FromGetDC(nullptr);
    m_bitmap.Reset(::CreateDIBSection(screen.Get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    auto* pixels = static_cast<uint32_t*>(bits);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            pixels[y * width + x] = colour(x, y);
    m_dc.Reset(::CreateCompatibleDC(screen.Get()));
    m_previous = ::SelectObject(m_dc.Get(), m_bitmap.Get());
}

CPaintedDc::~CPaintedDc()
{
    ::SelectObject(m_dc.Get(), m_previous);
}

} // namespace wintest
