// What the release promises about Flickmere.exe itself: the manifest Windows reads when it starts the
// program, the version Explorer shows, and a clean start with both in place. The program is the one
// beside this test, or the unpacked release when FLICKMERE_APP_DIR names its folder.
#include "harness/App.h"
#include "harness/Process.h"
#include "harness/WorkDir.h"

#include "common/Version.h"
#include "common/win32/DynamicCalls.h"
#include "common/win32/Handles.h"
#include "res/resource.h"

#include <psapi.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <iterator>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;

std::string ProgramPath()
{
    return e2e::AppDir() + "\\Flickmere.exe";
}

std::wstring Widen(const std::string& text)
{
    std::wstring wide(text.size(), L'\0');
    const int length = ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()),
                                             wide.data(), static_cast<int>(wide.size()));
    wide.resize(length > 0 ? length : 0);
    return wide;
}

// The activation context Windows builds from the program's manifest when it starts the program.
class CProgramContext
{
public:
    explicit CProgramContext(const std::string& program)
    {
        const std::wstring source = Widen(program);
        ACTCTXW request{};
        request.cbSize = sizeof request;
        request.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID;
        request.lpSource = source.c_str();
        request.lpResourceName = MAKEINTRESOURCEW(1); // CREATEPROCESS_MANIFEST_RESOURCE_ID
        m_handle = ::CreateActCtxW(&request);
        m_error = ::GetLastError();
    }
    ~CProgramContext()
    {
        if (Valid())
            ::ReleaseActCtx(m_handle);
    }
    CProgramContext(const CProgramContext&) = delete;
    CProgramContext& operator=(const CProgramContext&) = delete;

    bool Valid() const { return m_handle != INVALID_HANDLE_VALUE; }
    HANDLE Get() const { return m_handle; }
    DWORD Error() const { return m_error; }

    // A <windowsSettings> value as Windows looks it up: by name within its schema namespace.
    std::wstring Setting(const wchar_t* settingsNamespace, const wchar_t* name) const
    {
        wchar_t value[128] = L"";
        SIZE_T written = 0;
        if (!::QueryActCtxSettingsW(0, m_handle, settingsNamespace, name, value, 128, &written))
            return L"<missing>";
        return value;
    }

private:
    HANDLE m_handle = INVALID_HANDLE_VALUE;
    DWORD m_error = 0;
};

// The answer to CompatibilityInformationInActivationContext as Windows 10 and Wine lay it out, with
// MaxVersionTested; mingw-w64's header still has the older layout without it.
struct CompatibilityElement
{
    GUID id;
    ACTCTX_COMPATIBILITY_ELEMENT_TYPE type;
    ULONGLONG maxVersionTested;
};

struct CompatibilityInformation
{
    DWORD count;
    CompatibilityElement elements[16];
};

// A file's version resource: the strings Explorer's Details tab shows and the four numbers.
struct FileVersion
{
    std::string productName;
    std::string productVersion;
    std::string fileVersion;
    WORD fixed[4] = {};
};

// version.dll is not among the libraries the Windows tests link with, so it is loaded here.
FileVersion ReadFileVersion(const std::string& path)
{
    using SizeFunction = DWORD(WINAPI*)(LPCSTR, LPDWORD);
    using InfoFunction = BOOL(WINAPI*)(LPCSTR, DWORD, DWORD, LPVOID);
    using QueryFunction = BOOL(WINAPI*)(LPCVOID, LPCSTR, LPVOID*, PUINT);
    FileVersion version;
    CModule library(::LoadLibraryA("version.dll"));
    if (!library.Get())
        return version;
    const auto size = ProcAddressAs<SizeFunction>(library.Get(), "GetFileVersionInfoSizeA");
    const auto info = ProcAddressAs<InfoFunction>(library.Get(), "GetFileVersionInfoA");
    const auto query = ProcAddressAs<QueryFunction>(library.Get(), "VerQueryValueA");
    DWORD ignored = 0;
    std::vector<char> block(size(path.c_str(), &ignored));
    if (block.empty() || !info(path.c_str(), 0, static_cast<DWORD>(block.size()), block.data()))
        return version;
    const auto text = [&](const char* name) {
        char* value = nullptr;
        UINT length = 0;
        const std::string key = std::string("\\StringFileInfo\\040904b0\\") + name;
        return query(block.data(), key.c_str(), reinterpret_cast<void**>(&value), &length) && value
                   ? std::string(value)
                   : std::string();
    };
    version.productName = text("ProductName");
    version.productVersion = text("ProductVersion");
    version.fileVersion = text("FileVersion");
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    if (query(block.data(), "\\", reinterpret_cast<void**>(&fixed), &length) && fixed) {
        version.fixed[0] = HIWORD(fixed->dwFileVersionMS);
        version.fixed[1] = LOWORD(fixed->dwFileVersionMS);
        version.fixed[2] = HIWORD(fixed->dwFileVersionLS);
        version.fixed[3] = LOWORD(fixed->dwFileVersionLS);
    }
    return version;
}

TEST(ManifestTest, WindowsReadsNoElevationAndTheSupportedSystemsFromTheManifest)
{
    const CProgramContext context(ProgramPath());
    // Fails when the manifest is missing, is not resource 1, does not parse, or names an assembly that
    // cannot be found; Windows then refuses to start the program at all.
    ASSERT_TRUE(context.Valid()) << ProgramPath() << ": error " << context.Error();

    // Windows 8.1 to Windows 10 1511 know only this older setting; later ones take the awareness the
    // running dialog is checked for below.
    EXPECT_EQ(context.Setting(nullptr, L"dpiAware"), L"true/pm");

    ACTIVATION_CONTEXT_RUN_LEVEL_INFORMATION runLevel{};
    ASSERT_TRUE(::QueryActCtxW(0, context.Get(), nullptr, RunlevelInformationInActivationContext, &runLevel,
                               sizeof runLevel, nullptr));
    EXPECT_EQ(runLevel.RunLevel, ACTCTX_RUN_LEVEL_AS_INVOKER);
    EXPECT_EQ(runLevel.UiAccess, 0u);

    CompatibilityInformation compatibility{};
    ASSERT_TRUE(::QueryActCtxW(0, context.Get(), nullptr, CompatibilityInformationInActivationContext,
                               &compatibility, sizeof compatibility, nullptr));
    ASSERT_LE(compatibility.count, std::size(compatibility.elements));
    std::vector<std::string> systems;
    for (DWORD i = 0; i < compatibility.count; ++i) {
        const CompatibilityElement& element = compatibility.elements[i];
        if (element.type != ACTCTX_COMPATIBILITY_ELEMENT_TYPE_OS)
            continue;
        const GUID& g = element.id;
        char id[40];
        std::snprintf(id, sizeof id, "{%08lX-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}", g.Data1, g.Data2,
                      g.Data3, g.Data4[0], g.Data4[1], g.Data4[2], g.Data4[3], g.Data4[4], g.Data4[5],
                      g.Data4[6], g.Data4[7]);
        systems.push_back(id);
    }
    std::sort(systems.begin(), systems.end());
    EXPECT_EQ(systems, (std::vector<std::string>{"{1F676C76-80E1-4239-95BB-83D0F6D0DA78}",    // 8.1
                                                 "{35138B9A-5D96-4FBD-8E2D-A2440225F93A}",    // 7
                                                 "{4A2F28E3-53B9-4441-BA9C-D69D4A4A6E38}",    // 8
                                                 "{8E0F7A12-BFB3-4FE8-B9A5-48FD50A15A9A}"})); // 10, 11
}

TEST(ManifestTest, VersionResourceNamesFlickmereAndTheVersionOfTheSources)
{
    const FileVersion version = ReadFileVersion(ProgramPath());
    EXPECT_EQ(version.productName, "Flickmere");
    EXPECT_EQ(version.productVersion, FLICKMERE_VERSION_STRING);
    EXPECT_EQ(version.fileVersion, FLICKMERE_VERSION_STRING);
    // Explorer's "File version" comes from the numbers, which are kept apart from the string.
    const std::string numbers = std::to_string(version.fixed[0]) + "." + std::to_string(version.fixed[1]) +
                                "." + std::to_string(version.fixed[2]);
    EXPECT_EQ(numbers, FLICKMERE_VERSION_STRING);
    EXPECT_EQ(version.fixed[3], 0);
}

// Where the program's comctl32.dll was loaded from. With the manifest it is the side-by-side copy
// of common controls 6, a folder named after the assembly; without it, system32's version 5.
std::string LoadedComctlPath(HANDLE process)
{
    HMODULE modules[512];
    DWORD bytes = 0;
    if (!::EnumProcessModules(process, modules, sizeof modules, &bytes))
        return "<no modules>";
    for (DWORD i = 0; i < bytes / sizeof(HMODULE); ++i) {
        char path[MAX_PATH] = "";
        ::GetModuleFileNameExA(process, modules[i], path, sizeof path);
        std::string file = path;
        std::transform(file.begin(), file.end(), file.begin(), [](char c) { return char(std::tolower(c)); });
        if (file.size() > 13 && file.compare(file.size() - 13, 13, "\\comctl32.dll") == 0)
            return file;
    }
    return "<not loaded>";
}

// The DPI awareness Windows gave a window of another process, as the user32 of Windows 10 1607 and
// later (and Wine) report it; -1 where the calls are missing.
int WindowDpiAwareness(HWND window)
{
    using GetContext = DPI_AWARENESS_CONTEXT(WINAPI*)(HWND);
    using GetAwareness = DPI_AWARENESS(WINAPI*)(DPI_AWARENESS_CONTEXT);
    const HMODULE user32 = ::GetModuleHandleA("user32.dll");
    const auto context = ProcAddressAs<GetContext>(user32, "GetWindowDpiAwarenessContext");
    const auto awareness = ProcAddressAs<GetAwareness>(user32, "GetAwarenessFromDpiAwarenessContext");
    return context && awareness ? awareness(context(window)) : -1;
}

// The program started the way Explorer starts it: in its own folder, so it finds its template kit,
// HookDll.dll and language files there. Outside the release the folder is put together here. Its
// dialog is per-monitor DPI aware, so window rectangles, the cursor and grabs are all in physical
// pixels, and its controls are the themed ones of common controls 6.
TEST(ManifestTest, ProgramStartsInItsFolderPerMonitorAwareWithCommonControls6)
{
    std::unique_ptr<e2e::CWorkDir> scratch;
    std::string folder = e2e::AppDir();
    if (folder == e2e::BinDir()) {
        scratch = std::make_unique<e2e::CWorkDir>();
        folder = scratch->Path();
    }
    e2e::CApp app(folder);
    const HWND dialog = app.WaitForDialog();
    const auto box = dialog ? std::nullopt : app.WaitForMessageBox(0ms);
    EXPECT_FALSE(box) << "start-up box: " << box->text;
    ASSERT_NE(dialog, nullptr) << "no main dialog within 30 s";
    EXPECT_EQ(WindowDpiAwareness(dialog), DPI_AWARENESS_PER_MONITOR_AWARE);
    const std::string comctl = LoadedComctlPath(app.Process());
    EXPECT_NE(comctl.find("microsoft.windows.common-controls_6595b64144ccf1df_6."), std::string::npos)
        << comctl;
}

} // namespace
