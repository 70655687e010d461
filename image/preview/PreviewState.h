// The process-wide preview: the loaded image, its rendered preview and where
// that sits in the image area; plus the operations the dialog's handlers use.
#pragma once

#include "curve/ChannelParams.h"
#include "image/formats/BmpReader.h"
#include "image/preview/PreviewGeometry.h"
#include "image/preview/PreviewImage.h"

#include <array>
#include <cstdint>
#include <optional>

// Empty at start: no image (LoadedImage().Pixels null), no preview.
// PreviewWidth/PreviewHeight are the loaded image's size; ImageAreaWidth and
// ImageAreaHeight are the area's client size, recorded once by the dialog.
struct PreviewState : PreviewGeometry {
    DecodedImage Loaded; // owns the pixels
    std::optional<PreviewImage> PreviewBitmap;

    const ImageBuffer& LoadedImage() const { return Loaded.View(); }
};

extern PreviewState thePreviewState;

// Drops the image and its preview.
void ReleasePreviewState(PreviewState& state);

// Takes over a freshly loaded image: drops the previous one and the old
// preview, renders a new one through `tables` and centres it (panning is
// lost). True when the preview exists; false when its memory could not be
// had, and the image is kept all the same.
bool ShowLoadedImage(PreviewState& state, DecodedImage loaded, const GammaTableSet& tables);

// Re-renders the loaded image into the existing preview with the tables as
// they are now; false, changing nothing, when there is no preview.
bool ReapplyTables(PreviewState& state, const GammaTableSet& tables);

// The colour (0xFFRRGGBB) of the preview pixel shown at a point of the image
// area's client coordinates; nullopt where no preview pixel is shown.
std::optional<std::uint32_t> PreviewColourAt(const PreviewState& state, Point client);
