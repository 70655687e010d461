// The wide level mapping of stored B, G, R rows against the portable loop:
// every row length up to a few vectors, rows in either order, and not a byte
// written outside the rows.
#include "cli/BgrRows.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

BgrLevels Levels() {
    BgrLevels levels{};
    for (std::size_t i = 0; i < kStoredLevels; ++i) {
        levels[0][i] = static_cast<std::uint8_t>(i * 7 + 3);
        levels[1][i] = static_cast<std::uint8_t>(255 - i);
        levels[2][i] = static_cast<std::uint8_t>(i ^ 0x5A);
    }
    return levels;
}

constexpr std::uint8_t kGuard = 0xEE;
constexpr std::int32_t kRows = 3;

// Rows `stride` apart in a buffer with guard bytes around every row.
std::vector<std::uint8_t> Mapped(bool wide, std::int64_t rowBytes, bool reversed) {
    const std::int64_t stride = rowBytes + 8;
    std::vector<std::uint8_t> in(static_cast<std::size_t>(stride * kRows));
    for (std::size_t i = 0; i < in.size(); ++i) {
        in[i] = static_cast<std::uint8_t>(i * 131 + i / 256);
    }
    std::vector<std::uint8_t> out(in.size() + 64, kGuard);
    RowBlock block;
    block.in = in.data() + (reversed ? (kRows - 1) * stride : 0);
    block.inStride = reversed ? -stride : stride;
    block.out = out.data() + 4;
    block.outStride = stride;
    block.rows = kRows;
    if (wide) {
        MapBgrRowsWide(block, rowBytes, Levels());
    } else {
        MapBgrRowsPortable(block, rowBytes, Levels());
    }
    return out;
}

TEST(BgrRows, TheWideMappingGivesThePortableBytesAndTouchesNothingElse) {
    if (!HasWideBgrMapping()) {
        GTEST_SKIP() << "this processor has no 64-byte byte permutes";
    }
    for (std::int64_t rowBytes = 0; rowBytes <= 200; ++rowBytes) {
        for (const bool reversed : {false, true}) {
            SCOPED_TRACE(testing::Message()
                         << rowBytes << " bytes a row" << (reversed ? ", reversed" : ""));
            EXPECT_EQ(Mapped(true, rowBytes, reversed), Mapped(false, rowBytes, reversed));
        }
    }
}

} // namespace
