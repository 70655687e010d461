// The 65536-entry curves are made only where the picture is of 16 bits.
#include "image/preview/PictureTables.h"

#include "curve/FilmTables.h"

PictureTables WholeTables(const KeptImage& picture, const GammaTableSet& tables,
                          const ChannelParamsSet& channels) {
    return {tables, picture.Wide() ? WholeCurves(channels) : WideCurveSet{}};
}

PictureTables PositiveTables(const KeptImage& picture, const ChannelParamsSet& channels) {
    const bool film = HasFilm(channels);
    return {FilmTables(channels), picture.Wide() && film ? FilmCurves(channels) : WideCurveSet{}};
}
