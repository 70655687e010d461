// The image area: its paint callback and the process-wide preview it shows.
#pragma once

#include <QRect>
#include <QSize>

class QPainter;
class QWidget;

// Remembers the image area's client size, once, at the dialog's start.
void RecordImageAreaSize(QSize size);

// The image area's paint callback: margins in dark grey and one copy of the
// visible part of the ready preview; nothing is rendered here.
void DrawImageArea(QPainter& dc, const QRect* client, QWidget* parent, int id);

// Frees the loaded image and drops the preview.
void ReleasePreview();
