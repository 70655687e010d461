// The scan area on a preview of the whole bed drawn into a view: the bed
// fitted into the view with its shape kept, millimetres <-> view pixels, and
// what a press near the area's rectangle takes hold of.
#pragma once

#include "scan/BedGeometry.h"

// The bed drawn at `pixelsPerMm`, its corner at (left, top) of the view.
struct PreviewFit {
    double left = 0;
    double top = 0;
    double pixelsPerMm = 1;
    double width = 0;  // view pixels of the whole bed
    double height = 0; // view pixels of the whole bed
};

struct ViewPoint {
    double x = 0;
    double y = 0;
};

// The largest bed picture that fits a view of width × height, centred.
PreviewFit FitBed(double bedWidthMm, double bedHeightMm, double viewWidth, double viewHeight);

ViewPoint ViewOfMm(const PreviewFit& fit, double xMm, double yMm);
// The point of the bed under a view pixel, kept within the bed.
ViewPoint MmOfView(const PreviewFit& fit, double bedWidthMm, double bedHeightMm, ViewPoint view);

// The parts of the rectangle a press holds: edges (a corner holds two), the
// inside (the whole rectangle moves), or nothing (a new rectangle is drawn).
enum Grip : unsigned {
    kGripNone = 0,
    kGripLeft = 1,
    kGripTop = 2,
    kGripRight = 4,
    kGripBottom = 8,
    kGripInside = 16,
};

// What a press at `at` holds of `area`: the edges within `reach` view pixels
// of it, else the inside, else nothing.
unsigned GripAt(const PreviewFit& fit, const BedArea& area, ViewPoint at, double reach);

// `start` after the held parts moved by (dxMm, dyMm); a moved rectangle
// keeps its size inside the bed, edges dragged across each other swap.
BedArea DragArea(const BedArea& start, unsigned grip, double dxMm, double dyMm, double bedWidthMm,
                double bedHeightMm);

// The rectangle spanned by two points of the bed, in either order.
BedArea SpannedArea(ViewPoint fromMm, ViewPoint toMm);
