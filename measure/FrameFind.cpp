// The holder is what is far denser than the clearest film; the strip runs
// along the longer side of what is left, and its band is the lines across
// that are mostly film. Along the band, the lines whose median density is
// the least are the base between the frames: they give a first base. With it every cell is the
// picture, the base or clearer film, and a frame is a run of lines along the strip whose share of
// picture cells stands high (found by hysteresis, so its edge is where the
// picture ends, not where a shadow dips). The frames' shared lines across
// the strip are found the same way, then each frame's own; the frames are
// found once more within those lines, where only the picture counts.
#include "measure/FrameFind.h"

#include "measure/StripProfile.h"

#include <algorithm>
#include <cmath>

namespace {

// The clearest film on the scan: its clearest 0.5 % (sprocket holes or base).
constexpr double kClearestShare = 0.995;
// The clearest lines along the strip, whose median stands for the base's
// level (the gaps between frames are a few percent of a strip's lines).
constexpr double kLeastLineShare = 0.01;
// Lines with at least this share of film cells bound the film.
constexpr double kFilmLineShare = 0.05;
// Lines across the strip with at least this share of the best line's film.
constexpr double kBandShare = 0.5;
// A profile's reference level, and a frame's run against it: it holds a
// line at kFrameHigh of the reference and ends below kFrameLow.
constexpr double kReferenceShare = 0.9;
constexpr double kFrameHigh = 0.5;
constexpr double kFrameLow = 0.15;
// Runs narrower than this share of the median frame are dust or a scratch.
constexpr double kLeastFrameShare = 0.3;
// A frame's own lines across may differ this much from all frames'.
constexpr double kAcrossTolerance = 0.1;
// Runs at least this long have their edges placed within a cell.
constexpr std::int32_t kRefinedLines = 4;
// Cells this near a frame are not taken for the base.
constexpr std::int32_t kBaseMarginCells = 2;
constexpr double kTopStep = 65535.0;
constexpr double kLeastStep = 0.5;

// The map seen along and across the strip.
struct StripView {
    const StripMap* map = nullptr;
    bool alongRows = false;
    std::int32_t Along() const { return alongRows ? map->rows : map->columns; }
    std::int32_t Across() const { return alongRows ? map->columns : map->rows; }
    std::size_t Index(std::int32_t a, std::int32_t c) const {
        const auto columns = std::size_t(map->columns);
        return alongRows ? std::size_t(a) * columns + std::size_t(c)
                         : std::size_t(c) * columns + std::size_t(a);
    }
};

std::uint16_t ClearestChannel(const CellSteps& cell) {
    return *std::max_element(cell.begin(), cell.end());
}

std::vector<bool> HolderCells(const StripMap& map) {
    TransmissionCounts counts(kTransmissionSteps, 0);
    for (const CellSteps& cell : map.cells) {
        ++counts[ClearestChannel(cell)];
    }
    const double clearest = TransmissionAt(counts, kClearestShare) * kTopStep;
    const double opaque = clearest * std::pow(10.0, -kHolderDensity);
    std::vector<bool> holder(map.cells.size());
    for (std::size_t i = 0; i < map.cells.size(); ++i) {
        holder[i] = double(ClearestChannel(map.cells[i])) < opaque;
    }
    return holder;
}

// How many of the lines hold at least kFilmLineShare of film cells.
std::int32_t FilmLines(const std::vector<std::int64_t>& film, std::int64_t cellsPerLine) {
    return std::int32_t(std::count_if(film.begin(), film.end(), [&](std::int64_t n) {
        return double(n) >= kFilmLineShare * double(cellsPerLine);
    }));
}

// True when the film's extent is taller than it is wide.
bool RunsDownTheScan(const StripMap& map, const std::vector<bool>& holder) {
    std::vector<std::int64_t> columns(std::size_t(map.columns), 0);
    std::vector<std::int64_t> rows(std::size_t(map.rows), 0);
    for (std::int32_t y = 0; y < map.rows; ++y) {
        for (std::int32_t x = 0; x < map.columns; ++x) {
            if (!holder[std::size_t(y) * std::size_t(map.columns) + std::size_t(x)]) {
                ++columns[std::size_t(x)];
                ++rows[std::size_t(y)];
            }
        }
    }
    return std::int64_t{FilmLines(rows, map.columns)} * map.cell >
           std::int64_t{FilmLines(columns, map.rows)} * map.cell;
}

LineRun LongestOf(const std::vector<LineRun>& runs) {
    LineRun longest;
    for (const LineRun& run : runs) {
        if (run.Length() > longest.Length()) {
            longest = run;
        }
    }
    return longest;
}

// The lines across that are mostly film: the strip's band.
LineRun FilmBand(const StripView& view, const std::vector<bool>& holder) {
    Profile share(std::size_t(view.Across()), 0.0);
    for (std::int32_t c = 0; c < view.Across(); ++c) {
        std::int64_t film = 0;
        for (std::int32_t a = 0; a < view.Along(); ++a) {
            film += holder[view.Index(a, c)] ? 0 : 1;
        }
        share[std::size_t(c)] = double(film) / double(view.Along());
    }
    const double best = *std::max_element(share.begin(), share.end());
    return LongestOf(RunsAbove(share, kBandShare * best, kBandShare * best));
}

double SummedDensity(const CellSteps& cell) {
    const std::vector<float>& density = StepDensities();
    return double(density[cell[0]]) + density[cell[1]] + density[cell[2]];
}

// Each line along the strip's median summed density over the band's film.
Profile MedianDensities(const StripView& view, const std::vector<bool>& holder, LineRun band) {
    Profile medians(std::size_t(view.Along()), -1.0);
    std::vector<double> line;
    for (std::int32_t a = 0; a < view.Along(); ++a) {
        line.clear();
        for (std::int32_t c = band.begin; c < band.end; ++c) {
            const std::size_t i = view.Index(a, c);
            if (!holder[i]) {
                line.push_back(SummedDensity(view.map->cells[i]));
            }
        }
        if (line.size() * 2 >= std::size_t(band.Length())) {
            medians[std::size_t(a)] = PercentileOf(line, 0.5);
        }
    }
    return medians;
}

// The median steps of the band's film on the lines whose median density
// is the least (within half kImageDensity): the base between and beside
// the frames, since no picture is clearer than unexposed film.
std::optional<ChannelValues> FirstBase(const StripView& view, const std::vector<bool>& holder,
                                       LineRun band) {
    const Profile medians = MedianDensities(view, holder, band);
    std::vector<double> film;
    std::copy_if(medians.begin(), medians.end(), std::back_inserter(film),
                 [](double m) { return m >= 0.0; });
    if (film.empty()) {
        return std::nullopt;
    }
    const double split = PercentileOf(film, kLeastLineShare) + kImageDensity / 2;
    ChannelCounts counts = EmptyChannelCounts();
    for (std::int32_t a = 0; a < view.Along(); ++a) {
        const double m = medians[std::size_t(a)];
        for (std::int32_t c = band.begin; m >= 0.0 && m <= split && c < band.end; ++c) {
            const std::size_t i = view.Index(a, c);
            for (std::size_t ch = 0; ch < kChannelCount && !holder[i]; ++ch) {
                ++counts[ch][view.map->cells[i][ch]];
            }
        }
    }
    ChannelValues base{};
    for (std::size_t ch = 0; ch < kChannelCount; ++ch) {
        base[ch] = TransmissionAt(counts[ch], 0.5);
    }
    return base;
}

double SummedDensityOf(const ChannelValues& transmissions) {
    double density = 0.0;
    for (const double t : transmissions) {
        density -= std::log10(std::max(t, kLeastStep / kTopStep));
    }
    return density;
}

std::vector<CellKind> Classify(const StripMap& map, const std::vector<bool>& holder,
                               double baseDensity) {
    const std::vector<float>& density = StepDensities();
    std::vector<CellKind> kinds(map.cells.size());
    for (std::size_t i = 0; i < kinds.size(); ++i) {
        const CellSteps& cell = map.cells[i];
        const double above =
            double(density[cell[0]]) + density[cell[1]] + density[cell[2]] - baseDensity;
        kinds[i] = holder[i]                ? CellKind::Holder
                   : above > kImageDensity  ? CellKind::Image
                   : above < -kImageDensity ? CellKind::Clear
                                            : CellKind::Base;
    }
    return kinds;
}

// The share of picture cells among the film cells of each line along the
// strip (`along`) or across it, over the lines the other way in `over`.
Profile Shares(const StripView& view, const std::vector<CellKind>& kinds, bool along,
               const std::vector<LineRun>& over) {
    Profile shares(std::size_t(along ? view.Along() : view.Across()), 0.0);
    for (std::size_t line = 0; line < shares.size(); ++line) {
        std::int64_t film = 0;
        std::int64_t picture = 0;
        for (const LineRun& run : over) {
            for (std::int32_t k = run.begin; k < run.end; ++k) {
                const auto l = std::int32_t(line);
                const CellKind kind = kinds[along ? view.Index(l, k) : view.Index(k, l)];
                film += kind == CellKind::Holder ? 0 : 1;
                picture += kind == CellKind::Image ? 1 : 0;
            }
        }
        shares[line] = film == 0 ? 0.0 : double(picture) / double(film);
    }
    return shares;
}

Profile AlongShares(const StripView& view, const std::vector<CellKind>& kinds, LineRun across) {
    return Shares(view, kinds, true, {across});
}

Profile AcrossShares(const StripView& view, const std::vector<CellKind>& kinds,
                     const std::vector<LineRun>& alongRuns) {
    return Shares(view, kinds, false, alongRuns);
}

// Runs that stand high against the profile's own reference level.
std::vector<LineRun> HighRuns(const Profile& profile) {
    const double reference = PercentileOf(profile, kReferenceShare);
    if (!(reference > 0.0)) {
        return {};
    }
    return RunsAbove(profile, kFrameHigh * reference, kFrameLow * reference);
}

// The frames along the strip: runs no narrower than kLeastFrameShare of
// the median run.
std::vector<LineRun> FrameRuns(const Profile& shares) {
    std::vector<LineRun> runs = HighRuns(shares);
    std::vector<double> widths;
    for (const LineRun& run : runs) {
        widths.push_back(run.Length());
    }
    const double median = PercentileOf(widths, 0.5);
    std::erase_if(runs,
                  [&](const LineRun& run) { return run.Length() < kLeastFrameShare * median; });
    return runs;
}

// A frame's own lines across: the run of its profile that overlaps the
// frames' shared run most, unless it differs from that one by more than
// kAcrossTolerance of its length (a dark frame): then the shared run.
LineRun FrameAcross(const StripView& view, const std::vector<CellKind>& kinds, LineRun along,
                    LineRun shared) {
    LineRun best;
    std::int32_t overlap = 0;
    for (const LineRun& run : HighRuns(AcrossShares(view, kinds, {along}))) {
        const std::int32_t o = std::min(run.end, shared.end) - std::max(run.begin, shared.begin);
        if (o > overlap) {
            overlap = o;
            best = run;
        }
    }
    const double tolerance = kAcrossTolerance * shared.Length();
    if (std::abs(best.begin - shared.begin) > tolerance ||
        std::abs(best.end - shared.end) > tolerance) {
        return shared;
    }
    return best;
}

// A frame's edges along one axis, in cells, to a fraction of a cell.
struct Edges {
    double begin = 0.0;
    double end = 0.0;
};

// The mean summed density above the base of cells (line, k) for k in
// `over`, lines along the strip when `along`, else across it; 0 off the map.
double LineDensity(const StripView& view, double baseDensity, bool along, std::int32_t line,
                   LineRun over) {
    if (line < 0 || line >= (along ? view.Along() : view.Across()) || over.Length() <= 0) {
        return 0.0;
    }
    double sum = 0.0;
    for (std::int32_t k = over.begin; k < over.end; ++k) {
        const std::size_t i = along ? view.Index(line, k) : view.Index(k, line);
        sum += SummedDensity(view.map->cells[i]) - baseDensity;
    }
    return std::max(0.0, sum / over.Length());
}

// Where a cell holds several pixels, the line at a run's edge and the one
// beside it are partly picture: each edge moves by the share of picture of
// those lines, measured as their density against the next line inside.
Edges Refined(const StripView& view, double baseDensity, bool along, LineRun run, LineRun over) {
    Edges edges{double(run.begin), double(run.end)};
    if (view.map->cell == 1 || run.Length() < kRefinedLines) {
        return edges;
    }
    const auto density = [&](std::int32_t line) {
        return LineDensity(view, baseDensity, along, line, over);
    };
    const auto share = [&](std::int32_t line, std::int32_t inner) {
        const double reference = density(inner);
        return reference > 0.0 ? std::clamp(density(line) / reference, 0.0, 1.0) : 0.0;
    };
    edges.begin += 1.0 - share(run.begin, run.begin + 1) - share(run.begin - 1, run.begin + 1);
    edges.end += share(run.end, run.end - 2) - (1.0 - share(run.end - 1, run.end - 2));
    return edges;
}

PixelRect PixelsOf(const StripView& view, Edges along, Edges across) {
    const StripMap& map = *view.map;
    const auto span = [&](Edges edges, std::int32_t size) {
        const auto from =
            std::int32_t(std::clamp<long>(std::lround(edges.begin * map.cell), 0, size));
        const auto to =
            std::int32_t(std::clamp<long>(std::lround(edges.end * map.cell), from, size));
        return std::pair(from, to - from);
    };
    if (view.alongRows) {
        const auto [top, height] = span(along, map.height);
        const auto [left, width] = span(across, map.width);
        return {left, top, width, height};
    }
    const auto [left, width] = span(along, map.width);
    const auto [top, height] = span(across, map.height);
    return {left, top, width, height};
}

// The base's cells: film of the band that is neither clearer nor the
// picture, kBaseMarginCells or more from every frame.
ChannelCounts BaseCounts(const StripView& view, const std::vector<CellKind>& kinds, LineRun band,
                         const std::vector<LineRun>& frames) {
    ChannelCounts counts = EmptyChannelCounts();
    for (std::int32_t a = 0; a < view.Along(); ++a) {
        const bool nearFrame = std::any_of(frames.begin(), frames.end(), [&](const LineRun& f) {
            return a >= f.begin - kBaseMarginCells && a < f.end + kBaseMarginCells;
        });
        for (std::int32_t c = band.begin; !nearFrame && c < band.end; ++c) {
            const std::size_t i = view.Index(a, c);
            for (std::size_t ch = 0; ch < kChannelCount && kinds[i] == CellKind::Base; ++ch) {
                ++counts[ch][view.map->cells[i][ch]];
            }
        }
    }
    return counts;
}

// The frames within the band, once the cells are classified.
StripFrames FramesOfBand(const StripView& view, const std::vector<CellKind>& kinds, LineRun band,
                         double baseDensity) {
    StripFrames found;
    found.alongRows = view.alongRows;
    found.cell = view.map->cell;
    const std::vector<LineRun> first = FrameRuns(AlongShares(view, kinds, band));
    if (first.empty()) {
        return found;
    }
    const LineRun shared = LongestOf(HighRuns(AcrossShares(view, kinds, first)));
    if (shared.Length() == 0) {
        return found;
    }
    const std::vector<LineRun> frames = FrameRuns(AlongShares(view, kinds, shared));
    for (const LineRun& along : frames) {
        const LineRun across = FrameAcross(view, kinds, along, shared);
        found.frames.push_back(PixelsOf(view, Refined(view, baseDensity, true, along, across),
                                        Refined(view, baseDensity, false, across, along)));
    }
    found.base = BaseCounts(view, kinds, band, frames);
    return found;
}

} // namespace

StripFrames FindFrames(const StripMap& map) {
    if (map.cells.empty()) {
        return {};
    }
    const std::vector<bool> holder = HolderCells(map);
    const StripView view{&map, RunsDownTheScan(map, holder)};
    const LineRun band = FilmBand(view, holder);
    const std::optional<ChannelValues> base =
        band.Length() > 0 ? FirstBase(view, holder, band) : std::nullopt;
    if (!base) {
        return {};
    }
    const double baseDensity = SummedDensityOf(*base);
    return FramesOfBand(view, Classify(map, holder, baseDensity), band, baseDensity);
}
