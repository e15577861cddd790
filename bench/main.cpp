// Runs every benchmark with repetitions and prints, after Google Benchmark's own table, the ratio of
// each registered benchmark's median to its baseline's median.
#include "Ratios.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

std::vector<RatioGoal>& RatioGoals()
{
    static std::vector<RatioGoal> goals;
    return goals;
}

namespace {

class CMedianReporter : public benchmark::ConsoleReporter
{
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs)
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median") {
                // UseRealTime(), Iterations() and Repetitions() append to the reported name; goals use the
                // registered name.
                benchmark::BenchmarkName name = run.run_name;
                name.time_type.clear();
                name.iterations.clear();
                name.repetitions.clear();
                m_medians[name.str()] = run.GetAdjustedRealTime();
                for (const auto& [counter, value] : run.counters)
                    m_medians[name.str() + " " + counter] = value;
            }
        ConsoleReporter::ReportRuns(runs);
    }
    const std::map<std::string, double>& Medians() const { return m_medians; }

private:
    std::map<std::string, double> m_medians;
};

bool HasFlag(int argc, char** argv, const char* flag)
{
    for (int i = 1; i < argc; ++i)
        if (std::strncmp(argv[i], flag, std::strlen(flag)) == 0)
            return true;
    return false;
}

} // namespace

int main(int argc, char** argv)
{
    std::vector<char*> args(argv, argv + argc);
    char repetitions[] = "--benchmark_repetitions=5";
    char aggregatesOnly[] = "--benchmark_report_aggregates_only=true";
    if (!HasFlag(argc, argv, "--benchmark_repetitions"))
        args.push_back(repetitions);
    if (!HasFlag(argc, argv, "--benchmark_report_aggregates_only"))
        args.push_back(aggregatesOnly);
    int count = static_cast<int>(args.size());
    benchmark::Initialize(&count, args.data());
    if (benchmark::ReportUnrecognizedArguments(count, args.data()))
        return 1;

    CMedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    const auto& medians = reporter.Medians();
    std::printf("\nRatios of medians (benchmark / baseline, same run):\n");
    bool allMet = true;
    for (const RatioGoal& r : RatioGoals()) {
        const std::string suffix = r.counter.empty() ? "" : " " + r.counter;
        const auto a = medians.find(r.name + suffix);
        const auto b = medians.find(r.baseline + suffix);
        if (a == medians.end() || b == medians.end() || b->second <= 0)
            continue;
        const double ratio = a->second / b->second;
        const bool met = ratio <= r.goal;
        allMet = allMet && met;
        std::printf("  %-48s / %-28s = %7.3f  (goal <= %.2f) %s\n", (r.name + suffix).c_str(),
                    (r.baseline + suffix).c_str(), ratio, r.goal, met ? "met" : "MISSED");
    }
    std::printf("%s\n", allMet ? "All ratio goals met." : "Some ratio goals were missed.");
    return 0;
}
