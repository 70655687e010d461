// A scanner whose behaviour the tests know, and the chart scans it makes:
// the chart's colours (D50 XYZ) to the scanner's linear RGB on the ROMM
// primaries (which take D50 white to 1, 1, 1), channels mixed by a crosstalk
// matrix whose rows sum to 1 (greys stay grey), then each channel's own
// response (flare, gain, exponent: see ChannelTruth), noise, quantised to
// 8 or 16 bits; dust specks on some pixels; on request a highlight knee in
// a channel. The chart lies where four corners put it, so a turned scan or
// one in perspective is a matter of the corners; around its patches lies its
// card, and around the card the bed.
#pragma once

#include "curve/ChannelParams.h"
#include "curve/ToneCurve.h"
#include "image/SampleOutput.h"
#include "io/AtomicWrite.h"
#include "measure/ChartLayout.h"
#include "measure/ChartMap.h"
#include "measure/ChartReference.h"
#include "measure/ChartScan.h"
#include "measure/InputProfile.h"
#include "measure/Matrix3.h"
#include "measure/ProfileFit.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <random>
#include <string>
#include <vector>

namespace simscan {

// One channel of the scanner, given by the slider positions whose curve
// undoes it exactly: a patch of linear value x (0..1) scans at the level
// the curve of these positions takes to the start-up curve's output for a
// perfect scan, 255 x. Black is its flare, White its flare plus gain, Gamma
// and Alpha its departure from linear (about level^(Gamma / 2)).
struct ChannelTruth {
    ParamPositions positions;

    // The curve's inverse: V = (1 - k) L^p + k above the tangent point,
    // V = L V0 / L0 below it; then level = black + L (white - black).
    double LevelOf(double x) const {
        static const ToneCurve startup(kDefaultChannelParams);
        const ChannelParams c = MakeChannelParams(positions);
        const double p = 1.0 / c.Gamma;
        const CurveTangent t = TangentOf(p, c.Alpha);
        const double v = startup(255.0 * std::clamp(x, 0.0, 1.0));
        const double l = v < t.v0 ? v * t.l0 / t.v0 : std::pow((v - t.k) / (1.0 - t.k), 1.0 / p);
        return c.Black + l * (c.White - c.Black);
    }
};

struct Scanner {
    std::array<ChannelTruth, 3> channels;
    Matrix3 crosstalk = {1, 0, 0, 0, 1, 0, 0, 0, 1};
    double noise = 0.0;     // standard deviation, 8-bit levels
    double dustShare = 0.0; // share of pixels that are dust
    int depth = 16;         // 8 or 16 bits
    unsigned seed = 1;
    // A highlight knee: above knee[c] channel c's linear value x bends to
    // k + (x - k) / (1 + (x - k) / kneeWidth), which never reaches
    // k + kneeWidth. 1 for none.
    std::array<double, 3> knee{1, 1, 1};
    double kneeWidth = 0.1;
    LabColour card{30, 0, 0}; // the chart's card, cardMargin pitches around its patches
    LabColour bed{30, 0, 0};  // what lies around the card
    double cardMargin = 0.6;
};

inline double Kneed(double x, double knee, double width) {
    return x <= knee ? x : knee + (x - knee) / (1 + (x - knee) / width);
}

// The scanner of the benchmarks, the tools and most tests: each channel's
// flare, gain and departure from linear its own, channels mixed a little,
// `noise` 8-bit levels of noise, on a light bed; an IT8's card light, a
// ColorChecker's black.
inline Scanner TypicalScanner(ChartKind chart, double noise) {
    Scanner scanner;
    scanner.channels = {{{{23, 241, 85, 220}}, {{5, 250, 120, 180}}, {{70, 230, 94, 205}}}};
    scanner.crosstalk = {0.9, 0.07, 0.03, 0.05, 0.9, 0.05, 0.02, 0.08, 0.9};
    scanner.noise = noise;
    scanner.bed = {92, 0, 1};
    scanner.card = chart == ChartKind::It8 ? LabColour{70, 0, 3} : LabColour{20, 0, 0};
    return scanner;
}

// D50 XYZ to linear ROMM RGB (the inverse of its RGB-to-XYZ matrix).
inline Vector3 RommOf(const XyzColour& xyz) {
    const Matrix3 toXyz = {0.7977, 0.1352, 0.0313, 0.2880, 0.7119, 0.0001, 0.0, 0.0, 0.8249};
    Matrix3 inverse{};
    Invert(toXyz, inverse);
    return Times(inverse, {xyz.X, xyz.Y, xyz.Z});
}

// The levels (0..255, unquantised) the scanner gives a colour.
inline Vector3 LevelsOf(const Scanner& s, const LabColour& lab) {
    Vector3 rgb = Times(s.crosstalk, RommOf(XyzOf(lab)));
    for (std::size_t c = 0; c < 3; ++c) {
        rgb[c] = Kneed(rgb[c], s.knee[c], s.kneeWidth);
    }
    return {s.channels[0].LevelOf(rgb[0]), s.channels[1].LevelOf(rgb[1]),
            s.channels[2].LevelOf(rgb[2])};
}

// The patch whose whole area (its sampled box doubled about its centre)
// holds a chart point, or -1 for the chart's surround; patches are kept in
// cells of one pitch, so a point looks at a few only.
class PatchFinder {
public:
    explicit PatchFinder(const ChartLayout& layout) : layout_(layout) {
        cells_.resize(std::size_t(kSpan * kSpan));
        for (std::size_t i = 0; i < layout.patches.size(); ++i) {
            const ChartBox box = Whole(i);
            for (int y = Cell(box.top); y <= Cell(box.bottom); ++y) {
                for (int x = Cell(box.left); x <= Cell(box.right); ++x) {
                    cells_[std::size_t(y * kSpan + x)].push_back(int(i));
                }
            }
        }
    }
    int operator()(ImagePoint p) const {
        if (!(p.x > -kMargin && p.y > -kMargin && p.x < kSpan - kMargin && p.y < kSpan - kMargin)) {
            return -1;
        }
        for (const int i : cells_[std::size_t(Cell(p.y) * kSpan + Cell(p.x))]) {
            const ChartBox b = Whole(std::size_t(i));
            if (p.x >= b.left && p.x < b.right && p.y >= b.top && p.y < b.bottom) {
                return i;
            }
        }
        return -1;
    }

private:
    static constexpr int kMargin = 4;
    static constexpr int kSpan = 32; // cells across and down, from -kMargin
    static int Cell(double v) { return std::clamp(int(std::floor(v)) + kMargin, 0, kSpan - 1); }
    ChartBox Whole(std::size_t i) const {
        const ChartBox& b = layout_.patches[i].sample;
        const double w = (b.right - b.left) / 2, h = (b.bottom - b.top) / 2;
        return {b.left - w, b.top - h, b.right + w, b.bottom + h};
    }
    const ChartLayout& layout_;
    std::vector<std::vector<int>> cells_;
};

ChartScan Scan(const Scanner& s, const ChartLayout& layout, const ChartReference& ref,
               const ChartCorners& corners, int width, int height);

// A 16-bit scan painted by `value`: pixel (x, y) of patch `patch` (-1 for
// the chart's surround) gets the red, green and blue it gives, 0..1 each.
ChartScan Painted(const ChartLayout& layout, const ChartCorners& corners, int width, int height,
                  const std::function<Vector3(int patch, int x, int y)>& value);

// The linear ROMM encoding as a profile: straight curves, the ROMM matrix
// (RommOf's inverse), so that a colour written as RommOf(XYZ) reads back as
// itself.
inline const std::vector<std::uint8_t>& RommProfile() {
    static const std::vector<std::uint8_t> profile = [] {
        ShaperMatrix model;
        model.toXyz = {0.7977, 0.1352, 0.0313, 0.2880, 0.7119, 0.0001, 0.0, 0.0, 0.8249};
        for (std::vector<double>& curve : model.curves) {
            for (std::size_t i = 0; i < kShaperPoints; ++i) {
                curve.push_back(double(i) / double(kShaperPoints - 1));
            }
        }
        return *WriteInputProfile(model, "linear ROMM");
    }();
    return profile;
}

// An IT8 chart painted in the linear ROMM encoding, every patch as its
// reference but each grey `greyLift` L* lighter and its pixels `greySpread`
// L* either side in turn (a checkerboard), the surround dark.
inline ChartScan EncodedIt8(const ChartReference& reference, const ChartCorners& corners, int width,
                            int height, double greyLift, double greySpread) {
    const ChartLayout& layout = LayoutOf(ChartKind::It8);
    return Painted(layout, corners, width, height, [&](int patch, int x, int y) {
        if (patch < 0) {
            return Vector3{0.05, 0.05, 0.05};
        }
        const ChartPatch& at = layout.patches[std::size_t(patch)];
        LabColour lab = reference.Find(at.id)->lab;
        if (at.grey) {
            lab.L += greyLift + ((x + y) % 2 ? greySpread : -greySpread);
        }
        return RommOf(XyzOf(lab));
    });
}

// The chart's patches as the scanner reads them (levels / 255), each
// channel moved by normal noise of `noise` levels: what the profile fit
// takes, without a scan to sample.
inline std::vector<ProfilePatch> PatchesOf(const Scanner& s, const ChartLayout& layout,
                                           const ChartReference& reference, double noise = 0.0) {
    std::mt19937 random(s.seed);
    std::normal_distribution<double> error(0.0, noise > 0 ? noise : 1.0);
    std::vector<ProfilePatch> patches;
    for (const ChartPatch& patch : layout.patches) {
        const LabColour lab = reference.Find(patch.id)->lab;
        Vector3 device = LevelsOf(s, lab);
        for (double& v : device) {
            v = std::clamp((v + (noise > 0 ? error(random) : 0.0)) / 255.0, 0.0, 1.0);
        }
        patches.push_back({device, lab, patch.grey});
    }
    return patches;
}

// Corners of a chart of `pitch` pixels per patch, its grid's top-left at
// (left, top), turned by `degrees` about that corner.
inline ChartCorners Placed(const ChartLayout& layout, double left, double top, double pitch,
                           double degrees) {
    const double r = degrees * M_PI / 180.0;
    const auto at = [&](double u, double v) {
        return ImagePoint{left + pitch * (u * std::cos(r) - v * std::sin(r)),
                          top + pitch * (u * std::sin(r) + v * std::cos(r))};
    };
    return {at(0, 0), at(layout.columns, 0), at(layout.columns, layout.rows), at(0, layout.rows)};
}

// Corners of a chart of `pitch` pixels per patch whose whole extent (an
// IT8's grey scale too) is centred on (x, y), turned by `degrees` clockwise
// about that centre.
inline ChartCorners Centred(const ChartLayout& layout, double x, double y, double pitch,
                            double degrees) {
    const ChartBox e = ExtentOf(layout);
    const double r = degrees * M_PI / 180.0;
    const double cu = (e.left + e.right) / 2, cv = (e.top + e.bottom) / 2;
    const auto at = [&](double u, double v) {
        const double du = (u - cu) * pitch, dv = (v - cv) * pitch;
        return ImagePoint{x + du * std::cos(r) - dv * std::sin(r),
                          y + du * std::sin(r) + dv * std::cos(r)};
    };
    return {at(0, 0), at(layout.columns, 0), at(layout.columns, layout.rows), at(0, layout.rows)};
}

// The same corners seen in perspective: the first edge (top-left to
// top-right on the chart) shorter by `share` of its length, the opposite
// edge longer by as much, both about their middles.
inline ChartCorners InPerspective(ChartCorners c, double share) {
    const auto squeeze = [](ImagePoint& a, ImagePoint& b, double by) {
        const double dx = (b.x - a.x) * by / 2, dy = (b.y - a.y) * by / 2;
        a = {a.x + dx, a.y + dy};
        b = {b.x - dx, b.y - dy};
    };
    squeeze(c[0], c[1], share);
    squeeze(c[3], c[2], -share);
    return c;
}

// An IT8.7/2 reference of the tests' own: grid colours spread over the
// scanner's gamut (each ROMM channel share^2, share up to `lightest`), an
// exactly neutral grey scale from L* 93 to L* 8, Lab to two decimals.
// `shortIds` spells A1 and GS0 instead of A01 and GS00. With `lightest`
// above 0.91 some colours are lighter in a channel than the lightest grey.
inline std::vector<ReferencePatch> It8Patches(bool shortIds, double lightest = 0.85) {
    const ChartLayout& layout = LayoutOf(ChartKind::It8);
    const Matrix3 toXyz = {0.7977, 0.1352, 0.0313, 0.2880, 0.7119, 0.0001, 0.0, 0.0, 0.8249};
    std::vector<ReferencePatch> patches;
    std::mt19937 random(7);
    std::uniform_real_distribution<double> share(0.02, lightest);
    int grey = 0;
    for (const ChartPatch& patch : layout.patches) {
        LabColour lab;
        if (patch.grey) {
            lab = {93.0 - 85.0 * grey / 23.0, 0, 0};
            ++grey;
        } else {
            const Vector3 rgb = {std::pow(share(random), 2.0), std::pow(share(random), 2.0),
                                 std::pow(share(random), 2.0)};
            const Vector3 xyz = Times(toXyz, rgb);
            lab = LabOf({xyz[0], xyz[1], xyz[2]});
        }
        lab = {std::round(lab.L * 100) / 100, std::round(lab.a * 100) / 100,
               std::round(lab.b * 100) / 100};
        std::string id = patch.id;
        if (shortIds) {
            id = PatchKey(id);
        }
        patches.push_back({id, lab});
    }
    return patches;
}

// The patches as CGATS text: Lab, or XYZ with white at Y = 100.
inline std::string Cgats(const std::vector<ReferencePatch>& patches, bool xyz) {
    std::string text = "CGATS.17\nORIGINATOR \"tests\"\nNUMBER_OF_FIELDS 4\nBEGIN_DATA_FORMAT\n";
    text += xyz ? "SAMPLE_ID XYZ_X XYZ_Y XYZ_Z\n" : "SAMPLE_ID LAB_L LAB_A LAB_B\n";
    text += "END_DATA_FORMAT\nNUMBER_OF_SETS " + std::to_string(patches.size()) + "\nBEGIN_DATA\n";
    char line[128];
    for (const ReferencePatch& p : patches) {
        if (xyz) {
            const XyzColour c = XyzOf(p.lab);
            std::snprintf(line, sizeof line, "%s %.5f %.5f %.5f\n", p.id.c_str(), c.X * 100,
                          c.Y * 100, c.Z * 100);
        } else {
            std::snprintf(line, sizeof line, "%s %.2f %.2f %.2f\n", p.id.c_str(), p.lab.L, p.lab.a,
                          p.lab.b);
        }
        text += line;
    }
    return text + "END_DATA\n";
}

// The scan as a file of `format`, at 16 bits where the format holds them,
// carrying `profile` where given.
inline Reason WriteScan(const ChartScan& scan, const std::filesystem::path& path,
                        ImageFormat format, int depth = 16,
                        const std::vector<std::uint8_t>& profile = {}) {
    SampleImage image{{scan.width, scan.height, kRgbChannels, depth}, {}};
    image.bytes.resize(image.layout.RowBytes() * std::size_t(scan.height));
    for (std::size_t i = 0; i < scan.rgb.size(); ++i) {
        if (depth == 16) {
            std::memcpy(image.bytes.data() + 2 * i, &scan.rgb[i], 2);
        } else {
            image.bytes[i] = std::uint8_t((scan.rgb[i] + 128) / 257);
        }
    }
    WriteOptions options;
    options.Meta.profile = profile;
    return WriteSamples(
        image.layout, format, RunsOf(image),
        [&](const PositionedContents& c) { return WriteFileAtomically(path, c); }, options);
}

} // namespace simscan
