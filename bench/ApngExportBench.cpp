// The animated PNG of a full-HD session of 100 small changes, against ffmpeg's APNG encoder given the
// same animation as full frames, in the same run: encode time and file size as ratios, and a check that
// both files decode to the same pictures.
#include "FfmpegDecode.h"
#include "Ratios.h"
#include "RecordedSession.h"
#include "export/SessionTimeline.h"
#include "state/FrameValues.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <functional>

namespace {

using namespace exporttest;

constexpr int kWidth = 1920;
constexpr int kHeight = 1080;
constexpr int kChanges = 100;
constexpr int kFps = 12;
constexpr int kStepFrames = 6; // every step half a second
constexpr int kLineHeight = 16;
constexpr int kGlyphWidth = 8;

// A window-like scene that compresses as screenshots do: flat panels and lines of "text" made of a small
// set of glyphs that recur, in a few shades.
uint32_t g_random = 7;
uint32_t Next()
{
    g_random = g_random * 1103515245u + 12345u;
    return g_random >> 8;
}

void Fill(RgbImage& window, const Region& r, uint32_t rgb)
{
    for (int y = r.top; y <= r.bottom; ++y)
        for (int x = r.left; x <= r.right; ++x) {
            uint8_t* p = window.rgb.data() + (size_t(y) * window.width + x) * 3;
            p[0] = uint8_t(rgb >> 16), p[1] = uint8_t(rgb >> 8), p[2] = uint8_t(rgb);
        }
}

// Lines of words over `background`; each glyph is one of 48 fixed 7 x 11 patterns.
void PaintText(RgbImage& window, const Region& r, uint32_t background)
{
    static const std::vector<uint8_t> glyphs = [] {
        std::vector<uint8_t> shapes(48 * 7 * 11);
        for (uint8_t& v : shapes)
            v = Next() % 3 == 0 ? uint8_t(Next() % 3 + 1) : 0;
        return shapes;
    }();
    Fill(window, r, background);
    for (int top = r.top + 2; top + 11 <= r.bottom; top += kLineHeight)
        for (int left = r.left + 4; left + kGlyphWidth <= r.right;) {
            const int letters = 2 + Next() % 8;
            for (int l = 0; l < letters && left + kGlyphWidth <= r.right; ++l, left += kGlyphWidth) {
                const uint8_t* glyph = glyphs.data() + (Next() % 48) * 7 * 11;
                for (int y = 0; y < 11; ++y)
                    for (int x = 0; x < 7; ++x)
                        if (glyph[y * 7 + x])
                            Fill(window, {left + x, top + y, left + x, top + y}, 0x202020 * glyph[y * 7 + x]);
            }
            left += kGlyphWidth;
        }
}

void PaintScene(RgbImage& window, const Region&)
{
    Fill(window, {0, 0, kWidth - 1, 29}, 0x2B579A);                  // title bar
    PaintText(window, {0, 30, kWidth - 1, 53}, 0xF3F3F3);            // menu
    PaintText(window, {0, 54, 259, 1055}, 0xE8E8E8);                 // side panel
    PaintText(window, {260, 54, kWidth - 1, 1055}, 0xFFFFFF);        // document
    PaintText(window, {0, 1056, kWidth - 1, kHeight - 1}, 0xD0D0D0); // status bar
}

// Typing into the document one word a step, with now and then a new status and a highlighted entry in
// the side panel; the pointer follows the caret or goes to the panel.
class CBenchSession
{
public:
    CBenchSession() : m_session(kWidth, kHeight, 4 * kChanges)
    {
        m_session.Step({{0, 0, kWidth - 1, kHeight - 1}}, {900, 500}, PaintScene);
        const auto document = [](RgbImage& w, const Region& r) { PaintText(w, r, 0xFFFFFF); };
        int caretX = 300, caretY = 70 + 40 * kLineHeight;
        for (int s = 1; s <= kChanges; ++s) {
            // A press closes the step before with these values: the first span is the frame value less
            // the offset, every later one the frame value, as the offset stays.
            g_frameValues = {kStepFrames + (s == 1 ? 5 : 0), 5};
            const int width = kGlyphWidth * (3 + Next() % 6);
            if (caretX + width > kWidth - 20)
                caretX = 300, caretY += kLineHeight;
            std::vector<Region> regions{{caretX, caretY, caretX + width - 1, caretY + kLineHeight - 1}};
            CursorPoint cursor{caretX + width + 30, caretY + 20};
            caretX += width;
            if (s % 5 == 0)
                regions.push_back({1600, 1058, 1899, 1077});
            if (s % 10 == 0) {
                const int row = 60 + 24 * (s / 10);
                regions.push_back({4, row, 255, row + 23});
                cursor = {120, row + 8};
            }
            m_session.Step(regions, cursor, document);
        }
        SessionTimeline timeline;
        std::string error;
        if (!DecodeSession(m_session.WorkDir(), 1, timeline, error))
            m_problem = error;
        for (const TimelineStep& step : timeline.steps)
            if (step.frames != kStepFrames)
                m_problem = "a step lasts " + std::to_string(step.frames) + " frames, not " +
                            std::to_string(kStepFrames);
        for (int s = 1; s <= m_session.Steps(); ++s)
            m_frames.push_back(m_session.StageAtStep(s, true));
    }

    const std::string& Problem() const { return m_problem; }
    std::string Ours() const { return m_session.WorkDir() / "ours.png"; }
    std::string Ffmpegs() const { return m_session.WorkDir() / "ffmpeg.png"; }
    const std::vector<RgbImage>& Frames() const { return m_frames; }
    fs::path WorkDir() const { return m_session.WorkDir(); }

private:
    CRecordedSession m_session;
    std::vector<RgbImage> m_frames; // what every step shows, with the pointer
    std::string m_problem;
};

CBenchSession& Bench()
{
    static CBenchSession session;
    return session;
}

void BM_ApngExport(benchmark::State& state)
{
    CBenchSession& bench = Bench();
    if (!bench.Problem().empty())
        return state.SkipWithError(bench.Problem().c_str());
    std::string output;
    for (auto _ : state)
        if (RunExport(Quoted(bench.WorkDir()) + " 1 --apng " + Quoted(bench.Ours()) + " --fps " +
                          std::to_string(kFps),
                      output) != 0)
            return state.SkipWithError(output.c_str());
    state.counters["bytes"] = static_cast<double>(fs::file_size(bench.Ours()));
}

// ffmpeg reads the steps as raw frames at one frame per step and finds the changes on its own.
void BM_FfmpegApng(benchmark::State& state)
{
    CBenchSession& bench = Bench();
    if (!bench.Problem().empty())
        return state.SkipWithError(bench.Problem().c_str());
    const std::string command = "ffmpeg -v error -f rawvideo -pix_fmt rgb24 -s " + std::to_string(kWidth) +
                                "x" + std::to_string(kHeight) + " -framerate " + std::to_string(kFps) + "/" +
                                std::to_string(kStepFrames) + " -i - -f apng -plays 0 -y " +
                                Quoted(bench.Ffmpegs());
    for (auto _ : state) {
        FILE* pipe = ::popen(command.c_str(), "w");
        for (const RgbImage& frame : bench.Frames())
            std::fwrite(frame.rgb.data(), 1, frame.rgb.size(), pipe);
        if (!pipe || ::pclose(pipe) != 0)
            return state.SkipWithError("ffmpeg failed");
    }
    state.counters["bytes"] = static_cast<double>(fs::file_size(bench.Ffmpegs()));
}

// Not timed: both files, decoded by ffmpeg, must show the same picture at every step.
void BM_ApngDecodesLikeFfmpegs(benchmark::State& state)
{
    CBenchSession& bench = Bench();
    if (!fs::exists(bench.Ours()) || !fs::exists(bench.Ffmpegs()))
        return state.SkipWithError("run with both encoders");
    std::vector<size_t> ours, theirs;
    const auto hash = [](std::vector<size_t>& into) {
        return [&into](const DecodedFrame& frame) {
            into.push_back(std::hash<std::string_view>()(std::string_view(
                reinterpret_cast<const char*>(frame.image->rgb.data()), frame.image->rgb.size())));
        };
    };
    for (auto _ : state) {
        ours.clear();
        theirs.clear();
        DecodeApng(bench.Ours(), kWidth, kHeight, hash(ours));
        DecodeApng(bench.Ffmpegs(), kWidth, kHeight, hash(theirs));
    }
    size_t same = 0;
    for (size_t i = 0; i < std::min(ours.size(), theirs.size()); ++i)
        same += ours[i] == theirs[i];
    std::printf("Decoded steps: %zu of ours, %zu of ffmpeg's, %zu identical\n", ours.size(), theirs.size(),
                same);
    if (same != bench.Frames().size() || ours.size() != theirs.size())
        state.SkipWithError("the two animations decode to different pictures");
}

// ffmpeg takes many seconds a run: three runs give the median.
BENCHMARK(BM_ApngExport)->Name("BM_ApngExport/1920x1080x100")->UseRealTime()->Iterations(1)->Repetitions(3);
BENCHMARK(BM_FfmpegApng)->Name("BM_FfmpegApng/1920x1080x100")->UseRealTime()->Iterations(1)->Repetitions(3);
BENCHMARK(BM_ApngDecodesLikeFfmpegs)->UseRealTime()->Iterations(1)->Repetitions(1);
FLICKMERE_RATIO("BM_ApngExport/1920x1080x100", "BM_FfmpegApng/1920x1080x100", 0.1);
FLICKMERE_COUNTER_RATIO("BM_ApngExport/1920x1080x100", "BM_FfmpegApng/1920x1080x100", "bytes", 0.25);

} // namespace
