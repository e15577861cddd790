#include "common/win32/WideText.h"

std::string Utf8OfWide(const wchar_t* text, int length)
{
    if (!text || length == 0)
        return {};
    const int bytes = ::WideCharToMultiByte(CP_UTF8, 0, text, length, nullptr, 0, nullptr, nullptr);
    if (bytes <= 0)
        return {};
    std::string utf8(static_cast<size_t>(bytes), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text, length, utf8.data(), bytes, nullptr, nullptr);
    if (length < 0)
        utf8.pop_back(); // the terminating null
    return utf8;
}
