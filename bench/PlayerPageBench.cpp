// The player's page on the full-HD 100-step typing session in headless Chromium: how long it takes to
// open (from navigation to the script's "flickmere-ready" mark; goal: at most 1 s) and how long each
// kind of edit takes in the page, from the input event that makes it to the frame that shows it (goal:
// at most 50 ms). The input is real, sent through the DevTools pipe. Times in milliseconds.
#include "BenchTakes.h"
#include "HeadlessChromium.h"
#include "PageUser.h"
#include "RecordedSession.h"

#include <benchmark/benchmark.h>

#include <functional>
#include <memory>
#include <stdexcept>

namespace {

using namespace exporttest;

constexpr int kViewWidth = 1600;
constexpr int kViewHeight = 1000;

struct CPage
{
    CDevToolsBrowser browser;
    std::string url;
    std::string session;
};

// The typing session exported once and opened in a window of a laptop's size.
CPage& Page()
{
    static const std::unique_ptr<CPage> page([] {
        auto created = std::make_unique<CPage>();
        std::string output;
        if (RunExport(Quoted(exportbench::Typing().WorkDir().string()) + " 1", output) != 0)
            throw std::runtime_error("the export failed: " + output);
        created->url = "file://" + (exportbench::Typing().WorkDir() / "session1" / "player.html").string();
        created->session = created->browser.OpenPage("about:blank");
        created->browser.Call("Emulation.setDeviceMetricsOverride",
                              "{\"width\":" + std::to_string(kViewWidth) + ",\"height\":" +
                                  std::to_string(kViewHeight) + ",\"deviceScaleFactor\":1,\"mobile\":false}",
                              created->session);
        created->browser.Load(created->session, created->url);
        return created.release();
    }());
    return *page;
}

void BM_PlayerPageOpens(benchmark::State& state)
{
    CPage& page = Page();
    for (auto _ : state) {
        page.browser.Load(page.session, page.url);
        const double ms = std::stod(page.browser.Evaluate(
            page.session, "performance.getEntriesByName('flickmere-ready')[0].startTime"));
        state.SetIterationTime(ms / 1000);
    }
}

// Times `edit` from its first input to the frame that shows it; `undo` (untimed) puts the page back.
void TimeEdits(benchmark::State& state, const std::function<void(CPageUser&)>& prepare,
               const std::function<void(CPageUser&)>& edit, bool undo = true)
{
    CPage& page = Page();
    page.browser.Load(page.session, page.url);
    CPageUser user(page.browser, page.session);
    user.Click("#mode");
    user.WaitForFrame();
    // The time of the latest input event, taken before the page's own handlers see it.
    page.browser.Evaluate(page.session,
                          "window.benchInput = 0; for (const type of ['pointerdown', "
                          "'pointermove', 'pointerup', 'input', 'keydown']) "
                          "addEventListener(type, () => { window.benchInput = performance.now(); }, "
                          "true)");
    for (auto _ : state) {
        prepare(user);
        edit(user);
        // A timer set in an animation frame callback runs once that frame is drawn.
        const double ms = std::stod(page.browser.Evaluate(
            page.session, "new Promise((r) => requestAnimationFrame(() => setTimeout(() => "
                          "r(performance.now() - window.benchInput))))"));
        state.SetIterationTime(ms / 1000);
        if (undo)
            user.Click("#undo");
    }
}

const auto kNothing = [](CPageUser&) {};

void BM_PlayerPageEdit(benchmark::State& state, const char* kind)
{
    const std::string what = kind;
    if (what == "delete")
        TimeEdits(state, kNothing, [](CPageUser& u) { u.Click("#strip li:nth-child(2) .remove"); });
    else if (what == "duplicate")
        TimeEdits(state, kNothing, [](CPageUser& u) { u.Click("#duplicate"); });
    else if (what == "undo")
        TimeEdits(
            state, [](CPageUser& u) { u.Click("#strip li:nth-child(2) .remove"); },
            [](CPageUser& u) { u.Click("#undo"); }, false);
    else if (what == "reorder")
        TimeEdits(state, kNothing, [](CPageUser& u) {
            u.Drag(u.Centre("#strip li:nth-child(1)"), u.Centre("#strip li:nth-child(4)"));
        });
    else if (what == "length")
        TimeEdits(state, kNothing, [](CPageUser& u) { u.Type("#length", "2"); });
    else if (what == "caption")
        TimeEdits(state, kNothing, [](CPageUser& u) { u.Type("#captionText", "Type the word here"); });
    else if (what == "crop")
        TimeEdits(
            state, [](CPageUser& u) { u.Click("#crop"); },
            [](CPageUser& u) { u.Drag(u.OnStage(200, 100), u.OnStage(1400, 900)); });
}

BENCHMARK(BM_PlayerPageOpens)
    ->Name("BM_PlayerPageOpens/1920x1080x100")
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);
#define FLICKMERE_PAGE_EDIT(kind)                                                                            \
    BENCHMARK_CAPTURE(BM_PlayerPageEdit, kind, #kind)                                                        \
        ->Name("BM_PlayerPageEdit/1920x1080x100/" #kind)                                                     \
        ->UseManualTime()                                                                                    \
        ->Unit(benchmark::kMillisecond)                                                                      \
        ->Iterations(10)
FLICKMERE_PAGE_EDIT(delete);
FLICKMERE_PAGE_EDIT(duplicate);
FLICKMERE_PAGE_EDIT(undo);
FLICKMERE_PAGE_EDIT(reorder);
FLICKMERE_PAGE_EDIT(length);
FLICKMERE_PAGE_EDIT(caption);
FLICKMERE_PAGE_EDIT(crop);

} // namespace
