// The process-wide preview: the picture the window keeps, its rendered
// preview and where that sits in the image area; plus the operations the
// dialog's handlers use.
#pragma once

#include "image/kernels/WidePicture.h"
#include "image/preview/PictureTables.h"
#include "image/preview/PreviewGeometry.h"
#include "image/preview/PreviewImage.h"
#include "image/preview/Readout.h"
#include "image/rows/KeptImage.h"

#include <cstdint>
#include <optional>

// Empty at start: no picture, no preview.
// PreviewWidth/PreviewHeight are the loaded image's size; ImageAreaWidth and
// ImageAreaHeight are the area's client size, recorded once by the dialog.
struct PreviewState : PreviewGeometry {
    KeptImage Loaded;
    std::optional<PreviewImage> PreviewBitmap;
    // A 16-bit picture's tone map of the preview as last rendered (its
    // levels are what the readout gives); none for an 8-bit picture.
    std::optional<WideToneMap> PreviewMap;

    const KeptImage& Picture() const { return Loaded; }
};

extern PreviewState thePreviewState;

// Drops the picture and its preview.
void ReleasePreviewState(PreviewState& state);

// Takes over a freshly loaded picture: drops the previous one and the old
// preview, renders a new one through `tables` and centres it (panning is
// lost). True when the preview exists; false when its memory could not be
// had, and the picture is kept all the same.
bool ShowLoadedImage(PreviewState& state, KeptImage loaded, const PictureTables& tables);

// Re-renders the picture into the existing preview with the tables as they
// are now; false, changing nothing, when there is no preview.
bool ReapplyTables(PreviewState& state, const PictureTables& tables);

// The colour (0xFFRRGGBB) of the preview pixel shown at a point of the image
// area's client coordinates; nullopt where no preview pixel is shown.
std::optional<std::uint32_t> PreviewColourAt(const PreviewState& state, Point client);

// The levels a rendering of `picture` shows at its pixel `at`: an 8-bit
// picture's pixel of `shown` (0..255), a 16-bit picture's samples through
// map->Levels (0..65535, or the file's own samples).
PixelLevels ShownLevels(const KeptImage& picture, const PreviewImage& shown, const WideToneMap* map,
                        Point at);
