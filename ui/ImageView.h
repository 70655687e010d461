// The image area: its paint callback and the process-wide preview it shows,
// with the shapes drawn over it.
#pragma once

#include "image/preview/PreviewGeometry.h"

#include <QRect>
#include <QSize>

#include <cstdint>
#include <optional>

class QPainter;
class QWidget;
class SelectionOverlay;

// Remembers the image area's client size, once, at the dialog's start.
void RecordImageAreaSize(QSize size);

// The image area's paint callback: margins in dark grey and one copy of the
// visible part of the ready preview; nothing is rendered here.
void DrawImageArea(QPainter& dc, const QRect* client, QWidget* parent, int id);

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
// The film changed: the image before the curve is the positive alone, made anew.
void FilmChanged();
// The shapes drawn over the image (the film's picks); null for none.
void SetImageOverlay(const SelectionOverlay* overlay);

// The colour (0xFFRRGGBB) of the pixel shown at a point of the image area's
// client coordinates (device pixels), from whichever image is shown.
std::optional<std::uint32_t> ShownColourAt(Point client);
