#pragma once
// A caption's text broken into the lines its box shows: its own lines, each broken at spaces where it
// would be wider than the box, and a word wider than the box broken where it reaches the edge. The
// player's page breaks them the same way (export/player/captions.js) with the same advances, which the
// page is given; so widths are the font's advances without kerning, summed in whole font units, and the
// two agree to the unit.
#include <functional>
#include <string>
#include <vector>

struct CaptionMeasure
{
    int roomPixels = 0;                   // the width the text may take
    int fontPixels = 0;                   // the font's em, in pixels
    int unitsPerEm = 0;                   // the font's em, in its own units
    std::function<int(char32_t)> advance; // a code point's advance, in font units
};

std::vector<std::u32string> CaptionLines(const std::u32string& text, const CaptionMeasure& measure);
