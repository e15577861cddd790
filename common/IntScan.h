#pragma once
#include <cstddef>
#include <cstdint>

// Reads the text formats of the offset files and session directory names the way the C library's
// "%i" conversion reads them: white space is skipped, an optional sign follows, then decimal digits,
// "0x"/"0X" and hexadecimal digits, or a leading 0 and octal digits ("010" is 8, "0x10" is 16).
// Doing it ourselves keeps the result identical on every C runtime; in particular numbers beyond the
// 32-bit range saturate instead of being undefined, and "0x" without a hex digit reads as 0 with the
// "x" left unread, as strtol does.
class CIntScanner
{
public:
    CIntScanner(const char* text, size_t size) : m_pos(text), m_end(text + size) {}

    // One "%i". On failure nothing is consumed.
    bool ReadInt(int32_t& value);
    // One literal character of a pattern. On a mismatch nothing is consumed, like scanf's pushback.
    bool Match(char c);
    // The white space directive (a line break in a pattern matches any run of white space).
    void SkipSpace();

    bool AtEnd() const { return m_pos == m_end; }
    const char* Position() const { return m_pos; }

private:
    const char* m_pos;
    const char* m_end;
};
