#include "state/Utf8Text.h"

#include "common/Utf8.h"

#include <cstdint>

namespace {

// Windows-1252 gives these characters to the bytes 0x80 to 0x9F; 0 marks the five it leaves unused.
const uint16_t kWindows1252High[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                       0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                       0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                       0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

char ToWindows1252(char32_t codePoint)
{
    if (codePoint < 0x80 || (codePoint >= 0xA0 && codePoint <= 0xFF))
        return static_cast<char>(codePoint);
    for (int i = 0; i < 32; ++i)
        if (kWindows1252High[i] != 0 && kWindows1252High[i] == codePoint)
            return static_cast<char>(0x80 + i);
    return '?';
}

Utf8Converter g_converter = Utf8ToWindows1252;
AnsiReader g_reader = Windows1252ToUtf8;

} // namespace

bool IsUtf8BeyondAscii(const char* text, size_t size)
{
    const auto* p = reinterpret_cast<const unsigned char*>(text);
    const unsigned char* end = p + size;
    bool beyondAscii = false;
    while (p < end) {
        char32_t codePoint;
        if (!DecodeUtf8Character(p, end, codePoint))
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
        char32_t codePoint;
        if (DecodeUtf8Character(p, end, codePoint)) {
            ansi += ToWindows1252(codePoint);
        } else {
            ansi += '?';
            ++p;
        }
    }
    return ansi;
}

void SetAnsiReader(AnsiReader reader)
{
    g_reader = reader ? reader : Windows1252ToUtf8;
}

std::string AnsiToUtf8(const char* ansi, size_t size)
{
    return g_reader(ansi, size);
}

std::string Windows1252ToUtf8(const char* ansi, size_t size)
{
    std::u32string points;
    for (size_t i = 0; i < size; ++i) {
        const auto byte = static_cast<unsigned char>(ansi[i]);
        const char32_t high = byte >= 0x80 && byte < 0xA0 ? kWindows1252High[byte - 0x80] : byte;
        points += high != 0 ? high : kReplacementCharacter;
    }
    return EncodeUtf8(points);
}
