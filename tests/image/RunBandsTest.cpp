// Runs cut into bands: however the runs come (a band each, across bands, in
// any order, on several threads), every band is encoded once from exactly
// its rows, a band a run holds whole straight from that run, and the bands
// are handed on in order; a failed encode or hand-on stops the rest.
#include "image/formats/RunBands.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

namespace run_bands_test {

namespace {

// 5 bands of 4 rows, the last of 2; row y holds the byte y throughout.
constexpr BandPlan kPlan{3, 4, 18};

std::vector<std::uint8_t> Rows() {
    std::vector<std::uint8_t> rows;
    for (std::int32_t y = 0; y < kPlan.height; ++y) {
        rows.insert(rows.end(), std::size_t(kPlan.rowBytes), std::uint8_t(y));
    }
    return rows;
}

struct Seen {
    bool taken = true;
    bool done = false;
    std::vector<std::int32_t> emitted; // the first row each band's bytes held
    int straight = 0;                  // bands encoded from the runs' own rows
};

// Hands `runs` (first row, count) to the bands, one thread per group of runs;
// the encode fails at band `failEncode`, the hand-on at band `failEmit`.
Seen Hand(const std::vector<std::vector<std::pair<std::int32_t, std::int32_t>>>& groups,
          std::int32_t failEncode = -1, std::int32_t failEmit = -1) {
    const std::vector<std::uint8_t> rows = Rows();
    Seen outcome;
    std::atomic<int> straight{0};
    RunBands bands(
        kPlan,
        [&](std::int32_t index, std::span<const std::uint8_t> band,
            std::vector<std::uint8_t>& out) {
            const auto at = static_cast<std::size_t>(index * kPlan.bandRows * kPlan.rowBytes);
            EXPECT_TRUE(std::equal(band.begin(), band.end(), rows.begin() + std::ptrdiff_t(at)));
            EXPECT_EQ(band.size(), std::size_t(kPlan.RowsOf(index) * kPlan.rowBytes));
            straight += band.data() >= rows.data() && band.data() < rows.data() + rows.size();
            out.assign(1, band[0]);
            return index != failEncode;
        },
        [&](std::int32_t index, std::span<const std::uint8_t> bytes) {
            EXPECT_EQ(index, std::int32_t(outcome.emitted.size()));
            outcome.emitted.push_back(bytes[0]);
            return index != failEmit;
        });
    std::atomic<bool> taken{true};
    std::vector<std::thread> threads;
    for (const auto& group : groups) {
        threads.emplace_back([&, group] {
            for (const auto& [first, count] : group) {
                if (!bands.Take(first, count, rows.data() + first * kPlan.rowBytes)) {
                    taken = false;
                }
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    outcome.taken = taken;
    outcome.done = bands.Done();
    outcome.straight = straight;
    return outcome;
}

TEST(RunBands, EveryBandIsEncodedOnceFromItsRowsAndHandedOnInOrder) {
    struct Case {
        const char* name;
        std::vector<std::vector<std::pair<std::int32_t, std::int32_t>>> groups;
        int straight;
    };
    const Case cases[] = {
        {"a band a run, two threads, last bands first",
         {{{16, 2}, {8, 4}, {0, 4}}, {{12, 4}, {4, 4}}},
         5},
        {"all rows in one run", {{{0, 18}}}, 5},
        {"runs of 3 rows in order", {{{0, 3}, {3, 3}, {6, 3}, {9, 3}, {12, 3}, {15, 3}}}, 1},
        {"runs across bands from three threads, in any order",
         {{{13, 5}, {0, 2}}, {{7, 6}, {2, 1}}, {{3, 4}}},
         2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Seen outcome = Hand(c.groups);
        EXPECT_TRUE(outcome.taken);
        EXPECT_TRUE(outcome.done);
        EXPECT_EQ(outcome.emitted, (std::vector<std::int32_t>{0, 4, 8, 12, 16}));
        EXPECT_EQ(outcome.straight, c.straight);
    }
}

TEST(RunBands, AFailedEncodeOrHandOnStopsTheBandsAfterIt) {
    const std::vector<std::vector<std::pair<std::int32_t, std::int32_t>>> inOrder = {
        {{0, 4}, {4, 4}, {8, 4}, {12, 4}, {16, 2}}};
    struct Case {
        const char* name;
        std::int32_t failEncode;
        std::int32_t failEmit;
        std::vector<std::int32_t> emitted;
    };
    const Case cases[] = {
        {"the third band's encode", 2, -1, {0, 4}},
        {"the second band's hand-on", -1, 1, {0, 4}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Seen outcome = Hand(inOrder, c.failEncode, c.failEmit);
        EXPECT_FALSE(outcome.taken);
        EXPECT_FALSE(outcome.done);
        EXPECT_EQ(outcome.emitted, c.emitted);
    }
}

} // namespace

} // namespace run_bands_test
