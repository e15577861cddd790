#pragma once
// Results are read as ratios of medians against a baseline measured in the same run, never as absolute
// times. Each benchmark file registers the ratios it cares about; main prints them after the run.
#include <string>
#include <vector>

struct RatioGoal
{
    std::string name;
    std::string baseline;
    double goal; // the ratio should stay at or below this
};

std::vector<RatioGoal>& RatioGoals();

struct CRatioRegistration
{
    CRatioRegistration(const char* name, const char* baseline, double goal)
    {
        RatioGoals().push_back({name, baseline, goal});
    }
};

#define FLICKMERE_RATIO_CAT2(a, b) a##b
#define FLICKMERE_RATIO_CAT(a, b) FLICKMERE_RATIO_CAT2(a, b)
#define FLICKMERE_RATIO(name, baseline, goal)                                                                \
    static CRatioRegistration FLICKMERE_RATIO_CAT(g_ratio_, __LINE__)(name, baseline, goal)
