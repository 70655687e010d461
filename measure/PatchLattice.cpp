// Votes fall into bins of half a degree by 4 % of length and the densest
// 3 x 3 block of bins wins; its votes' medians are the turn and pitch. A
// patch's inside is 40 % to 100 % of its pitch wide (the edges between
// patches are not flat, a ColorChecker's frame takes 12 %), so only
// regions of that size take part once the pitch is known. Neighbours are
// looked up in cells of one pitch.
#include "measure/PatchLattice.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <deque>
#include <unordered_map>

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kQuarterTurn = 90.0;
constexpr double kAngleBin = 0.5;   // degrees
constexpr double kLengthBin = 0.04; // of the natural logarithm
constexpr double kLeastGap = 1.0;   // sides between the centres of voting neighbours
constexpr double kMostGap = 2.0;
constexpr double kMostSideRatio = 1.5;  // between two neighbours' sides
constexpr double kLeastSideShare = 0.4; // of the pitch
constexpr double kMostSideShare = 1.0;
constexpr double kLinkTolerance = 1.0 / 3.0; // pitches
constexpr int kFarthestLink = 2;             // pitches

struct Vote {
    double degrees;
    double length;
};

double Folded(double dx, double dy) {
    const double degrees = std::atan2(dy, dx) * 180.0 / kPi;
    return std::fmod(degrees + kQuarterTurn / 2 + 4 * kQuarterTurn, kQuarterTurn) -
           kQuarterTurn / 2;
}

bool Similar(const SquareRegion& a, const SquareRegion& b) {
    return a.side <= kMostSideRatio * b.side && b.side <= kMostSideRatio * a.side;
}

std::vector<Vote> Votes(std::span<const SquareRegion> regions) {
    std::vector<std::size_t> order(regions.size());
    for (std::size_t i = 0; i < order.size(); ++i) {
        order[i] = i;
    }
    std::sort(order.begin(), order.end(),
              [&](std::size_t a, std::size_t b) { return regions[a].x < regions[b].x; });
    std::vector<Vote> votes;
    for (std::size_t k = 0; k < order.size(); ++k) {
        const SquareRegion& a = regions[order[k]];
        const double reach = kMostGap * kMostSideRatio * a.side;
        for (std::size_t m = k + 1; m < order.size() && regions[order[m]].x - a.x <= reach; ++m) {
            const SquareRegion& b = regions[order[m]];
            const double dx = b.x - a.x, dy = b.y - a.y;
            const double length = std::hypot(dx, dy);
            const double side = std::max(a.side, b.side);
            const double degrees = Folded(dx, dy);
            if (Similar(a, b) && length >= kLeastGap * side && length <= kMostGap * side &&
                std::abs(degrees) <= kMostTurnDegrees) {
                votes.push_back({degrees, length});
            }
        }
    }
    return votes;
}

std::pair<int, int> BinOf(const Vote& v) {
    return {int(std::floor((v.degrees + kMostTurnDegrees) / kAngleBin)),
            int(std::floor(std::log(v.length) / kLengthBin))};
}

double Median(std::vector<double> values) {
    const auto middle = values.begin() + std::ptrdiff_t(values.size() / 2);
    std::nth_element(values.begin(), middle, values.end());
    return *middle;
}

// The most voted turn and pitch: the medians of the votes in the densest
// block of bins. Nothing without votes.
std::optional<Vote> Strongest(const std::vector<Vote>& votes) {
    std::unordered_map<long long, int> counts;
    const auto key = [](int a, int l) { return (long long)a * 100000 + l; };
    for (const Vote& v : votes) {
        const auto [a, l] = BinOf(v);
        ++counts[key(a, l)];
    }
    int best = 0;
    std::pair<int, int> bestBin{};
    for (const Vote& v : votes) {
        const auto [a, l] = BinOf(v);
        int sum = 0;
        for (int da = -1; da <= 1; ++da) {
            for (int dl = -1; dl <= 1; ++dl) {
                const auto it = counts.find(key(a + da, l + dl));
                sum += it == counts.end() ? 0 : it->second;
            }
        }
        if (sum > best) {
            best = sum, bestBin = {a, l};
        }
    }
    std::vector<double> degrees, lengths;
    for (const Vote& v : votes) {
        const auto [a, l] = BinOf(v);
        if (std::abs(a - bestBin.first) <= 1 && std::abs(l - bestBin.second) <= 1) {
            degrees.push_back(v.degrees), lengths.push_back(v.length);
        }
    }
    if (degrees.empty()) {
        return std::nullopt;
    }
    return Vote{Median(degrees), Median(lengths)};
}

// The regions of a patch's size, looked up by the cell of one pitch they lie in.
class RegionCells {
public:
    RegionCells(std::span<const SquareRegion> regions, double pitch) : pitch_(pitch) {
        for (std::size_t i = 0; i < regions.size(); ++i) {
            const double side = regions[i].side;
            if (side >= kLeastSideShare * pitch && side <= kMostSideShare * pitch) {
                cells_[Key(regions[i].x, regions[i].y)].push_back(i);
                kept_.push_back(i);
            }
        }
    }
    const std::vector<std::size_t>& Kept() const { return kept_; }

    // The kept region nearest (x, y) within `reach`, if any.
    std::optional<std::size_t> Near(std::span<const SquareRegion> regions, double x, double y,
                                    double reach) const {
        std::optional<std::size_t> best;
        double bestDistance = reach;
        const long long cx = Cell(x), cy = Cell(y);
        for (long long ky = cy - 1; ky <= cy + 1; ++ky) {
            for (long long kx = cx - 1; kx <= cx + 1; ++kx) {
                const auto it = cells_.find(Join(kx, ky));
                for (std::size_t i : it == cells_.end() ? kNone : it->second) {
                    const double d = std::hypot(regions[i].x - x, regions[i].y - y);
                    if (d < bestDistance) {
                        bestDistance = d, best = i;
                    }
                }
            }
        }
        return best;
    }

private:
    static inline const std::vector<std::size_t> kNone{};
    long long Cell(double v) const { return (long long)std::floor(v / pitch_); }
    static long long Join(long long kx, long long ky) { return kx * 1000003LL + ky; }
    long long Key(double x, double y) const { return Join(Cell(x), Cell(y)); }

    double pitch_;
    std::unordered_map<long long, std::vector<std::size_t>> cells_;
    std::vector<std::size_t> kept_;
};

// Each kept region numbered through the links, outwards from `seed`;
// `number` holds the numbers given so far (regions.size() marks none).
std::vector<LatticeNode> Numbered(std::span<const SquareRegion> regions, const RegionCells& cells,
                                  const Vote& lattice, std::size_t seed,
                                  std::vector<std::array<int, 2>>& number,
                                  std::vector<bool>& seen) {
    const double r = lattice.degrees * kPi / 180.0;
    const double ax = lattice.length * std::cos(r), ay = lattice.length * std::sin(r);
    const std::array<std::array<int, 4>, 4> steps = {
        {{1, 0, 1, 0}, {-1, 0, -1, 0}, {0, 1, 0, 1}, {0, -1, 0, -1}}};
    std::vector<LatticeNode> nodes;
    std::deque<std::size_t> queue{seed};
    seen[seed] = true;
    number[seed] = {0, 0};
    while (!queue.empty()) {
        const std::size_t at = queue.front();
        queue.pop_front();
        nodes.push_back({number[at][0], number[at][1], {regions[at].x, regions[at].y}});
        for (const auto& s : steps) {
            // Along the first direction (ax, ay) or the second (-ay, ax),
            // one pitch or, past a patch that is no region, two.
            for (int reach = 1; reach <= kFarthestLink; ++reach) {
                const double x = regions[at].x + reach * (s[0] * ax - s[1] * ay);
                const double y = regions[at].y + reach * (s[0] * ay + s[1] * ax);
                const auto next = cells.Near(regions, x, y, kLinkTolerance * lattice.length);
                if (next && Similar(regions[at], regions[*next])) {
                    if (!seen[*next]) {
                        seen[*next] = true;
                        number[*next] = {number[at][0] + reach * s[2],
                                         number[at][1] + reach * s[3]};
                        queue.push_back(*next);
                    }
                    break;
                }
            }
        }
    }
    return nodes;
}

PatchLattice LatticeOf(std::vector<LatticeNode> nodes, const Vote& lattice) {
    int minColumn = nodes.front().column, maxColumn = minColumn;
    int minRow = nodes.front().row, maxRow = minRow;
    for (const LatticeNode& n : nodes) {
        minColumn = std::min(minColumn, n.column), maxColumn = std::max(maxColumn, n.column);
        minRow = std::min(minRow, n.row), maxRow = std::max(maxRow, n.row);
    }
    for (LatticeNode& n : nodes) {
        n.column -= minColumn, n.row -= minRow;
    }
    return {std::move(nodes), maxColumn - minColumn + 1, maxRow - minRow + 1, lattice.length,
            lattice.degrees};
}

} // namespace

std::optional<PatchLattice> FindLattice(std::span<const SquareRegion> regions) {
    const std::optional<Vote> lattice = Strongest(Votes(regions));
    if (!lattice) {
        return std::nullopt;
    }
    const RegionCells cells(regions, lattice->length);
    std::vector<std::array<int, 2>> number(regions.size());
    std::vector<bool> seen(regions.size());
    std::vector<LatticeNode> largest;
    for (const std::size_t seed : cells.Kept()) {
        if (!seen[seed]) {
            std::vector<LatticeNode> nodes = Numbered(regions, cells, *lattice, seed, number, seen);
            if (nodes.size() > largest.size()) {
                largest = std::move(nodes);
            }
        }
    }
    if (largest.size() < 2) {
        return std::nullopt;
    }
    return LatticeOf(std::move(largest), *lattice);
}
