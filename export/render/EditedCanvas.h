#pragma once
#include "export/render/CaptionRenderer.h"
#include "export/take/Project.h"
#include "export/render/StageComposer.h"
#include "common/Region.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// A canvas's pixels: rows of RGB bytes, `rowBytes` apart.
struct CanvasView
{
    const uint8_t* rgb;
    size_t rowBytes;

    const uint8_t* At(int x, int y) const { return rgb + size_t(y) * rowBytes + size_t(x) * 3; }
};

// Draws a caption over the stage for as long as it lives, and puts back what was under it.
class CCaptionOverlay
{
public:
    CCaptionOverlay(RgbImage& stage, const ProjectCaption* caption, const CCaptionRenderer& captions);
    ~CCaptionOverlay();

    CCaptionOverlay(const CCaptionOverlay&) = delete;
    CCaptionOverlay& operator=(const CCaptionOverlay&) = delete;

    // The part of the stage the caption may have changed; kNoBox without one.
    const Region& Box() const { return m_box; }

private:
    size_t Offset(int x, int y) const { return (size_t(y) * m_stage.width + x) * 3; }

    RgbImage& m_stage;
    Region m_box = kNoBox;
    std::vector<uint8_t> m_under;
};

// A picture of the edited take as the viewer gets it: the crop of the stage, with the step's caption.
// Its RGB bytes are kept in 16-bit words, so that the change detection, which compares words, finds
// exactly the pixels that differ; a row of an odd width ends in a byte of padding that stays 0.
class CEditedCanvas
{
public:
    explicit CEditedCanvas(const Region& crop);

    // The canvas's own coordinates of a box on the stage, cut to the crop.
    Region FromStage(const Region& box) const;

    // Takes the pixels of `box` (canvas coordinates) from the stage with the caption drawn over it.
    void Update(RgbImage& stage, const ProjectCaption* caption, const CCaptionRenderer& captions,
                const Region& box);

    void CopyFrom(const CEditedCanvas& other, const Region& box);

    CanvasView View() const { return {reinterpret_cast<const uint8_t*>(m_words.data()), RowBytes()}; }

    // The box around every pixel that differs from `before`, kNoBox when none does; the two are the same
    // outside `within`.
    Region ChangedSince(const CEditedCanvas& before, const Region& within) const;

private:
    // Any object's storage may be written as bytes.
    uint8_t* Bytes() { return reinterpret_cast<uint8_t*>(m_words.data()); }
    size_t RowBytes() const { return m_rowWords * 2; }
    size_t Offset(int x, int y) const { return size_t(y) * RowBytes() + size_t(x) * 3; }

    Region m_crop;
    size_t m_rowWords;
    std::vector<uint16_t> m_words;
};
