// A base is refused when more than kMaxClearerShare of what it is judged
// against is clearer than it: the message gives that share and the limit,
// as the README does, and says it is the share that is clearer.
#include "cli/FilmProblems.h"

#include <cmath>

namespace {

constexpr double kHundredPercent = 100.0;

std::string Percent(double share) {
    return std::to_string(static_cast<int>(std::floor(share * kHundredPercent))) + " %";
}

} // namespace

std::string FilmProblemText(const FilmProblem& problem,
                            const std::function<std::string(std::size_t)>& pick,
                            std::string_view judged) {
    switch (problem.fault) {
    case FilmFault::BaseNotClearest:
        return pick(0) + ": the base should be the clearest film (its border or a gap between " +
               "frames), but " + Percent(problem.share) + " of " + std::string(judged) +
               " is clearer than it; at most " + Percent(kMaxClearerShare) + " may be";
    case FilmFault::NeutralLikeBase:
        return pick(problem.which) +
               " is as clear as the base: a neutral pick is a grey of the picture";
    case FilmFault::NeutralsAlike:
        return "the two neutral picks have the same density: pick a light and a dark grey";
    case FilmFault::RectangleOffImage:
    case FilmFault::None:
        break;
    }
    return {};
}
