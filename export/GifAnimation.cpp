#include "export/GifAnimation.h"

#include "export/codec/ColourCensus.h"
#include "export/codec/GifEncoder.h"
#include "export/codec/GifPalette.h"

#include <cstring>
#include <unordered_map>

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

// The first frame's colours, which every later frame whose colours it holds uses too, instead of a
// table of its own; with an entry left over for transparency where there is room.
struct GlobalTable
{
    std::vector<uint32_t> colours;
    std::unordered_map<uint32_t, uint8_t> index;
    int transparent = -1;
};

// The frame's box as colour indexes: where `transparency` allows, a pixel the viewer has already is
// transparent, or repeats the entry before it where that shows its colour, so that runs stay long for
// the LZW code. The global table's entries where it holds every colour needed, else a table of the
// frame's own. `exact` tells whether every other pixel keeps its colour.
GifFrame Indexed(const PlannedFrame& frame, bool transparency, const GlobalTable& global, bool& exact)
{
    const Region& box = frame.box;
    std::vector<uint32_t> pixels, changed;
    std::vector<bool> kept; // the viewer has the pixel already
    pixels.reserve(size_t(box.Width()) * box.Height());
    bool inGlobal = true;
    for (int y = box.top; y <= box.bottom; ++y)
        for (int x = box.left; x <= box.right; ++x) {
            const bool same =
                transparency && std::memcmp(frame.picture.At(x, y), frame.base.At(x, y), 3) == 0;
            kept.push_back(same);
            pixels.push_back(PackRgb(frame.picture.At(x, y)));
            if (!same) {
                changed.push_back(pixels.back());
                inGlobal = inGlobal && global.index.count(pixels.back());
            }
        }
    const bool anyKept = std::find(kept.begin(), kept.end(), true) != kept.end();
    GifFrame out{box, 0, frame.revert, {}, -1, {}};
    std::unordered_map<uint32_t, uint8_t> local;
    const std::unordered_map<uint32_t, uint8_t>* index = &global.index;
    const std::vector<uint32_t>* colours = &global.colours;
    exact = true;
    if (inGlobal && !global.colours.empty() && (!anyKept || global.transparent >= 0)) {
        out.transparent = anyKept ? global.transparent : -1;
    } else {
        const CGifPalette palette(changed, kTableEntries - (anyKept ? 1 : 0));
        exact = palette.Exact();
        out.colours = palette.Colours();
        for (const uint32_t rgb : changed)
            local.emplace(rgb, palette.Index(rgb));
        if (anyKept) {
            out.transparent = static_cast<int>(out.colours.size());
            out.colours.push_back(0);
        }
        index = &local;
        colours = &out.colours;
    }
    out.indexes.reserve(pixels.size());
    for (size_t i = 0; i < pixels.size(); ++i) {
        if (!kept[i]) {
            out.indexes.push_back(index->at(pixels[i]));
            continue;
        }
        const int before = out.indexes.empty() ? out.transparent : out.indexes.back();
        const bool repeat = before != out.transparent && (*colours)[size_t(before)] == pixels[i];
        out.indexes.push_back(uint8_t(repeat ? before : out.transparent));
    }
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
        GifFrame gif =
            IsEmpty(frame.box) ? Hold(delays[0]) : Indexed(frame, frame.index > 0, m_global, exact);
        // A frame of 256 colours that leaves some pixels as they were has no entry left for
        // transparency: it keeps its colours exactly by showing those pixels again, where they add none.
        if (!exact && gif.transparent >= 0) {
            GifFrame opaque = Indexed(frame, false, m_global, exact);
            if (exact)
                gif = std::move(opaque);
        }
        if (frame.index == 0)
            MakeGlobal(gif);
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
    // A frame that changes nothing: one transparent pixel in the corner, to carry time.
    GifFrame Hold(uint16_t delay) const
    {
        if (m_global.transparent >= 0)
            return {kHoldRegion, delay, false, {}, m_global.transparent, {uint8_t(m_global.transparent)}};
        return {kHoldRegion, delay, false, {0}, 0, {0}};
    }

    // The first frame's table becomes the global one.
    void MakeGlobal(GifFrame& first)
    {
        m_global.colours = std::move(first.colours);
        first.colours.clear();
        for (size_t i = 0; i < m_global.colours.size(); ++i)
            m_global.index.emplace(m_global.colours[i], uint8_t(i));
        if (m_global.colours.size() < kTableEntries) {
            m_global.transparent = static_cast<int>(m_global.colours.size());
            m_global.colours.push_back(0);
        }
        m_encoder.SetGlobalColours(m_global.colours);
    }

    std::vector<std::vector<uint16_t>> m_delays;
    CGifEncoder m_encoder;
    GlobalTable m_global;
};

} // namespace

CResult<void> WriteGif(const SessionTimeline& timeline, const Project* edit,
                       const std::vector<StepFacts>& facts, const AnimationOptions& options,
                       const ByteSink& sink)
{
    const int fps = options.fps;
    const auto shown = TakeToShow(timeline, edit, fps, facts, [fps](int64_t begin, int64_t end) {
        return Hundredths(end, fps) - Hundredths(begin, fps) >= kShortestDelay;
    });
    if (!shown)
        return shown.Error();
    const Project& project = shown->project;
    const std::vector<FrameSpan>& spans = shown->spans;
    std::vector<std::vector<uint16_t>> delays;
    for (const FrameSpan& span : spans)
        delays.push_back(Delays(Hundredths(span.end, fps) - Hundredths(span.begin, fps)));
    const Region crop = CropOf(project, timeline);
    CGifFrameWriter writer(crop.Width(), crop.Height(), options.loop, std::move(delays), sink);
    return WriteFrames(timeline, *shown, options.pointer, writer);
}
