#include "WinTestSupport.h"

#include "TemplateKit.h"
#include "state/TextTable.h"
#include "state/WorkingDirectory.h"
#include "capture/CaptureState.h"
#include "state/SessionState.h"
#include "output/OffsetTables.h"

#include <cstring>
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

int32_t Read32(const std::vector<uint8_t>& b, size_t at)
{
    return static_cast<int32_t>(b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<uint32_t>(b[at + 3]) << 24);
}

bool StartSessionIn(const CScratchDir& dir, int capacity)
{
    std::string error;
    TemplateKitOptions kit;
    kit.capacity = capacity;
    if (!WriteTemplateKit(dir.Path(), kit, error))
        return false;
    ResetOffsetTables();
    if (LoadBitmapOffsets(dir.File("bmpoffs.ini").c_str()) != capacity ||
        LoadCursorOffsets(dir.File("curoffs.ini").c_str()) != capacity ||
        LoadFrameOffsets(dir.File("frmoffs.ini").c_str()) != capacity)
        return false;
    FillDefaultTexts();
    for (int id : {kTextError, kTextCantOpenTemplate, kTextCorruptFile})
        RefreshCurrentText(0, id);
    ResetSessionState();
    ReleaseComparisonImage();
    std::strcpy(g_workDir, dir.Path().c_str());
    g_session.sessionNumber = 1;
    g_session.frameTotal = 1;
    ::CreateDirectoryA(dir.File("session1").c_str(), nullptr);
    std::strcpy(g_session.destinationFile, dir.File("session1\\destinationFLA1.fla").c_str());
    return ::CopyFileA(dir.File("template.fla").c_str(), g_session.destinationFile, FALSE) != FALSE;
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
