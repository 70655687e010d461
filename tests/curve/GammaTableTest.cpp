#include "curve/GammaTable.h"
#include "curve/ChannelParams.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <utility>
#include <vector>

namespace gamma_table_test {

namespace {

struct CurveCase {
    const char* name;
    ParamPositions positions;
    std::vector<std::pair<int, int>> entries; // (input level, expected output)
};

GammaTable TableFor(const ParamPositions& pos) {
    GammaTable table{};
    ComputeChannelTable(MakeChannelParams(pos), table);
    return table;
}

void PrintTo(const CurveCase& c, std::ostream* os) {
    *os << c.name;
}

class WorkedExamples : public testing::TestWithParam<CurveCase> {};

TEST_P(WorkedExamples, GiveTheListedEntries) {
    const CurveCase& c = GetParam();
    const GammaTable table = TableFor(c.positions);
    for (const auto& [level, expected] : c.entries) {
        EXPECT_EQ(table[level], expected) << "input level " << level;
    }
}

const CurveCase kCases[] = {
    {"Defaults",
     {0, 255, 99, 200},
     {{0, 0},
      {1, 4},
      {2, 7},
      {3, 11},
      {4, 15},
      {5, 18},
      {6, 22},
      {7, 25},
      {8, 28},
      {10, 34},
      {16, 49},
      {32, 77},
      {64, 118},
      {128, 175},
      {192, 219},
      {254, 254},
      {255, 255}}},
    {"Black5White230Alpha1150Gamma180",
     {50, 230, 150, 180},
     {{0, 0},     {1, 0},     {2, 0},     {3, 0},     {4, 0},     {5, 0},    {6, 2},   {7, 5},
      {8, 7},     {10, 12},   {16, 27},   {17, 30},   {18, 32},   {19, 35},  {32, 61}, {64, 108},
      {128, 175}, {192, 228}, {229, 254}, {230, 255}, {231, 255}, {255, 255}}},
    {"PurePowerLawWithBlack",
     {14, 255, 0, 150},
     {{0, 0},
      {1, 0},
      {2, 5},
      {3, 9},
      {4, 12},
      {5, 15},
      {10, 27},
      {64, 100},
      {128, 160},
      {255, 255}}},
    {"PureSquareRootLaw",
     {0, 255, 0, 200},
     {{0, 0}, {1, 16}, {2, 23}, {3, 28}, {4, 32}, {16, 64}, {64, 128}, {128, 181}, {255, 255}}},
    {"CloseToBt709",
     {0, 255, 99, 222},
     {{1, 5}, {2, 9}, {3, 14}, {4, 18}, {5, 22}, {64, 125}, {128, 180}}},
    {"Black37",
     {37, 255, 99, 200},
     {{0, 0}, {1, 0}, {2, 0}, {3, 0}, {4, 1}, {5, 5}, {6, 8}, {7, 12}, {8, 16}, {9, 20}}},
};

INSTANTIATE_TEST_SUITE_P(Curve, WorkedExamples, testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(GammaTable, DefaultTableBeginsWithTheListedSixteenEntries) {
    const GammaTable table = TableFor(ParamPositions{});
    const int expected[] = {0, 4, 7, 11, 15, 18, 22, 25, 28, 31, 34, 37, 39, 42, 44, 46};
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(table[i], expected[i]) << "input level " << i;
    }
}

TEST(GammaTable, ResetConstantsAndDefaultPositionsGiveIdenticalTables) {
    GammaTable fromConstants{};
    ComputeGammaTable(255.0, fromConstants, 0.5, 1.099, 0.0);
    EXPECT_EQ(fromConstants, TableFor(ParamPositions{}));
}

TEST(GammaTable, OverwritesEveryEntry) {
    GammaTable table;
    table.fill(-7);
    ComputeGammaTable(255.0, table, 0.5, 1.099, 0.0);
    for (int i = 0; i < 256; ++i) {
        EXPECT_NE(table[i], -7) << i;
    }
}

// Positions to sweep per parameter: both ends and a broad sample between.
std::vector<int> SweepOf(Param p, int step) {
    std::vector<int> values;
    for (int v = SpecOf(p).minPos; v < SpecOf(p).maxPos; v += step) {
        values.push_back(v);
    }
    values.push_back(SpecOf(p).maxPos);
    return values;
}

// Empty when the table has the shape every caller relies on, else the fault.
std::string ShapeFault(const GammaTable& t, const ChannelParams& c) {
    for (int i = 0; i < 256; ++i) {
        const char* fault = nullptr;
        if (t[i] < 0 || t[i] > 255) {
            fault = "entry outside 0..255";
        } else if (i > 0 && t[i] < t[i - 1]) {
            fault = "decreasing";
        } else if (i <= c.Black && t[i] != 0) {
            fault = "not 0 at or below Black";
        } else if (i >= c.White && t[i] != 255) {
            fault = "not 255 at or above White";
        }
        if (fault != nullptr) {
            return std::string(fault) + " at input level " + std::to_string(i);
        }
    }
    return {};
}

TEST(GammaTable, HoldsItsShapeOverTheSliderRanges) {
    int combinations = 0;
    for (int black : SweepOf(Param::Black, 7)) {
        for (int white : SweepOf(Param::White, 6)) {
            for (int alpha : SweepOf(Param::Alpha, 13)) {
                for (int gamma : SweepOf(Param::Gamma, 9)) {
                    const ParamPositions pos{black, white, alpha, gamma};
                    ++combinations;
                    ASSERT_EQ(ShapeFault(TableFor(pos), MakeChannelParams(pos)), "")
                        << "Black " << black << ", White " << white << ", Alpha " << alpha
                        << ", Gamma " << gamma;
                }
            }
        }
    }
    EXPECT_GT(combinations, 20000);
}

} // namespace

} // namespace gamma_table_test
