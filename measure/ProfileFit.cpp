// The start: curves that take each grey patch to its luminance Y; the
// matrix fitted by linear least squares in XYZ, and from there to the least
// squared Lab differences. A grey patch that is not quite neutral wants
// other values than Y on each channel: the curves are made again through
// the values the matrix needs for the greys (its inverse times their XYZ),
// and the matrix fitted again, for a few rounds. The best round's matrix is
// fitted to the least squared CIEDE2000, and the curves and matrix are then
// fitted together over every patch (JointFit), which lets a curve follow
// the colours beyond the grey scale's ends.
#include "measure/ProfileFit.h"

#include "measure/JointFit.h"
#include "measure/LeastSquares.h"
#include "measure/TableLookup.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int kRounds = 3;
constexpr std::size_t kMatrixIterations = 100;
constexpr std::size_t kChannels = 3;
// Linear values below this are no use on a log scale.
constexpr double kLeastLinear = 1e-6;

using Targets = std::vector<Vector3>; // each grey patch's linear values, in patch order

void MakeCurves(std::span<const ProfilePatch> patches, const Targets& targets, CurveModel& model) {
    for (std::size_t c = 0; c < kChannels; ++c) {
        std::vector<ShaperPoint> points;
        for (std::size_t i = 0, g = 0; i < patches.size(); ++i) {
            if (patches[i].grey) {
                points.push_back({patches[i].device[c], targets[g++][c]});
            }
        }
        model.curves[c] = CurveThrough(points).Normalised();
    }
}

// Rows of the matrix by least squares: each row r minimises the sum over
// the patches of (row . s - XYZ_r)^2, by the normal equations.
Matrix3 LinearMatrix(const std::vector<Vector3>& linear, const std::vector<XyzColour>& xyz) {
    Matrix3 normal{};
    std::array<Vector3, kChannels> right{};
    for (std::size_t i = 0; i < linear.size(); ++i) {
        const Vector3& s = linear[i];
        const Vector3 target = {xyz[i].X, xyz[i].Y, xyz[i].Z};
        for (std::size_t a = 0; a < kChannels; ++a) {
            for (std::size_t b = 0; b < kChannels; ++b) {
                normal[a * kChannels + b] += s[a] * s[b];
            }
            for (std::size_t r = 0; r < kChannels; ++r) {
                right[r][a] += s[a] * target[r];
            }
        }
    }
    Matrix3 inverse{};
    Matrix3 m{};
    if (!Invert(normal, inverse)) {
        return m;
    }
    for (std::size_t r = 0; r < kChannels; ++r) {
        const Vector3 row = Times(inverse, right[r]);
        std::copy(row.begin(), row.end(), m.begin() + std::ptrdiff_t(r * kChannels));
    }
    return m;
}

LabColour LabAt(const Matrix3& m, const Vector3& s) {
    const Vector3 xyz = Times(m, s);
    return LabOf({xyz[0], xyz[1], xyz[2]});
}

Matrix3 MatrixOf(std::span<const double> x) {
    Matrix3 m{};
    std::copy(x.begin(), x.end(), m.begin());
    return m;
}

// The Lab differences themselves: three smooth residuals a patch, quick to
// converge, for the rounds of curves and matrix.
Matrix3 LabMatrix(const std::vector<Vector3>& linear, std::span<const ProfilePatch> patches,
                  const Matrix3& start) {
    LeastSquaresProblem problem;
    problem.residualCount = kChannels * patches.size();
    problem.start.assign(start.begin(), start.end());
    problem.maxIterations = kMatrixIterations;
    problem.normalEquations = true;
    problem.residuals = [&](std::span<const double> x, std::span<double> r) {
        const Matrix3 m = MatrixOf(x);
        for (std::size_t i = 0; i < patches.size(); ++i) {
            const LabColour got = LabAt(m, linear[i]);
            r[kChannels * i] = got.L - patches[i].reference.L;
            r[kChannels * i + 1] = got.a - patches[i].reference.a;
            r[kChannels * i + 2] = got.b - patches[i].reference.b;
        }
    };
    return MatrixOf(SolveLeastSquares(problem));
}

std::vector<Vector3> LinearValues(const CurveModel& model, std::span<const ProfilePatch> patches) {
    std::vector<Vector3> linear;
    for (const ProfilePatch& p : patches) {
        linear.push_back(LinearOf(model, p.device));
    }
    return linear;
}

// `through` takes a scanned colour to XYZ.
template <typename Through>
double MeanDeltaE(std::span<const ProfilePatch> patches, const Through& through) {
    double sum = 0;
    for (const ProfilePatch& p : patches) {
        sum += DeltaE2000(LabOf(through(p.device)), p.reference);
    }
    return sum / static_cast<double>(patches.size());
}

// What the matrix needs each grey to be on each channel.
Targets TargetsFrom(const Matrix3& m, std::span<const ProfilePatch> patches, Targets old) {
    Matrix3 inverse{};
    if (!Invert(m, inverse)) {
        return old;
    }
    Targets targets;
    for (const ProfilePatch& p : patches) {
        if (p.grey) {
            const XyzColour xyz = XyzOf(p.reference);
            Vector3 v = Times(inverse, {xyz.X, xyz.Y, xyz.Z});
            for (double& c : v) {
                c = std::max(c, kLeastLinear);
            }
            targets.push_back(v);
        }
    }
    return targets;
}

// The rounds of curves through the greys and matrix, the best one's matrix
// fitted to CIEDE2000.
CurveModel GreyScaleFit(std::span<const ProfilePatch> patches) {
    std::vector<XyzColour> xyz;
    Targets targets;
    for (const ProfilePatch& p : patches) {
        xyz.push_back(XyzOf(p.reference));
        if (p.grey) {
            targets.push_back({xyz.back().Y, xyz.back().Y, xyz.back().Y});
        }
    }
    CurveModel best;
    double bestMean = HUGE_VAL;
    for (int round = 0; round < kRounds; ++round) {
        CurveModel model;
        MakeCurves(patches, targets, model);
        const std::vector<Vector3> linear = LinearValues(model, patches);
        model.toXyz = LabMatrix(linear, patches, LinearMatrix(linear, xyz));
        const double mean =
            MeanDeltaE(patches, [&](const Vector3& device) { return XyzOf(model, device); });
        if (mean < bestMean) {
            best = model;
            bestMean = mean;
        }
        targets = TargetsFrom(model.toXyz, patches, targets);
    }
    best.toXyz = FitMatrix(patches, best);
    return best;
}

} // namespace

XyzColour XyzThrough(const ShaperMatrix& model, const Vector3& device) {
    const Vector3 linear = {TableAt(model.curves[0], device[0]),
                            TableAt(model.curves[1], device[1]),
                            TableAt(model.curves[2], device[2])};
    const Vector3 xyz = Times(model.toXyz, linear);
    return {xyz[0], xyz[1], xyz[2]};
}

ShaperMatrix FitThroughGreys(std::span<const ProfilePatch> patches) {
    return Sampled(patches, GreyScaleFit(patches));
}

ShaperMatrix FitShaperMatrix(std::span<const ProfilePatch> patches) {
    const CurveModel start = GreyScaleFit(patches);
    ShaperMatrix joint = FitJointly(patches, start);
    ShaperMatrix grey = Sampled(patches, start);
    const auto through = [](const ShaperMatrix& model) {
        return [&model](const Vector3& device) { return XyzThrough(model, device); };
    };
    return MeanDeltaE(patches, through(joint)) <= MeanDeltaE(patches, through(grey)) ? joint : grey;
}
