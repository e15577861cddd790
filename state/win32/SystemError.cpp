#include "state/win32/SystemError.h"

#include "common/TextFormat.h"
#include "common/win32/Handles.h"
#include "state/TextTable.h"

std::string SystemErrorText(DWORD error)
{
    char* text = nullptr;
    ::FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
        error, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<char*>(&text), 0, nullptr);
    const CLocalMemory owned(text);
    if (text)
        return text;
    char fallback[kTextBytes];
    FormatText(fallback, sizeof fallback, CurrentText(kTextSystemErrorNumber), {static_cast<int32_t>(error)});
    return fallback;
}
