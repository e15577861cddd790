#include "state/win32/AnsiCodePage.h"

#include "common/win32/CodePages.h"

std::string Utf8ToAnsiCodePage(const char* utf8, size_t size)
{
    return CodePageFromWide(CP_ACP, WideFromCodePage(CP_UTF8, std::string(utf8, size)));
}

std::string AnsiCodePageToUtf8(const char* ansi, size_t size)
{
    return CodePageFromWide(CP_UTF8, WideFromCodePage(CP_ACP, std::string(ansi, size)));
}
