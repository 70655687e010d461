// Limits are grouped by guideline, then level, in the order of the table.
#include "measure/Verdict.h"

#include <algorithm>
#include <array>

namespace {

constexpr std::array<Criterion, 5> kCriteria = {Criterion::ColourMean, Criterion::ColourLargest,
                                                Criterion::Tone, Criterion::WhiteBalance,
                                                Criterion::Noise};

template <typename T, typename Key>
T& Named(std::vector<T>& list, const Key& key, std::string T::*name) {
    const auto found =
        std::find_if(list.begin(), list.end(), [&](const T& item) { return item.*name == key; });
    if (found != list.end()) {
        return *found;
    }
    list.push_back({});
    list.back().*name = key;
    return list.back();
}

void NoteMissing(LevelVerdict& level) {
    for (const Criterion c : kCriteria) {
        const bool found = std::any_of(
            level.criteria.begin(), level.criteria.end(),
            [&](const CriterionVerdict& v) { return CriterionOf(v.limit.figure) == c; });
        if (!found) {
            level.noLimit.push_back(c);
        }
    }
}

} // namespace

Criterion CriterionOf(ChartFigure figure) {
    switch (figure) {
    case ChartFigure::MeanDeltaE:
    case ChartFigure::MeanDeltaEUnitL:
        return Criterion::ColourMean;
    case ChartFigure::LargestDeltaE:
    case ChartFigure::LargestDeltaEUnitL:
        return Criterion::ColourLargest;
    case ChartFigure::Tone:
        return Criterion::Tone;
    case ChartFigure::WhiteBalance:
        return Criterion::WhiteBalance;
    case ChartFigure::Noise:
        break;
    }
    return Criterion::Noise;
}

std::span<const Criterion> AllCriteria() {
    return kCriteria;
}

std::string_view CriterionWords(Criterion criterion) {
    constexpr std::array<std::string_view, kCriteria.size()> kWords = {
        "colour accuracy (mean)", "colour accuracy (largest)", "tone", "white balance", "noise"};
    return kWords[std::size_t(criterion)];
}

bool LevelVerdict::Passed() const {
    return !criteria.empty() && std::all_of(criteria.begin(), criteria.end(),
                                            [](const CriterionVerdict& c) { return c.pass; });
}

std::optional<std::string> GuidelineVerdict::HighestPassed() const {
    for (const LevelVerdict& level : levels) {
        if (level.Passed()) {
            return level.level;
        }
    }
    return std::nullopt;
}

std::vector<GuidelineVerdict> Judge(const ChartFigures& figures,
                                    std::span<const GuidelineLimit> limits) {
    std::vector<GuidelineVerdict> verdicts;
    for (const GuidelineLimit& limit : limits) {
        GuidelineVerdict& guideline =
            Named(verdicts, limit.guideline, &GuidelineVerdict::guideline);
        LevelVerdict& level = Named(guideline.levels, limit.level, &LevelVerdict::level);
        const double figure = figures.Of(limit.figure);
        level.criteria.push_back({limit, figure, limit.Passes(figure)});
    }
    for (GuidelineVerdict& guideline : verdicts) {
        for (LevelVerdict& level : guideline.levels) {
            NoteMissing(level);
        }
    }
    return verdicts;
}
