// The export's peak memory on a long session of a 4K window, measured by /usr/bin/time -v: it reads a
// picture when it draws it and writes each frame as it is made, so the peak should stay within four
// stages and the largest compressed frame, however many steps the session has.
#include "Ratios.h"
#include "RecordedSession.h"
#include "state/FrameValues.h"

#include <benchmark/benchmark.h>

#include <memory>

#include <regex>

namespace {

using namespace exporttest;

constexpr int kWidth = 3840;
constexpr int kHeight = 2160;
constexpr int kSteps = 400;
constexpr double kStageBytes = double(kWidth) * kHeight * 3;
constexpr int kStagesAllowed = 4;

double s_budget = 0; // set by the measurement, for the goal's benchmark after it

void PaintGradient(RgbImage& window, const Region&)
{
    for (int y = 0; y < window.height; ++y)
        for (int x = 0; x < window.width; ++x) {
            uint8_t* p = window.rgb.data() + (size_t(y) * window.width + x) * 3;
            p[0] = uint8_t(x / 16), p[1] = uint8_t(y / 9), p[2] = uint8_t((x + y) / 24);
        }
}

// The first step grabs the whole window, every later one a small box somewhere in it.
CRecordedSession& Session()
{
    // Destroyed at exit, which removes its scratch folder.
    static const std::unique_ptr<CRecordedSession> session([] {
        auto* s = new CRecordedSession(kWidth, kHeight, kSteps);
        s->KeepLatestOnly();
        s->Step({{0, 0, kWidth - 1, kHeight - 1}}, {100, 100}, PaintGradient);
        g_frameValues = {6, 0};
        for (int k = 1; k < kSteps; ++k) {
            const int x = (k * 397) % (kWidth - 200), y = (k * 211) % (kHeight - 100);
            s->Step({{x, y, x + 199, y + 99}}, {x + 50, y + 50});
        }
        return s;
    }());
    return *session;
}

// The largest IDAT or fdAT chunk of a PNG file.
double LargestFrame(const std::string& file)
{
    const std::vector<uint8_t> bytes = testfiles::ReadBytes(file);
    uint32_t largest = 0;
    for (size_t at = 8; at + 12 <= bytes.size();) {
        const uint32_t length = uint32_t{bytes[at]} << 24 | uint32_t{bytes[at + 1]} << 16 |
                                uint32_t{bytes[at + 2]} << 8 | bytes[at + 3];
        const std::string type(bytes.begin() + at + 4, bytes.begin() + at + 8);
        if (type == "IDAT" || type == "fdAT")
            largest = std::max(largest, length);
        at += 12 + size_t{length};
    }
    return largest;
}

void BM_ExportPeakMemory(benchmark::State& state)
{
    CRecordedSession& session = Session();
    const std::string png = session.File("4k.png");
    std::string output;
    for (auto _ : state)
        if (RunCommand("/usr/bin/time -v " + Quoted(ExportProgram()) + " " + Quoted(session.WorkDir()) +
                           " 1 --apng " + Quoted(png),
                       output) != 0)
            return state.SkipWithError(output.c_str());
    std::smatch match;
    if (!std::regex_search(output, match, std::regex("Maximum resident set size \\(kbytes\\): (\\d+)")))
        return state.SkipWithError("no peak memory in the output of /usr/bin/time -v");
    const double peak = std::stod(match[1]) * 1024;
    const double frame = LargestFrame(png);
    state.counters["bytes"] = peak;
    std::printf(
        "Peak memory of the export, %d steps of %d x %d: %.1f MiB = %.2f stages of %.1f MiB; the largest "
        "compressed frame is %.1f MiB\n",
        kSteps, kWidth, kHeight, peak / (1 << 20), peak / kStageBytes, kStageBytes / (1 << 20),
        frame / (1 << 20));
    s_budget = kStagesAllowed * kStageBytes + frame;
}

// Not a measurement: the goal, four stages and the largest compressed frame, as a counter to divide by.
void BM_ExportMemoryBudget(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(s_budget);
    state.counters["bytes"] = s_budget;
}

BENCHMARK(BM_ExportPeakMemory)
    ->Name("BM_ExportPeakMemory/3840x2160x400")
    ->UseRealTime()
    ->Iterations(1)
    ->Repetitions(2);
BENCHMARK(BM_ExportMemoryBudget)->Name("BM_ExportMemoryBudget/4stages+frame")->Iterations(1)->Repetitions(2);
FLICKMERE_COUNTER_RATIO("BM_ExportPeakMemory/3840x2160x400", "BM_ExportMemoryBudget/4stages+frame", "bytes",
                        1.0);

} // namespace
