// The process-wide preview: the loaded image, its rendered preview and where
// that sits in the image area; plus the operations the dialog's handlers use.
#pragma once

#include "curve/ChannelParams.h"
#include "image/ImageBuffer.h"
#include "image/PreviewGeometry.h"
#include "image/PreviewImage.h"

#include <array>
#include <cstdint>
#include <optional>

// All zero or empty at start: no image (LoadedImage.Pixels null), no preview.
// PreviewWidth/PreviewHeight are the loaded image's size; ImageAreaWidth and
// ImageAreaHeight are the area's client size, recorded once by the dialog.
struct PreviewState : PreviewGeometry {
    ImageBuffer LoadedImage{};
    std::optional<PreviewImage> PreviewBitmap;
};

extern PreviewState thePreviewState;

// Frees the image's pixels (the pointer becomes null) and drops the preview.
void ReleasePreviewState(PreviewState& state);

// Takes over a freshly loaded image: frees the previous pixels, drops the old
// preview, renders a new one through `tables` and centres it (panning is
// lost). True when the preview exists; false when its memory could not be
// had, and the image is kept all the same.
bool ShowLoadedImage(PreviewState& state, ImageBuffer loaded, const GammaTableSet& tables);

// Re-renders the loaded image into the existing preview with the tables as
// they are now; false, changing nothing, when there is no preview.
bool ApplyTables(PreviewState& state, const GammaTableSet& tables);

// The colour (0xFFRRGGBB) of the preview pixel shown at a point of the image
// area's client coordinates; nullopt where no preview pixel is shown.
std::optional<std::uint32_t> PreviewColourAt(const PreviewState& state, Point client);
