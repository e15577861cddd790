#include "export/GifAnimation.h"

#include "export/codec/ColourCensus.h"
#include "export/codec/GifEncoder.h"
#include "export/codec/GifPalette.h"
#include "export/take/TakeEdit.h"

#include <cstring>

namespace {

constexpr int64_t kShortestDelay = 2; // hundredths
constexpr int64_t kMaxDelay = UINT16_MAX;
constexpr int64_t kHundredths = 100;
constexpr size_t kTableEntries = 256;
constexpr Region kHoldRegion{0, 0, 0, 0};

// Where `frames` at `fps` fall on a clock of hundredths of a second.
int64_t Hundredths(int64_t frames, int fps)
{
    return (frames * kHundredths + fps / 2) / fps;
}

// A frame's time in parts that fit a GIF delay, none shorter than kShortestDelay.
std::vector<uint16_t> Delays(int64_t hundredths)
{
    hundredths = std::max(hundredths, kShortestDelay);
    std::vector<uint16_t> delays;
    while (hundredths > kMaxDelay) {
        const int64_t part =
            hundredths - kMaxDelay >= kShortestDelay ? kMaxDelay : kMaxDelay - kShortestDelay;
        delays.push_back(uint16_t(part));
        hundredths -= part;
    }
    delays.push_back(uint16_t(hundredths));
    return delays;
}

GifFrame Hold(uint16_t delay)
{
    return {kHoldRegion, delay, false, {0}, 0, {0}};
}

// The frame's box as colour indexes: transparent where the viewer has the pixel already, when
// `transparency`. `exact` tells whether every other pixel keeps its colour.
GifFrame Indexed(const PlannedFrame& frame, bool transparency, bool& exact)
{
    const Region& box = frame.box;
    std::vector<uint32_t> colours;
    colours.reserve(size_t(box.Width()) * box.Height());
    std::vector<bool> kept; // the viewer has the pixel already
    for (int y = box.top; y <= box.bottom; ++y)
        for (int x = box.left; x <= box.right; ++x) {
            const bool same =
                transparency && std::memcmp(frame.picture.At(x, y), frame.base.At(x, y), 3) == 0;
            kept.push_back(same);
            if (!same)
                colours.push_back(PackRgb(frame.picture.At(x, y)));
        }
    const bool anyKept = std::find(kept.begin(), kept.end(), true) != kept.end();
    const CGifPalette palette(colours, kTableEntries - (anyKept ? 1 : 0));
    exact = palette.Exact();
    GifFrame out{box, 0, frame.revert, palette.Colours(), -1, {}};
    if (anyKept) {
        out.transparent = static_cast<int>(out.colours.size());
        out.colours.push_back(0);
    }
    out.indexes.reserve(kept.size());
    size_t next = 0;
    for (const bool same : kept)
        out.indexes.push_back(same ? uint8_t(out.transparent) : palette.Index(colours[next++]));
    out.region = box;
    return out;
}

class CGifFrameWriter
{
public:
    CGifFrameWriter(int width, int height, bool loop, std::vector<std::vector<uint16_t>> delays,
                    const ByteSink& sink)
        : m_delays(std::move(delays)), m_encoder(width, height, loop, sink)
    {
    }

    bool MayRevert(size_t i) const { return m_delays[i].size() == 1; }

    CResult<void> Write(const PlannedFrame& frame)
    {
        const std::vector<uint16_t>& delays = m_delays[frame.index];
        bool exact = true;
        GifFrame gif = IsEmpty(frame.box) ? Hold(delays[0]) : Indexed(frame, frame.index > 0, exact);
        // A frame of 256 colours that leaves some pixels as they were has no entry left for
        // transparency: it keeps its colours exactly by showing those pixels again, where they add none.
        if (!exact && gif.transparent >= 0) {
            GifFrame opaque = Indexed(frame, false, exact);
            if (exact)
                gif = std::move(opaque);
        }
        gif.delay = delays[0];
        gif.revert = frame.revert;
        if (auto added = m_encoder.AddFrame(gif); !added)
            return added;
        for (size_t i = 1; i < delays.size(); ++i)
            if (auto added = m_encoder.AddFrame(Hold(delays[i])); !added)
                return added;
        return {};
    }

    CResult<void> Finish() { return m_encoder.Finish(); }

private:
    std::vector<std::vector<uint16_t>> m_delays;
    CGifEncoder m_encoder;
};

} // namespace

CResult<void> WriteGif(const SessionTimeline& timeline, const Project* edit, const AnimationOptions& options,
                       const ByteSink& sink)
{
    const Project project = edit ? *edit : AsRecorded(timeline, options.fps);
    std::string path, error;
    if (edit && !FitsTake(project, timeline, path, error))
        return Fail(error);
    std::vector<int> frames;
    for (const ProjectStep& step : project.steps)
        frames.push_back(step.frames);
    const int fps = options.fps;
    const std::vector<FrameSpan> spans = GroupSteps(frames, [fps](int64_t begin, int64_t end) {
        return Hundredths(end, fps) - Hundredths(begin, fps) >= kShortestDelay;
    });
    std::vector<std::vector<uint16_t>> delays;
    for (const FrameSpan& span : spans)
        delays.push_back(Delays(Hundredths(span.end, fps) - Hundredths(span.begin, fps)));
    const Region crop = CropOf(project, timeline);
    CGifFrameWriter writer(crop.Width(), crop.Height(), options.loop, std::move(delays), sink);
    if (auto planned = PlanFrames(
            timeline, project, options.pointer, spans, [&writer](size_t i) { return writer.MayRevert(i); },
            [&writer](const PlannedFrame& frame) { return writer.Write(frame); });
        !planned)
        return planned;
    return writer.Finish();
}
