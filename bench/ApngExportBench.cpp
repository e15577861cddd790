// The animated PNG of two takes, a full-HD one of 100 small changes and a page rendered by headless
// Chromium at a few states of a visit, against apngasm given the same steps as full frames, in the same
// run: encode time and file size as ratios, and a check that both files decode to the same pictures.
#include "BenchTakes.h"
#include "FfmpegDecode.h"
#include "Ratios.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <functional>

namespace {

using namespace exporttest;
using namespace exportbench;

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
FLICKMERE_RATIO("BM_ApngExport/1920x1080x100", "BM_Apngasm/1920x1080x100", 0.05);
FLICKMERE_COUNTER_RATIO("BM_ApngExport/1920x1080x100", "BM_Apngasm/1920x1080x100", "bytes", 1.0);
FLICKMERE_RATIO("BM_ApngExport/settings-page", "BM_Apngasm/settings-page", 0.05);
FLICKMERE_COUNTER_RATIO("BM_ApngExport/settings-page", "BM_Apngasm/settings-page", "bytes", 1.0);

} // namespace
