// The image area: its paint callback and the process-wide preview it shows,
// at 1:1 or zoomed, with the on-image selection tool drawn over it.
#pragma once

#include "image/preview/PreviewGeometry.h"
#include "image/preview/Readout.h"

#include <QRect>
#include <QSize>

#include <cstdint>
#include <optional>

class QPainter;
class QWidget;
class SelectionOverlay;

// Remembers the image area's client size, once, at the dialog's start.
void RecordImageAreaSize(QSize size);

// The image area's paint callback: margins in dark grey and the visible part
// of the ready preview, copied at 1:1, made from it at another zoom (and kept
// until the view or the preview changes); then the selection tool, if any.
void DrawImageArea(QPainter& dc, const QRect* client, QWidget* parent, int id);

// The preview's pixels changed (a new image, the tables applied): the zoomed
// view is made anew, from halved levels made now where the image is larger
// than the area.
void PreviewPixelsChanged();

// A selection tool over the image area (its host the area itself): shapes in
// image pixels, kept on the image, drawn over it, following its zoom and pan;
// a press it takes does not pan. Null takes it away.
void AttachImageOverlay(SelectionOverlay* overlay);
SelectionOverlay* ImageOverlay();
// The selection tool's mapping and placement follow the view as it is now
// (after a zoom, a pan or a new image).
void FollowPreviewView();

// Frees the loaded image and drops the preview and the image before the tables.
void ReleasePreview();

// Before/after: the area shows the loaded image's own levels instead of the
// preview through the tables. That image is rendered once, at the first look
// after a load, and kept beside the preview, so toggling renders nothing.
// False when showing it was asked for but its memory could not be had.
bool ShowImageBeforeTables(bool before);
bool ShowingImageBeforeTables();
// A new image was loaded: the old image before the tables goes (and, while it
// is shown, the new one's is rendered).
void LoadedImageChanged();
// The film changed: the image before the curve, a negative's positive alone,
// is made anew.
void FilmChanged();

// The levels of the pixel shown at a point of the image area's client
// coordinates (device pixels), from whichever image is shown: an 8-bit
// picture's shown colour, a 16-bit picture's 16-bit levels behind it.
std::optional<PixelLevels> ShownLevelsAt(Point client);
