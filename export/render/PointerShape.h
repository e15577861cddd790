#pragma once
// The mouse pointer drawn over a recording: a small black-edged white arrow, given pixel by pixel so
// that the player's page and the animated PNG show exactly the same pixels.
#include "common/Region.h"

#include <cstdint>
#include <string>

constexpr int kPointerWidth = 12;
constexpr int kPointerHeight = 19;
// Its two colours, as 0xRRGGBB.
constexpr uint32_t kPointerEdgeRgb = 0x000000;
constexpr uint32_t kPointerFillRgb = 0xFFFFFF;

enum class PointerPixel
{
    None,
    Edge,
    Fill,
};

// (x, y) relative to the arrow's tip, which sits on the cursor point; None outside the arrow.
PointerPixel PointerAt(int x, int y);

// The arrow as an inline SVG element with the given id: one path of unit squares per colour, so that at
// one CSS pixel per pixel it covers exactly the arrow's pixels. A canvas can fill the same paths.
std::string PointerSvg(const char* id);

// The part of a stage of the given size that the arrow's box covers with its tip at `cursor`; false
// when the box lies wholly off the stage.
bool PointerRegion(CursorPoint cursor, int stageWidth, int stageHeight, Region& region);

// Paints the arrow into `stage` (RGB, `stageWidth` pixels a row), clipped to it.
void DrawPointer(uint8_t* stage, int stageWidth, int stageHeight, CursorPoint cursor);
