#include "export/render/CaptionLines.h"

#include <algorithm>
#include <cstdint>
#include <string_view>

namespace {

constexpr char32_t kSpace = U' ';

// One line of the text's own lines, broken where it is too wide.
void BreakParagraph(std::u32string_view points, const CaptionMeasure& measure,
                    std::vector<std::u32string>& lines)
{
    const int64_t room = int64_t{measure.roomPixels} * measure.unitsPerEm;
    const auto fits = [&](int64_t units) { return units * measure.fontPixels <= room; };
    size_t start = 0;
    do {
        // The widest line from `start` that ends before a word: trailing spaces take no room.
        int64_t width = 0, inked = 0;
        size_t wordStart = 0, end = start;
        for (; end < points.size(); ++end) {
            if (end > start && points[end] != kSpace && points[end - 1] == kSpace)
                wordStart = end;
            width += measure.advance(points[end]);
            if (points[end] != kSpace)
                inked = width;
            if (!fits(inked))
                break;
        }
        if (end == points.size()) {
            lines.emplace_back(points.substr(start));
            return;
        }
        // Spaces where a line breaks hang at its end: they make no line of their own.
        const size_t breakAt = wordStart > start ? wordStart : std::max(end, start + 1);
        std::u32string line(points.substr(start, breakAt - start));
        line.erase(line.find_last_not_of(kSpace) + 1);
        if (!line.empty())
            lines.push_back(std::move(line));
        start = breakAt;
    } while (start < points.size());
}

} // namespace

std::vector<std::u32string> CaptionLines(const std::u32string& text, const CaptionMeasure& measure)
{
    std::vector<std::u32string> lines;
    const std::u32string_view all(text);
    for (size_t start = 0;;) {
        const size_t end = std::min(all.find(U'\n', start), all.size());
        BreakParagraph(all.substr(start, end - start), measure, lines);
        if (end == all.size())
            return lines;
        start = end + 1;
    }
}
