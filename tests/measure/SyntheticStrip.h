// Film strips the tests and benchmarks make themselves, as a linear scanner
// sees them in a holder: frames of different scenes, each at its own
// exposure, one of them a ColorChecker on a grey card, on a colour film with
// an orange mask and a contrast per layer (T_c = b_c ((E_c + f) / f)^-gamma_c,
// the film of SyntheticNegative.h) or on a black-and-white one; the base
// between and around the frames, sprocket holes clearer than the base, the
// opaque holder around the strip, dust and grain. The strip runs across the
// scan (frames side by side) or along it (one above another); its frames
// are 24 x 36 on 35 mm film or 6 x 6 or 6 x 4.5 on 120 film. The rows are
// made when asked for, so a strip of a gigabyte never lies in memory.
#pragma once

#include "image/rows/PixelRect.h"
#include "image/rows/StoredRows.h"
#include "tests/measure/SyntheticNegative.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace striptest {

using filmtest::Film;

enum class Gauge { Film35, Square120, Wide645 };
enum class Scene { Checker, Landscape, Portrait, Sunset, Snow, Interior };

struct FramePlan {
    Scene scene = Scene::Landscape;
    double exposure = 1.0; // the frame's exposure, times the scene's light
};

// The six frames of a typical strip: each scene at its own exposure.
inline std::vector<FramePlan> MixedFrames() {
    return {{Scene::Landscape, 1.0}, {Scene::Checker, 0.8}, {Scene::Portrait, 1.6},
            {Scene::Sunset, 0.5},    {Scene::Snow, 0.7},    {Scene::Interior, 2.2}};
}

struct StripPlan {
    Gauge gauge = Gauge::Film35;
    bool alongRows = false; // the strip runs down the scan
    double pixelsPerMm = 8.0;
    std::vector<FramePlan> frames = MixedFrames();
    Film film;
    bool blackAndWhite = false;
    int dust = 24;
    double noise = 0.004;
    std::int32_t detail = 1; // pixels each way that share one sample of the scene
    std::uint32_t seed = 1;
};

// A gauge's sizes in millimetres: the film's width, a frame along and
// across the strip, the gap between frames, and whether it has holes.
struct GaugeShape {
    double filmWidth;
    double frameAlong;
    double frameAcross;
    double gap;
    bool holes;
};

inline GaugeShape ShapeOf(Gauge gauge) {
    switch (gauge) {
    case Gauge::Film35:
        return {35.0, 36.0, 24.0, 2.0, true};
    case Gauge::Square120:
        return {61.0, 56.0, 56.0, 4.0, false};
    case Gauge::Wide645:
        return {61.0, 41.5, 56.0, 3.5, false};
    }
    return {};
}

// Film before the first frame and after the last, and the holder seen
// beyond the strip's ends and beside its edges, in millimetres.
inline constexpr double kLeader = 3.0;
inline constexpr double kHolderAlong = 2.0;
inline constexpr double kHolderAcross = 2.5;
// 35 mm perforations: pitch, length along, and where they lie across.
inline constexpr double kHolePitch = 4.75;
inline constexpr double kHoleLength = 2.8;
inline constexpr double kHoleFrom = 1.0;
inline constexpr double kHoleTo = 2.98;
inline constexpr double kHoleTransmission = 0.97;
inline constexpr double kHolderTransmission = 0.0004;
inline constexpr double kDustTransmission = 0.12;
// The ColorChecker's place in its frame (fractions along and across) and
// the grey card around it, 18 %.
inline constexpr double kChartFrom = 0.1;
inline constexpr double kChartTo = 0.9;
inline constexpr double kPatchShare = 0.8;
inline constexpr double kGreyCard = 0.18;
inline constexpr int kChartColumns = 6;
inline constexpr int kChartRows = 4;

class SyntheticStrip final : public RowSource {
public:
    explicit SyntheticStrip(StripPlan plan) : plan_(std::move(plan)), shape_(ShapeOf(plan_.gauge)) {
        const filmtest::LabSpace space;
        checker_ = filmtest::CheckerScene(space);
        const double alongMm = StripLength() + 2 * kHolderAlong;
        const double acrossMm = shape_.filmWidth + 2 * kHolderAcross;
        const auto along = std::int32_t(std::lround(alongMm * plan_.pixelsPerMm));
        const auto across = std::int32_t(std::lround(acrossMm * plan_.pixelsPerMm));
        layout_.Width = plan_.alongRows ? across : along;
        layout_.Height = plan_.alongRows ? along : across;
        layout_.Format = kRgb48;
        layout_.Stride = std::int64_t{layout_.Width} * 6;
        layout_.MaxValue = kMaxSample16;
        MakeDust();
    }

    const StripPlan& Plan() const { return plan_; }
    const std::vector<ChannelValues>& CheckerLight() const { return checker_; }
    double StripLength() const {
        return 2 * kLeader + double(plan_.frames.size()) * (shape_.frameAlong + shape_.gap) -
               shape_.gap;
    }

    // Frame k's picture in pixels: the pixels whose centres lie on it.
    PixelRect Frame(std::size_t k) const {
        const double a0 = kHolderAlong + kLeader + double(k) * (shape_.frameAlong + shape_.gap);
        const double c0 = kHolderAcross + (shape_.filmWidth - shape_.frameAcross) / 2;
        return Pixels(a0, a0 + shape_.frameAlong, c0, c0 + shape_.frameAcross);
    }
    // The middle half of ColorChecker patch i (row by row) of frame k.
    PixelRect Patch(std::size_t k, std::size_t i) const {
        const double a0 = kHolderAlong + kLeader + double(k) * (shape_.frameAlong + shape_.gap);
        const double c0 = kHolderAcross + (shape_.filmWidth - shape_.frameAcross) / 2;
        const double du = (kChartTo - kChartFrom) / kChartColumns;
        const double dv = (kChartTo - kChartFrom) / kChartRows;
        const double u = kChartFrom + (double(i % kChartColumns) + 0.25) * du;
        const double v = kChartFrom + (double(i / kChartColumns) + 0.25) * dv;
        return Pixels(a0 + u * shape_.frameAlong, a0 + (u + du / 2) * shape_.frameAlong,
                      c0 + v * shape_.frameAcross, c0 + (v + dv / 2) * shape_.frameAcross);
    }
    // A rectangle of base between frames k and k + 1, away from the holes.
    PixelRect Gap(std::size_t k) const {
        const double a0 = kHolderAlong + kLeader + double(k) * (shape_.frameAlong + shape_.gap) +
                          shape_.frameAlong;
        const double c0 = kHolderAcross + shape_.filmWidth / 2;
        return Pixels(a0 + shape_.gap * 0.25, a0 + shape_.gap * 0.75, c0 - 3, c0 + 3);
    }

    // The scene's light at (u, v) of frame k, before the film.
    ChannelValues Light(std::size_t k, double u, double v) const;

    const RowLayout& Layout() const override { return layout_; }
    const Palette& Colours() const override { return kNoColours; }
    std::int64_t ScratchBytes(std::int32_t count) const override { return count * layout_.Stride; }
    FetchedRows Rows(std::int32_t first, std::int32_t count, std::uint8_t* scratch) const override;

private:
    static constexpr Palette kNoColours{};

    struct Speck {
        double x;
        double y;
        double radius;
    };

    PixelRect Pixels(double a0, double a1, double c0, double c1) const;

    ChannelValues SceneLight(Scene scene, double u, double v) const;

    ChannelValues CheckerAt(double u, double v) const;

    void MakeDust();

    // The specks that reach row y.
    std::vector<Speck> SpecksOn(std::int32_t y) const;

    static bool UnderDust(const std::vector<Speck>& specks, std::int32_t x, std::int32_t y);

    // The film's transmission at pixel (along, across) of the strip.
    ChannelValues TransmissionAt(std::int32_t along, std::int32_t across) const;

    // The light of the scene sample that pixel (along, across) takes.
    ChannelValues FrameLight(std::size_t k, std::int32_t along, std::int32_t across) const;

    void MakeRow(std::int32_t y, std::uint16_t* row) const;

    StripPlan plan_;
    GaugeShape shape_;
    std::vector<ChannelValues> checker_;
    std::vector<Speck> specks_;
    RowLayout layout_;
};

// The strip as a binary PNM (P6, maxval 65535, big-endian), written a few
// rows at a time; false when the file cannot be written.
bool WritePnm(const SyntheticStrip& strip, const std::string& path);

} // namespace striptest
