// A percentile by nth_element; runs by one walk along the profile.
#include "measure/StripProfile.h"

#include <algorithm>
#include <cmath>

double PercentileOf(std::vector<double> values, double share) {
    if (values.empty()) {
        return 0.0;
    }
    const auto last = static_cast<double>(values.size() - 1);
    const auto rank = static_cast<std::size_t>(std::lround(std::clamp(share, 0.0, 1.0) * last));
    std::nth_element(values.begin(), values.begin() + std::ptrdiff_t(rank), values.end());
    return values[rank];
}

std::vector<LineRun> RunsAbove(const Profile& profile, double high, double low) {
    std::vector<LineRun> runs;
    const auto lines = static_cast<std::int32_t>(profile.size());
    for (std::int32_t at = 0; at < lines;) {
        if (profile[std::size_t(at)] < low) {
            ++at;
            continue;
        }
        LineRun run{at, at};
        bool reachesHigh = false;
        while (run.end < lines && profile[std::size_t(run.end)] >= low) {
            reachesHigh = reachesHigh || profile[std::size_t(run.end)] >= high;
            ++run.end;
        }
        if (reachesHigh) {
            runs.push_back(run);
        }
        at = run.end;
    }
    return runs;
}
