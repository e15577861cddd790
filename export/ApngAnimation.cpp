#include "ApngAnimation.h"

#include "ApngEncoder.h"
#include "PointerShape.h"

#include <algorithm>
#include <numeric>

namespace {

constexpr uint32_t kLoopForever = 0;
constexpr uint32_t kPlayOnce = 1;
constexpr int64_t kMaxDelayNum = UINT16_MAX;

// A frame that repeats the stage's top-left pixel: it changes nothing and only carries time.
constexpr Region kHoldRegion{0, 0, 0, 0};

struct PlannedFrame
{
    Region region;
    uint16_t delayNum = 0;
    uint16_t delayDen = 1;
};

bool Inside(const Region& inner, const Region& outer)
{
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

// The step's pictures in order, then the pointer's old and new boxes where the pointer moved; a box
// inside one of the step's pictures is already covered by it.
std::vector<PlannedFrame> StepRegions(const SessionTimeline& timeline, size_t s, bool pointer)
{
    std::vector<PlannedFrame> frames;
    const TimelineStep& step = timeline.steps[s];
    for (const TimelinePicture& p : step.pictures)
        frames.push_back({{p.x, p.y, p.x + p.image.width - 1, p.y + p.image.height - 1}});
    if (!pointer)
        return frames;
    std::vector<CursorPoint> places{step.cursor};
    if (s > 0) {
        const CursorPoint old = timeline.steps[s - 1].cursor;
        if (old.x == step.cursor.x && old.y == step.cursor.y)
            return frames; // the pictures alone change what is under a pointer that stays
        places.insert(places.begin(), old);
    }
    const size_t pictures = frames.size();
    for (CursorPoint place : places) {
        Region box;
        if (!PointerRegion(place, timeline.stageWidth, timeline.stageHeight, box))
            continue;
        if (std::none_of(frames.begin(), frames.begin() + pictures,
                         [&](const PlannedFrame& f) { return Inside(box, f.region); }))
            frames.push_back({box});
    }
    return frames;
}

// The step lasts stepFrames / fps seconds, on its last frame. A delay whose numerator does not fit the
// 16 bits of fcTL, even in lowest terms, goes on over hold frames instead of being cut short.
void TimeStep(std::vector<PlannedFrame>& frames, int stepFrames, int fps)
{
    const int64_t divisor = std::gcd<int64_t>(stepFrames, fps);
    int64_t num = stepFrames / divisor;
    const uint16_t den = static_cast<uint16_t>(fps / divisor);
    for (PlannedFrame& f : frames)
        f.delayDen = den;
    if (frames.empty())
        frames.push_back({kHoldRegion, 0, den});
    frames.back().delayNum = static_cast<uint16_t>(std::min(num, kMaxDelayNum));
    for (num -= frames.back().delayNum; num > 0; num -= frames.back().delayNum)
        frames.push_back({kHoldRegion, static_cast<uint16_t>(std::min(num, kMaxDelayNum)), den});
}

// The pixels under the arrow, kept so that the next step can take the arrow away again.
class CPointerUnderlay
{
public:
    void Save(const RgbImage& stage, const Region& box)
    {
        m_box = box;
        m_saved = true;
        m_pixels.clear();
        for (int y = box.top; y <= box.bottom; ++y) {
            const auto row = stage.rgb.begin() + (size_t(y) * stage.width + box.left) * 3;
            m_pixels.insert(m_pixels.end(), row, row + box.Width() * 3);
        }
    }

    void Restore(RgbImage& stage)
    {
        if (!m_saved)
            return;
        auto in = m_pixels.begin();
        for (int y = m_box.top; y <= m_box.bottom; ++y, in += m_box.Width() * 3)
            std::copy(in, in + m_box.Width() * 3,
                      stage.rgb.begin() + (size_t(y) * stage.width + m_box.left) * 3);
        m_saved = false;
    }

private:
    Region m_box;
    bool m_saved = false;
    std::vector<uint8_t> m_pixels;
};

void Paint(RgbImage& stage, const TimelinePicture& p)
{
    const size_t rowBytes = size_t(p.image.width) * 3;
    for (int y = 0; y < p.image.height; ++y)
        std::copy_n(p.image.rgb.begin() + y * rowBytes, rowBytes,
                    stage.rgb.begin() + (size_t(p.y + y) * stage.width + p.x) * 3);
}

} // namespace

bool BuildApng(const SessionTimeline& timeline, const ApngOptions& options, std::vector<uint8_t>& png,
               std::string& error)
{
    std::vector<std::vector<PlannedFrame>> plan;
    uint32_t frameCount = 0;
    for (size_t s = 0; s < timeline.steps.size(); ++s) {
        plan.push_back(StepRegions(timeline, s, options.pointer));
        TimeStep(plan.back(), timeline.steps[s].frames, options.fps);
        frameCount += static_cast<uint32_t>(plan.back().size());
    }

    CApngEncoder encoder(timeline.stageWidth, timeline.stageHeight, frameCount,
                         options.loop ? kLoopForever : kPlayOnce);
    RgbImage stage{timeline.stageWidth, timeline.stageHeight,
                   std::vector<uint8_t>(size_t(timeline.stageWidth) * timeline.stageHeight * 3)};
    CPointerUnderlay underlay;
    for (size_t s = 0; s < timeline.steps.size(); ++s) {
        const TimelineStep& step = timeline.steps[s];
        underlay.Restore(stage);
        for (const TimelinePicture& p : step.pictures)
            Paint(stage, p);
        Region box;
        if (options.pointer && PointerRegion(step.cursor, stage.width, stage.height, box)) {
            underlay.Save(stage, box);
            DrawPointer(stage.rgb.data(), stage.width, stage.height, step.cursor);
        }
        for (const PlannedFrame& f : plan[s])
            if (!encoder.AddFrame(stage.rgb.data(), f.region, f.delayNum, f.delayDen)) {
                error = "step " + std::to_string(s + 1) + " could not be compressed";
                return false;
            }
    }
    if (!encoder.Finish(png)) {
        error = "the animation could not be completed";
        return false;
    }
    return true;
}
