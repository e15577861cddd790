#include "common/win32/CodePages.h"

std::wstring WideFromCodePage(UINT codePage, const std::string& text)
{
    const int bytes = static_cast<int>(text.size());
    const int length = bytes > 0 ? ::MultiByteToWideChar(codePage, 0, text.data(), bytes, nullptr, 0) : 0;
    if (length <= 0)
        return std::wstring();
    std::wstring wide(static_cast<size_t>(length), L'\0');
    ::MultiByteToWideChar(codePage, 0, text.data(), bytes, wide.data(), length);
    return wide;
}

std::string CodePageFromWide(UINT codePage, const std::wstring& text)
{
    const int length = static_cast<int>(text.size());
    const int bytes =
        length > 0 ? ::WideCharToMultiByte(codePage, 0, text.data(), length, nullptr, 0, nullptr, nullptr)
                   : 0;
    if (bytes <= 0)
        return std::string();
    std::string narrow(static_cast<size_t>(bytes), '\0');
    ::WideCharToMultiByte(codePage, 0, text.data(), length, narrow.data(), bytes, nullptr, nullptr);
    return narrow;
}
