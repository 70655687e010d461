// roll's picks on strips: "STRIP:L,T,W,H" read as a strip's name and a
// rectangle, the strip found among the roll's by its name or file name,
// and a whole roll line into its command.
#include "cli/StripPick.h"
#include "cli/CliArgs.h"

#include <gtest/gtest.h>

namespace strip_pick_test {

namespace {

namespace fs = std::filesystem;

TEST(StripPickTest, AStripsNameIsAllBeforeTheLastColon) {
    const struct {
        const char* text;
        std::optional<StripPick> want;
    } cases[] = {
        {"a.pnm:1,2,3,4", StripPick{"a.pnm", {1, 2, 3, 4}}},
        {"scans/c:d.tif:0,0,5,5", StripPick{"scans/c:d.tif", {0, 0, 5, 5}}},
        {"1,2,3,4", std::nullopt},
        {":1,2,3,4", std::nullopt},
        {"a.pnm:1,2,0,4", std::nullopt},
        {"a.pnm:1,2,3", std::nullopt},
        {"a.pnm:-1,2,3,4", std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ParseStripPick(c.text), c.want) << c.text;
    }
}

TEST(StripPickTest, APickNamesItsStripByPathOrByAFileNameNoOtherHas) {
    const std::vector<fs::path> strips = {"roll/a.tif", "roll/b.tif", "old/b.tif", "c.tif"};
    const auto of = [&](const char* strip) { return StripOfPick({strip, {0, 0, 1, 1}}, strips); };
    EXPECT_EQ(of("roll/b.tif"), 1u);
    EXPECT_EQ(of("old/b.tif"), 2u);
    EXPECT_EQ(of("a.tif"), 0u);
    EXPECT_EQ(of("c.tif"), 3u);
    EXPECT_EQ(of("b.tif"), std::nullopt); // two strips of that name
    EXPECT_EQ(of("d.tif"), std::nullopt);
}

TEST(StripPickTest, ARollLineGivesItsFolderStripsPicksAndFormat) {
    const std::vector<std::string> words = {
        "roll",      "p.tvp",          "out",      "s1.pnm", "s2.tif", "--base", "s1.pnm:0,0,4,4",
        "--neutral", "s2.tif:1,1,2,2", "--format", "PNG"};
    const std::vector<std::string_view> args(words.begin(), words.end());
    const ParsedArgs parsed = ParseArgs(args);
    ASSERT_EQ(parsed.status, ParseStatus::Run) << parsed.message;
    const CliCommand& command = parsed.command;
    EXPECT_EQ(command.kind, CommandKind::Roll);
    EXPECT_EQ(command.params, "p.tvp");
    EXPECT_EQ(command.output, "out");
    EXPECT_EQ(command.inputs, (std::vector<fs::path>{"s1.pnm", "s2.tif"}));
    EXPECT_EQ(command.stripBase, (StripPick{"s1.pnm", {0, 0, 4, 4}}));
    EXPECT_EQ(command.stripNeutrals, (std::vector<StripPick>{{"s2.tif", {1, 1, 2, 2}}}));
    EXPECT_EQ(command.format, "PNG");
}

} // namespace

} // namespace strip_pick_test
