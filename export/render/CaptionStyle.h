#pragma once
// The one look of a caption: a pale yellow callout box with a dark border and dark text in DejaVu Sans,
// and an arrow of the border's colour to the point it shows. The animated PNG draws it from these
// values and the player's page is given the same ones, so that a caption looks alike in both.
#include <cstdint>

constexpr int kCaptionFontPixels = 14; // the em size, as CSS font-size
constexpr int kCaptionLineHeight = 18; // from one baseline to the next, as CSS line-height
constexpr int kCaptionPadding = 6;     // between the border and the text
constexpr int kCaptionBorder = 1;
constexpr uint32_t kCaptionFill = 0xFFF6BF;
constexpr uint32_t kCaptionInk = 0x202020;
constexpr uint32_t kCaptionLine = 0x8A6D00; // the border and the arrow
constexpr int kArrowWidth = 2;
constexpr int kArrowHeadLength = 10;
constexpr int kArrowHeadHalfWidth = 5;
