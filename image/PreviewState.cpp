// Opening, re-rendering and releasing the process-wide preview.
#include "image/PreviewState.h"

#include "image/RenderPreview.h"

#include <cstdlib>

PreviewState thePreviewState;

void ReleasePreviewState(PreviewState& state) {
    std::free(state.LoadedImage.Pixels);
    state.LoadedImage.Pixels = nullptr;
    state.PreviewBitmap.reset();
}

bool ShowLoadedImage(PreviewState& state, ImageBuffer loaded, const GammaTableSet& tables) {
    std::free(state.LoadedImage.Pixels);
    state.LoadedImage = loaded;
    state.PreviewWidth = loaded.Width;
    state.PreviewHeight = loaded.Height;
    // The old preview goes before the new one is made, so the two never
    // coexist.
    state.PreviewBitmap.reset();
    state.PreviewBitmap = BuildPreview(state.LoadedImage, tables);
    CentrePreview(state);
    return state.PreviewBitmap.has_value();
}

bool ApplyTables(PreviewState& state, const GammaTableSet& tables) {
    return state.PreviewBitmap && RenderPreview(state.LoadedImage, tables, *state.PreviewBitmap);
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
