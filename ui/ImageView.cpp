// Paints the image area from the ready preview: grey margins where the image
// is smaller than the area, then one copy of the visible part of the image.
#include "ui/ImageView.h"

#include "curve/FilmSettings.h"
#include "image/preview/PreviewState.h"
#include "image/preview/RenderPreview.h"
#include "platform/GdiDraw.h"
#include "ui/DeviceScale.h"
#include "ui/QtGeometry.h"
#include "ui/SelectionOverlay.h"

#include <QImage>
#include <QPainter>
#include <QRegion>

namespace {

constexpr std::uint32_t kMarginColour = 0x404040; // dark grey, 0x00BBGGRR

// The loaded image's own levels, and whether the area shows them.
struct BeforeView {
    std::optional<PreviewImage> image;
    bool shown = false;
};
BeforeView theBeforeView;

const SelectionOverlay* theImageOverlay = nullptr;

// The image before the curve: its own levels, or a negative's positive
// through the film stage alone (every level as it is without one).
bool RenderBeforeImageIfMissing() {
    if (!theBeforeView.image && thePreviewState.PreviewBitmap) {
        theBeforeView.image =
            BuildPreview(thePreviewState.LoadedImage(), FilmTables(theChannelParams));
    }
    return theBeforeView.image.has_value();
}

const PreviewImage* ShownImage() {
    if (!thePreviewState.PreviewBitmap) {
        return nullptr;
    }
    if (theBeforeView.shown && theBeforeView.image) {
        return &*theBeforeView.image;
    }
    return &*thePreviewState.PreviewBitmap;
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
    const PreviewImage* shown = ShownImage();
    if (!shown) {
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
        dc.drawImage(visible, PreviewView(*shown), visible.translated(-s.PreviewX, -s.PreviewY));
    }
    if (theImageOverlay) {
        theImageOverlay->Paint(dc);
    }
}

void SetImageOverlay(const SelectionOverlay* overlay) {
    theImageOverlay = overlay;
}

void FilmChanged() {
    LoadedImageChanged();
}

void ReleasePreview() {
    ReleasePreviewState(thePreviewState);
    theBeforeView.image.reset();
}

bool ShowImageBeforeTables(bool before) {
    theBeforeView.shown = before;
    return !before || !thePreviewState.PreviewBitmap || RenderBeforeImageIfMissing();
}

bool ShowingImageBeforeTables() {
    return theBeforeView.shown;
}

void LoadedImageChanged() {
    theBeforeView.image.reset();
    if (theBeforeView.shown) {
        RenderBeforeImageIfMissing();
    }
}

std::optional<std::uint32_t> ShownColourAt(Point client) {
    const PreviewImage* shown = ShownImage();
    if (!shown) {
        return std::nullopt;
    }
    const auto pixel = PreviewPixelAt(thePreviewState, client);
    if (!pixel) {
        return std::nullopt;
    }
    return shown->At(pixel->x, pixel->y);
}
