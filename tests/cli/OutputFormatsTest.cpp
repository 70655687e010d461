// The text formats for other tools: SANE options, the .cube file and the
// table listing, each checked for channel order and per-level values.
#include "cli/CubeFile.h"
#include "cli/SaneOptions.h"
#include "cli/TableListing.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace {

// Tables that tell the channels apart at every level.
GammaTableSet Distinct() {
    GammaTableSet tables{};
    for (std::size_t i = 0; i < kGammaTableSize; ++i) {
        tables[kRed][i] = static_cast<std::int16_t>(i);
        tables[kGreen][i] = static_cast<std::int16_t>(255 - i);
        tables[kBlue][i] = static_cast<std::int16_t>(i / 2);
    }
    return tables;
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

std::vector<std::string> Words(const std::string& text) {
    std::vector<std::string> words;
    std::istringstream in(text);
    for (std::string word; in >> word;) {
        words.push_back(word);
    }
    return words;
}

std::string Joined(const GammaTable& table) {
    std::string text;
    for (std::size_t i = 0; i < table.size(); ++i) {
        text += (i ? "," : "") + std::to_string(table[i]);
    }
    return text;
}

TEST(SaneOptions, EachChannelGetsItsOwnOptionWithAll256Values) {
    const GammaTableSet tables = Distinct();
    const std::string text = FormatSaneOptions(tables);
    ASSERT_FALSE(text.empty());
    EXPECT_EQ(text.back(), '\n');
    EXPECT_EQ(text.find('\n'), text.size() - 1) << "one line";
    const std::vector<std::string> expected = {
        "--custom-gamma=yes",   "--red-gamma-table",  Joined(tables[kRed]), "--green-gamma-table",
        Joined(tables[kGreen]), "--blue-gamma-table", Joined(tables[kBlue])};
    EXPECT_EQ(Words(text), expected);
    EXPECT_EQ(Joined(tables[kGreen]).substr(0, 12), "255,254,253,");
}

TEST(CubeFile, OneNormalisedLinePerLevelInRedGreenBlueOrder) {
    std::string text;
    for (const std::string& line : FormatCubeFile(Distinct())) {
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

TEST(TableListing, LevelThenRedGreenBlueOnEveryLine) {
    const std::vector<std::string> lines = Lines(FormatTableListing(Distinct()));
    ASSERT_EQ(lines.size(), kGammaTableSize);
    EXPECT_EQ(lines[0], "0 0 255 0");
    EXPECT_EQ(lines[7], "7 7 248 3");
    EXPECT_EQ(lines[255], "255 255 0 127");
}

} // namespace
