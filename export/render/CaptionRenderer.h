#pragma once
#include "common/Region.h"
#include "export/take/Project.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// The caption font's advances in its own units, as the player's page is given them to break lines where
// Draw does: for every code point the font has a glyph for, in runs of consecutive code points, and the
// advance of the glyph drawn for any other.
struct CaptionFontAdvances
{
    struct Run
    {
        char32_t first = 0;
        std::vector<int> advances;
    };
    int unitsPerEm = 0;
    int missingAdvance = 0;
    std::vector<Run> runs;
};

// Draws captions onto a stage of RGB pixels (3 bytes a pixel, rows top first) in the style of
// CaptionStyle.h, with the DejaVu Sans that is built into the program.
class CCaptionRenderer
{
public:
    CCaptionRenderer();
    ~CCaptionRenderer();
    CCaptionRenderer(const CCaptionRenderer&) = delete;
    CCaptionRenderer& operator=(const CCaptionRenderer&) = delete;

    // Paints the caption, clipped to the stage, its text in the lines of Lines and cut at the box.
    void Draw(const ProjectCaption& caption, uint8_t* rgb, int width, int height) const;

    // The caption's text in the lines its box shows (CaptionLines.h), in UTF-8.
    std::vector<std::string> Lines(const ProjectCaption& caption) const;
    // The characters of `text` the font has no glyph for (drawn as empty boxes), each once, in order.
    std::u32string MissingCharacters(const std::string& text) const;
    CaptionFontAdvances Advances() const;

    // Every pixel Draw may change, before clipping to a stage.
    static Region Bounds(const ProjectCaption& caption);

private:
    struct Font;
    std::unique_ptr<Font> m_font;
};
