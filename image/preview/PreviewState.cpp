// Opening, re-rendering and releasing the process-wide preview.
#include "image/preview/PreviewState.h"

#include "image/preview/RenderPreview.h"

#include <utility>

PreviewState thePreviewState;

void ReleasePreviewState(PreviewState& state) {
    state.Loaded = DecodedImage();
    state.PreviewBitmap.reset();
}

bool ShowLoadedImage(PreviewState& state, DecodedImage loaded, const GammaTableSet& tables) {
    // The old image and preview go before the new preview is made, so the
    // two previews never coexist.
    state.PreviewBitmap.reset();
    state.Loaded = std::move(loaded);
    state.ImageWidth = state.LoadedImage().Width;
    state.ImageHeight = state.LoadedImage().Height;
    state.Zoom = 1; // every image starts at 1:1
    state.PreviewWidth = state.ImageWidth;
    state.PreviewHeight = state.ImageHeight;
    state.PreviewBitmap = BuildPreview(state.LoadedImage(), tables);
    CentrePreview(state);
    return state.PreviewBitmap.has_value();
}

bool ReapplyTables(PreviewState& state, const GammaTableSet& tables) {
    return state.PreviewBitmap && RenderPreview(state.LoadedImage(), tables, *state.PreviewBitmap);
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
