#pragma once
#include "common/Region.h"
#include "export/take/Project.h"

#include <cstdint>
#include <memory>

// Draws captions onto a stage of RGB pixels (3 bytes a pixel, rows top first) in the style of
// CaptionStyle.h, with the DejaVu Sans that is built into the program.
class CCaptionRenderer
{
public:
    CCaptionRenderer();
    ~CCaptionRenderer();
    CCaptionRenderer(const CCaptionRenderer&) = delete;
    CCaptionRenderer& operator=(const CCaptionRenderer&) = delete;

    // Paints the caption, clipped to the stage. The text is cut at the box; lines break only at "\n".
    void Draw(const ProjectCaption& caption, uint8_t* rgb, int width, int height) const;

    // Every pixel Draw may change, before clipping to a stage.
    static Region Bounds(const ProjectCaption& caption);

private:
    struct Font;
    std::unique_ptr<Font> m_font;
};
