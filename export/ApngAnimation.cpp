#include "ApngAnimation.h"

#include "PointerShape.h"
#include "StageComposer.h"

#include <algorithm>
#include <memory>
#include <numeric>

namespace {

constexpr uint32_t kLoopForever = 0;
constexpr uint32_t kPlayOnce = 1;
constexpr int64_t kMaxDelayNum = UINT16_MAX;
// Chromium, Firefox and WebKit show a frame of 10 ms or less for 100 ms, as they do for GIF (the
// comparison of browsers' minimum frame delays, qiita.com/razokulover/items/34962844e314bb4bfd04; the
// PNG specification lets viewers "impose a reasonable lower bound"). 11 ms is the shortest honest
// delay, and what a last step shorter than that gets.
constexpr int kShortestDelayMs = 11;
constexpr uint16_t kMillisecond = 1000;

// A frame that repeats nothing: one transparent pixel drawn over the stage's corner, to carry time.
constexpr Region kHoldRegion{0, 0, 0, 0};

struct Delay
{
    uint16_t num;
    uint16_t den;
};

// One frame and the frames that carry it on: the state after step `lastStep`, for `delays`.
struct PlannedFrame
{
    size_t lastStep;
    std::vector<Delay> delays;
};

bool LongerThan10Ms(int64_t num, int64_t den)
{
    return num * 1000 > int64_t{10} * den;
}

// `frames` / fps seconds as fcTL delays: in lowest terms, split into parts whose numerators fit 16 bits,
// none of them 10 ms or less.
std::vector<Delay> Delays(int64_t frames, int fps)
{
    if (!LongerThan10Ms(frames, fps))
        return {{kShortestDelayMs, kMillisecond}};
    const int64_t divisor = std::gcd<int64_t>(frames, fps);
    int64_t num = frames / divisor;
    const int64_t den = fps / divisor;
    std::vector<Delay> delays;
    while (num > kMaxDelayNum) {
        // Never leave a remainder of 10 ms or less: take a part one second shorter instead.
        const int64_t part = LongerThan10Ms(num - kMaxDelayNum, den) ? kMaxDelayNum : kMaxDelayNum - den;
        delays.push_back({uint16_t(part), uint16_t(den)});
        num -= part;
    }
    delays.push_back({uint16_t(num), uint16_t(den)});
    return delays;
}

std::vector<PlannedFrame> Plan(const SessionTimeline& timeline, int fps)
{
    std::vector<PlannedFrame> plan;
    int64_t pending = 0;
    for (size_t s = 0; s < timeline.steps.size(); ++s) {
        pending += timeline.steps[s].frames;
        if (LongerThan10Ms(pending, fps) || s + 1 == timeline.steps.size()) {
            plan.push_back({s, Delays(pending, fps)});
            pending = 0;
        }
    }
    return plan;
}

class CFrameWriter
{
public:
    CFrameWriter(const SessionTimeline& timeline, const ApngOptions& options, uint32_t frameCount,
                 const CColourCensus& colours, const CApngEncoder::Sink& sink)
        : m_composer(timeline, options.pointer), m_shown(m_composer.Stage()),
          m_encoder(timeline.stageWidth, timeline.stageHeight, frameCount,
                    options.loop ? kLoopForever : kPlayOnce, colours, sink)
    {
    }

    bool Step(Region& changed, std::string& error)
    {
        Region box;
        if (!m_composer.DrawNextStep(box, error))
            return false;
        changed = UnionBox(changed, box);
        return true;
    }

    // Shows the stage as it is now, for `delays`.
    bool Write(Region box, const std::vector<Delay>& delays, std::string& error)
    {
        const RgbImage& stage = m_composer.Stage();
        const bool first = m_framesWritten == 0;
        if (first)
            box = {0, 0, stage.width - 1, stage.height - 1};
        const bool nothing = box.Width() < 1;
        if (nothing)
            box = kHoldRegion;
        // Leaving the unchanged pixels transparent pays where they make long runs. Where at least half
        // of the box is unchanged that is taken for granted; between none and half, both ways are
        // compressed and the smaller is kept.
        const size_t area = size_t(box.Width()) * box.Height();
        const size_t unchanged = first ? 0 : CountUnchanged(box);
        BlendOp blend = unchanged * 2 >= area && !first ? BlendOp::Over : BlendOp::Source;
        std::vector<uint8_t> deflated, over;
        bool ok = m_encoder.Compress(box.Width(), box.Height(), Rows(box, blend == BlendOp::Over), deflated);
        if (ok && blend == BlendOp::Source && unchanged > 0) {
            ok = m_encoder.Compress(box.Width(), box.Height(), Rows(box, true), over);
            if (ok && over.size() < deflated.size()) {
                blend = BlendOp::Over;
                deflated.swap(over);
            }
        }
        ok = ok && m_encoder.AddFrame(box, delays[0].num, delays[0].den, blend, deflated);
        for (size_t i = 1; ok && i < delays.size(); ++i) {
            ok = m_encoder.Compress(1, 1, Rows(kHoldRegion, true), deflated) &&
                 m_encoder.AddFrame(kHoldRegion, delays[i].num, delays[i].den, BlendOp::Over, deflated);
        }
        if (!ok) {
            error = "frame " + std::to_string(m_framesWritten + 1) + " could not be compressed or written";
            return false;
        }
        for (int y = box.top; y <= box.bottom; ++y) {
            const size_t at = (size_t(y) * stage.width + box.left) * 3;
            std::copy_n(stage.rgb.begin() + at, size_t(box.Width()) * 3, m_shown.rgb.begin() + at);
        }
        m_framesWritten += static_cast<uint32_t>(delays.size());
        return true;
    }

    bool Finish(std::string& error)
    {
        if (m_encoder.Finish())
            return true;
        error = "the animation could not be completed";
        return false;
    }

private:
    bool Unchanged(const RgbImage& stage, size_t at) const
    {
        return std::equal(stage.rgb.begin() + at, stage.rgb.begin() + at + 3, m_shown.rgb.begin() + at);
    }

    size_t CountUnchanged(const Region& box) const
    {
        const RgbImage& stage = m_composer.Stage();
        size_t count = 0;
        for (int y = box.top; y <= box.bottom; ++y)
            for (int x = box.left; x <= box.right; ++x)
                count += Unchanged(stage, (size_t(y) * stage.width + x) * 3);
        return count;
    }

    // The box's pixels, opaque; with `transparentWhereUnchanged`, those the viewer shows already are
    // left fully transparent.
    CApngEncoder::RowSource Rows(const Region& box, bool transparentWhereUnchanged) const
    {
        return [this, box, transparentWhereUnchanged](int y, uint8_t* rgba) {
            const RgbImage& stage = m_composer.Stage();
            size_t at = (size_t(box.top + y) * stage.width + box.left) * 3;
            for (int x = 0; x < box.Width(); ++x, at += 3, rgba += 4) {
                if (transparentWhereUnchanged && Unchanged(stage, at)) {
                    std::fill_n(rgba, 4, 0);
                    continue;
                }
                std::copy_n(stage.rgb.begin() + at, 3, rgba);
                rgba[3] = 0xFF;
            }
        };
    }

    CStageComposer m_composer;
    RgbImage m_shown; // the canvas as a viewer has it after the frames written so far
    CApngEncoder m_encoder;
    uint32_t m_framesWritten = 0;
};

// Every colour the stage can show: a first pass over the pictures, a row at a time.
bool TakeCensus(const SessionTimeline& timeline, bool pointer, CColourCensus& colours, std::string& error)
{
    colours.Add(kStageBackground);
    if (pointer) {
        colours.Add(kPointerEdgeRgb);
        colours.Add(kPointerFillRgb);
    }
    for (const TimelineStep& step : timeline.steps)
        for (const TimelinePicture& p : step.pictures) {
            CBmpFile bmp;
            std::string why;
            if (!bmp.Open(p.file, why) ||
                !bmp.ReadRows([&](int, const uint8_t* rgb) { colours.Add(rgb, size_t(bmp.Width())); }, why)) {
                error = p.file.u8string() + ": " + why;
                return false;
            }
        }
    return true;
}

} // namespace

bool WriteApng(const SessionTimeline& timeline, const ApngOptions& options, const CApngEncoder::Sink& sink,
               std::string& error)
{
    const std::vector<PlannedFrame> plan = Plan(timeline, options.fps);
    uint32_t frameCount = 0;
    for (const PlannedFrame& frame : plan)
        frameCount += static_cast<uint32_t>(frame.delays.size());

    // On the heap: the census keeps a bit for every colour there is.
    auto colours = std::make_unique<CColourCensus>();
    if (!TakeCensus(timeline, options.pointer, *colours, error))
        return false;
    CFrameWriter writer(timeline, options, frameCount, *colours, sink);
    colours.reset();
    size_t step = 0;
    for (const PlannedFrame& frame : plan) {
        Region changed = kNoBox;
        for (; step <= frame.lastStep; ++step)
            if (!writer.Step(changed, error))
                return false;
        if (!writer.Write(changed, frame.delays, error))
            return false;
    }
    return writer.Finish(error);
}
