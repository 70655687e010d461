// The text formats for other tools: SANE options, the .cube file and the
// table listing, each checked for channel order and per-level values.
#include "cli/CubeFile.h"
#include "cli/SaneOptions.h"
#include "cli/TableListing.h"
#include "curve/GammaTable.h"
#include "tests/support/TextLines.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace output_formats_test {

namespace {

// Tables that tell the channels apart at every level.
ChannelCurves Distinct(std::size_t entries = kGammaTableSize) {
    ChannelCurves tables;
    for (Curve& curve : tables) {
        curve.resize(entries);
    }
    for (std::size_t i = 0; i < entries; ++i) {
        tables[kRed][i] = static_cast<std::uint16_t>(i);
        tables[kGreen][i] = static_cast<std::uint16_t>(entries - 1 - i);
        tables[kBlue][i] = static_cast<std::uint16_t>(i / 2);
    }
    return tables;
}

using texttest::Lines;

std::vector<std::string> Words(const std::string& text) {
    std::vector<std::string> words;
    std::istringstream in(text);
    for (std::string word; in >> word;) {
        words.push_back(word);
    }
    return words;
}

std::string Joined(const Curve& table) {
    std::string text;
    for (std::size_t i = 0; i < table.size(); ++i) {
        text += (i ? "," : "") + std::to_string(table[i]);
    }
    return text;
}

TEST(SaneOptions, EachChannelGetsItsOwnOptionWithAll256Values) {
    const ChannelCurves tables = Distinct();
    SaneLine line{true, {}};
    for (const char* option : {"red-gamma-table", "green-gamma-table", "blue-gamma-table"}) {
        line.tables.push_back({option, tables[line.tables.size()]});
    }
    const std::string text = FormatSaneOptions(line);
    ASSERT_FALSE(text.empty());
    EXPECT_EQ(text.back(), '\n');
    EXPECT_EQ(text.find('\n'), text.size() - 1) << "one line";
    const std::vector<std::string> expected = {
        "--custom-gamma=yes",   "--red-gamma-table",  Joined(tables[kRed]), "--green-gamma-table",
        Joined(tables[kGreen]), "--blue-gamma-table", Joined(tables[kBlue])};
    EXPECT_EQ(Words(text), expected);
    EXPECT_EQ(Joined(tables[kGreen]).substr(0, 12), "255,254,253,");
}

TEST(SaneOptions, WithoutTheSwitchTheLineStartsWithTheFirstTable) {
    const SaneLine line{false, {{"gamma-table", {0, 9, 65535}}}};
    EXPECT_EQ(FormatSaneOptions(line), "--gamma-table 0,9,65535\n");
}

TEST(CubeFile, OneNormalisedLinePerLevelInRedGreenBlueOrder) {
    std::string text;
    for (const std::string& line : FormatCubeFile(Distinct(), 255)) {
        text += line;
    }
    const std::vector<std::string> lines = Lines(text);
    ASSERT_EQ(lines.size(), 2 + kGammaTableSize);
    EXPECT_EQ(lines[0].rfind("TITLE \"", 0), 0u);
    EXPECT_EQ(lines[1], "LUT_1D_SIZE 256");
    EXPECT_EQ(lines[2], "0.000000 1.000000 0.000000");
    EXPECT_EQ(lines[3], "0.003922 0.996078 0.000000");
    EXPECT_EQ(lines[2 + 128], "0.501961 0.498039 0.250980");
    EXPECT_EQ(lines.back(), "1.000000 0.000000 0.498039");
    EXPECT_EQ(text.find('\r'), std::string::npos);
}

// At 256 entries the window's 8-bit table; any other size carries 16 bits.
TEST(CubeFile, LargerLutsAreSixteenBitLevelsOverTheirTop) {
    EXPECT_EQ(CubeShapeOf(256), kWindowShape);
    EXPECT_EQ(CubeShapeOf(4096), (TableShape{4096, 65535}));
    EXPECT_EQ(CubeShapeOf(2), (TableShape{2, 65535}));
    const std::vector<std::string> lines = FormatCubeFile(Distinct(4096), 65535);
    ASSERT_EQ(lines.size(), 2u + 4096);
    EXPECT_EQ(lines[1], "LUT_1D_SIZE 4096\n");
    EXPECT_EQ(lines[2 + 1], "0.000015 0.062470 0.000000\n");
    EXPECT_EQ(lines.back(), "0.062486 0.000000 0.031235\n");
}

TEST(TableListing, LevelThenRedGreenBlueOnEveryLine) {
    const std::vector<std::string> lines = Lines(FormatTableListing(Distinct()));
    ASSERT_EQ(lines.size(), kGammaTableSize);
    EXPECT_EQ(lines[0], "0 0 255 0");
    EXPECT_EQ(lines[7], "7 7 248 3");
    EXPECT_EQ(lines[255], "255 255 0 127");
}

} // namespace

} // namespace output_formats_test
