// A scan judged against the imaging guidelines, level by level: each limit
// of a level held against its figure, the level passed when every limit
// found for it holds. A guideline's levels run best first, so the highest
// level passed is the first one passed.
#pragma once

#include "measure/ChartFigures.h"
#include "measure/GuidelineLimits.h"

#include <optional>
#include <span>
#include <string>
#include <vector>

struct CriterionVerdict {
    GuidelineLimit limit;
    double figure = 0;
    bool pass = false;
};

// What a guideline asks that the chart measures: colour accuracy's mean and
// largest difference (by CIEDE2000, or by it with S_L = 1), tone, white
// balance and noise.
enum class Criterion { ColourMean, ColourLargest, Tone, WhiteBalance, Noise };
Criterion CriterionOf(ChartFigure figure);
std::span<const Criterion> AllCriteria();
std::string_view CriterionWords(Criterion criterion);

struct LevelVerdict {
    std::string level;
    std::vector<CriterionVerdict> criteria;
    std::vector<Criterion> noLimit; // no limit found for these at this level

    bool Passed() const;
};

struct GuidelineVerdict {
    std::string guideline;
    std::vector<LevelVerdict> levels; // best first

    // The best level passed; none when even the lowest fails.
    std::optional<std::string> HighestPassed() const;
};

// Every guideline of `limits`, in the order they first appear.
std::vector<GuidelineVerdict> Judge(const ChartFigures& figures,
                                    std::span<const GuidelineLimit> limits);
