#include "common/IntScan.h"

#include <cstdint>
#include <limits>

namespace {

bool IsSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

int DigitValue(char c, int base)
{
    int d = -1;
    if (c >= '0' && c <= '9')
        d = c - '0';
    else if (c >= 'a' && c <= 'f')
        d = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F')
        d = c - 'A' + 10;
    return d < base ? d : -1;
}

} // namespace

void CIntScanner::SkipSpace()
{
    while (m_pos != m_end && IsSpace(*m_pos))
        ++m_pos;
}

bool CIntScanner::Match(char c)
{
    if (m_pos == m_end || *m_pos != c)
        return false;
    ++m_pos;
    return true;
}

bool CIntScanner::ReadInt(int32_t& value)
{
    const char* start = m_pos;
    SkipSpace();
    const char* p = m_pos;
    bool negative = false;
    if (p != m_end && (*p == '+' || *p == '-')) {
        negative = *p == '-';
        ++p;
    }
    int base = 10;
    if (p != m_end && *p == '0') {
        base = 8;
        if (m_end - p > 2 && (p[1] == 'x' || p[1] == 'X') && DigitValue(p[2], 16) >= 0) {
            base = 16;
            p += 2;
        }
    }
    if (p == m_end || DigitValue(*p, base) < 0) {
        m_pos = start;
        return false;
    }
    // Accumulate with saturation: anything beyond 2^31 is clamped, which no offset can meaningfully be.
    const int64_t limit = int64_t{std::numeric_limits<int32_t>::max()} + 1;
    int64_t magnitude = 0;
    for (int d; p != m_end && (d = DigitValue(*p, base)) >= 0; ++p) {
        if (magnitude < limit)
            magnitude = magnitude * base + d;
    }
    if (magnitude > limit)
        magnitude = limit;
    int64_t signedValue = negative ? -magnitude : magnitude;
    if (signedValue > std::numeric_limits<int32_t>::max())
        signedValue = std::numeric_limits<int32_t>::max();
    value = static_cast<int32_t>(signedValue);
    m_pos = p;
    return true;
}
