// The full-HD typing take exported as edited by a project, against a take recorded afresh with the same
// pictures: time and size as ratios, and a check that both decode to the same pictures for as long.
#include "BenchTakes.h"
#include "FfmpegDecode.h"
#include "Ratios.h"
#include "common/ChangeDetection.h"
#include "export/take/Project.h"
#include "state/FrameValues.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>

namespace {

using namespace exporttest;
using namespace exportbench;

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
            std::vector<uint16_t> after = Grab16(window);
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

} // namespace
