// The fit works in slider steps: each parameter as its position, unrounded,
// so that one unit is one step of every slider. The continuous minimum is
// rounded to the nearest positions, and from there every combination of
// kSearchSteps steps either way is tried, moving to the best until the best
// is the centre.
#include "measure/ToneFit.h"

#include "curve/ToneCurve.h"
#include "measure/LeastSquares.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

constexpr double kTopLevel = 255.0;
constexpr int kSearchSteps = 2;
constexpr int kSearchRounds = 20;
constexpr std::size_t kMaxIterations = 200;
constexpr int kStartGammas[] = {160, 200, 240};

double ClampedPosition(Param p, double position) {
    return std::clamp(position, double(SpecOf(p).minPos), double(SpecOf(p).maxPos));
}

// The curve of unrounded positions, each held to its slider's range.
ToneCurve CurveAt(std::span<const double> x) {
    double value[kParamCount];
    for (std::size_t i = 0; i < kParamCount; ++i) {
        const Param p = kAllParams[i];
        value[i] = ClampedPosition(p, x[i]) / SpecOf(p).divisor + SpecOf(p).offset;
    }
    const auto at = [&](Param p) { return value[static_cast<std::size_t>(p)]; };
    return ToneCurve(at(Param::White), 1.0 / at(Param::Gamma), at(Param::Alpha), at(Param::Black));
}

std::vector<double> AsVector(const ParamPositions& positions) {
    std::vector<double> x;
    for (const Param p : kAllParams) {
        x.push_back(positions[p]);
    }
    return x;
}

ParamPositions Nearest(std::span<const double> x) {
    ParamPositions positions;
    for (std::size_t i = 0; i < kParamCount; ++i) {
        const Param p = kAllParams[i];
        positions[p] = static_cast<int>(std::lround(ClampedPosition(p, x[i])));
    }
    return positions;
}

double SumOfSquares(const ParamPositions& positions, std::span<const GreyPoint> points) {
    double sum = 0;
    for (const GreyPoint& point : points) {
        const double d = CurveOutput(positions, point.level) - point.target;
        sum += d * d;
    }
    return sum;
}

// The best of the neighbouring steps of `centre`, `centre` itself included.
ParamPositions BestNeighbour(const ParamPositions& centre, std::span<const GreyPoint> points) {
    ParamPositions best = centre;
    double bestSum = SumOfSquares(centre, points);
    const int span = 2 * kSearchSteps + 1;
    int combinations = 1;
    for (std::size_t i = 0; i < kParamCount; ++i) {
        combinations *= span;
    }
    for (int code = 0; code < combinations; ++code) {
        ParamPositions trial = centre;
        bool inRange = true;
        for (int rest = code, i = 0; i < int(kParamCount); ++i, rest /= span) {
            const Param p = kAllParams[std::size_t(i)];
            trial[p] += rest % span - kSearchSteps;
            inRange = inRange && IsInRange(p, trial[p]);
        }
        const double sum = inRange ? SumOfSquares(trial, points) : HUGE_VAL;
        if (sum < bestSum) {
            best = trial;
            bestSum = sum;
        }
    }
    return best;
}

// Starting points for the continuous fit: the start-up positions, and a
// guess from the points themselves (Black where a line through the two
// darkest points meets the target 0, White where one through the two
// lightest meets the top), each with Gamma across its range.
std::vector<std::vector<double>> Starts(std::span<const GreyPoint> points) {
    std::vector<GreyPoint> sorted(points.begin(), points.end());
    std::sort(sorted.begin(), sorted.end(),
              [](const GreyPoint& a, const GreyPoint& b) { return a.target < b.target; });
    const auto levelAt = [](const GreyPoint& a, const GreyPoint& b, double target) {
        const double rise = b.target - a.target;
        return rise > 0 ? a.level + (target - a.target) * (b.level - a.level) / rise : a.level;
    };
    const GreyPoint* dark = sorted.data();
    const GreyPoint* light = sorted.data() + sorted.size() - 2;
    ParamPositions guess;
    guess.black = static_cast<int>(ClampedPosition(Param::Black, levelAt(dark[0], dark[1], 0.0) *
                                                                     SpecOf(Param::Black).divisor));
    guess.white =
        static_cast<int>(ClampedPosition(Param::White, levelAt(light[0], light[1], kTopLevel)));
    std::vector<std::vector<double>> starts;
    for (const ParamPositions& base : {ParamPositions{}, guess}) {
        for (const int gamma : kStartGammas) {
            ParamPositions start = base;
            start.gamma = gamma;
            starts.push_back(AsVector(start));
        }
    }
    return starts;
}

} // namespace

double StartupTarget(double luminance) {
    static const ToneCurve startup(kDefaultChannelParams);
    return kTopLevel * startup(kTopLevel * luminance);
}

double CurveOutput(const ParamPositions& positions, double level) {
    return kTopLevel * ToneCurve(MakeChannelParams(positions))(level);
}

GreyError ErrorOf(const ParamPositions& positions, std::span<const GreyPoint> points) {
    GreyError error;
    for (const GreyPoint& point : points) {
        const double d = std::abs(CurveOutput(positions, point.level) - point.target);
        error.mean += d / double(points.size());
        error.largest = std::max(error.largest, d);
    }
    return error;
}

ToneFit FitChannel(std::span<const GreyPoint> points) {
    LeastSquaresProblem problem;
    problem.residualCount = points.size();
    problem.maxIterations = kMaxIterations;
    problem.residuals = [points](std::span<const double> x, std::span<double> r) {
        const ToneCurve curve = CurveAt(x);
        for (std::size_t i = 0; i < points.size(); ++i) {
            r[i] = kTopLevel * curve(points[i].level) - points[i].target;
        }
    };
    ParamPositions positions;
    double best = HUGE_VAL;
    for (std::vector<double>& start : Starts(points)) {
        problem.start = std::move(start);
        const ParamPositions reached = Nearest(SolveLeastSquares(problem));
        const double sum = SumOfSquares(reached, points);
        if (sum < best) {
            positions = reached;
            best = sum;
        }
    }
    for (int round = 0; round < kSearchRounds; ++round) {
        const ParamPositions next = BestNeighbour(positions, points);
        if (next == positions) {
            break;
        }
        positions = next;
    }
    return {positions, ErrorOf(ParamPositions{}, points), ErrorOf(positions, points)};
}
