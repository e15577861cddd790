// The animated PNG of two sessions, a full-HD one of 100 small changes and a page rendered by headless
// Chromium at a few states of a visit, against apngasm given the same steps as full frames, in the same
// run: encode time and file size as ratios, and a check that both files decode to the same pictures.
// The full-HD session is also exported as edited by a project, against a take recorded afresh with the
// same pictures.
#include "FfmpegDecode.h"
#include "HeadlessChromium.h"
#include "Ratios.h"
#include "RecordedSession.h"
#include "common/ChangeDetection.h"
#include "export/PngEncoder.h"
#include "export/Project.h"
#include "export/SessionTimeline.h"
#include "state/FrameValues.h"

#include <benchmark/benchmark.h>

#include <memory>

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

// What the benchmarks share for one session: the session recorded by the program's own output step,
// and every step's stage (with the pointer) as a full-frame PNG for apngasm.
class CBenchSession
{
public:
    CBenchSession(int width, int height, int slots) : m_session(width, height, slots) {}

    // Checks the timeline and writes the full frames, once the steps are recorded.
    void Finish()
    {
        SessionTimeline timeline;
        std::string error;
        if (!DecodeSession(m_session.WorkDir(), 1, timeline, error))
            m_problem = error;
        for (const TimelineStep& step : timeline.steps)
            if (step.frames != kStepFrames)
                m_problem = "a step lasts " + std::to_string(step.frames) + " frames, not " +
                            std::to_string(kStepFrames);
        fs::create_directory(WorkDir() / "frames");
        for (int s = 1; s <= m_session.Steps(); ++s) {
            const std::vector<uint8_t> png = EncodePng(m_session.StageAtStep(s, true));
            char name[32];
            std::snprintf(name, sizeof name, "frames/%03d.png", s);
            testfiles::WriteText((WorkDir() / name).string(), std::string(png.begin(), png.end()));
        }
    }

    CRecordedSession& Session() { return m_session; }
    const std::string& Problem() const { return m_problem; }
    void SetProblem(const std::string& problem) { m_problem = problem; }
    std::string Ours() const { return m_session.WorkDir() / "ours.png"; }
    std::string Apngasms() const { return m_session.WorkDir() / "apngasm.png"; }
    fs::path WorkDir() const { return m_session.WorkDir(); }

private:
    CRecordedSession m_session;
    std::string m_problem;
};

// Typing into the document one word a step, with now and then a new status and a highlighted entry in
// the side panel; the pointer follows the caret or goes to the panel.
CBenchSession& Typing()
{
    // Destroyed at exit, which removes its scratch folder.
    static const std::unique_ptr<CBenchSession> bench([] {
        auto* b = new CBenchSession(kWidth, kHeight, 4 * kChanges);
        CRecordedSession& session = b->Session();
        session.Step({{0, 0, kWidth - 1, kHeight - 1}}, {900, 500}, PaintScene);
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
            session.Step(regions, cursor, document);
        }
        b->Finish();
        return b;
    }());
    return *bench;
}

// A settings page as headless Chromium renders it (antialiased text, shadows, a gradient), at a few
// states of a user's visit: each state is a screenshot, and each step's pictures are the boxes the
// program's own change detection finds between two screenshots.
constexpr int kPageWidth = 1280;
constexpr int kPageHeight = 800;
const char kPage[] = R"html(<!DOCTYPE html><html><head><meta charset="utf-8"><style>
body { margin: 0; font: 14px sans-serif; background: #f3f3f3; color: #202020; }
header { height: 48px; background: linear-gradient(#2b579a, #1e3f73); color: #fff; font-size: 18px;
         padding: 12px 20px; box-sizing: border-box; }
nav { position: absolute; top: 48px; bottom: 0; width: 220px; background: #e8e8e8; padding-top: 8px; }
nav div { padding: 8px 20px; } nav .on { background: #cce4f7; border-left: 3px solid #2b579a; }
main { position: absolute; left: 240px; top: 68px; right: 20px; }
.card { background: #fff; border-radius: 6px; box-shadow: 0 1px 4px rgba(0,0,0,.2); padding: 16px; margin-bottom: 16px; }
input[type=text] { width: 360px; font: 14px sans-serif; padding: 4px; }
button { font: 14px sans-serif; padding: 6px 14px; } .menu { position: absolute; left: 250px; top: 190px; width: 200px;
background: #fff; box-shadow: 0 4px 12px rgba(0,0,0,.3); display: none; } .menu div { padding: 6px 12px; }
</style></head><body><header>Settings</header><nav><div>General</div><div id="n2">Appearance</div><div>Privacy</div>
<div>Notifications</div><div>About</div></nav><main><div class="card"><h3>Profile</h3><p>Name
<input id="name" type="text" value=""></p><p><label><input id="mail" type="checkbox"> Send me a weekly summary by
e-mail</label></p><button id="save">Save</button> <span id="saved"></span></div><div class="card"><h3>Language</h3>
<button id="lang">English &#9662;</button><div class="menu" id="menu"><div>Deutsch</div><div>English</div>
<div>Fran&ccedil;ais</div><div>&#26085;&#26412;&#35486;</div></div><p>Lorem ipsum dolor sit amet, consectetur
adipiscing elit, sed do eiusmod tempor incididunt ut labore et dolore magna aliqua. Ut enim ad minim veniam, quis
nostrud exercitation ullamco laboris nisi ut aliquip ex ea commodo consequat.</p></div></main>
<script>
var state = Number(location.hash.slice(1)) || 0;
document.getElementById("name").value = "J\u00fcrgen Schmidt".slice(0, Math.min(state, 6) * 2);
if (state >= 7) document.getElementById("mail").checked = true;
if (state >= 8 && state < 10) document.getElementById("menu").style.display = "block";
if (state == 9) document.getElementById("menu").children[0].style.background = "#cce4f7";
if (state >= 10) document.getElementById("lang").innerHTML = "Deutsch &#9662;";
if (state >= 11) document.getElementById("n2").className = "on";
if (state >= 12) document.getElementById("saved").textContent = "Saved.";
</script></body></html>)html";
constexpr int kPageStates = 13;

CBenchSession& SettingsPage()
{
    // Destroyed at exit, which removes its scratch folder.
    static const std::unique_ptr<CBenchSession> bench([] {
        auto* b = new CBenchSession(kPageWidth, kPageHeight, 4 * kPageStates);
        testfiles::CScratchDir shots;
        testfiles::WriteText(shots.File("page.html"), kPage);
        std::vector<RgbImage> states;
        for (int state = 0; state < kPageStates; ++state) {
            testfiles::CScratchDir profile;
            const std::string png = shots.File("shot.png"), rgb = shots.File("shot.rgb");
            std::string output;
            if (RunCommand(ChromiumCommand(profile, 60) + " --window-size=" + std::to_string(kPageWidth) +
                               "," + std::to_string(kPageHeight) + " --screenshot=" + Quoted(png) + " " +
                               Quoted("file://" + shots.File("page.html") + "#" + std::to_string(state)),
                           output) != 0 ||
                RunCommand("convert " + Quoted(png) + " -depth 8 rgb:" + Quoted(rgb), output) != 0) {
                b->SetProblem("no screenshot of the page: " + output);
                return b;
            }
            const std::vector<uint8_t> pixels = testfiles::ReadBytes(rgb);
            if (pixels.size() != size_t(kPageWidth) * kPageHeight * 3) {
                b->SetProblem("a screenshot of another size");
                return b;
            }
            states.push_back({kPageWidth, kPageHeight, pixels});
        }
        // The grabs as the program compares them: 16 bits a pixel, 5 bits a colour.
        const auto grab16 = [](const RgbImage& image) {
            std::vector<uint16_t> words(image.rgb.size() / 3);
            for (size_t i = 0; i < words.size(); ++i)
                words[i] = uint16_t((image.rgb[3 * i] >> 3) << 10 | (image.rgb[3 * i + 1] >> 3) << 5 |
                                    image.rgb[3 * i + 2] >> 3);
            return words;
        };
        CRecordedSession& session = b->Session();
        const CursorPoint cursors[] = {{400, 150}, {420, 150}, {430, 150}, {440, 150}, {450, 150},
                                       {460, 150}, {470, 150}, {262, 188}, {300, 280}, {310, 320},
                                       {320, 300}, {90, 100},  {262, 250}};
        const auto copyState = [&](int state) {
            return [&states, state](RgbImage& window, const Region& r) {
                for (int y = r.top; y <= r.bottom; ++y)
                    std::copy_n(states[state].rgb.begin() + (size_t(y) * kPageWidth + r.left) * 3,
                                r.Width() * 3, window.rgb.begin() + (size_t(y) * kPageWidth + r.left) * 3);
            };
        };
        session.Step({{0, 0, kPageWidth - 1, kPageHeight - 1}}, cursors[0], copyState(0));
        for (int state = 1; state < kPageStates; ++state) {
            g_frameValues = {kStepFrames + (state == 1 ? 5 : 0), 5};
            const std::vector<uint16_t> before = grab16(states[state - 1]), after = grab16(states[state]);
            Region regions[kMaxChangedRegions];
            const int n =
                DetectChanges(before.data(), after.data(), kPageWidth, kPageHeight, kPageWidth, regions);
            session.Step(std::vector<Region>(regions, regions + n), cursors[state], copyState(state));
        }
        b->Finish();
        return b;
    }());
    return *bench;
}

void BM_ApngExport(benchmark::State& state, CBenchSession& (*session)())
{
    CBenchSession& bench = session();
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

// apngasm, as people use it to make an animated PNG small, given every step as a full frame, each
// lasting the step's time; -z1 is its 7-Zip deflater.
void BM_Apngasm(benchmark::State& state, CBenchSession& (*session)())
{
    CBenchSession& bench = session();
    if (!bench.Problem().empty())
        return state.SkipWithError(bench.Problem().c_str());
    const std::string command = "apngasm " + Quoted(bench.Apngasms()) + " " +
                                Quoted((bench.WorkDir() / "frames").string()) + "/*.png " +
                                std::to_string(kStepFrames) + " " + std::to_string(kFps) + " -z1";
    std::string output;
    for (auto _ : state)
        if (RunCommand(command, output) != 0)
            return state.SkipWithError(("apngasm failed: " + output).c_str());
    state.counters["bytes"] = static_cast<double>(fs::file_size(bench.Apngasms()));
}

// Not timed: both files, decoded by ffmpeg, must show the same picture at every step.
void BM_ApngDecodesLikeApngasms(benchmark::State& state, CBenchSession& (*session)())
{
    CBenchSession& bench = session();
    if (!fs::exists(bench.Ours()) || !fs::exists(bench.Apngasms()))
        return state.SkipWithError("run with both encoders");
    const RgbImage& first = bench.Session().WindowAtStep(1);
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
        DecodeApng(bench.Ours(), first.width, first.height, hash(ours));
        DecodeApng(bench.Apngasms(), first.width, first.height, hash(theirs));
    }
    size_t same = 0;
    for (size_t i = 0; i < std::min(ours.size(), theirs.size()); ++i)
        same += ours[i] == theirs[i];
    std::printf("Decoded steps: %zu of ours, %zu of apngasm's, %zu identical\n", ours.size(), theirs.size(),
                same);
    if (same != size_t(bench.Session().Steps()) || ours.size() != theirs.size())
        state.SkipWithError("the two animations decode to different pictures");
}

// The typing session edited as a user would shape it: three steps dropped, two held twice as long, one
// moved back before the steps it follows and one shown twice; and, to compare with, a take recorded
// afresh whose steps are those very pictures, each changed region found by the change detection as the
// capture finds it.
struct CEditedTyping
{
    std::string project; // the project file, beside nothing
    std::unique_ptr<CRecordedSession> fresh;
    std::string problem;

    std::string Edited() const { return (fresh->WorkDir() / "edited.png").string(); }
    std::string Fresh() const { return (fresh->WorkDir() / "fresh.png").string(); }
};

CEditedTyping& EditedTyping()
{
    static const std::unique_ptr<CEditedTyping> edited([] {
        auto* e = new CEditedTyping;
        CRecordedSession& typing = Typing().Session();
        std::vector<int> sources;
        for (int s = 1; s <= typing.Steps(); ++s)
            if (s != 20 && s != 45 && s != 70)
                sources.push_back(s);
        sources.erase(std::find(sources.begin(), sources.end(), 80));
        sources.insert(std::find(sources.begin(), sources.end(), 50), 80);
        sources.insert(std::find(sources.begin(), sources.end(), 96), 10);
        Project project;
        project.fps = kFps;
        for (int source : sources)
            project.steps.push_back({source, source == 30 || source == 60 ? 2 * kStepFrames : kStepFrames,
                                     std::nullopt, ProjectJson::object()});

        // The grabs as the program compares them: 16 bits a pixel, 5 bits a colour.
        const auto grab16 = [](const RgbImage& image) {
            std::vector<uint16_t> words(image.rgb.size() / 3);
            for (size_t i = 0; i < words.size(); ++i)
                words[i] = uint16_t((image.rgb[3 * i] >> 3) << 10 | (image.rgb[3 * i + 1] >> 3) << 5 |
                                    image.rgb[3 * i + 2] >> 3);
            return words;
        };
        e->fresh = std::make_unique<CRecordedSession>(kWidth, kHeight, 4 * kChanges);
        CRecordedSession& fresh = *e->fresh;
        fresh.KeepLatestOnly();
        std::vector<uint16_t> before;
        for (size_t i = 0; i < sources.size(); ++i) {
            const RgbImage& window = typing.WindowAtStep(sources[i]);
            const auto copy = [&window](RgbImage& into, const Region& r) {
                for (int y = r.top; y <= r.bottom; ++y)
                    std::copy_n(window.rgb.begin() + (size_t(y) * kWidth + r.left) * 3, r.Width() * 3,
                                into.rgb.begin() + (size_t(y) * kWidth + r.left) * 3);
            };
            std::vector<uint16_t> after = grab16(window);
            std::vector<Region> regions{{0, 0, kWidth - 1, kHeight - 1}};
            if (i > 0) {
                g_frameValues = {project.steps[i - 1].frames + (i == 1 ? 5 : 0), 5};
                Region found[kMaxChangedRegions];
                regions.assign(found, found + DetectChanges(before.data(), after.data(), kWidth, kHeight,
                                                            kWidth, found));
            }
            fresh.Step(regions, typing.CursorAtStep(sources[i]), copy);
            before.swap(after);
        }
        e->project = (fresh.WorkDir() / "edit.flickmere.json").string();
        testfiles::WriteText(e->project, SerializeProject(project));
        return e;
    }());
    return *edited;
}

// The typing take with the project, against the take recorded afresh with the same pictures.
void BM_EditedExport(benchmark::State& state)
{
    CEditedTyping& edited = EditedTyping();
    std::string output;
    for (auto _ : state)
        if (RunExport(Quoted(Typing().WorkDir()) + " 1 --apng " + Quoted(edited.Edited()) + " --project " +
                          Quoted(edited.project),
                      output) != 0)
            return state.SkipWithError(output.c_str());
    state.counters["bytes"] = static_cast<double>(fs::file_size(edited.Edited()));
}

void BM_FreshExport(benchmark::State& state)
{
    CEditedTyping& edited = EditedTyping();
    std::string output;
    for (auto _ : state)
        if (RunExport(Quoted(edited.fresh->WorkDir()) + " 1 --apng " + Quoted(edited.Fresh()), output) != 0)
            return state.SkipWithError(output.c_str());
    state.counters["bytes"] = static_cast<double>(fs::file_size(edited.Fresh()));
}

// Not timed: both files, decoded by ffmpeg, must show the same picture at every step, for as long.
void BM_EditedDecodesLikeFresh(benchmark::State& state)
{
    CEditedTyping& edited = EditedTyping();
    if (!fs::exists(edited.Edited()) || !fs::exists(edited.Fresh()))
        return state.SkipWithError("run with both exports");
    std::vector<std::pair<size_t, double>> ours, theirs;
    const auto hash = [](std::vector<std::pair<size_t, double>>& into) {
        return [&into](const DecodedFrame& frame) {
            into.emplace_back(
                std::hash<std::string_view>()(std::string_view(
                    reinterpret_cast<const char*>(frame.image->rgb.data()), frame.image->rgb.size())),
                frame.duration);
        };
    };
    for (auto _ : state) {
        ours.clear();
        theirs.clear();
        DecodeApng(edited.Edited(), kWidth, kHeight, hash(ours));
        DecodeApng(edited.Fresh(), kWidth, kHeight, hash(theirs));
    }
    std::printf("Decoded steps: %zu edited, %zu fresh, %s\n", ours.size(), theirs.size(),
                ours == theirs ? "identical" : "different");
    if (ours != theirs)
        state.SkipWithError("the edited and the fresh animation decode to different pictures or times");
}

// apngasm takes many seconds a run: three runs give the median.
BENCHMARK_CAPTURE(BM_ApngExport, typing, Typing)
    ->Name("BM_ApngExport/1920x1080x100")
    ->UseRealTime()
    ->Iterations(1)
    ->Repetitions(3);
BENCHMARK_CAPTURE(BM_Apngasm, typing, Typing)
    ->Name("BM_Apngasm/1920x1080x100")
    ->UseRealTime()
    ->Iterations(1)
    ->Repetitions(3);
BENCHMARK_CAPTURE(BM_ApngDecodesLikeApngasms, typing, Typing)
    ->Name("BM_ApngDecodesLikeApngasms/1920x1080x100")
    ->UseRealTime()
    ->Iterations(1)
    ->Repetitions(1);
BENCHMARK_CAPTURE(BM_ApngExport, page, SettingsPage)
    ->Name("BM_ApngExport/settings-page")
    ->UseRealTime()
    ->Iterations(1)
    ->Repetitions(3);
BENCHMARK_CAPTURE(BM_Apngasm, page, SettingsPage)
    ->Name("BM_Apngasm/settings-page")
    ->UseRealTime()
    ->Iterations(1)
    ->Repetitions(3);
BENCHMARK_CAPTURE(BM_ApngDecodesLikeApngasms, page, SettingsPage)
    ->Name("BM_ApngDecodesLikeApngasms/settings-page")
    ->UseRealTime()
    ->Iterations(1)
    ->Repetitions(1);
BENCHMARK(BM_EditedExport)
    ->Name("BM_EditedExport/1920x1080x100")
    ->UseRealTime()
    ->Iterations(1)
    ->Repetitions(3);
BENCHMARK(BM_FreshExport)->Name("BM_FreshExport/1920x1080x100")->UseRealTime()->Iterations(1)->Repetitions(3);
BENCHMARK(BM_EditedDecodesLikeFresh)
    ->Name("BM_EditedDecodesLikeFresh/1920x1080x100")
    ->UseRealTime()
    ->Iterations(1)
    ->Repetitions(1);
FLICKMERE_RATIO("BM_EditedExport/1920x1080x100", "BM_FreshExport/1920x1080x100", 1.2);
FLICKMERE_COUNTER_RATIO("BM_EditedExport/1920x1080x100", "BM_FreshExport/1920x1080x100", "bytes", 1.05);
FLICKMERE_RATIO("BM_ApngExport/1920x1080x100", "BM_Apngasm/1920x1080x100", 0.05);
FLICKMERE_COUNTER_RATIO("BM_ApngExport/1920x1080x100", "BM_Apngasm/1920x1080x100", "bytes", 1.0);
FLICKMERE_RATIO("BM_ApngExport/settings-page", "BM_Apngasm/settings-page", 0.05);
FLICKMERE_COUNTER_RATIO("BM_ApngExport/settings-page", "BM_Apngasm/settings-page", "bytes", 1.0);

} // namespace

// The typing session's working directory, for the player page's benchmark.
std::filesystem::path TypingSessionDir()
{
    return Typing().WorkDir();
}
