#include "common/win32/CrashReport.h"

#include <windows.h>

namespace {

// Room for the filter when the stack overflowed: Windows leaves only its guard page otherwise.
constexpr ULONG kStackForTheReport = 64 * 1024;
constexpr int kHexDigits = 8;

const char* g_program = "program";
LPTOP_LEVEL_EXCEPTION_FILTER g_previous = nullptr;

// The line is put together without the heap, which may be what failed.
class CLine
{
public:
    CLine& operator<<(const char* text)
    {
        while (*text && m_length < sizeof m_text)
            m_text[m_length++] = *text++;
        return *this;
    }
    CLine& Hex(DWORD value)
    {
        char digits[] = "0x00000000";
        for (int i = 0; i < kHexDigits; ++i)
            digits[sizeof digits - 2 - i] = "0123456789ABCDEF"[(value >> (4 * i)) & 0xF];
        return *this << digits;
    }
    void WriteTo(HANDLE out) const
    {
        DWORD written = 0;
        ::WriteFile(out, m_text, m_length, &written, nullptr);
    }

private:
    char m_text[256];
    DWORD m_length = 0;
};

LONG WINAPI ReportAndEnd(EXCEPTION_POINTERS* exception)
{
    // mingw-w64's filter lets the C++ runtime's exceptions continue to std::terminate, which says why.
    if (g_previous) {
        const LONG previous = g_previous(exception);
        if (previous != EXCEPTION_CONTINUE_SEARCH)
            return previous;
    }
    const DWORD code = exception->ExceptionRecord->ExceptionCode;
    CLine line;
    line << g_program << ": crashed: ";
    if (code == EXCEPTION_STACK_OVERFLOW)
        line << "stack overflow (exception ";
    else
        line << "an exception that nothing handled (";
    line.Hex(code) << ")\r\n";
    line.WriteTo(::GetStdHandle(STD_ERROR_HANDLE));
    ::TerminateProcess(::GetCurrentProcess(), kCrashExitStatus);
    return EXCEPTION_EXECUTE_HANDLER;
}

} // namespace

void ReportCrashes(const char* program)
{
    g_program = program;
    ULONG guarantee = kStackForTheReport;
    ::SetThreadStackGuarantee(&guarantee);
    g_previous = ::SetUnhandledExceptionFilter(ReportAndEnd);
}
