// Comparing two grabs cell by cell, against a single memcmp of the same two frames: with nothing or
// little changed the detector should run at memory speed, with everything changed it should stop early.
#include "Ratios.h"
#include "common/ChangeDetection.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

namespace {

enum class EChange
{
    Identical,
    Small,
    All,
    Worst,
};

// One pair of frames per size, shared by every benchmark of that size so that all of them read the
// same memory. A case flips its pixels in place and flips them back when done.
struct BenchFrames
{
    BenchFrames(int w, int h) : width(w), height(h), previous(size_t(w) * h), current(previous.size())
    {
        for (size_t i = 0; i < previous.size(); ++i)
            previous[i] = current[i] = static_cast<uint16_t>(i * 2654435761u >> 9);
    }
    void Change(int x, int y) { current[size_t(y) * width + x] ^= 0x1234; }
    void Apply(EChange change)
    {
        switch (change) {
        case EChange::Identical:
            break;
        case EChange::Small:
            for (int y = 300; y < 320; ++y)
                for (int x = 500; x < 600; ++x)
                    Change(x, y);
            break;
        case EChange::All:
            for (int y = 0; y < height; ++y)
                for (int x = 0; x < width; ++x)
                    Change(x, y);
            break;
        case EChange::Worst:
            // Top and bottom rows are found at once, but the edges stay in the middle, so every row in
            // between has to be searched on both sides.
            for (int c = 0; c < kGridColumns; ++c) {
                for (int r = 0; r < kGridRows; ++r) {
                    const GridCell cell = CellAt(width, height, c, r);
                    const int mid = (cell.left + cell.right) / 2;
                    Change(mid, cell.top);
                    Change(mid, cell.bottom - 1);
                }
            }
            break;
        }
    }

    int width;
    int height;
    std::vector<uint16_t> previous;
    std::vector<uint16_t> current;
};

BenchFrames& FramesOfSize(int w, int h)
{
    static BenchFrames fullHd(1920, 1080);
    static BenchFrames ultraHd(3840, 2160);
    return w == 1920 && h == 1080 ? fullHd : ultraHd;
}

void BM_Memcmp(benchmark::State& state, int w, int h)
{
    const BenchFrames& frames = FramesOfSize(w, h);
    const size_t bytes = frames.previous.size() * sizeof(uint16_t);
    for (auto _ : state) {
        benchmark::DoNotOptimize(std::memcmp(frames.previous.data(), frames.current.data(), bytes));
        benchmark::ClobberMemory();
    }
}

void BM_DetectChanges(benchmark::State& state, int w, int h, EChange change)
{
    BenchFrames& frames = FramesOfSize(w, h);
    frames.Apply(change);
    Region regions[kMaxChangedRegions];
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            DetectChanges(frames.previous.data(), frames.current.data(), w, h, w, regions));
        benchmark::ClobberMemory();
    }
    frames.Apply(change);
}

BENCHMARK_CAPTURE(BM_Memcmp, fhd, 1920, 1080)->Name("BM_Memcmp/1920x1080")->UseRealTime();
BENCHMARK_CAPTURE(BM_DetectChanges, identical_fhd, 1920, 1080, EChange::Identical)
    ->Name("BM_DetectChanges/identical/1920x1080")
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_DetectChanges, small_fhd, 1920, 1080, EChange::Small)
    ->Name("BM_DetectChanges/small/1920x1080")
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_DetectChanges, all_fhd, 1920, 1080, EChange::All)
    ->Name("BM_DetectChanges/all/1920x1080")
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_DetectChanges, worst_fhd, 1920, 1080, EChange::Worst)
    ->Name("BM_DetectChanges/worst/1920x1080")
    ->UseRealTime();

BENCHMARK_CAPTURE(BM_Memcmp, uhd, 3840, 2160)->Name("BM_Memcmp/3840x2160")->UseRealTime();
BENCHMARK_CAPTURE(BM_DetectChanges, identical_uhd, 3840, 2160, EChange::Identical)
    ->Name("BM_DetectChanges/identical/3840x2160")
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_DetectChanges, small_uhd, 3840, 2160, EChange::Small)
    ->Name("BM_DetectChanges/small/3840x2160")
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_DetectChanges, all_uhd, 3840, 2160, EChange::All)
    ->Name("BM_DetectChanges/all/3840x2160")
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_DetectChanges, worst_uhd, 3840, 2160, EChange::Worst)
    ->Name("BM_DetectChanges/worst/3840x2160")
    ->UseRealTime();

FLICKMERE_RATIO("BM_DetectChanges/identical/1920x1080", "BM_Memcmp/1920x1080", 1.5);
FLICKMERE_RATIO("BM_DetectChanges/small/1920x1080", "BM_Memcmp/1920x1080", 1.5);
FLICKMERE_RATIO("BM_DetectChanges/all/1920x1080", "BM_Memcmp/1920x1080", 0.2);
FLICKMERE_RATIO("BM_DetectChanges/worst/1920x1080", "BM_Memcmp/1920x1080", 5);
FLICKMERE_RATIO("BM_DetectChanges/identical/3840x2160", "BM_Memcmp/3840x2160", 1.5);
FLICKMERE_RATIO("BM_DetectChanges/small/3840x2160", "BM_Memcmp/3840x2160", 1.5);
FLICKMERE_RATIO("BM_DetectChanges/all/3840x2160", "BM_Memcmp/3840x2160", 0.2);
FLICKMERE_RATIO("BM_DetectChanges/worst/3840x2160", "BM_Memcmp/3840x2160", 5);

} // namespace
