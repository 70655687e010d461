// Film settings in the parameter file: lines after the twelve that a
// positive never writes, that load back to the same tables, that a reader
// of the twelve alone passes over, and that load nothing when one is wrong.
#include "curve/ChannelStore.h"
#include "io/ParamFileReader.h"
#include "io/ParamFileWriter.h"
#include "tests/io/PlainParamReader.h"
#include "tests/io/ScratchDir.h"

#include <gtest/gtest.h>

namespace film_lines_test {

namespace {

const ParamPositionSet kPositions = {ParamPositions{10, 240, 50, 180},
                                     ParamPositions{0, 255, 99, 200},
                                     ParamPositions{37, 213, 0, 222}};

FilmSettings TwoPickNegative() {
    FilmSettings film;
    film.mode = FilmMode::ColourNegative;
    film.stages = {FilmStage{0.712345, 1.5152, 1.3125, 0.9871},
                   FilmStage{0.456789, 1.6667, 1.2001, 1.0}, FilmStage{0.268, 1.8002, 1.1, 0.9345}};
    film.neutralCount = 2;
    film.neutrals = {ChannelValues{0.061234, 0.030001, 0.012}, ChannelValues{0.3, 0.2, 0.1}};
    return film;
}

std::string Joined(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) {
        text += line;
    }
    return text;
}

ParamLoad Parse(const std::string& text) {
    return ParseParamBytes({reinterpret_cast<const unsigned char*>(text.data()), text.size()});
}

GammaTableSet TablesOf(const ParamPositionSet& positions, const FilmSettings& film) {
    ChannelParamsSet channels{};
    GammaTableSet tables{};
    ApplyFilm(film, channels, tables);
    ApplyPositionSet(positions, channels, tables);
    return tables;
}

TEST(FilmLines, APositiveIsTheThirteenLinesOfOldAndANegativeAddsItsOwn) {
    EXPECT_EQ(FormatParamFile(kPositions, FilmSettings{}), FormatParamFile(kPositions));
    EXPECT_EQ(FormatParamFile(kPositions).size(), 13u);
    const std::vector<std::string> lines = FormatParamFile(kPositions, TwoPickNegative());
    ASSERT_EQ(lines.size(), 13u + kFilmKeyCount);
    EXPECT_EQ(lines[13], "Film=ColourNegative\r\n");
    EXPECT_EQ(lines[14], "FilmBaseR=0.712345\r\n");
    EXPECT_EQ(lines[19], "FilmExponentB=1.8002\r\n");
    EXPECT_EQ(lines[26], "FilmNeutrals=2\r\n");
    EXPECT_EQ(lines.back(), "FilmNeutral2B=0.100000\r\n");
}

TEST(FilmLines, ASavedFilmLoadsBackToTheSameSettingsAndTables) {
    ScratchDir dir;
    FilmSettings onePick = TwoPickNegative();
    onePick.neutralCount = 1;
    onePick.neutrals[1] = {};
    FilmSettings blackAndWhite = UnmeasuredFilm(FilmMode::BlackAndWhite);
    for (const FilmSettings& film : {TwoPickNegative(), onePick, blackAndWhite, FilmSettings{}}) {
        ASSERT_EQ(SaveParamFile(dir / "film.tvp", kPositions, film), WriteResult::Ok);
        const ParamLoad load = LoadParamFile(dir / "film.tvp");
        ASSERT_EQ(load.result, LoadResult::Ok) << load.why.Text;
        EXPECT_EQ(load.positions, kPositions);
        EXPECT_EQ(load.film, film);
        EXPECT_EQ(TablesOf(load.positions, load.film), TablesOf(kPositions, film));
    }
}

// A reader of the twelve keys alone, as older programs have, still finds
// the twelve positions in a film file.
TEST(FilmLines, AReaderOfTheTwelveAloneLoadsAFilmFilesPositions) {
    const std::string text = Joined(FormatParamFile(kPositions, TwoPickNegative()));
    EXPECT_EQ(paramtest::PlainReadParams(text), kPositions);
    EXPECT_EQ(ReadParamBytes({reinterpret_cast<const unsigned char*>(text.data()), text.size()}),
              kPositions);
}

// Every stage value and pick at either end of its range loads: the limits
// are inclusive, the same for the file as for the measurements.
TEST(FilmLines, ValuesAtTheirLimitsLoad) {
    for (const bool low : {true, false}) {
        FilmSettings film = TwoPickNegative();
        film.stages[kRed] =
            low ? FilmStage{kMinTransmission, kMinFilmExponent, kMinFilmDensity, kMinFilmScale}
                : FilmStage{kMaxTransmission, kMaxFilmExponent, kMaxFilmDensity, kMaxFilmScale};
        film.neutrals[1][kBlue] = low ? kMinTransmission : kMaxTransmission;
        const ParamLoad load = Parse(Joined(FormatParamFile(kPositions, film)));
        ASSERT_EQ(load.result, LoadResult::Ok) << (low ? "low: " : "high: ") << load.why.Text;
        EXPECT_EQ(load.film, film);
    }
}

struct BadFilmCase {
    const char* name;
    const char* line;    // the line changed, by its key
    const char* becomes; // its replacement; empty: the line goes
    const char* key;     // the key the load names
};

class BadFilm : public testing::TestWithParam<BadFilmCase> {};

TEST_P(BadFilm, LoadsNothingAndNamesTheKey) {
    const BadFilmCase& row = GetParam();
    std::string text;
    for (const std::string& line : FormatParamFile(kPositions, TwoPickNegative())) {
        text += line.rfind(std::string(row.line) + "=", 0) == 0 ? std::string(row.becomes) : line;
    }
    const ParamLoad load = Parse(text);
    EXPECT_EQ(load.result, LoadResult::Incomplete);
    EXPECT_EQ(load.why.Code, ReasonCode::MissingParams);
    EXPECT_EQ(load.why.Text, row.key);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, BadFilm,
    testing::Values(
        BadFilmCase{"MissingBase", "FilmBaseG", "", "FilmBaseG"},
        BadFilmCase{"MissingKind", "Film", "", "Film"},
        BadFilmCase{"UnknownKind", "Film", "Film=Slide\r\n", "Film"},
        BadFilmCase{"NegativeScale", "FilmScaleR", "FilmScaleR=-1\r\n", "FilmScaleR"},
        BadFilmCase{"CommaDecimal", "FilmBaseB", "FilmBaseB=0,3\r\n", "FilmBaseB"},
        BadFilmCase{"Exponent", "FilmDensityB", "FilmDensityB=1e0\r\n", "FilmDensityB"},
        BadFilmCase{"BelowItsLimit", "FilmExponentG", "FilmExponentG=0.01\r\n", "FilmExponentG"},
        BadFilmCase{"ClearerThanClear", "FilmBaseR", "FilmBaseR=1.5\r\n", "FilmBaseR"},
        BadFilmCase{"OpaqueBase", "FilmBaseG", "FilmBaseG=0\r\n", "FilmBaseG"},
        BadFilmCase{"DensityBeyondItsLimit", "FilmDensityR", "FilmDensityR=6.0001\r\n",
                    "FilmDensityR"},
        BadFilmCase{"ScaleBeyondItsLimit", "FilmScaleB", "FilmScaleB=100.01\r\n", "FilmScaleB"},
        BadFilmCase{"PickClearerThanClear", "FilmNeutral1G", "FilmNeutral1G=1.01\r\n",
                    "FilmNeutral1G"},
        BadFilmCase{"CountedPickMissing", "FilmNeutral2B", "", "FilmNeutral2B"},
        BadFilmCase{"ThreePicks", "FilmNeutrals", "FilmNeutrals=3\r\n", "FilmNeutrals"}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace

} // namespace film_lines_test
