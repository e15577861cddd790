// The step guide of the full-HD take of 100 steps, against its animated PNG in the same run (the
// animation's benchmark, BM_ApngExport, is the baseline). The goal is a guide in at most a second; the
// ratio tells how it compares with what a session's end writes already.
#include "BenchTakes.h"
#include "Ratios.h"

#include <benchmark/benchmark.h>

#include <cstdio>

namespace {

using namespace exporttest;
using namespace exportbench;

void BM_GuideExport(benchmark::State& state)
{
    CBenchSession& bench = Typing();
    if (!bench.Problem().empty())
        return state.SkipWithError(bench.Problem().c_str());
    const std::string guide = (bench.WorkDir() / "guide.html").string();
    const std::string command =
        Quoted(ExportProgram()) + " " + Quoted(bench.WorkDir()) + " 1 --guide " + Quoted(guide);
    std::string output;
    for (auto _ : state)
        if (RunCommand(command, output) != 0)
            return state.SkipWithError(output.c_str());
    state.counters["bytes"] = static_cast<double>(fs::file_size(guide));
}

// Not a measurement: one second, the goal, as a baseline to divide by.
void BM_OneSecond(benchmark::State& state)
{
    for (auto _ : state)
        state.SetIterationTime(1.0);
}

BENCHMARK(BM_GuideExport)->Name("BM_GuideExport/1920x1080x100")->UseRealTime()->Iterations(1)->Repetitions(3);
BENCHMARK(BM_OneSecond)->Name("BM_OneSecond")->UseManualTime()->Iterations(1)->Repetitions(3);
FLICKMERE_RATIO("BM_GuideExport/1920x1080x100", "BM_OneSecond", 1.0);
// What writing the guide at a session's end costs beside the animated PNG.
FLICKMERE_RATIO("BM_GuideExport/1920x1080x100", "BM_ApngExport/1920x1080x100", 0.5);

} // namespace
