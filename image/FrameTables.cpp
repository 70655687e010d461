// The same store update a load in the window makes (film, then positions),
// the curves sampled at the 16-bit scans' 65536 levels.
#include "image/FrameTables.h"

#include "curve/ChannelStore.h"
#include "curve/FilmTables.h"

namespace {

// The index of a 16-bit sample into these curves is its value scaled to 0..65535.
constexpr TableShape kSixteenBitShape{65536, 65535};

} // namespace

FrameTables TablesOfFrame(const ParamPositionSet& positions, const FilmSettings& film,
                          bool profiled) {
    const ParamSet set = MakeParamSet(positions, film);
    FrameTables tables;
    tables.levels = set.tables;
    tables.wide = CurvesOf(set.channels, kSixteenBitShape);
    if (profiled && HasFilm(set.channels)) {
        tables.positive = CurvesOf(CurvesAlone(set.channels), kSixteenBitShape);
    }
    return tables;
}

ApplyTables FrameTables::Apply() const {
    ApplyTables apply{&levels, {wide[kRed], wide[kGreen], wide[kBlue]}, {}};
    if (!positive[kRed].empty()) {
        apply.PositiveWide = {positive[kRed], positive[kGreen], positive[kBlue]};
    }
    return apply;
}
