#include "state/win32/AnsiCodePage.h"

#include <windows.h>

#include <vector>

std::string Utf8ToAnsiCodePage(const char* utf8, size_t size)
{
    const int bytes = static_cast<int>(size);
    if (bytes <= 0)
        return std::string();
    const int wide = ::MultiByteToWideChar(CP_UTF8, 0, utf8, bytes, nullptr, 0);
    if (wide <= 0)
        return std::string();
    std::vector<wchar_t> utf16(static_cast<size_t>(wide));
    ::MultiByteToWideChar(CP_UTF8, 0, utf8, bytes, utf16.data(), wide);
    const int ansiBytes = ::WideCharToMultiByte(CP_ACP, 0, utf16.data(), wide, nullptr, 0, nullptr, nullptr);
    if (ansiBytes <= 0)
        return std::string();
    std::string ansi(static_cast<size_t>(ansiBytes), '\0');
    ::WideCharToMultiByte(CP_ACP, 0, utf16.data(), wide, &ansi[0], ansiBytes, nullptr, nullptr);
    return ansi;
}
