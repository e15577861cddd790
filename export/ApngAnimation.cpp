#include "export/ApngAnimation.h"

#include "export/AnimationFrames.h"
#include "export/codec/ApngEncoder.h"
#include "export/render/MarkStyle.h"
#include "export/render/PointerShape.h"
#include "export/render/StageComposer.h"

#include <algorithm>
#include <memory>
#include <numeric>

namespace {

constexpr uint32_t kLoopForever = 0;
constexpr uint32_t kPlayOnce = 1;
constexpr int64_t kMaxDelayNum = UINT16_MAX;
// Chromium, Firefox and WebKit show a frame of 10 ms or less for 100 ms, as they do for GIF (the
// comparison of browsers' minimum frame delays, qiita.com/razokulover/items/34962844e314bb4bfd04; the
// APNG format lets viewers impose a reasonable lower bound on delays). 11 ms is the shortest honest
// delay, and what a last step shorter than that gets.
constexpr int kShortestDelayMs = 11;
constexpr uint16_t kMillisecond = 1000;

// A frame that repeats nothing: one transparent pixel drawn over the canvas's corner, to carry time.
constexpr Region kHoldRegion{0, 0, 0, 0};

struct Delay
{
    uint16_t num;
    uint16_t den;
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

// The box's pixels, opaque; with `transparentWhereUnchanged`, those the viewer shows already are
// left fully transparent.
CApngEncoder::RowSource Rows(const PlannedFrame& frame, const Region& box, bool transparentWhereUnchanged)
{
    return [&frame, box, transparentWhereUnchanged](int y, uint8_t* rgba) {
        const uint8_t* in = frame.picture.At(box.left, box.top + y);
        const uint8_t* before = frame.base.At(box.left, box.top + y);
        for (int x = 0; x < box.Width(); ++x, in += 3, before += 3, rgba += 4) {
            if (transparentWhereUnchanged && std::equal(in, in + 3, before)) {
                std::fill_n(rgba, 4, 0);
                continue;
            }
            std::copy_n(in, 3, rgba);
            rgba[3] = 0xFF;
        }
    };
}

// Writes each planned frame, and the frames that carry a long one on.
class CApngFrameWriter
{
public:
    CApngFrameWriter(int width, int height, const AnimationOptions& options,
                     std::vector<std::vector<Delay>> delays, const CColourCensus& colours,
                     const ByteSink& sink)
        : m_delays(std::move(delays)), m_encoder(width, height, FrameCount(m_delays),
                                                 options.loop ? kLoopForever : kPlayOnce, colours, sink)
    {
    }

    // Whether frame i may go back once its time is up: not where frames that change nothing carry it
    // on, as those would then show what was before it.
    bool MayRevert(size_t i) const { return m_delays[i].size() == 1; }

    CResult<void> Write(const PlannedFrame& frame)
    {
        const std::vector<Delay>& delays = m_delays[frame.index];
        ApngFrame record{frame.box, delays[0].num, delays[0].den,
                         frame.revert ? DisposeOp::Previous : DisposeOp::None, BlendOp::Source};
        auto deflated = Compress(frame, record);
        if (!deflated)
            return deflated.Error();
        if (auto added = m_encoder.AddFrame(record, *deflated); !added)
            return added;
        for (size_t i = 1; i < delays.size(); ++i) {
            auto hold = Hold();
            if (!hold)
                return hold.Error();
            if (auto added = m_encoder.AddFrame(
                    {kHoldRegion, delays[i].num, delays[i].den, DisposeOp::None, BlendOp::Over}, *hold);
                !added)
                return added;
        }
        return {};
    }

    CResult<void> Finish() { return m_encoder.Finish(); }

private:
    static uint32_t FrameCount(const std::vector<std::vector<Delay>>& delays)
    {
        uint32_t count = 0;
        for (const std::vector<Delay>& d : delays)
            count += static_cast<uint32_t>(d.size());
        return count;
    }

    // The frame's data, both ways where both are possible: its pixels opaque (blend op SOURCE), or those
    // the viewer has already left transparent (OVER); the smaller is kept. A frame that changes nothing
    // is one transparent pixel.
    CResult<std::vector<uint8_t>> Compress(const PlannedFrame& frame, ApngFrame& record) const
    {
        if (IsEmpty(frame.box)) {
            record.region = kHoldRegion;
            record.blend = BlendOp::Over;
            return Hold();
        }
        const Region& box = frame.box;
        std::vector<CApngEncoder::RowSource> sources{Rows(frame, box, false)};
        if (frame.index > 0)
            sources.push_back(Rows(frame, box, true));
        auto compressed = m_encoder.Compress(box.Width(), box.Height(), sources);
        if (!compressed)
            return compressed.Error();
        record.blend = compressed->source == 0 ? BlendOp::Source : BlendOp::Over;
        return std::move(compressed->deflated);
    }

    CResult<std::vector<uint8_t>> Hold() const
    {
        auto hold = m_encoder.Compress(1, 1, {[](int, uint8_t* rgba) { std::fill_n(rgba, 4, 0); }});
        if (!hold)
            return hold.Error();
        return std::move(hold->deflated);
    }

    std::vector<std::vector<Delay>> m_delays;
    CApngEncoder m_encoder;
};

// Every colour the stage can show: a first pass over the pictures, a row at a time.
CResult<void> TakeCensus(const SessionTimeline& timeline, bool pointer, CColourCensus& colours)
{
    colours.Add(kStageBackground);
    if (pointer) {
        colours.Add(kPointerEdgeRgb);
        colours.Add(kPointerFillRgb);
    }
    for (const TimelineStep& step : timeline.steps)
        for (const TimelinePicture& p : step.pictures) {
            CBmpFile bmp;
            CResult<> read = bmp.Open(p.file);
            if (read)
                read = bmp.ReadRows([&](int, const uint8_t* rgb) { colours.Add(rgb, size_t(bmp.Width())); });
            if (!read)
                return Fail(p.file.u8string() + ": " + read.Error().text);
        }
    return {};
}

// The colours the captions add: each drawn over the stage of its source step, the steps composed in
// the take's order, so that no picture is read more than once more.
CResult<void> TakeCaptionCensus(const SessionTimeline& timeline, const Project& project, bool pointer,
                                CColourCensus& colours)
{
    std::vector<const ProjectStep*> captioned;
    for (const ProjectStep& step : project.steps)
        if (step.caption)
            captioned.push_back(&step);
    if (captioned.empty())
        return {};
    std::stable_sort(captioned.begin(), captioned.end(),
                     [](const ProjectStep* a, const ProjectStep* b) { return a->source < b->source; });
    const CCaptionRenderer captions;
    CStageComposer composer(timeline, pointer);
    for (const ProjectStep* step : captioned) {
        if (const CResult<Region> drawn = composer.ComposeStep(size_t(step->source) - 1); !drawn)
            return drawn.Error();
        const CCaptionOverlay overlay(composer.Stage(), &*step->caption, captions);
        const Region& box = overlay.Box();
        const RgbImage& stage = composer.Stage();
        for (int y = box.top; y <= box.bottom; ++y)
            colours.Add(stage.rgb.data() + (size_t(y) * stage.width + box.left) * 3, size_t(box.Width()));
    }
    return {};
}

} // namespace

CResult<void> WriteApng(const SessionTimeline& timeline, const Project* edit,
                        const std::vector<StepFacts>& facts, const AnimationOptions& options,
                        const ByteSink& sink)
{
    const int fps = options.fps;
    const auto shown = TakeToShow(timeline, edit, fps, facts, [fps](int64_t begin, int64_t end) {
        return LongerThan10Ms(end - begin, fps);
    });
    if (!shown)
        return shown.Error();
    const Project& project = shown->project;
    const std::vector<FrameSpan>& spans = shown->spans;
    std::vector<std::vector<Delay>> delays;
    for (const FrameSpan& span : spans)
        delays.push_back(Delays(span.end - span.begin, fps));

    // On the heap: the census keeps a bit for every colour there is.
    auto colours = std::make_unique<CColourCensus>();
    if (auto census = TakeCensus(timeline, options.pointer, *colours); !census)
        return census;
    if (auto census = TakeCaptionCensus(timeline, project, options.pointer, *colours); !census)
        return census;
    if (std::any_of(shown->marks.begin(), shown->marks.end(),
                    [](const auto& mark) { return mark.has_value(); }))
        colours->Add(kMarkColour);
    const Region crop = CropOf(project, timeline);
    CApngFrameWriter writer(crop.Width(), crop.Height(), options, std::move(delays), *colours, sink);
    colours.reset();
    return WriteFrames(timeline, *shown, options.pointer, writer);
}
