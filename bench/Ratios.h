#pragma once
// Results are read as ratios of medians against a baseline measured in the same run, never as absolute
// times. Each benchmark file registers the ratios it cares about; main prints them after the run. A
// ratio compares times, or, where it names a counter, the values of that user counter.
#include <string>
#include <vector>

struct RatioGoal
{
    std::string name;
    std::string baseline;
    double goal;         // the ratio should stay at or below this
    std::string counter; // empty for the time
};

std::vector<RatioGoal>& RatioGoals();

struct CRatioRegistration
{
    CRatioRegistration(const char* name, const char* baseline, double goal, const char* counter = "")
    {
        RatioGoals().push_back({name, baseline, goal, counter});
    }
};

#define FLICKMERE_RATIO_CAT2(a, b) a##b
#define FLICKMERE_RATIO_CAT(a, b) FLICKMERE_RATIO_CAT2(a, b)
#define FLICKMERE_RATIO(name, baseline, goal)                                                                \
    static CRatioRegistration FLICKMERE_RATIO_CAT(g_ratio_, __LINE__)(name, baseline, goal)
#define FLICKMERE_COUNTER_RATIO(name, baseline, counter, goal)                                               \
    static CRatioRegistration FLICKMERE_RATIO_CAT(g_ratio_, __LINE__)(name, baseline, goal, counter)
