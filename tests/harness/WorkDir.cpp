#include "harness/WorkDir.h"

#include "harness/Process.h"

#include "TemplateKit.h"
#include "common/File.h"
#include "common/win32/Handles.h"

#include <windows.h>

#include <shellapi.h>

namespace e2e {

std::string AppDir()
{
    char dir[MAX_PATH];
    const DWORD length = ::GetEnvironmentVariableA("FLICKMERE_APP_DIR", dir, sizeof dir);
    return length > 0 && length < sizeof dir ? std::string(dir, length) : BinDir();
}

CWorkDir::CWorkDir(const WorkDirOptions& options)
{
    static int counter = 0;
    char temp[MAX_PATH];
    ::GetTempPathA(sizeof temp, temp);
    m_path = std::string(temp) + "flickmere-e2e-" + std::to_string(::GetCurrentProcessId()) + "-" +
             std::to_string(counter++) + options.nameEnd;
    ::CreateDirectoryA(m_path.c_str(), nullptr);
    ::CopyFileA((AppDir() + "\\Flickmere.exe").c_str(), File("Flickmere.exe").c_str(), FALSE);
    if (options.hookDll) {
        for (const char* name : {"HookDll.dll", "HookDll32.dll", "FlickmereHook32.exe"})
            ::CopyFileA((AppDir() + "\\" + name).c_str(), File(name).c_str(), FALSE);
    }
    if (options.templateKit) {
        TemplateKitOptions kit;
        kit.capacity = options.capacity;
        std::string error;
        WriteTemplateKit(m_path, kit, error);
    }
}

CWorkDir::~CWorkDir()
{
    SHFILEOPSTRUCTA op{};
    std::string from = m_path + '\0';
    op.wFunc = FO_DELETE;
    op.pFrom = from.c_str();
    op.fFlags = FOF_NO_UI;
    ::SHFileOperationA(&op);
}

void CWorkDir::Write(const std::string& name, const std::string& bytes) const
{
    CFile file(File(name).c_str(), "wb");
    if (file)
        std::fwrite(bytes.data(), 1, bytes.size(), file.Get());
}

void CWorkDir::Remove(const std::string& name) const
{
    ::DeleteFileA(File(name).c_str());
}

void CWorkDir::AddLanguageFile(const std::string& name) const
{
    ::CopyFileA((BinDir() + "\\" + name).c_str(), File(name).c_str(), FALSE);
}

int CWorkDir::Pictures(int session) const
{
    WIN32_FIND_DATAA found;
    const std::string pattern = File("session" + std::to_string(session) + "\\imageBMP*.bmp");
    const CFindHandle search(::FindFirstFileA(pattern.c_str(), &found));
    if (!search)
        return 0;
    int count = 0;
    do
        ++count;
    while (::FindNextFileA(search.Get(), &found));
    return count;
}

} // namespace e2e
