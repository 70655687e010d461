// The strip's pixels: what makes a test strip slow to build, kept out of
// the test programs' own unoptimised units.
#include "tests/measure/SyntheticStrip.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <utility>

namespace striptest {

namespace {

std::uint64_t Mix(std::uint64_t z) {
    z += 0x9E3779B97F4A7C15ull;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

// Close to a standard normal deviate: four uniforms summed and scaled.
double Grain(std::uint64_t key) {
    const std::uint64_t h = Mix(key);
    double sum = 0.0;
    for (int k = 0; k < 4; ++k) {
        sum += double((h >> (16 * k)) & 0xFFFF) / 65535.0 - 0.5;
    }
    return sum * std::sqrt(3.0);
}

double Smooth(double u, double v, double a, double b) {
    return std::sin(a * u + 1.3) * std::sin(b * v + 0.7);
}

ChannelValues Scaled(ChannelValues rgb, double k) {
    for (double& v : rgb) {
        v *= k;
    }
    return rgb;
}

bool InEllipse(double u, double v, double cu, double cv, double ru, double rv) {
    const double du = (u - cu) / ru, dv = (v - cv) / rv;
    return du * du + dv * dv < 1.0;
}

// Each scene's linear light at (u along, v across) of its frame, 0..1.
ChannelValues LandscapeLight(double u, double v) {
    const double texture = 1.0 + 0.15 * Smooth(u, v, 37.0, 29.0);
    if (v < 0.45) {
        if (InEllipse(u, v, 0.3, 0.18, 0.14, 0.06) || InEllipse(u, v, 0.72, 0.28, 0.1, 0.05)) {
            return Scaled({0.84, 0.85, 0.86}, 1.0 + 0.05 * Smooth(u, v, 40, 50));
        }
        const double k = v / 0.45;
        return {0.22 + 0.3 * k, 0.34 + 0.26 * k, 0.72 + 0.04 * k};
    }
    if (std::abs(u - 0.55 - (v - 0.45) * 0.6) < 0.04 + (v - 0.45) * 0.2) {
        return Scaled({0.17, 0.17, 0.165}, texture);
    }
    if (u > 0.12 && u < 0.3 && v > 0.5 && v < 0.7) {
        return Scaled({0.62, 0.6, 0.57}, texture);
    }
    return Scaled({0.06, 0.13, 0.035}, texture);
}

ChannelValues PortraitLight(double u, double v) {
    if (InEllipse(u, v, 0.5, 0.42, 0.16, 0.27)) {
        return Scaled({0.44, 0.27, 0.19}, 1.0 + 0.1 * Smooth(u, v, 20, 17));
    }
    if (InEllipse(u, v, 0.5, 0.3, 0.2, 0.22)) {
        return {0.025, 0.018, 0.013};
    }
    if (v > 0.74) {
        return std::abs(u - 0.5) < 0.08 ? ChannelValues{0.78, 0.78, 0.77}
                                        : ChannelValues{0.33, 0.05, 0.06};
    }
    return Scaled({0.05, 0.06, 0.085}, 1.0 + 0.4 * u);
}

ChannelValues SunsetLight(double u, double v) {
    if (InEllipse(u, v, 0.62, 0.42, 0.035, 0.05)) {
        return {2.5, 2.0, 1.1};
    }
    if (v > 0.62) {
        const bool glint = std::abs(u - 0.62) < 0.05 && Smooth(u, v, 90, 140) > 0.6;
        return glint ? ChannelValues{1.2, 0.8, 0.35} : ChannelValues{0.1, 0.07, 0.06};
    }
    if (v > 0.5 && (u < 0.2 || (u > 0.8 && v > 0.55))) {
        return {0.012, 0.011, 0.013};
    }
    const double k = v / 0.62;
    return {0.3 + 0.7 * k, 0.2 + 0.35 * k, 0.32 - 0.12 * k};
}

ChannelValues SnowLight(double u, double v) {
    const double tree = std::abs(std::fmod(u * 7.0, 1.0) - 0.5);
    if (v > 0.25 && v < 0.62 && tree < (v - 0.25) * 0.6) {
        return {0.02, 0.034, 0.024};
    }
    if (v >= 0.55) {
        return Scaled({0.76, 0.78, 0.8}, 0.8 + 0.25 * v + 0.05 * Smooth(u, v, 23, 31));
    }
    return {0.42, 0.52, 0.72};
}

ChannelValues InteriorLight(double u, double v) {
    if (u > 0.62 && u < 0.9 && v > 0.12 && v < 0.55) {
        return {0.95, 0.97, 1.0};
    }
    if (InEllipse(u, v, 0.25, 0.3, 0.05, 0.07)) {
        return {0.9, 0.62, 0.28};
    }
    if (v > 0.7) {
        return Scaled({0.2, 0.1, 0.045}, 1.0 + 0.3 * Smooth(u, v, 60, 3));
    }
    return Scaled({0.32, 0.29, 0.24}, 0.7 + 0.3 * u);
}

} // namespace

ChannelValues SyntheticStrip::Light(std::size_t k, double u, double v) const {
    const ChannelValues rgb =
        Scaled(SceneLight(plan_.frames[k].scene, u, v), plan_.frames[k].exposure);
    if (!plan_.blackAndWhite) {
        return rgb;
    }
    const double y = 0.2627 * rgb[0] + 0.678 * rgb[1] + 0.0593 * rgb[2];
    return {y, y, y};
}

FetchedRows SyntheticStrip::Rows(std::int32_t first, std::int32_t count,
                                 std::uint8_t* scratch) const {
    for (std::int32_t k = 0; k < count; ++k) {
        auto* row = reinterpret_cast<std::uint16_t*>(scratch + k * layout_.Stride);
        MakeRow(first + k, row);
    }
    return {scratch, {}};
}

PixelRect SyntheticStrip::Pixels(double a0, double a1, double c0, double c1) const {
    const auto first = [&](double mm) {
        return std::int32_t(std::ceil(mm * plan_.pixelsPerMm - 0.5));
    };
    const PixelRect along{first(a0), first(c0), first(a1) - first(a0), first(c1) - first(c0)};
    return plan_.alongRows ? PixelRect{along.top, along.left, along.height, along.width} : along;
}

ChannelValues SyntheticStrip::SceneLight(Scene scene, double u, double v) const {
    switch (scene) {
    case Scene::Checker:
        return CheckerAt(u, v);
    case Scene::Landscape:
        return LandscapeLight(u, v);
    case Scene::Portrait:
        return PortraitLight(u, v);
    case Scene::Sunset:
        return SunsetLight(u, v);
    case Scene::Snow:
        return SnowLight(u, v);
    case Scene::Interior:
        return InteriorLight(u, v);
    }
    return {};
}

ChannelValues SyntheticStrip::CheckerAt(double u, double v) const {
    const double du = (kChartTo - kChartFrom) / kChartColumns;
    const double dv = (kChartTo - kChartFrom) / kChartRows;
    const double cu = (u - kChartFrom) / du, cv = (v - kChartFrom) / dv;
    const double margin = (1.0 - kPatchShare) / 2;
    if (cu >= 0 && cv >= 0 && cu < kChartColumns && cv < kChartRows &&
        cu - std::floor(cu) >= margin && cu - std::floor(cu) < 1 - margin &&
        cv - std::floor(cv) >= margin && cv - std::floor(cv) < 1 - margin) {
        return checker_[std::size_t(cv) * kChartColumns + std::size_t(cu)];
    }
    return {kGreyCard, kGreyCard, kGreyCard};
}

void SyntheticStrip::MakeDust() {
    std::uint64_t key = Mix(plan_.seed);
    for (int k = 0; k < plan_.dust; ++k) {
        key = Mix(key);
        const double x = double(key % 100000) / 100000.0 * layout_.Width;
        const double y = double((key >> 20) % 100000) / 100000.0 * layout_.Height;
        const double r = (0.6 + double((key >> 40) % 100) / 100.0) * plan_.pixelsPerMm / 8.0;
        specks_.push_back({x, y, std::max(r, 0.7)});
    }
}

std::vector<SyntheticStrip::Speck> SyntheticStrip::SpecksOn(std::int32_t y) const {
    std::vector<Speck> on;
    for (const Speck& s : specks_) {
        if (std::abs(y + 0.5 - s.y) < s.radius) {
            on.push_back(s);
        }
    }
    return on;
}

bool SyntheticStrip::UnderDust(const std::vector<SyntheticStrip::Speck>& specks, std::int32_t x,
                               std::int32_t y) {
    for (const Speck& s : specks) {
        const double dx = x + 0.5 - s.x, dy = y + 0.5 - s.y;
        if (dx * dx + dy * dy < s.radius * s.radius) {
            return true;
        }
    }
    return false;
}

ChannelValues SyntheticStrip::TransmissionAt(std::int32_t along, std::int32_t across) const {
    const double a = (along + 0.5) / plan_.pixelsPerMm - kHolderAlong;
    const double c = (across + 0.5) / plan_.pixelsPerMm - kHolderAcross;
    if (a < 0 || c < 0 || a >= StripLength() || c >= shape_.filmWidth) {
        return {kHolderTransmission, kHolderTransmission, kHolderTransmission};
    }
    const double pitch = shape_.frameAlong + shape_.gap;
    const auto k = std::size_t(std::max(0.0, std::floor((a - kLeader) / pitch)));
    const double u = (a - kLeader - double(k) * pitch) / shape_.frameAlong;
    const double v = (c - (shape_.filmWidth - shape_.frameAcross) / 2) / shape_.frameAcross;
    if (a >= kLeader && k < plan_.frames.size() && u < 1.0 && v >= 0.0 && v < 1.0) {
        return filmtest::Transmission(plan_.film, FrameLight(k, along, across));
    }
    const double edge = std::min(c, shape_.filmWidth - c);
    if (shape_.holes && edge >= kHoleFrom && edge < kHoleTo &&
        std::fmod(a + kHolePitch - 0.5, kHolePitch) < kHoleLength) {
        return {kHoleTransmission, kHoleTransmission, kHoleTransmission};
    }
    return plan_.film.base;
}

ChannelValues SyntheticStrip::FrameLight(std::size_t k, std::int32_t along,
                                         std::int32_t across) const {
    const std::int32_t d = plan_.detail;
    const double sa = (along / d) * d + d / 2.0 + 0.5, sc = (across / d) * d + d / 2.0 + 0.5;
    const double a = sa / plan_.pixelsPerMm - kHolderAlong - kLeader -
                     double(k) * (shape_.frameAlong + shape_.gap);
    const double c =
        sc / plan_.pixelsPerMm - kHolderAcross - (shape_.filmWidth - shape_.frameAcross) / 2;
    return Light(k, std::clamp(a / shape_.frameAlong, 0.0, 0.999),
                 std::clamp(c / shape_.frameAcross, 0.0, 0.999));
}

void SyntheticStrip::MakeRow(std::int32_t y, std::uint16_t* row) const {
    ChannelValues t{};
    std::int32_t sampled = -1;
    const std::vector<Speck> specks = SpecksOn(y);
    for (std::int32_t x = 0; x < layout_.Width; ++x) {
        const std::int32_t along = plan_.alongRows ? y : x;
        const std::int32_t across = plan_.alongRows ? x : y;
        if (sampled < 0 || plan_.detail == 1 || x / plan_.detail != sampled) {
            t = TransmissionAt(along, across);
            sampled = x / plan_.detail;
        }
        const bool dust = !specks.empty() && UnderDust(specks, x, y);
        for (std::size_t c = 0; c < 3; ++c) {
            // A black-and-white film's grain is one silver in every channel.
            const std::size_t layer = plan_.blackAndWhite ? 0 : c;
            const std::uint64_t key = (std::uint64_t(y) << 32 | std::uint32_t(x)) * 4 + layer;
            double v = t[c] * (1.0 + plan_.noise * Grain(key ^ plan_.seed));
            v *= dust ? kDustTransmission : 1.0;
            row[std::size_t(x) * 3 + c] =
                static_cast<std::uint16_t>(std::lround(std::clamp(v, 0.0, 1.0) * 65535.0));
        }
    }
}

bool WritePnm(const SyntheticStrip& strip, const std::string& path) {
    const RowLayout& layout = strip.Layout();
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        return false;
    }
    const std::string head =
        "P6\n" + std::to_string(layout.Width) + " " + std::to_string(layout.Height) + "\n65535\n";
    bool ok = std::fwrite(head.data(), 1, head.size(), file) == head.size();
    constexpr std::int32_t kRowsAtOnce = 16;
    std::vector<std::uint8_t> rows(std::size_t(layout.Stride) * kRowsAtOnce);
    for (std::int32_t y = 0; ok && y < layout.Height; y += kRowsAtOnce) {
        const std::int32_t n = std::min(kRowsAtOnce, layout.Height - y);
        strip.Rows(y, n, rows.data());
        for (std::size_t i = 0; i < std::size_t(layout.Stride) * std::size_t(n); i += 2) {
            std::swap(rows[i], rows[i + 1]);
        }
        ok = std::fwrite(rows.data(), 1, std::size_t(layout.Stride) * std::size_t(n), file) ==
             std::size_t(layout.Stride) * std::size_t(n);
    }
    return std::fclose(file) == 0 && ok;
}

} // namespace striptest
