#include "state/Utf8Text.h"

#include <cstdint>

namespace {

constexpr uint32_t kLastCodePoint = 0x10FFFF;
constexpr uint32_t kFirstSurrogate = 0xD800;
constexpr uint32_t kLastSurrogate = 0xDFFF;

// Reads one character at `p`, moving past it; false, with `p` unchanged, when the bytes there are not
// well-formed UTF-8.
bool DecodeOne(const unsigned char*& p, const unsigned char* end, uint32_t& codePoint)
{
    const unsigned char lead = *p;
    int following;
    uint32_t smallest;
    if (lead < 0x80) {
        codePoint = lead;
        ++p;
        return true;
    } else if ((lead & 0xE0) == 0xC0) {
        following = 1;
        smallest = 0x80;
        codePoint = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
        following = 2;
        smallest = 0x800;
        codePoint = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
        following = 3;
        smallest = 0x10000;
        codePoint = lead & 0x07;
    } else {
        return false;
    }
    if (end - p <= following)
        return false;
    for (int i = 1; i <= following; ++i) {
        if ((p[i] & 0xC0) != 0x80)
            return false;
        codePoint = codePoint << 6 | (p[i] & 0x3F);
    }
    if (codePoint < smallest || codePoint > kLastCodePoint ||
        (codePoint >= kFirstSurrogate && codePoint <= kLastSurrogate))
        return false;
    p += following + 1;
    return true;
}

// Windows-1252 gives these characters to the bytes 0x80 to 0x9F; 0 marks the five it leaves unused.
const uint16_t kWindows1252High[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                       0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                       0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                       0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

char ToWindows1252(uint32_t codePoint)
{
    if (codePoint < 0x80 || (codePoint >= 0xA0 && codePoint <= 0xFF))
        return static_cast<char>(codePoint);
    for (int i = 0; i < 32; ++i)
        if (kWindows1252High[i] != 0 && kWindows1252High[i] == codePoint)
            return static_cast<char>(0x80 + i);
    return '?';
}

Utf8Converter g_converter = Utf8ToWindows1252;

} // namespace

bool IsUtf8BeyondAscii(const char* text, size_t size)
{
    const auto* p = reinterpret_cast<const unsigned char*>(text);
    const unsigned char* end = p + size;
    bool beyondAscii = false;
    while (p < end) {
        uint32_t codePoint;
        if (!DecodeOne(p, end, codePoint))
            return false;
        beyondAscii = beyondAscii || codePoint >= 0x80;
    }
    return beyondAscii;
}

void SetUtf8Converter(Utf8Converter converter)
{
    g_converter = converter ? converter : Utf8ToWindows1252;
}

std::string Utf8ToAnsi(const char* utf8, size_t size)
{
    return g_converter(utf8, size);
}

std::string Utf8ToWindows1252(const char* utf8, size_t size)
{
    std::string ansi;
    const auto* p = reinterpret_cast<const unsigned char*>(utf8);
    const unsigned char* end = p + size;
    while (p < end) {
        uint32_t codePoint;
        if (DecodeOne(p, end, codePoint)) {
            ansi += ToWindows1252(codePoint);
        } else {
            ansi += '?';
            ++p;
        }
    }
    return ansi;
}
