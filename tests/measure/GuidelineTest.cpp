// The guidelines' limits as the program carries them, and the verdict they
// give: the one data file reads whole, each guideline's levels run from the
// strictest limits to the loosest, a line that is not one is named by its
// number, and a level is passed only when every limit found for it holds.
#include "measure/Verdict.h"

#include <gtest/gtest.h>

#include <map>
#include <ostream>

namespace guideline_test {

namespace {

std::vector<std::string> LevelsOf(const std::vector<GuidelineLimit>& limits,
                                  const std::string& guideline) {
    std::vector<std::string> levels;
    for (const GuidelineLimit& l : limits) {
        if (l.guideline == guideline && (levels.empty() || levels.back() != l.level)) {
            levels.push_back(l.level);
        }
    }
    return levels;
}

TEST(GuidelineLimits, TheBuiltInTableHoldsEveryGuidelineBestLevelFirst) {
    const std::vector<GuidelineLimit>& limits = GuidelineLimits();
    EXPECT_EQ(LevelsOf(limits, "FADGI 2023"),
              (std::vector<std::string>{"4 stars", "3 stars", "2 stars", "1 star"}));
    EXPECT_EQ(LevelsOf(limits, "ISO 19264-1"), (std::vector<std::string>{"A", "B", "C"}));
    EXPECT_EQ(LevelsOf(limits, "Metamorfoze"),
              (std::vector<std::string>{"Full", "Light", "Extra Light"}));
    for (const GuidelineLimit& l : limits) {
        EXPECT_FALSE(l.document.empty()) << l.guideline << " " << l.level;
        EXPECT_FALSE(l.source.empty()) << l.guideline << " " << l.level;
        EXPECT_GT(l.limit, 0.0);
    }
}

TEST(GuidelineLimits, LimitsLoosenFromEachLevelToTheNext) {
    std::map<std::pair<std::string, ChartFigure>, double> previous;
    for (const GuidelineLimit& l : GuidelineLimits()) {
        const auto key = std::make_pair(l.guideline, l.figure);
        if (previous.count(key) != 0) {
            EXPECT_GE(l.limit, previous[key])
                << l.guideline << " " << l.level << " " << FigureKey(l.figure);
        }
        previous[key] = l.limit;
    }
}

struct BadTable {
    const char* name;
    const char* text;
    std::size_t line;
};

void PrintTo(const BadTable& c, std::ostream* out) {
    *out << c.name;
}

constexpr const char* kSource = "# limits\nsource\tdoc\tthe document\n";

const BadTable kBadTables[] = {
    {"FieldMissing", "source\tdoc\tthe document\nG\tA\ttone-dl\t<=\t2\tdoc\n", 2},
    {"UnknownFigure", "source\tdoc\tthe document\nG\tA\tsharpness\t<=\t2\tdoc\tT\n", 2},
    {"UnknownTest", "source\tdoc\tthe document\nG\tA\ttone-dl\t>\t2\tdoc\tT\n", 2},
    {"DecimalComma", "source\tdoc\tthe document\nG\tA\tnoise-l\t<=\t1,6\tdoc\tT\n", 2},
    {"UnknownSource", "source\tdoc\tthe document\n\nG\tA\ttone-dl\t<=\t2\tother\tT\n", 3},
    {"SourceWithoutText", "source\tdoc\n", 1},
    {"NoGuideline", "source\tdoc\tthe document\n\tA\ttone-dl\t<=\t2\tdoc\tT\n", 2},
};

class BadLines : public testing::TestWithParam<BadTable> {};

TEST_P(BadLines, AreNamedByTheirNumber) {
    const LimitsParse parse = ParseGuidelineLimits(GetParam().text);
    ASSERT_TRUE(parse.badLine);
    EXPECT_EQ(*parse.badLine, GetParam().line);
    EXPECT_TRUE(parse.limits.empty());
}

INSTANTIATE_TEST_SUITE_P(Tables, BadLines, testing::ValuesIn(kBadTables),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(GuidelineLimits, AGoodLineReadsWithItsSource) {
    const LimitsParse parse =
        ParseGuidelineLimits(std::string(kSource) + "G\tA\tnoise-l\t<\t1.6\tdoc\tTable 3\n");
    ASSERT_FALSE(parse.badLine);
    ASSERT_EQ(parse.limits.size(), 1u);
    const GuidelineLimit& l = parse.limits.front();
    EXPECT_EQ(l.figure, ChartFigure::Noise);
    EXPECT_TRUE(l.strict);
    EXPECT_EQ(l.limit, 1.6);
    EXPECT_EQ(l.document, "Table 3");
    EXPECT_EQ(l.source, "the document");
}

struct VerdictCase {
    const char* name;
    std::map<ChartFigure, double> figures; // the rest are 0
    const char* fadgi;
    const char* iso;
    const char* metamorfoze;
};

void PrintTo(const VerdictCase& c, std::ostream* out) {
    *out << c.name;
}

const VerdictCase kVerdicts[] = {
    {"Perfect", {}, "4 stars", "A", "Full"},
    {"ToneAtFadgisStrictLimit", {{ChartFigure::Tone, 1.5}}, "3 stars", "A", "Full"},
    {"ToneAtIsosInclusiveLimit", {{ChartFigure::Tone, 2.0}}, "3 stars", "A", "Full"},
    {"NoisyGreys", {{ChartFigure::Noise, 1.7}}, "4 stars", "A", "Extra Light"},
    {"ColourFarOff",
     {{ChartFigure::MeanDeltaE, 6.6}, {ChartFigure::MeanDeltaEUnitL, 6.6}},
     "none",
     "none",
     "Extra Light"},
    {"OneColourFarOff",
     {{ChartFigure::LargestDeltaE, 12}, {ChartFigure::LargestDeltaEUnitL, 12}},
     "4 stars",
     "B",
     "Light"},
    {"TintedGreys", {{ChartFigure::WhiteBalance, 3.5}}, "3 stars", "B", "Extra Light"},
};

class Verdicts : public testing::TestWithParam<VerdictCase> {};

TEST_P(Verdicts, GiveEachGuidelinesHighestLevelPassed) {
    ChartFigures figures;
    for (const auto& [figure, value] : GetParam().figures) {
        figures.values[std::size_t(figure)] = value;
    }
    std::map<std::string, std::string> highest;
    for (const GuidelineVerdict& v : Judge(figures, GuidelineLimits())) {
        highest[v.guideline] = v.HighestPassed().value_or("none");
        for (const LevelVerdict& level : v.levels) {
            const bool all = std::all_of(level.criteria.begin(), level.criteria.end(),
                                         [](const CriterionVerdict& c) { return c.pass; });
            EXPECT_EQ(level.Passed(), all) << v.guideline << " " << level.level;
        }
    }
    EXPECT_EQ(highest["FADGI 2023"], GetParam().fadgi);
    EXPECT_EQ(highest["ISO 19264-1"], GetParam().iso);
    EXPECT_EQ(highest["Metamorfoze"], GetParam().metamorfoze);
}

INSTANTIATE_TEST_SUITE_P(Figures, Verdicts, testing::ValuesIn(kVerdicts),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Verdicts, NameTheCriteriaWithoutALimit) {
    const std::vector<GuidelineVerdict> verdicts = Judge(ChartFigures{}, GuidelineLimits());
    for (const GuidelineVerdict& v : verdicts) {
        for (const LevelVerdict& level : v.levels) {
            for (const Criterion c : AllCriteria()) {
                const bool limited = std::any_of(
                    level.criteria.begin(), level.criteria.end(),
                    [&](const CriterionVerdict& x) { return CriterionOf(x.limit.figure) == c; });
                const bool named =
                    std::find(level.noLimit.begin(), level.noLimit.end(), c) != level.noLimit.end();
                EXPECT_NE(limited, named)
                    << v.guideline << " " << level.level << " " << CriterionWords(c);
            }
        }
    }
}

} // namespace

} // namespace guideline_test
