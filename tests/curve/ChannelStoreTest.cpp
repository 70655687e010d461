// The channels and tables a parameter file gives, made in one step, are the
// store a load in the window leaves (the film and the positions set one
// after the other, in either order, over whatever the store held), and they
// keep the positions and the film the file held.
#include "curve/ChannelStore.h"

#include <gtest/gtest.h>

namespace channel_store_test {

namespace {

const ParamPositionSet kVaried = {ParamPositions{10, 240, 50, 180}, ParamPositions{0, 255, 99, 200},
                                  ParamPositions{37, 213, 0, 222}};

FilmSettings MeasuredNegative() {
    FilmSettings film = UnmeasuredFilm(FilmMode::ColourNegative);
    film.stages = {FilmStage{0.71, 1.52, 1.31, 0.99}, FilmStage{0.46, 1.67, 1.2, 1.0},
                   FilmStage{0.27, 1.8, 1.1, 0.93}};
    return film;
}

// What the store held before the load: other positions and another film.
void FillWithOthers(ChannelParamsSet& channels, GammaTableSet& tables) {
    ApplyFilm(UnmeasuredFilm(FilmMode::BlackAndWhite), channels, tables);
    ApplyPositionSet({ParamPositions{100, 200, 200, 250}, ParamPositions{}, ParamPositions{}},
                     channels, tables);
}

void ExpectSameStore(const ParamSet& set, const ChannelParamsSet& channels,
                     const GammaTableSet& tables) {
    EXPECT_EQ(set.tables, tables);
    for (std::size_t c = 0; c < kChannelCount; ++c) {
        EXPECT_EQ(PositionsOf(set.channels[c]), PositionsOf(channels[c])) << c;
        EXPECT_EQ(set.channels[c].Film, channels[c].Film) << c;
        for (const Param p : kAllParams) {
            EXPECT_EQ(ValueOf(set.channels[c], p), ValueOf(channels[c], p)) << c;
        }
    }
}

struct StoreCase {
    const char* name;
    ParamPositionSet positions;
    FilmSettings film;
};

void PrintTo(const StoreCase& c, std::ostream* out) {
    *out << c.name;
}

class MadeParamSet : public testing::TestWithParam<StoreCase> {};

TEST_P(MadeParamSet, IsTheStoreALoadInTheWindowLeaves) {
    const StoreCase& row = GetParam();
    const ParamSet set = MakeParamSet(row.positions, row.film);
    EXPECT_EQ(set.Positions(), row.positions);
    EXPECT_EQ(set.film, row.film);

    for (const bool filmFirst : {true, false}) {
        SCOPED_TRACE(filmFirst ? "the film first" : "the positions first");
        ChannelParamsSet channels{};
        GammaTableSet tables{};
        FillWithOthers(channels, tables);
        if (filmFirst) {
            ApplyFilm(row.film, channels, tables);
        }
        ApplyPositionSet(row.positions, channels, tables);
        if (!filmFirst) {
            ApplyFilm(row.film, channels, tables);
        }
        ExpectSameStore(set, channels, tables);
    }
}

INSTANTIATE_TEST_SUITE_P(Films, MadeParamSet,
                         testing::Values(StoreCase{"StartUp", ParamPositionSet{}, FilmSettings{}},
                                         StoreCase{"Positive", kVaried, FilmSettings{}},
                                         StoreCase{"ColourNegative", kVaried, MeasuredNegative()},
                                         StoreCase{"BlackAndWhite", kVaried,
                                                   UnmeasuredFilm(FilmMode::BlackAndWhite)}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace

} // namespace channel_store_test
