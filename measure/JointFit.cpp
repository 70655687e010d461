// The parameters: delta at each channel's controls, then the nine matrix
// entries. Each patch gives three residuals, CIEDE2000's terms (Colour.h),
// whose squares sum to its square: smooth where the difference is 0, so
// that Levenberg-Marquardt converges in a few steps. Each curve adds kShrink
// times delta at every control, which holds a curve the patches say little
// about near the grey scale's, and kBend times the second difference of
// delta at every inner control, which keeps it smooth.
//
// The Jacobian is put together from pieces instead of differencing every
// residual by every parameter: a patch's terms depend on the parameters
// only through its XYZ = M s, s its three linear values, so with G = d
// terms / d XYZ (three differences) the matrix's entries give G_r * s_c,
// and a delta of channel c gives (G . M_c) * d s_c / d delta, the last a
// difference of that one curve alone.
#include "measure/JointFit.h"

#include "measure/BentCurve.h"
#include "measure/LeastSquares.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace {

constexpr std::size_t kFitChannels = 3;
constexpr std::size_t kMatrixEntries = 9;
constexpr std::size_t kTerms = 3; // of CIEDE2000, a residual each
// Controls among the grey scale's knots, evenly by rank, both ends included.
constexpr std::size_t kGreyControls = 5;
// A patch this far (in x) beyond the grey scale's end gets a control.
constexpr double kBeyondGreys = 0.02;
constexpr double kGreyWeight = 2.0;
constexpr double kBend = 0.3;
constexpr double kShrink = 0.05;
constexpr double kParameterStep = 1e-6;
constexpr double kXyzStep = 1e-7;
// The fit gains nearly all it will in a few steps; later ones only wander.
constexpr std::size_t kBendIterations = 12;
constexpr std::size_t kMatrixOnlyIterations = 20;

using Terms = std::array<double, kTerms>;
using Gradient = std::array<Vector3, kTerms>; // each term's derivatives by X, Y, Z

// One channel: its curve, each patch's x and the start's log(linear) there
// (none for a patch at or below the flare, whose linear value is 0), and
// where its deltas start in the parameters. No controls: the curve is kept.
struct Channel {
    BentCurve curve;
    std::vector<double> controls;
    std::vector<std::optional<double>> x;
    std::vector<double> startLog;
    std::size_t offset = 0;
};

// The darkest and lightest patches' x, and the grey scale's ends.
std::vector<double> ControlsOf(const LogCurve& start, std::span<const ProfilePatch> patches,
                               std::size_t c, std::size_t& anchor) {
    const std::vector<LogKnot> knots = start.Knots();
    std::vector<double> controls;
    const std::size_t count = std::min(kGreyControls, knots.size());
    for (std::size_t k = 0; k < count; ++k) {
        controls.push_back(knots[k * (knots.size() - 1) / std::max<std::size_t>(count - 1, 1)].x);
    }
    double darkest = controls.front();
    double lightest = controls.back();
    for (const ProfilePatch& p : patches) {
        if (p.device[c] > start.Flare()) {
            darkest = std::min(darkest, std::log(p.device[c] - start.Flare()));
            lightest = std::max(lightest, std::log(p.device[c] - start.Flare()));
        }
    }
    anchor = controls.size() - 1;
    if (darkest < controls.front() - kBeyondGreys) {
        controls.insert(controls.begin(), darkest);
        ++anchor;
    }
    if (lightest > controls.back() + kBeyondGreys) {
        controls.push_back(lightest);
    }
    return controls;
}

Channel ChannelOf(const LogCurve& start, std::span<const ProfilePatch> patches, std::size_t c,
                  bool bend) {
    std::size_t anchor = 0;
    std::vector<double> controls =
        bend ? ControlsOf(start, patches, c, anchor) : std::vector<double>{};
    Channel channel{BentCurve(start, controls, anchor), controls, {}, {}, 0};
    for (const ProfilePatch& p : patches) {
        const bool lit = p.device[c] > start.Flare();
        const double x = lit ? std::log(p.device[c] - start.Flare()) : 0.0;
        channel.x.push_back(lit ? std::optional<double>(x) : std::nullopt);
        channel.startLog.push_back(lit ? start.LogAt(x) : 0.0);
    }
    return channel;
}

// Shrink rows for every control, bend rows for the inner ones.
std::size_t PenaltyCount(std::size_t controls) {
    return controls + (controls > 2 ? controls - 2 : 0);
}

double LinearAt(const Channel& channel, const BentCurve& curve, std::size_t i) {
    return channel.x[i] ? std::exp(curve.LogAt(*channel.x[i], channel.startLog[i])) : 0.0;
}

Matrix3 MatrixAt(std::span<const double> x, std::size_t offset) {
    Matrix3 m{};
    std::copy_n(x.begin() + std::ptrdiff_t(offset), kMatrixEntries, m.begin());
    return m;
}

class JointProblem {
public:
    // `bend`: the curves bend with the matrix; else the matrix alone is fitted.
    JointProblem(std::span<const ProfilePatch> patches, const CurveModel& start, bool bend);

    std::vector<double> Start() const;
    std::size_t ResidualCount() const { return kTerms * patches_.size() + penaltyRows_; }
    void Residuals(std::span<const double> x, std::span<double> r);
    void Jacobian(std::span<const double> x, std::span<double> j);
    std::size_t MatrixOffset() const { return matrixOffset_; }
    // The curves and matrix of `x`, sampled.
    ShaperMatrix Result(std::span<const double> x);

private:
    std::span<const double> Deltas(std::size_t c, std::span<const double> x) const;
    void Bend(std::span<const double> x);
    Vector3 Linear(std::size_t i) const;
    Terms Weighted(std::size_t i, const Vector3& xyz) const;
    void Penalties(std::span<const double> delta, std::span<double> out) const;
    std::size_t PenaltyRow(std::size_t c) const;
    std::vector<Gradient> MatrixColumns(std::span<const double> x, std::span<double> j) const;
    void CurveColumns(std::size_t c, std::span<const double> x,
                      const std::vector<Gradient>& gradient, std::span<double> j) const;

    std::span<const ProfilePatch> patches_;
    std::vector<Channel> channels_;
    Matrix3 startMatrix_{};
    double greyWeight_ = 1.0;
    std::size_t matrixOffset_ = 0;
    std::size_t penaltyRows_ = 0;
};

JointProblem::JointProblem(std::span<const ProfilePatch> patches, const CurveModel& start,
                           bool bend)
    : patches_(patches), startMatrix_(start.toXyz), greyWeight_(bend ? kGreyWeight : 1.0) {
    for (std::size_t c = 0; c < kFitChannels; ++c) {
        channels_.push_back(ChannelOf(start.curves[c], patches, c, bend));
        channels_.back().offset = matrixOffset_;
        const std::size_t controls = channels_.back().controls.size();
        matrixOffset_ += controls;
        penaltyRows_ += controls > 0 ? PenaltyCount(controls) : 0;
    }
}

std::vector<double> JointProblem::Start() const {
    std::vector<double> x(matrixOffset_, 0.0);
    x.insert(x.end(), startMatrix_.begin(), startMatrix_.end());
    return x;
}

std::span<const double> JointProblem::Deltas(std::size_t c, std::span<const double> x) const {
    return x.subspan(channels_[c].offset, channels_[c].controls.size());
}

void JointProblem::Bend(std::span<const double> x) {
    for (std::size_t c = 0; c < kFitChannels; ++c) {
        channels_[c].curve.Bend(Deltas(c, x));
    }
}

Vector3 JointProblem::Linear(std::size_t i) const {
    return {LinearAt(channels_[0], channels_[0].curve, i),
            LinearAt(channels_[1], channels_[1].curve, i),
            LinearAt(channels_[2], channels_[2].curve, i)};
}

Terms JointProblem::Weighted(std::size_t i, const Vector3& xyz) const {
    const double weight = patches_[i].grey ? greyWeight_ : 1.0;
    Terms terms = DeltaE2000Terms(patches_[i].reference, LabOf({xyz[0], xyz[1], xyz[2]}));
    for (double& t : terms) {
        t *= weight;
    }
    return terms;
}

void JointProblem::Penalties(std::span<const double> delta, std::span<double> out) const {
    std::size_t row = 0;
    for (const double d : delta) {
        out[row++] = kShrink * d;
    }
    for (std::size_t k = 1; k + 1 < delta.size(); ++k) {
        out[row++] = kBend * (delta[k + 1] - 2 * delta[k] + delta[k - 1]);
    }
}

std::size_t JointProblem::PenaltyRow(std::size_t c) const {
    std::size_t row = kTerms * patches_.size();
    for (std::size_t before = 0; before < c; ++before) {
        const std::size_t controls = channels_[before].controls.size();
        row += controls > 0 ? PenaltyCount(controls) : 0;
    }
    return row;
}

void JointProblem::Residuals(std::span<const double> x, std::span<double> r) {
    Bend(x);
    const Matrix3 m = MatrixAt(x, matrixOffset_);
    for (std::size_t i = 0; i < patches_.size(); ++i) {
        const Terms terms = Weighted(i, Times(m, Linear(i)));
        std::copy(terms.begin(), terms.end(), r.begin() + std::ptrdiff_t(kTerms * i));
    }
    for (std::size_t c = 0; c < kFitChannels; ++c) {
        Penalties(Deltas(c, x), r.subspan(PenaltyRow(c)));
    }
}

// The matrix's columns, G_r * s_c, and each patch's G for the curves'.
std::vector<Gradient> JointProblem::MatrixColumns(std::span<const double> x,
                                                  std::span<double> j) const {
    const Matrix3 m = MatrixAt(x, matrixOffset_);
    const std::size_t columns = matrixOffset_ + kMatrixEntries;
    std::vector<Gradient> gradient(patches_.size());
    for (std::size_t i = 0; i < patches_.size(); ++i) {
        const Vector3 s = Linear(i);
        const Vector3 xyz = Times(m, s);
        const Terms here = Weighted(i, xyz);
        for (std::size_t r = 0; r < kFitChannels; ++r) {
            Vector3 moved = xyz;
            moved[r] += kXyzStep;
            const Terms there = Weighted(i, moved);
            for (std::size_t t = 0; t < kTerms; ++t) {
                gradient[i][t][r] = (there[t] - here[t]) / kXyzStep;
                for (std::size_t c = 0; c < kFitChannels; ++c) {
                    j[(kTerms * i + t) * columns + matrixOffset_ + r * kFitChannels + c] =
                        gradient[i][t][r] * s[c];
                }
            }
        }
    }
    return gradient;
}

// The columns of channel c's deltas, each from one changed curve.
void JointProblem::CurveColumns(std::size_t c, std::span<const double> x,
                                const std::vector<Gradient>& gradient, std::span<double> j) const {
    const Matrix3 m = MatrixAt(x, matrixOffset_);
    const std::size_t columns = matrixOffset_ + kMatrixEntries;
    const Channel& channel = channels_[c];
    const std::span<const double> delta = Deltas(c, x);
    std::vector<double> moved(delta.begin(), delta.end());
    const std::size_t penalties = PenaltyCount(moved.size());
    std::vector<double> base(penalties), changed(penalties);
    Penalties(delta, base);
    BentCurve curve = channel.curve;
    for (std::size_t k = 0; k < moved.size(); ++k) {
        const std::size_t column = channel.offset + k;
        moved[k] += kParameterStep;
        curve.Bend(moved);
        for (std::size_t i = 0; i < patches_.size(); ++i) {
            const double ds = (LinearAt(channel, curve, i) - LinearAt(channel, channel.curve, i)) /
                              kParameterStep;
            for (std::size_t t = 0; t < kTerms; ++t) {
                const Vector3& g = gradient[i][t];
                j[(kTerms * i + t) * columns + column] =
                    (g[0] * m[c] + g[1] * m[3 + c] + g[2] * m[6 + c]) * ds;
            }
        }
        Penalties(moved, changed);
        for (std::size_t row = 0; row < penalties; ++row) {
            j[(PenaltyRow(c) + row) * columns + column] =
                (changed[row] - base[row]) / kParameterStep;
        }
        moved[k] = delta[k];
    }
}

void JointProblem::Jacobian(std::span<const double> x, std::span<double> j) {
    std::fill(j.begin(), j.end(), 0.0);
    Bend(x);
    const std::vector<Gradient> gradient = MatrixColumns(x, j);
    for (std::size_t c = 0; c < kFitChannels; ++c) {
        CurveColumns(c, x, gradient, j);
    }
}

ShaperMatrix JointProblem::Result(std::span<const double> x) {
    Bend(x);
    ShaperMatrix result;
    result.toXyz = MatrixAt(x, matrixOffset_);
    for (std::size_t c = 0; c < kFitChannels; ++c) {
        const BentCurve& curve = channels_[c].curve;
        const double top = curve(1.0);
        result.curves[c] = curve.Table(kShaperPoints);
        for (double& v : result.curves[c]) {
            v /= top;
        }
        for (std::size_t r = 0; r < kFitChannels; ++r) {
            result.toXyz[r * kFitChannels + c] *= top;
        }
    }
    return result;
}

std::vector<double> Solve(JointProblem& joint, std::size_t iterations) {
    LeastSquaresProblem problem;
    problem.residualCount = joint.ResidualCount();
    problem.start = joint.Start();
    problem.maxIterations = iterations;
    problem.normalEquations = true;
    problem.residuals = [&](std::span<const double> x, std::span<double> r) {
        joint.Residuals(x, r);
    };
    problem.jacobian = [&](std::span<const double> x, std::span<double> j) {
        joint.Jacobian(x, j);
    };
    return SolveLeastSquares(problem);
}

} // namespace

Vector3 LinearOf(const CurveModel& model, const Vector3& device) {
    return {model.curves[0](device[0]), model.curves[1](device[1]), model.curves[2](device[2])};
}

XyzColour XyzOf(const CurveModel& model, const Vector3& device) {
    const Vector3 xyz = Times(model.toXyz, LinearOf(model, device));
    return {xyz[0], xyz[1], xyz[2]};
}

ShaperMatrix Sampled(std::span<const ProfilePatch> patches, const CurveModel& model) {
    JointProblem joint(patches, model, false);
    return joint.Result(joint.Start());
}

Matrix3 FitMatrix(std::span<const ProfilePatch> patches, const CurveModel& model) {
    JointProblem joint(patches, model, false);
    return MatrixAt(Solve(joint, kMatrixOnlyIterations), joint.MatrixOffset());
}

ShaperMatrix FitJointly(std::span<const ProfilePatch> patches, const CurveModel& start) {
    JointProblem joint(patches, start, true);
    return joint.Result(Solve(joint, kBendIterations));
}
