// Paints the image area from the ready preview: grey margins where the image
// is smaller than the area, then one copy of the visible part of the image.
#include "ui/ImageView.h"

#include "image/PreviewState.h"
#include "platform/GdiDraw.h"
#include "ui/DeviceScale.h"

#include <QImage>
#include <QPainter>
#include <QRegion>

namespace {

constexpr std::uint32_t kMarginColour = 0x404040; // dark grey, 0x00BBGGRR

Rect ToRect(const QRect& r) {
    return {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
}

void Fill(QPainter& dc, const Rect& r) {
    FillSolidRect(dc, r.left, r.top, r.right, r.bottom, kMarginColour);
}

// The preview's pixels seen as a QImage, without a copy.
QImage PreviewView(const PreviewImage& preview) {
    return QImage(reinterpret_cast<const uchar*>(preview.Bits()), preview.Width(), preview.Height(),
                  static_cast<qsizetype>(preview.BytesPerLine()), QImage::Format_RGB32);
}

} // namespace

void RecordImageAreaSize(QSize size) {
    thePreviewState.ImageAreaWidth = size.width();
    thePreviewState.ImageAreaHeight = size.height();
}

void DrawImageArea(QPainter& dc, const QRect* logicalClient, QWidget*, int) {
    // One image pixel per device pixel: the preview state is in device pixels.
    const DevicePixelPainting devicePixels(dc, DeviceScaleOf(dc));
    const QRect deviceClient = ToDevice(*logicalClient, DeviceScaleOf(dc));
    const QRect* client = &deviceClient;
    const Rect area = ToRect(deviceClient);
    const PreviewState& s = thePreviewState;
    if (!s.PreviewBitmap) {
        Fill(dc, area);
        return;
    }
    for (const Rect& margin : MarginRects(s, area)) {
        Fill(dc, margin);
    }
    const QRect placed(s.PreviewX, s.PreviewY, s.PreviewWidth, s.PreviewHeight);
    // An image one pixel narrower (shorter) than the area sits at offset 0
    // and gets no margins, which would leave its spare column (row) unpainted.
    for (const QRect& spare : (QRegion(*client) - QRegion(placed))) {
        Fill(dc, ToRect(spare));
    }
    const QRect visible = placed.intersected(*client);
    if (!visible.isEmpty()) {
        dc.drawImage(visible, PreviewView(*s.PreviewBitmap),
                     visible.translated(-s.PreviewX, -s.PreviewY));
    }
}

void ReleasePreview() {
    ReleasePreviewState(thePreviewState);
}
