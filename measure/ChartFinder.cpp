// A quarter turn k takes the chart's point (x, y), in pitches from its
// grid's top-left corner, to lattice numbers (u, v) whose whole values are
// the patches' centres: k = 0 gives (x, y), 1 (R - y, x), 2 (C - x, R - y),
// 3 (y, C - x), each less a half and shifted by the grid's place in the
// lattice (C x R the grid's columns and rows). A lattice may lack outer
// columns or rows of the grid (patches too like their neighbours to stand
// apart, so that their insides join into one region that is no square),
// so a grid may lie at several places; each is scored on boxes of a
// quarter of the sampled boxes' size, which tell colours apart as well at
// a sixteenth of the cost.
#include "measure/ChartFinder.h"

#include "measure/ColourAgreement.h"
#include "measure/FlatRegions.h"
#include "measure/PatchLattice.h"
#include "measure/PatchSampling.h"
#include "measure/ProjectiveFit.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kSmallestShare = 5.0;     // the chart's size against the scan's shorter side
constexpr double kLeastReducedPitch = 9.0; // pixels of the reduced copy
constexpr double kLeastFoundShare = 0.4;   // of the grid's patches found in the lattice
constexpr double kScoredShare = 0.25;      // of a sampled box's side, about its centre
constexpr double kOutlier = 0.25;          // pitches off the map
constexpr int kFitRounds = 2;
constexpr int kQuarterTurns = 4;
constexpr double kCentre = 0.5;
// A lattice of fewer regions is no grid to speak of.
constexpr std::size_t kLeastGrid = 6;

int ReductionFor(const ChartScan& scan, const ChartLayout& layout) {
    const ChartBox e = ExtentOf(layout);
    const double longest = std::max(e.right - e.left, e.bottom - e.top);
    const double smallestPitch = std::min(scan.width, scan.height) / kSmallestShare / longest;
    return std::max(1, int(smallestPitch / kLeastReducedPitch));
}

// The map from lattice numbers to the scan, fitted to the regions' centres;
// regions off it by more than kOutlier pitches are dropped between rounds.
std::optional<Matrix3> LatticeMap(const PatchLattice& lattice) {
    std::vector<PointPair> pairs;
    for (const LatticeNode& n : lattice.nodes) {
        pairs.push_back({{double(n.column), double(n.row)}, n.centre});
    }
    std::optional<Matrix3> map = FitProjective(pairs);
    for (int round = 0; round < kFitRounds && map; ++round) {
        std::erase_if(pairs, [&](const PointPair& p) {
            const ImagePoint at = Project(*map, p.from);
            return std::hypot(at.x - p.to.x, at.y - p.to.y) > kOutlier * lattice.pitch;
        });
        map = FitProjective(pairs);
    }
    return map;
}

struct Placement {
    int turn = 0;   // quarter turns clockwise
    int column = 0; // the lattice numbers of the grid's first column and row
    int row = 0;
};

ImagePoint LatticePoint(const Placement& p, const ChartLayout& layout, double x, double y) {
    const double c = layout.columns, r = layout.rows;
    const double u[] = {x, r - y, c - x, y};
    const double v[] = {y, x, r - y, c - x};
    return {p.column + u[p.turn] - kCentre, p.row + v[p.turn] - kCentre};
}

ChartCorners CornersOf(const Placement& p, const ChartLayout& layout, const Matrix3& map) {
    const double c = layout.columns, r = layout.rows;
    return {
        Project(map, LatticePoint(p, layout, 0, 0)), Project(map, LatticePoint(p, layout, c, 0)),
        Project(map, LatticePoint(p, layout, c, r)), Project(map, LatticePoint(p, layout, 0, r))};
}

// Every place of every turn whose grid holds the lattice.
std::vector<Placement> Placements(const PatchLattice& lattice, const ChartLayout& layout) {
    std::vector<Placement> places;
    for (int turn = 0; turn < kQuarterTurns; ++turn) {
        const int across = turn % 2 == 0 ? layout.columns : layout.rows;
        const int down = turn % 2 == 0 ? layout.rows : layout.columns;
        if (lattice.columns > across || lattice.rows > down) {
            continue;
        }
        for (int column = lattice.columns - across; column <= 0; ++column) {
            for (int row = lattice.rows - down; row <= 0; ++row) {
                places.push_back({turn, column, row});
            }
        }
    }
    return places;
}

// The layout with every sampled box shrunk about its centre.
ChartLayout ScoredLayout(const ChartLayout& layout) {
    ChartLayout scored = layout;
    for (ChartPatch& patch : scored.patches) {
        ChartBox& b = patch.sample;
        const double x = (b.left + b.right) / 2, y = (b.top + b.bottom) / 2;
        const double w = (b.right - b.left) * kScoredShare / 2;
        const double h = (b.bottom - b.top) * kScoredShare / 2;
        b = {x - w, y - h, x + w, y + h};
    }
    return scored;
}

std::optional<ChartCorners> BestPlacement(const ChartScan& scan, const ChartLayout& layout,
                                          const ChartReference* reference,
                                          const PatchLattice& lattice, const Matrix3& map) {
    const ChartLayout scored = ScoredLayout(layout);
    std::optional<ChartCorners> best;
    double bestScore = -1;
    for (const Placement& place : Placements(lattice, layout)) {
        const ChartCorners corners = CornersOf(place, layout, map);
        if (const std::optional<ChartSamples> taken = SampleWithin(scan, scored, corners)) {
            const double score = Agreement(*taken, scored, reference);
            if (score > bestScore) {
                bestScore = score, best = corners;
            }
        }
    }
    return best;
}

} // namespace

FindOutcome FindChart(const ChartScan& scan, ChartKind kind, const ChartReference* reference) {
    const ChartLayout& layout = LayoutOf(kind);
    const std::vector<SquareRegion> regions =
        SquareRegions(ReduceScan(scan, ReductionFor(scan, layout)));
    const std::optional<PatchLattice> lattice = FindLattice(regions);
    if (!lattice || lattice->nodes.size() < kLeastGrid) {
        return ChartNotFound{};
    }
    const ChartNotFound other{lattice->columns, lattice->rows};
    const double gridPatches = double(layout.columns * layout.rows);
    if (double(lattice->nodes.size()) < kLeastFoundShare * gridPatches) {
        return other;
    }
    const std::optional<Matrix3> map = LatticeMap(*lattice);
    if (!map) {
        return other;
    }
    if (const std::optional<ChartCorners> corners =
            BestPlacement(scan, layout, reference, *lattice, *map)) {
        return *corners;
    }
    return other;
}
