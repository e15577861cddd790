// The animations of three takes against the tools people make them small with, in the same run: the
// full-HD typing take, a settings page and a web application page in headless Chromium. The animated
// PNG against apngasm -z1 (its 7-Zip deflater), given every step as a full frame; the GIF against
// ffmpeg's two-pass palette GIF optimised by gifsicle -O3. Encode time and file size as ratios, and a
// check that our animated PNG and apngasm's decode to the same pictures.
#include "BenchTakes.h"
#include "FfmpegDecode.h"
#include "Ratios.h"
#include "export/codec/PngEncoder.h"
#include "export/take/BmpReader.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <functional>

namespace {

using namespace exporttest;
using namespace exportbench;

using Take = CBenchSession& (*)();

constexpr double kPageAllowance = 150 * 1024;
double s_pageBudget = 0;

void Run(benchmark::State& state, const std::string& command, const std::string& file)
{
    std::string output;
    for (auto _ : state)
        if (RunCommand(command, output) != 0)
            return state.SkipWithError(output.c_str());
    state.counters["bytes"] = static_cast<double>(fs::file_size(file));
}

void BM_ApngExport(benchmark::State& state, Take take)
{
    CBenchSession& bench = take();
    if (!bench.Problem().empty())
        return state.SkipWithError(bench.Problem().c_str());
    Run(state,
        Quoted(ExportProgram()) + " " + Quoted(bench.WorkDir()) + " 1 --apng " + Quoted(bench.Ours()) +
            " --fps " + std::to_string(kFps),
        bench.Ours());
}

void BM_Apngasm(benchmark::State& state, Take take)
{
    CBenchSession& bench = take();
    if (!bench.Problem().empty())
        return state.SkipWithError(bench.Problem().c_str());
    Run(state,
        "apngasm " + Quoted(bench.Apngasms()) + " " + Quoted((bench.WorkDir() / "frames").string()) +
            "/*.png " + std::to_string(kStepFrames) + " " + std::to_string(kFps) + " -z1",
        bench.Apngasms());
}

void BM_GifExport(benchmark::State& state, Take take)
{
    CBenchSession& bench = take();
    if (!bench.Problem().empty())
        return state.SkipWithError(bench.Problem().c_str());
    const std::string gif = (bench.WorkDir() / "ours.gif").string();
    Run(state,
        Quoted(ExportProgram()) + " " + Quoted(bench.WorkDir()) + " 1 --gif " + Quoted(gif) + " --fps " +
            std::to_string(kFps),
        gif);
}

// ffmpeg's palette made from what changes between frames, the frames mapped to it without dithering,
// each only in the rectangle that changed, and gifsicle's strongest optimisation over the result.
void BM_GifAnchor(benchmark::State& state, Take take)
{
    CBenchSession& bench = take();
    if (!bench.Problem().empty())
        return state.SkipWithError(bench.Problem().c_str());
    const std::string frames = "-framerate " + std::to_string(kFps) + "/" + std::to_string(kStepFrames) +
                               " -i " + Quoted((bench.WorkDir() / "frames").string() + "/%03d.png");
    const std::string palette = Quoted((bench.WorkDir() / "palette.png").string());
    const std::string gif = Quoted((bench.WorkDir() / "ffmpeg.gif").string());
    const std::string optimised = (bench.WorkDir() / "gifsicle.gif").string();
    Run(state,
        "ffmpeg -v error -y " + frames + " -vf palettegen=stats_mode=diff " + palette +
            " && ffmpeg -v error -y " + frames + " -i " + palette +
            " -lavfi paletteuse=dither=none:diff_mode=rectangle " + gif + " && gifsicle -O3 " + gif + " -o " +
            Quoted(optimised),
        optimised);
}

// Not timed: both files, decoded by ffmpeg, must show the same picture at every step.
void BM_ApngDecodesLikeApngasms(benchmark::State& state, Take take)
{
    CBenchSession& bench = take();
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

// The player page of the demo take against its pictures encoded as PNG (the pages's pictures are PNG
// too, in base64): the page may weigh about 150 KB more. Not timed.
void BM_DemoPage(benchmark::State& state)
{
    CBenchSession& bench = DemoTake();
    if (!bench.Problem().empty())
        return state.SkipWithError(bench.Problem().c_str());
    Run(state, Quoted(ExportProgram()) + " " + Quoted(bench.WorkDir()) + " 1",
        (bench.WorkDir() / "session1" / "player.html").string());
    double pictures = 0;
    for (const auto& entry : fs::directory_iterator(bench.WorkDir() / "session1"))
        if (entry.path().extension() == ".bmp") {
            const CResult<RgbImage> image = ReadBmpFile(entry.path());
            if (!image)
                return state.SkipWithError(image.Error().text.c_str());
            pictures += double(EncodePng(*image)->size());
        }
    std::printf("Player page of the demo take: %.1f KB, its pictures as PNG %.1f KB: %.1f KB more\n",
                state.counters["bytes"] / 1024, pictures / 1024, (state.counters["bytes"] - pictures) / 1024);
    s_pageBudget = pictures + kPageAllowance;
}

// Not a measurement: the pictures as PNG and the allowance, as a counter to divide by.
void BM_DemoPageBudget(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(s_pageBudget);
    state.counters["bytes"] = s_pageBudget;
}

BENCHMARK(BM_DemoPage)->Name("BM_DemoPage")->Iterations(1)->Repetitions(2);
BENCHMARK(BM_DemoPageBudget)->Name("BM_DemoPageBudget")->Iterations(1)->Repetitions(2);
FLICKMERE_COUNTER_RATIO("BM_DemoPage", "BM_DemoPageBudget", "bytes", 1.0);

// Each take's benchmarks: three runs of each encoder give the median (apngasm takes many seconds a
// run), one decoding check; and the goals.
const bool g_registered = [] {
    const std::pair<Take, std::string> takes[] = {
        {Typing, "1920x1080x100"}, {SettingsPage, "settings-page"}, {WebApp, "web-app"}};
    for (const auto& [take, name] : takes) {
        const auto add = [&, take = take, name = name](const std::string& what,
                                                       void (*bench)(benchmark::State&, Take),
                                                       int repetitions) {
            benchmark::RegisterBenchmark((what + "/" + name).c_str(), bench, take)
                ->UseRealTime()
                ->Iterations(1)
                ->Repetitions(repetitions);
        };
        add("BM_ApngExport", BM_ApngExport, 3);
        add("BM_Apngasm", BM_Apngasm, 3);
        add("BM_ApngDecodesLikeApngasms", BM_ApngDecodesLikeApngasms, 1);
        add("BM_GifExport", BM_GifExport, 3);
        add("BM_GifAnchor", BM_GifAnchor, 3);
        RatioGoals().push_back({"BM_ApngExport/" + name, "BM_Apngasm/" + name, 0.1, ""});
        RatioGoals().push_back({"BM_ApngExport/" + name, "BM_Apngasm/" + name, 1.0, "bytes"});
        RatioGoals().push_back({"BM_GifExport/" + name, "BM_GifAnchor/" + name, 0.5, ""});
        RatioGoals().push_back({"BM_GifExport/" + name, "BM_GifAnchor/" + name, 1.0, "bytes"});
        // What writing the GIF at a session's end costs beside the animated PNG.
        RatioGoals().push_back({"BM_GifExport/" + name, "BM_ApngExport/" + name, 0.5, ""});
    }
    return true;
}();

} // namespace
