// Zooming the preview in the image area: the whole image fitted in, 1:1 (the
// start-up view), and steps of √2 about a point of the area that stays on the
// same image pixel, between the fit and 800 %.
#pragma once

#include "image/preview/PreviewGeometry.h"
#include "image/preview/ViewMapping.h"

inline constexpr double kMaxZoom = 8; // 800 %

// The zoom that shows the whole image in the area; 1 for an image that fits
// at 1:1 (it is not enlarged).
double FitZoom(const PreviewGeometry& g);
// The zoom `steps` steps from the present one (negative: out): each step
// goes to the next power of √2 (from a zoom between two, the nearer in that
// direction), within [FitZoom, kMaxZoom].
double SteppedZoom(const PreviewGeometry& g, int steps);
// Shows the image at `zoom` (kept within [FitZoom, kMaxZoom]). On an axis
// where the image then covers the area, the image point under `about`
// (client coordinates) stays under it, within the pan limits; on one where
// it does not, the image is centred. True when anything moved.
bool ZoomAbout(PreviewGeometry& g, double zoom, Point about);
// The whole image, centred.
bool ZoomToFit(PreviewGeometry& g);
// 1:1 about the area's centre.
bool ZoomOneToOne(PreviewGeometry& g);

// Image pixels <-> client pixels of the area at the present zoom and pan: the
// mapping a selection tool over the image uses.
ViewMapping PreviewMapping(const PreviewGeometry& g);
