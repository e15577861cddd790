#pragma once
// The one look of a step's mark: a rounded outline around the control its press was about, drawn a
// little outside the control's rectangle so that it covers none of it. The animated PNG and the GIF draw
// it from these values and the player's page is given the same ones, so that a mark looks alike in all.
#include <cstdint>

constexpr uint32_t kMarkColour = 0xE8412C; // a red that stands out on the greys of most windows
constexpr int kMarkWidth = 3;              // the outline's thickness
constexpr int kMarkRadius = 7; // of the outline's outer corners; the inner ones are less by the width
constexpr int kMarkMargin = 2; // between the control's rectangle and the outline
