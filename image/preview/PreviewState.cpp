// Opening, re-rendering and releasing the process-wide preview.
#include "image/preview/PreviewState.h"

#include "image/preview/RenderPreview.h"

#include <utility>

PreviewState thePreviewState;

void ReleasePreviewState(PreviewState& state) {
    state.Loaded = KeptImage();
    state.PreviewBitmap.reset();
    state.PreviewMap.reset();
}

bool ShowLoadedImage(PreviewState& state, KeptImage loaded, const PictureTables& tables) {
    // The old picture and preview go before the new preview is made, so the
    // two previews never coexist.
    state.PreviewBitmap.reset();
    state.Loaded = std::move(loaded);
    state.ImageWidth = state.Loaded.Width();
    state.ImageHeight = state.Loaded.Height();
    state.Zoom = 1; // every image starts at 1:1
    state.PreviewWidth = state.ImageWidth;
    state.PreviewHeight = state.ImageHeight;
    state.PreviewMap = ToneMapFor(state.Loaded, tables);
    state.PreviewBitmap =
        BuildPicture(state.Loaded, tables, state.PreviewMap ? &*state.PreviewMap : nullptr);
    CentrePreview(state);
    return state.PreviewBitmap.has_value();
}

bool ReapplyTables(PreviewState& state, const PictureTables& tables) {
    if (!state.PreviewBitmap) {
        return false;
    }
    state.PreviewMap = ToneMapFor(state.Loaded, tables);
    return RenderPicture(state.Loaded, tables, state.PreviewMap ? &*state.PreviewMap : nullptr,
                         *state.PreviewBitmap);
}

std::optional<std::uint32_t> PreviewColourAt(const PreviewState& state, Point client) {
    if (!state.PreviewBitmap) {
        return std::nullopt;
    }
    const auto pixel = PreviewPixelAt(state, client);
    if (!pixel) {
        return std::nullopt;
    }
    return state.PreviewBitmap->At(pixel->x, pixel->y);
}

PixelLevels ShownLevels(const KeptImage& picture, const PreviewImage& shown, const WideToneMap* map,
                        Point at) {
    if (!picture.Wide() || map == nullptr) {
        return LevelsOfColour(shown.At(at.x, at.y));
    }
    const auto samples = picture.SamplesAt(at.x, at.y);
    PixelLevels levels{};
    for (std::size_t c = 0; c < kChannelCount; ++c) {
        levels[c] = map->Levels[c][samples[c]];
    }
    return levels;
}
