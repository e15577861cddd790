#include "export/render/EditedCanvas.h"

#include "common/ChangeDetection.h"

#include <algorithm>
#include <cstring>

CCaptionOverlay::CCaptionOverlay(RgbImage& stage, const ProjectCaption* caption,
                                 const CCaptionRenderer& captions)
    : m_stage(stage)
{
    if (!caption)
        return;
    const Region bounds = CCaptionRenderer::Bounds(*caption);
    m_box = {std::max(bounds.left, 0), std::max(bounds.top, 0), std::min(bounds.right, stage.width - 1),
             std::min(bounds.bottom, stage.height - 1)};
    if (m_box.Width() < 1 || m_box.Height() < 1) {
        m_box = kNoBox;
        return;
    }
    for (int y = m_box.top; y <= m_box.bottom; ++y) {
        const auto row = stage.rgb.begin() + Offset(m_box.left, y);
        m_under.insert(m_under.end(), row, row + size_t(m_box.Width()) * 3);
    }
    captions.Draw(*caption, stage.rgb.data(), stage.width, stage.height);
}

CCaptionOverlay::~CCaptionOverlay()
{
    auto in = m_under.begin();
    for (int y = m_box.top; y <= m_box.bottom; ++y, in += size_t(m_box.Width()) * 3)
        std::copy_n(in, size_t(m_box.Width()) * 3, m_stage.rgb.begin() + Offset(m_box.left, y));
}

CEditedCanvas::CEditedCanvas(const Region& crop)
    : m_crop(crop), m_rowWords((size_t(crop.Width()) * 3 + 1) / 2), m_words(m_rowWords * crop.Height(), 0)
{
}

Region CEditedCanvas::FromStage(const Region& box) const
{
    const Region r = Within(box, m_crop);
    return r.Width() < 1 ? kNoBox
                         : Region{r.left - m_crop.left, r.top - m_crop.top, r.right - m_crop.left,
                                  r.bottom - m_crop.top};
}

void CEditedCanvas::Update(RgbImage& stage, const ProjectCaption* caption, const CCaptionRenderer& captions,
                           const Region& box)
{
    if (box.Width() < 1)
        return;
    const CCaptionOverlay overlay(stage, caption, captions);
    for (int y = box.top; y <= box.bottom; ++y)
        std::memcpy(Bytes() + Offset(box.left, y),
                    stage.rgb.data() + (size_t(m_crop.top + y) * stage.width + m_crop.left + box.left) * 3,
                    size_t(box.Width()) * 3);
}

void CEditedCanvas::CopyFrom(const CEditedCanvas& other, const Region& box)
{
    for (int y = box.top; y <= box.bottom; ++y)
        std::memcpy(Bytes() + Offset(box.left, y), other.View().At(box.left, y), size_t(box.Width()) * 3);
}

Region CEditedCanvas::ChangedSince(const CEditedCanvas& before, const Region& within) const
{
    if (within.Width() < 1)
        return kNoBox;
    // The words that hold the bytes of the columns within.
    const int first = within.left * 3 / 2;
    const int last = (within.right * 3 + 2) / 2;
    const size_t at = size_t(within.top) * m_rowWords + size_t(first);
    Region regions[kMaxChangedRegions];
    const int n = DetectChanges(before.m_words.data() + at, m_words.data() + at, last - first + 1,
                                within.Height(), static_cast<int>(m_rowWords), regions);
    Region box = kNoBox;
    for (int i = 0; i < n; ++i) {
        // From words to the pixels their bytes belong to.
        const int left = (first + regions[i].left) * 2 / 3;
        const int right = std::min((first + regions[i].right) * 2 + 1, within.right * 3 + 2) / 3;
        box = UnionBox(box, {left, within.top + regions[i].top, right, within.top + regions[i].bottom});
    }
    return box;
}
