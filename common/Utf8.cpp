#include "common/Utf8.h"

namespace {

constexpr char32_t kLastCodePoint = 0x10FFFF;
constexpr char32_t kFirstSurrogate = 0xD800;
constexpr char32_t kLastSurrogate = 0xDFFF;

} // namespace

bool DecodeUtf8Character(const unsigned char*& p, const unsigned char* end, char32_t& codePoint)
{
    const unsigned char lead = *p;
    int following;
    char32_t smallest;
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

std::u32string DecodeUtf8(std::string_view text)
{
    std::u32string out;
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    const unsigned char* end = p + text.size();
    while (p < end) {
        char32_t codePoint;
        if (DecodeUtf8Character(p, end, codePoint)) {
            out.push_back(codePoint);
        } else {
            out.push_back(kReplacementCharacter);
            ++p;
        }
    }
    return out;
}

std::string EncodeUtf8(std::u32string_view text)
{
    std::string out;
    for (char32_t point : text) {
        if (point > kLastCodePoint || (point >= kFirstSurrogate && point <= kLastSurrogate))
            point = kReplacementCharacter;
        // The lead byte's marker and the number of continuation bytes, by the point's size.
        const int following = point < 0x80 ? 0 : point < 0x800 ? 1 : point < 0x10000 ? 2 : 3;
        static const unsigned char kLead[] = {0x00, 0xC0, 0xE0, 0xF0};
        out.push_back(static_cast<char>(kLead[following] | (point >> (6 * following))));
        for (int i = following - 1; i >= 0; --i)
            out.push_back(static_cast<char>(0x80 | ((point >> (6 * i)) & 0x3F)));
    }
    return out;
}
