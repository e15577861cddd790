#include "export/render/CaptionRenderer.h"

#include "common/Utf8.h"
#include "export/render/CaptionLines.h"
#include "export/render/CaptionStyle.h"

#define STBTT_STATIC
#define STB_TRUETYPE_IMPLEMENTATION
#include <stb_truetype.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <stdexcept>
#include <string>
#include <vector>

// DejaVu Sans, embedded by the build.
extern const unsigned char kCaptionFont[];
extern const std::size_t kCaptionFontSize;

namespace {

constexpr int kOpaque = 255;
// Samples per pixel side for the arrowhead's edges.
constexpr int kHeadSamples = 4;

// A stage to paint on, clipped to `clip` (inclusive).
class CCanvas
{
public:
    CCanvas(uint8_t* rgb, int width, int height, Region clip)
        : m_rgb(rgb),
          m_width(width), m_clip{std::max(clip.left, 0), std::max(clip.top, 0),
                                 std::min(clip.right, width - 1), std::min(clip.bottom, height - 1)}
    {
    }

    const Region& Clip() const { return m_clip; }

    // Lays `colour` over the pixel with the coverage `alpha` (0 to 255).
    void Blend(int x, int y, uint32_t colour, int alpha) const
    {
        if (alpha <= 0 || x < m_clip.left || x > m_clip.right || y < m_clip.top || y > m_clip.bottom)
            return;
        uint8_t* pixel = m_rgb + (static_cast<std::size_t>(y) * m_width + x) * 3;
        const int shifts[3] = {16, 8, 0};
        for (int c = 0; c < 3; ++c) {
            const int over = static_cast<int>((colour >> shifts[c]) & 0xFF);
            pixel[c] =
                static_cast<uint8_t>((pixel[c] * (kOpaque - alpha) + over * alpha + kOpaque / 2) / kOpaque);
        }
    }

    // Only the part on the canvas is walked: a box may be far larger than the stage.
    void Fill(const Region& r, uint32_t colour) const
    {
        const Region on = Within(r, m_clip);
        for (int y = on.top; y <= on.bottom; ++y)
            for (int x = on.left; x <= on.right; ++x)
                Blend(x, y, colour, kOpaque);
    }

private:
    uint8_t* m_rgb;
    int m_width;
    Region m_clip;
};

struct PointF
{
    float x;
    float y;
};

float DistanceToSegment(PointF p, PointF a, PointF b)
{
    const float dx = b.x - a.x, dy = b.y - a.y;
    const float length2 = dx * dx + dy * dy;
    float t = length2 > 0 ? ((p.x - a.x) * dx + (p.y - a.y) * dy) / length2 : 0;
    t = std::clamp(t, 0.0f, 1.0f);
    return std::hypot(p.x - (a.x + t * dx), p.y - (a.y + t * dy));
}

bool InsideTriangle(PointF p, PointF a, PointF b, PointF c)
{
    const auto side = [](PointF p1, PointF p2, PointF p3) {
        return (p1.x - p3.x) * (p2.y - p3.y) - (p2.x - p3.x) * (p1.y - p3.y);
    };
    const float d1 = side(p, a, b), d2 = side(p, b, c), d3 = side(p, c, a);
    return !((d1 < 0 || d2 < 0 || d3 < 0) && (d1 > 0 || d2 > 0 || d3 > 0));
}

bool InsideBox(const ProjectRect& box, int x, int y)
{
    return x >= box.x && x < box.x + box.width && y >= box.y && y < box.y + box.height;
}

// The arrow runs from where the line from the box's middle to the tip leaves the box, to the tip.
void DrawArrow(const CCanvas& canvas, const ProjectRect& box, ProjectPoint tip)
{
    if (InsideBox(box, tip.x, tip.y))
        return;
    // Pixel centres: the tip is the middle of its pixel.
    const PointF end{tip.x + 0.5f, tip.y + 0.5f};
    const PointF middle{box.x + box.width / 2.0f, box.y + box.height / 2.0f};
    const float dx = end.x - middle.x, dy = end.y - middle.y;
    const float reach = std::min(dx != 0 ? box.width / 2.0f / std::fabs(dx) : INFINITY,
                                 dy != 0 ? box.height / 2.0f / std::fabs(dy) : INFINITY);
    const PointF start{middle.x + dx * reach, middle.y + dy * reach};
    const float length = std::hypot(end.x - start.x, end.y - start.y);
    const float ux = (end.x - start.x) / length, uy = (end.y - start.y) / length;
    const float headLength = std::min<float>(kArrowHeadLength, length);
    const PointF base{end.x - ux * headLength, end.y - uy * headLength};
    const PointF left{base.x - uy * kArrowHeadHalfWidth, base.y + ux * kArrowHeadHalfWidth};
    const PointF right{base.x + uy * kArrowHeadHalfWidth, base.y - ux * kArrowHeadHalfWidth};

    const Region area = CCaptionRenderer::Bounds({"", box, ProjectArrow{tip, {}}, {}});
    const float halfWidth = kArrowWidth / 2.0f;
    for (int y = std::max(area.top, canvas.Clip().top); y <= std::min(area.bottom, canvas.Clip().bottom); ++y)
        for (int x = std::max(area.left, canvas.Clip().left); x <= std::min(area.right, canvas.Clip().right);
             ++x) {
            if (InsideBox(box, x, y))
                continue; // the box is drawn over it
            const float line = halfWidth + 0.5f - DistanceToSegment({x + 0.5f, y + 0.5f}, start, base);
            int inside = 0;
            for (int sy = 0; sy < kHeadSamples; ++sy)
                for (int sx = 0; sx < kHeadSamples; ++sx)
                    inside += InsideTriangle({x + (sx + 0.5f) / kHeadSamples, y + (sy + 0.5f) / kHeadSamples},
                                             end, left, right);
            const float head = static_cast<float>(inside) / (kHeadSamples * kHeadSamples);
            const float coverage = std::clamp(std::max(line, head), 0.0f, 1.0f);
            canvas.Blend(x, y, kCaptionLine, static_cast<int>(std::lround(coverage * kOpaque)));
        }
}

// One line of text from the pen's position on the baseline, its glyphs placed with kerning.
void DrawLine(const CCanvas& text, const stbtt_fontinfo* font, float scale, const std::u32string& line,
              float penX, int baseline)
{
    char32_t previous = 0;
    std::vector<unsigned char> glyph;
    for (const char32_t point : line) {
        const int codepoint = static_cast<int>(point);
        if (previous)
            penX += scale * stbtt_GetCodepointKernAdvance(font, static_cast<int>(previous), codepoint);
        previous = point;
        int advance = 0, bearing = 0;
        stbtt_GetCodepointHMetrics(font, codepoint, &advance, &bearing);
        const int x = static_cast<int>(std::floor(penX));
        const float shift = penX - x;
        int x0, y0, x1, y1;
        stbtt_GetCodepointBitmapBoxSubpixel(font, codepoint, scale, scale, shift, 0, &x0, &y0, &x1, &y1);
        const int w = x1 - x0, h = y1 - y0;
        if (w > 0 && h > 0) {
            glyph.assign(static_cast<std::size_t>(w) * h, 0);
            stbtt_MakeCodepointBitmapSubpixel(font, glyph.data(), w, h, w, scale, scale, shift, 0, codepoint);
            for (int gy = 0; gy < h; ++gy)
                for (int gx = 0; gx < w; ++gx)
                    text.Blend(x + x0 + gx, baseline + y0 + gy, kCaptionInk,
                               glyph[static_cast<std::size_t>(gy) * w + gx]);
        }
        penX += advance * scale;
    }
}

} // namespace

struct CCaptionRenderer::Font
{
    stbtt_fontinfo info;
    float scale;
    int ascent;
    int unitsPerEm;

    int Advance(char32_t point) const
    {
        int advance = 0, bearing = 0;
        stbtt_GetCodepointHMetrics(&info, static_cast<int>(point), &advance, &bearing);
        return advance;
    }
    CaptionMeasure Measure(const ProjectRect& box) const
    {
        return {box.width - 2 * (kCaptionBorder + kCaptionPadding), kCaptionFontPixels, unitsPerEm,
                [this](char32_t point) { return Advance(point); }};
    }
};

CCaptionRenderer::CCaptionRenderer() : m_font(std::make_unique<Font>())
{
    if (!stbtt_InitFont(&m_font->info, kCaptionFont, stbtt_GetFontOffsetForIndex(kCaptionFont, 0)))
        throw std::runtime_error("the caption font built into the program cannot be read");
    m_font->scale = stbtt_ScaleForMappingEmToPixels(&m_font->info, kCaptionFontPixels);
    int ascent = 0, descent = 0, gap = 0;
    stbtt_GetFontVMetrics(&m_font->info, &ascent, &descent, &gap);
    m_font->ascent = static_cast<int>(std::lround(ascent * m_font->scale));

    m_font->unitsPerEm = static_cast<int>(std::lround(1 / stbtt_ScaleForMappingEmToPixels(&m_font->info, 1)));
}

CCaptionRenderer::~CCaptionRenderer() = default;

Region CCaptionRenderer::Bounds(const ProjectCaption& caption)
{
    const ProjectRect& b = caption.box;
    Region bounds{b.x, b.y, b.x + b.width - 1, b.y + b.height - 1};
    if (caption.arrow) {
        // The head's corners lie at most its half width from the line, and anti-aliasing one pixel
        // further.
        const int spread = std::max(kArrowHeadHalfWidth, kArrowWidth) + 1;
        const ProjectPoint tip = caption.arrow->tip;
        bounds.left = std::min(bounds.left, tip.x - spread);
        bounds.top = std::min(bounds.top, tip.y - spread);
        bounds.right = std::max(bounds.right, tip.x + spread);
        bounds.bottom = std::max(bounds.bottom, tip.y + spread);
    }
    return bounds;
}

void CCaptionRenderer::Draw(const ProjectCaption& caption, uint8_t* rgb, int width, int height) const
{
    const ProjectRect& box = caption.box;
    const CCanvas stage(rgb, width, height, WholeBox(width, height));
    if (caption.arrow)
        DrawArrow(stage, box, caption.arrow->tip);

    const Region outer{box.x, box.y, box.x + box.width - 1, box.y + box.height - 1};
    stage.Fill(outer, kCaptionLine);
    const Region inner{outer.left + kCaptionBorder, outer.top + kCaptionBorder, outer.right - kCaptionBorder,
                       outer.bottom - kCaptionBorder};
    stage.Fill(inner, kCaptionFill);

    const CCanvas text(rgb, width, height, inner);
    int baseline = inner.top + kCaptionPadding + m_font->ascent;
    for (const std::u32string& line : CaptionLines(DecodeUtf8(caption.text), m_font->Measure(box))) {
        DrawLine(text, &m_font->info, m_font->scale, line, static_cast<float>(inner.left + kCaptionPadding),
                 baseline);
        baseline += kCaptionLineHeight;
    }
}

std::vector<std::string> CCaptionRenderer::Lines(const ProjectCaption& caption) const
{
    std::vector<std::string> lines;
    for (const std::u32string& line : CaptionLines(DecodeUtf8(caption.text), m_font->Measure(caption.box)))
        lines.push_back(EncodeUtf8(line));
    return lines;
}

std::u32string CCaptionRenderer::MissingCharacters(const std::string& text) const
{
    std::u32string missing;
    for (const char32_t point : DecodeUtf8(text))
        if (point != U'\n' && !stbtt_FindGlyphIndex(&m_font->info, static_cast<int>(point)) &&
            missing.find(point) == std::u32string::npos)
            missing.push_back(point);
    return missing;
}

CaptionFontAdvances CCaptionRenderer::Advances() const
{
    CaptionFontAdvances advances;
    advances.unitsPerEm = m_font->unitsPerEm;
    int bearing = 0;
    stbtt_GetGlyphHMetrics(&m_font->info, 0, &advances.missingAdvance, &bearing);
    constexpr char32_t kLastCodePoint = 0x10FFFF;
    for (char32_t point = 0; point <= kLastCodePoint; ++point) {
        if (!stbtt_FindGlyphIndex(&m_font->info, static_cast<int>(point)))
            continue;
        const bool follows = !advances.runs.empty() &&
                             advances.runs.back().first + advances.runs.back().advances.size() == point;
        if (!follows)
            advances.runs.push_back({point, {}});
        advances.runs.back().advances.push_back(m_font->Advance(point));
    }
    return advances;
}
