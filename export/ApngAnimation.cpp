#include "export/ApngAnimation.h"

#include "export/render/EditedCanvas.h"
#include "export/render/PointerShape.h"
#include "export/render/StageComposer.h"
#include "export/take/TakeEdit.h"

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

// An edited take goes back to earlier steps; copies of the stage kept on the way, in this many bytes,
// spare it replaying from the start (five copies of a full-HD stage, one of a 4K one). Each copy costs
// its memory and its time to make, and a replay of small changes costs little.
constexpr size_t kCheckpointBytes = size_t{32} << 20;

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

// `frames`: how long each step lasts.
std::vector<PlannedFrame> Plan(const std::vector<int>& frames, int fps)
{
    std::vector<PlannedFrame> plan;
    int64_t pending = 0;
    for (size_t s = 0; s < frames.size(); ++s) {
        pending += frames[s];
        if (LongerThan10Ms(pending, fps) || s + 1 == frames.size()) {
            plan.push_back({s, Delays(pending, fps)});
            pending = 0;
        }
    }
    return plan;
}

class CFrameWriter
{
public:
    CFrameWriter(int width, int height, bool loop, uint32_t frameCount, const CColourCensus& colours,
                 const CApngEncoder::Sink& sink)
        : m_width(width), m_height(height),
          m_encoder(width, height, frameCount, loop ? kLoopForever : kPlayOnce, colours, sink)
    {
    }

    // Shows `picture` for `delays`; `shown` is the canvas as the viewer has it, which differs from the
    // picture only inside `box`. The box becomes the rectangle written: the whole canvas for the first
    // frame.
    bool Write(const CanvasView& picture, const CanvasView& shown, Region& box,
               const std::vector<Delay>& delays, std::string& error)
    {
        const bool first = m_framesWritten == 0;
        if (first)
            box = {0, 0, m_width - 1, m_height - 1};
        const bool nothing = box.Width() < 1;
        if (nothing)
            box = kHoldRegion;
        // Leaving the unchanged pixels transparent pays where they make long runs. Where at least half
        // of the box is unchanged that is taken for granted; between none and half, both ways are
        // compressed and the smaller is kept.
        const size_t area = size_t(box.Width()) * box.Height();
        const size_t unchanged = first ? 0 : CountUnchanged(picture, shown, box);
        BlendOp blend = unchanged * 2 >= area && !first ? BlendOp::Over : BlendOp::Source;
        std::vector<uint8_t> deflated, over;
        bool ok = m_encoder.Compress(box.Width(), box.Height(),
                                     Rows(picture, shown, box, blend == BlendOp::Over), deflated);
        if (ok && blend == BlendOp::Source && unchanged > 0) {
            ok = m_encoder.Compress(box.Width(), box.Height(), Rows(picture, shown, box, true), over);
            if (ok && over.size() < deflated.size()) {
                blend = BlendOp::Over;
                deflated.swap(over);
            }
        }
        ok = ok && m_encoder.AddFrame(box, delays[0].num, delays[0].den, blend, deflated);
        for (size_t i = 1; ok && i < delays.size(); ++i) {
            ok = m_encoder.Compress(1, 1, Rows(picture, picture, kHoldRegion, true), deflated) &&
                 m_encoder.AddFrame(kHoldRegion, delays[i].num, delays[i].den, BlendOp::Over, deflated);
        }
        if (!ok) {
            error = "frame " + std::to_string(m_framesWritten + 1) + " could not be compressed or written";
            return false;
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
    static size_t CountUnchanged(const CanvasView& picture, const CanvasView& shown, const Region& box)
    {
        size_t count = 0;
        for (int y = box.top; y <= box.bottom; ++y)
            for (int x = box.left; x <= box.right; ++x)
                count += std::equal(picture.At(x, y), picture.At(x, y) + 3, shown.At(x, y));
        return count;
    }

    // The box's pixels, opaque; with `transparentWhereUnchanged`, those the viewer shows already are
    // left fully transparent.
    static CApngEncoder::RowSource Rows(const CanvasView& picture, const CanvasView& shown, const Region& box,
                                        bool transparentWhereUnchanged)
    {
        return [picture, shown, box, transparentWhereUnchanged](int y, uint8_t* rgba) {
            const uint8_t* in = picture.At(box.left, box.top + y);
            const uint8_t* before = shown.At(box.left, box.top + y);
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

    int m_width;
    int m_height;
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
            CResult<> read = bmp.Open(p.file);
            if (read)
                read = bmp.ReadRows([&](int, const uint8_t* rgb) { colours.Add(rgb, size_t(bmp.Width())); });
            if (!read) {
                error = p.file.u8string() + ": " + read.Error().text;
                return false;
            }
        }
    return true;
}

uint32_t FrameCount(const std::vector<PlannedFrame>& plan)
{
    uint32_t count = 0;
    for (const PlannedFrame& frame : plan)
        count += static_cast<uint32_t>(frame.delays.size());
    return count;
}

Region CropOf(const Project& project, const SessionTimeline& timeline)
{
    if (!project.crop)
        return {0, 0, timeline.stageWidth - 1, timeline.stageHeight - 1};
    const ProjectRect& r = project.crop->rect;
    return {r.x, r.y, r.x + r.width - 1, r.y + r.height - 1};
}

// The colours the captions add: each drawn over the stage of its source step, the steps composed in
// the take's order, so that no picture is read more than once more.
bool TakeCaptionCensus(const SessionTimeline& timeline, const Project& project, bool pointer,
                       const CCaptionRenderer& captions, CColourCensus& colours, std::string& error)
{
    std::vector<const ProjectStep*> captioned;
    for (const ProjectStep& step : project.steps)
        if (step.caption)
            captioned.push_back(&step);
    if (captioned.empty())
        return true;
    std::stable_sort(captioned.begin(), captioned.end(),
                     [](const ProjectStep* a, const ProjectStep* b) { return a->source < b->source; });
    CStageComposer composer(timeline, pointer);
    for (const ProjectStep* step : captioned) {
        if (const CResult<Region> drawn = composer.ComposeStep(size_t(step->source) - 1); !drawn) {
            error = drawn.Error().text;
            return false;
        }
        const CCaptionOverlay overlay(composer.Stage(), &*step->caption, captions);
        const Region& box = overlay.Box();
        const RgbImage& stage = composer.Stage();
        for (int y = box.top; y <= box.bottom; ++y)
            colours.Add(stage.rgb.data() + (size_t(y) * stage.width + box.left) * 3, size_t(box.Width()));
    }
    return true;
}

} // namespace

bool WriteApng(const SessionTimeline& timeline, const ApngOptions& options, const CApngEncoder::Sink& sink,
               std::string& error)
{
    std::vector<int> frames;
    for (const TimelineStep& step : timeline.steps)
        frames.push_back(step.frames);
    const std::vector<PlannedFrame> plan = Plan(frames, options.fps);

    // On the heap: the census keeps a bit for every colour there is.
    auto colours = std::make_unique<CColourCensus>();
    if (!TakeCensus(timeline, options.pointer, *colours, error))
        return false;
    CFrameWriter writer(timeline.stageWidth, timeline.stageHeight, options.loop, FrameCount(plan), *colours,
                        sink);
    colours.reset();
    CStageComposer composer(timeline, options.pointer);
    const RgbImage& stage = composer.Stage();
    RgbImage shown = stage;
    const CanvasView picture{stage.rgb.data(), size_t(stage.width) * 3};
    size_t step = 0;
    for (const PlannedFrame& frame : plan) {
        Region changed = kNoBox;
        for (; step <= frame.lastStep; ++step) {
            const CResult<Region> box = composer.DrawNextStep();
            if (!box) {
                error = box.Error().text;
                return false;
            }
            changed = UnionBox(changed, *box);
        }
        if (!writer.Write(picture, {shown.rgb.data(), picture.rowBytes}, changed, frame.delays, error))
            return false;
        for (int y = changed.top; y <= changed.bottom; ++y) {
            const size_t at = (size_t(y) * stage.width + changed.left) * 3;
            std::copy_n(stage.rgb.begin() + at, size_t(changed.Width()) * 3, shown.rgb.begin() + at);
        }
    }
    return writer.Finish(error);
}

bool WriteEditedApng(const SessionTimeline& timeline, const Project& project, const ApngOptions& options,
                     const CApngEncoder::Sink& sink, std::string& error)
{
    if (const CResult<> fits = FitsTake(project, timeline); !fits) {
        error = fits.Error().text;
        return false;
    }
    std::vector<int> frames;
    for (const ProjectStep& step : project.steps)
        frames.push_back(step.frames);
    const std::vector<PlannedFrame> plan = Plan(frames, options.fps);
    const Region crop = CropOf(project, timeline);
    const CCaptionRenderer captions;

    auto colours = std::make_unique<CColourCensus>();
    if (!TakeCensus(timeline, options.pointer, *colours, error) ||
        !TakeCaptionCensus(timeline, project, options.pointer, captions, *colours, error))
        return false;
    CFrameWriter writer(crop.Width(), crop.Height(), options.loop, FrameCount(plan), *colours, sink);
    colours.reset();

    CStageComposer composer(timeline, options.pointer, kCheckpointBytes);
    CEditedCanvas picture(crop), shown(crop);
    Region captionBefore = kNoBox;
    for (const PlannedFrame& frame : plan) {
        // The steps shown too briefly to be a frame of their own are not drawn at all.
        const ProjectStep& step = project.steps[frame.lastStep];
        const ProjectCaption* caption = step.caption ? &*step.caption : nullptr;
        const CResult<Region> composed = composer.ComposeStep(size_t(step.source) - 1);
        if (!composed) {
            error = composed.Error().text;
            return false;
        }
        Region possible = *composed;
        // Only where the stage or a caption changed can the picture differ from the one shown.
        const Region captionBox = caption ? CCaptionRenderer::Bounds(*caption) : kNoBox;
        possible = picture.FromStage(UnionBox(UnionBox(possible, captionBefore), captionBox));
        captionBefore = captionBox;
        picture.Update(composer.Stage(), caption, captions, possible);
        Region changed = picture.ChangedSince(shown, possible);
        if (!writer.Write(picture.View(), shown.View(), changed, frame.delays, error))
            return false;
        shown.CopyFrom(picture, changed);
    }
    return writer.Finish(error);
}
